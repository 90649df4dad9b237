#pragma once

#include "format/file_list.h"
#include "format/split_choices.h"
#include "format/split_set.h"
#include "integrity/piece_hasher.h"
#include "integrity/set_companions.h"
#include "platform/bindings.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/piece_workers.h"
#include "platform/safe_output.h"
#include "platform/yes_flag.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {

class JobProgress;
class LineReader;
class RunError;

// The split engine: turns one file into a set of pieces, by size (a byte set) or by a
// number of lines (a line set), into a folder or onto a series of diskettes. The caller
// fills the state, calls StartSplit and reads the outcome from Status and Message; the
// engine talks to the user only through its Host (diskette prompts, disk-full and cancel
// questions) and reports progress through the optional bindings.
class modSplitFile : public EngineBindings {
public:
    explicit modSplitFile(Host& host);
    ~modSplitFile();
    modSplitFile(const modSplitFile&) = delete;
    modSplitFile& operator=(const modSplitFile&) = delete;

    // The file to split: sets FileLength and FileName from it, or tells the user it does
    // not exist and clears SourceFile and FileLength.
    const std::string& SourceFile() const { return sourceFile_; }
    void SetSourceFile(const std::string& path);
    std::uint64_t FileLength() const { return fileLength_; }
    const std::string& FileName() const { return fileName_; }

    // Splits standard input instead of a file, up to its end, into pieces named after
    // `name`: the pieces stay under temporary names until the input ends and the header's
    // count is known. SetSourceFile returns to a file.
    void SetSourceStream(const std::string& name);
    bool streaming() const { return streaming_; }

    const std::string& DestFolder() const { return destFolder_; }
    void SetDestFolder(const std::string& folder) { destFolder_ = folder; }
    // The size in sizeUnit, or the lines per piece for lines.
    double SplitSize() const { return splitSize_; }
    void SetSplitSize(double size) { splitSize_ = size; }
    // The unit, none until one is set. Unit reads its code ("BT", "KB", "MB", "GB", "LN";
    // "" for none) and SetUnit takes one (an unknown code sets none).
    const DisplayUnit& sizeUnit() const { return unit_; }
    void setSizeUnit(SizeUnit unit) { unit_ = unit; }
    std::string Unit() const { return unit_ ? unitRow(*unit_).code : ""; }
    void SetUnit(const std::string& code) { unit_ = unitOfCode(code); }
    // The display unit of every file list (see AddFileToList), shared with join and verify.
    DisplayUnit& displayUnit() { return unit_; }
    // True ("Yes") when SourceFile is a compressed file made for this split.
    bool isCompressed() const { return compressed_; }
    void markCompressed(bool compressed) { compressed_ = compressed; }
    std::string Compressed() const { return yesFlag(compressed_); }
    void SetCompressed(const std::string& flag) { compressed_ = isYesFlag(flag); }
    // True when SourceFile is a compressed file whose entry is encrypted: the join scripts
    // say that a password opens the joined archive.
    bool isEncrypted() const { return encrypted_; }
    void markEncrypted(bool encrypted) { encrypted_ = encrypted; }
    // True ("Yes") when SourceFile is a temporary compressed file: every cancel deletes it.
    bool isTempCompressedFile() const { return tempCompressedFile_; }
    void markTempCompressedFile(bool temporary) { tempCompressedFile_ = temporary; }
    std::string TempCompressedFile() const { return yesFlag(tempCompressedFile_); }
    void SetTempCompressedFile(const std::string& flag) { tempCompressedFile_ = isYesFlag(flag); }
    // True when the pieces carry no header: each is a byte range of the file and nothing
    // else, and the set is known by its checksum file, which is always written.
    bool plainPieces() const { return plainPieces_; }
    void setPlainPieces(bool plain) { plainPieces_ = plain; }
    // True when the size came from a number of pieces: no too-small check then.
    bool SplitByPieces() const { return splitByPieces_; }
    void SetSplitByPieces(bool byPieces) { splitByPieces_ = byPieces; }
    // The checksum file and join scripts written beside a finished set.
    const CompanionOptions& Companions() const { return companions_; }
    void SetCompanions(const CompanionOptions& options) { companions_ = options; }
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

    // 0 success, -1 refused or cancelled, otherwise a run-time error number.
    std::int16_t Status() const { return status_; }
    void SetStatus(std::int16_t status) { status_ = status; }
    const std::string& Message() const { return message_; }
    void SetMessage(const std::string& message) { message_ = message; }

    // The number of pieces the last split wrote (or planned, when it stopped early).
    int PieceCount() const { return pieceCount_; }
    // Why companions the last split was asked for were not written, one line each.
    const std::vector<std::string>& CompanionNotices() const { return companionNotices_; }
    // The companions the last split wrote, as its file list shows them after the pieces.
    const std::vector<std::string>& CompanionFiles() const { return companionFiles_; }

    // The entry point: splits by lines or by size, removes the pieces of a failed split
    // from a fixed drive and returns Status. A stop (JobStopped, from the stop token or a
    // cancel the user confirmed) ends here as the cancel: -1 and "Splitting of the files
    // was cancelled.".
    std::int16_t StartSplit();
    // Closes the files, drops the pieces not yet under their names and deletes those that
    // are, except on diskettes. In a folder the pieces take their names only once every
    // piece is complete, so a failed split leaves the files there as they were.
    void DeleteSplitFiles();
    // Closes the source and the open piece without writing anything more.
    void CloseFiles() noexcept;

private:
    enum class StepResult { Done, Restart, Failed };

    // The splits StartSplit runs; a failure is their Status, a stop is thrown on.
    std::int16_t SplitFileBySize();
    std::int16_t SplitFileByLines();
    std::int16_t SplitStreamBySize();
    using Digest = PieceHasher::Digest;
    struct ByteRange {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    std::int16_t splitOnWorkers(int workerCount, double requested, std::uint64_t pieceSize);
    void writePieceOnWorker(File& source, File& target, int number, ByteRange range, Digest* digest,
                            PieceWorkers::Piece& piece) const;
    File openSource() const;
    bool headersAfterEnd() const;
    void finishStreamPieces();
    // Closes the open piece and opens the next, asking for a disk in diskette mode.
    // 0 when it is open; otherwise Status (a refusal or a run-time error number).
    std::int16_t OpenNextSplitFile(double requiredFreeSpace);

    bool disketteMode() const;
    bool byLines() const { return unit_ == SizeUnit::Lines; }
    ProgressBarBinding* progress() const;
    LabelBinding* label() const;
    FileListBinding* list() const;
    void setProgressValue(int value);

    std::uint64_t headerBytes() const;
    bool writesChecksums() const;
    std::int16_t fail(const RunError& error, std::optional<std::uint64_t> written = {});
    RoomNeed roomForSet(int pieces, std::uint64_t pieceBytes, std::uint64_t largestPiece) const;
    std::int16_t refuseWithoutRoom(const RoomNeed& need);
    std::uint64_t bytesWritten() const noexcept;
    void cancelSplit();
    // Asks whether to cancel the split; throws JobStopped when the user says yes.
    void stopIfConfirmed();
    Answer askForDisk();
    StepResult runOpenStep(const std::function<void()>& step);
    std::int16_t waitForDisk(double requiredFreeSpace);
    void createPiece(const std::string& name);
    void commitPiece();
    void commitFinishedPieces();
    void removeStalePieces() const;
    FinalNameFilter setFileFilter() const;
    bool anotherJobWritesSet() const;
    void announcePiece(const std::string& name);
    void showBytes(std::uint64_t done);
    void finishSet();
    std::optional<ChecksumListing> olderChecksums(const std::string& folder) const;
    void commitCompanions(const std::string& folder, PreparedCompanions& companions);
    void writeDisketteCompanions(const std::string& folder, const JoinScriptSet& set,
                                 const std::vector<PieceHasher::Digest>& digests);

    void writeRetrying(const std::function<void()>& write, bool rewindSource);
    void writeHeader(int count, int number);
    std::array<unsigned char, kPieceHeaderSize> headerBytesOf(int count, int number) const;
    void copyPieceData(std::uint64_t size, std::size_t chunk, bool eventsPerChunk);
    std::uint64_t checkedPieceSize(double requested) const;
    void askDisketteCount(const std::string& question);

    void splitRemainingLines(LineReader& reader);
    void writeMarker();
    void copyLine(LineReader& reader);
    void removeStaleLinePieces();
    void flushLines();

    Host& host_;

    std::string sourceFile_;
    std::uint64_t fileLength_ = 0;
    std::string fileName_;
    std::string destFolder_;
    double splitSize_ = 0;
    DisplayUnit unit_;
    bool compressed_ = false;
    bool encrypted_ = false;
    bool tempCompressedFile_ = false;
    bool splitByPieces_ = false;
    bool plainPieces_ = false;
    bool streaming_ = false;
    bool confirmDelete_ = false;
    std::int16_t status_ = 0;
    std::string message_;

    int currentPiece_ = 0;
    int pieceCount_ = 0;
    double displaySize_ = 0;
    File source_;
    File piece_;             // the open piece: the temporary file of pieceOutput_
    SafeOutput pieceOutput_; // moved onto the piece's name when the piece is complete
    std::vector<SafeOutput> finishedPieces_; // complete, waiting for the split to succeed
    int committedPieces_ = 0;                // pieces 1 to this are under their final names
    std::vector<char> buffer_;
    std::string pendingLines_;
    std::unique_ptr<JobProgress> meter_; // the bytes of the source, while StartSplit runs
    CompanionOptions companions_;
    std::vector<std::string> companionNotices_;
    std::vector<std::string> companionFiles_;
    PieceHasher hasher_;               // hashes each piece right behind its writing
    std::vector<Digest> pieceDigests_; // the pieces' digests, when workers hashed them
    RoomNeed room_; // what the split writes outside diskettes, checked before it starts
};

} // namespace parcelo
