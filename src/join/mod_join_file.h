#pragma once

#include "format/file_list.h"
#include "integrity/checksum_watch.h"
#include "platform/bindings.h"
#include "platform/file.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/yes_flag.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parcelo {

class Host;
class JobProgress;

// The join engine: finds the set of split files that one picked piece belongs to, checks
// it, and writes the joined file. It talks to the user only through the Host and shows
// progress through the optional bindings. Byte sets are joined from their data parts,
// line sets line by line.
//
// A host drives it as: ResetJoin, SetSourceFile, SetDestinationFolder, the bindings,
// LocateSplitFiles, JoinSplitFiles (when ErrorFlag is still 0), FinishJoin. ErrorFlag
// counts a piece that could not be opened or is not valid as 1.
class modJoinFile : public ErrorState, public EngineBindings {
public:
    explicit modJoinFile(Host& host);
    ~modJoinFile();
    modJoinFile(const modJoinFile&) = delete;
    modJoinFile& operator=(const modJoinFile&) = delete;

    // Clears the state for a new join; SourceFile is kept.
    void ResetJoin();

    // The picked piece, as entered; also sets JoinedFileName from it.
    const std::string& SourceFile() const { return sourceFile_; }
    void SetSourceFile(const std::string& path);
    const std::string& JoinedFileName() const { return joinedFileName_; }
    void SetJoinedFileName(const std::string& name) { joinedFileName_ = name; }
    // The folder receiving the joined file, with its trailing separator.
    const std::string& DestinationFolder() const { return destinationFolder_; }
    void SetDestinationFolder(const std::string& folder) { destinationFolder_ = folder; }
    // True ("Yes") when the last piece read carried the compressed signature.
    bool isCompressed() const { return compressed_; }
    std::string Compressed() const { return yesFlag(compressed_); }
    void SetCompressed(const std::string& value) { compressed_ = isYesFlag(value); }
    // Bytes a later step writes beside the joined file (its decompressed file): the join
    // refuses to start unless there is room for them too.
    std::uint64_t RoomAfterJoin() const { return roomAfterJoin_; }
    void SetRoomAfterJoin(std::uint64_t bytes) { roomAfterJoin_ = bytes; }
    // Whether the joined file may take the place of a file of its name (the user agreed to
    // it); without it such a file fails the join with "File already exists". ResetJoin
    // clears it.
    bool ReplaceJoinedFile() const { return replaceJoinedFile_; }
    void SetReplaceJoinedFile(bool replace) { replaceJoinedFile_ = replace; }
    // A stream (standard output) that receives the joined bytes instead of the joined file;
    // nullptr: the file. Every piece is read and checked (headers, checksum file) once
    // before the first byte goes into the stream, so a damaged set writes nothing there.
    void SetStreamTarget(File* stream) { stream_ = stream; }
    // Ask before DeleteBrokenFiles deletes the pieces.
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

    int PieceCount() const { return pieceCount_; }
    int CurrentPiece() const { return currentPiece_; }
    const std::string& CurrentPiecePath() const { return currentPiecePath_; }
    // True ("Yes") while pieces are read as text (a set split by lines).
    bool isLineMode() const { return lineMode_; }
    std::string LineMode() const { return yesFlag(lineMode_); }
    // True when the located set was split by lines.
    bool LineSet() const { return lineSet_; }
    // True when the located set's pieces carry no header: Parcelo's own plain set, known by
    // its checksum file, or another tool's numbered pieces the user agreed to join so.
    bool PlainSet() const { return plainSet_; }
    // True when the picked piece was offered as another tool's plain piece and the offer
    // was declined; the join then failed as "not a split file".
    bool PlainOfferDeclined() const { return plainOfferDeclined_; }
    // After a join that used the set's checksum file: "checked N pieces against NAME.sha256".
    const std::string& ChecksumNote() const { return checksumNote_; }
    // "NAME.sha256 does not list the pieces of this set; it was not used." or "".
    const std::string& ChecksumNotice() const { return checksumNotice_; }
    // True while JoinSplitFiles runs; a host must not start another join meanwhile.
    bool Joining() const { return joining_; }

    // The display unit of the file list's size texts (the split engine's unit); without
    // one the engine keeps its own, which starts as kilobytes.
    void SetDisplayUnit(DisplayUnit* unit) { unit_ = unit != nullptr ? unit : &ownUnit_; }

    // The bytes the joined file will hold: the pieces' less their headers (a line set's
    // marker lines are counted too); 0 when a piece is on a diskette or cannot be measured.
    std::uint64_t JoinedBytes() const;
    // The joined file: DestinationFolder + JoinedFileName.
    std::string JoinedFilePath() const { return destinationFolder_ + joinedFileName_; }
    // The path of piece i of the picked piece's set (the first is 1, whatever number its
    // name has).
    std::string PiecePath(int piece) const;

    // True when the file is a byte-set piece a split could have written (pieceFault),
    // whose count becomes PieceCount. Tells the user when the file cannot be located.
    bool IsSplitFile(const std::string& path);
    // Checks the picked piece and finds the rest of its set; fills the file list.
    void LocateSplitFiles();
    // Writes the joined file from pieces 1 to PieceCount, under a temporary name that
    // becomes the joined file's only when it is complete (replacing a file of that name
    // only when ReplaceJoinedFile says so).
    // A failure, or a stop requested meanwhile, leaves the folder as it was; the stop
    // (JobStopped) ends here as ErrorFlag -1, "Process cancelled by the user.".
    void JoinSplitFiles();
    // Reads and checks every piece as JoinSplitFiles does (headers, the checksum file)
    // without writing anything; ErrorFlag tells the outcome. For a set whose file is read
    // straight from its pieces afterwards.
    void CheckSplitFiles();
    // Closes the previous piece and opens the next one, asking for its diskette on drive
    // A:. Returns 0 when it is open, 1 when the user cancelled, else a run-time error number;
    // a stop is thrown on.
    int OpenNextJoinFile();
    // Ends a join: releases the bindings, closes every file and, after a failure, deletes
    // the joined file this join completed.
    void FinishJoin();
    // Deletes the joined file this join completed, when it exists; never one it did not
    // write (a file there before, or another join's).
    void DeleteJoinedFile();
    // After a successful join, deletes every piece of the set (never on diskettes), asking
    // first when ConfirmDelete is set. Returns false when a piece could not be deleted.
    bool DeleteBrokenFiles(const std::string& question = kDeleteQuestion);

    static constexpr const char* kDeleteQuestion =
        "All borken files have successfully been joined, do you wish to delete them?";

private:
    bool locateLineSet();
    bool headerContradictsPlainSet() const;
    bool locatePlainSet();
    bool locateForeignSet();
    ChecksumSet checksumSet() const;
    int firstMissingPiece() const;
    int firstMisSizedPiece() const;
    void listPieces();
    void fail(int flag, const std::string& message);
    bool openPiece();
    bool joinPass(File& target);
    bool joinBytes();
    bool joinLines();
    bool rejectPiece(const std::string& message);
    void watchPiece(const std::function<void()>& read);
    bool checksumsHold();
    void openFailed();
    void startProgress();
    void showProgress(int value);
    void showPieceInLabel();
    void startMeter();
    void pulse();
    void pieceDone();
    void closeFiles() noexcept;
    void refuseWithoutRoom() const;
    std::string failureText(const RunError& error);

    Host& host_;
    std::string sourceFile_;
    std::string joinedFileName_;
    std::string destinationFolder_;
    int pieceCount_ = 0;
    int currentPiece_ = 0;
    std::string currentPiecePath_;
    bool lineMode_ = false;
    bool compressed_ = false;
    bool confirmDelete_ = true;
    std::uint64_t roomAfterJoin_ = 0;
    bool replaceJoinedFile_ = false;
    bool lineSet_ = false;
    bool plainSet_ = false;
    bool foreignSet_ = false; // another tool's numbered pieces
    bool plainOfferDeclined_ = false;
    int firstNumber_ = 1; // the number in the first piece's name
    int numberWidth_ = 3; // the fewest digits of the numbers in the pieces' names
    bool joining_ = false;
    bool checkOnly_ = false;     // CheckSplitFiles: the pass into nothing alone
    bool outputCreated_ = false; // the joined file on disk is this join's own
    std::string headerRefusal_;  // why the picked byte piece's header is no split's
    File input_;
    SafeOutput output_;
    File* stream_ = nullptr; // SetStreamTarget
    File* target_ = nullptr; // where the running pass writes
    DisplayUnit ownUnit_;
    DisplayUnit* unit_ = &ownUnit_;
    std::vector<char> buffer_;
    std::unique_ptr<JobProgress> meter_;       // the bytes of the pieces, while the join runs
    std::uint64_t piecesRead_ = 0;             // bytes of the pieces before the current one
    std::unique_ptr<ChecksumWatch> checksums_; // hashes the pieces as they are read
    std::string checksumNote_;
    std::string checksumNotice_;
};

} // namespace parcelo
