#pragma once

#include "compress/compression_levels.h"
#include "compress/folder_archive.h"
#include "platform/bindings.h"
#include "platform/durability.h"
#include "platform/job_progress.h"
#include "platform/run_error.h"
#include "platform/yes_flag.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace parcelo {

class File;
class Host;
class Password;
struct PieceArchive;
class TemporaryFolder;
class ZlibTool;

// Where a source file is compressed to before a split: tempFolder when
// temporary, else destFolder (which ends with a
// separator); the name is the source's file name followed by ".zip".
std::string CompressedFileName(const std::string& sourcePath, const std::string& destFolder,
                               bool temporary, const std::string& tempFolder);

// Where a joined file is decompressed to: its path with one final ".zip" (case-sensitive)
// removed, so always in the joined file's own folder. "" when the file's name does not end
// in ".zip" or is nothing but ".zip": such a file is not decompressed.
std::string DecompressedFileName(const std::string& joinedPath);

inline constexpr const char* kCompressOperation = "Compress";
inline constexpr const char* kDecompressOperation = "Decompress";

// Compresses a file before a split and decompresses a joined file through the component,
// showing the work on the split pane (status label, progress bar) or the join pane. It
// shows no message: the calling command reports the outcome.
class CompressionAdapter {
public:
    // tempFolder: under it, in a private folder of its own (mode 700, named at random), a
    // split's temporary compressed file goes; without a final separator, made when first
    // needed. Only the status label and progress bar of each pane are used.
    CompressionAdapter(Host& host, ZlibTool& tool, PaneBindings splitPane, PaneBindings joinPane,
                       std::string tempFolder,
                       CompressionLevelOption levelOption = CompressionLevelOption::None);
    ~CompressionAdapter();
    CompressionAdapter(const CompressionAdapter&) = delete;
    CompressionAdapter& operator=(const CompressionAdapter&) = delete;

    // The option button in force; read at every compression.
    void SetLevelOption(CompressionLevelOption option) { levelOption_ = option; }
    CompressionLevelOption LevelOption() const { return levelOption_; }
    // The password the next compressions encrypt with and decompressions open an encrypted
    // archive with (see ZlibTool::SetEntryPassword); nullptr: none. The caller keeps it
    // alive while it is set and sets nullptr again when its job ends.
    void SetPassword(const Password* password) { password_ = password; }
    const Password* EncryptionPassword() const { return password_; }

    // Whether the next compressions of a folder store its files without deflating them (a
    // folder split without compression).
    void SetStored(bool stored) { stored_ = stored; }
    // Whether a folder's files that cannot be read are left out without a question; else
    // the host is asked (Question::SkipUnreadable), and No fails the compression.
    void SetSkipUnreadable(bool skip) { skipUnreadable_ = skip; }
    // What the last compression of a folder left out.
    const FolderPacking& Packing() const;

    // The split's destination folder and whether the compressed file is a temporary one
    // (the flag reads "Yes" or ""), which name the compressed file.
    void SetDestFolder(std::string folder) { destFolder_ = std::move(folder); }
    const std::string& DestFolder() const { return destFolder_; }
    void markTempCompressedFile(bool temporary) { tempCompressedFile_ = temporary; }
    bool isTempCompressedFile() const { return tempCompressedFile_; }
    void SetTempCompressedFile(const std::string& flag) { tempCompressedFile_ = isYesFlag(flag); }
    std::string TempCompressedFile() const { return yesFlag(tempCompressedFile_); }

    // The compressed file compress writes (or wrote) for sourcePath.
    std::string CompressedFileFor(const std::string& sourcePath) const;

    // True when the compressed file was written, false when anything failed (no file is
    // left): a scratch copy for a split, never synced. A stop is thrown on (JobStopped),
    // leaving no file either. A temporary compressed file (isTempCompressedFile) is readable
    // by its owner alone and lies in a new private folder, which ReleaseTemporaryFolder
    // removes. CompressFile is the same, as 1 or 0.
    bool compress(const std::string& sourcePath);
    std::int16_t CompressFile(const std::string& sourcePath)
    {
        return compress(sourcePath) ? 1 : 0;
    }
    // Why the last compression failed; empty after a success.
    const std::optional<RunError>& CompressFailure() const { return compressFailure_; }
    // Removes the private folder of the last temporary compressed file, with the file.
    void ReleaseTemporaryFolder();
    // The same archive written straight into targetPath after prefix (a piece that holds
    // the whole compressed file), instead of CompressedFileFor's file.
    bool compressInto(const std::string& sourcePath, const std::string& targetPath,
                      const std::string& prefix, Durability durability = Durability::AsOptioned);
    // True when the decompressed file was written beside the joined one; false when the
    // name has no decompressed name (nothing is touched) or anything failed: then
    // DecompressFailure holds the reason and nothing the folder held before has changed. A
    // file of the decompressed name is replaced only when `replace` says so; else it fails
    // the work. A stop is thrown on (JobStopped), changing nothing either. DecompressFile is
    // the same, as 1 or 0.
    // With a stream the bytes go into it instead (whatever the joined file's name).
    bool decompress(const std::string& joinedPath, bool replace = true, File* stream = nullptr);
    std::int16_t DecompressFile(const std::string& joinedPath, bool replace = true,
                                File* stream = nullptr)
    {
        return decompress(joinedPath, replace, stream) ? 1 : 0;
    }
    // A compressed set's archive the next decompressions read straight from its pieces
    // (joinedPath then names it and its decompressed file); nullptr: the joined file. The
    // caller keeps it alive while it is set.
    void SetSourcePieces(PieceArchive* archive) { sourcePieces_ = archive; }
    // Why the last decompression failed; empty after a success or a name it skipped.
    const std::optional<RunError>& DecompressFailure() const { return decompressFailure_; }

    // "Compress" or "Decompress" while the component works, "" otherwise.
    const std::string& CompressOperation() const { return operation_; }

    // The component's progress notification: moves the working pane's bar to that share
    // of its maximum. The bytes behind it go to a JobProgress, which keeps the window
    // answering and shows the caption.
    void ProgressNotify(std::int16_t percent);

private:
    bool compressTo(const std::string& sourcePath, const std::string& targetPath,
                    const std::string& prefix, Durability durability, bool owner);
    void startMeter(Binding* label, const char* verb, const std::string& path);
    void startBusy();
    void finish(Binding* progressBar);
    void abandon();

    Host& host_;
    ZlibTool& tool_;
    PaneBindings splitPane_;
    PaneBindings joinPane_;
    std::string tempFolder_;
    std::unique_ptr<TemporaryFolder> privateFolder_; // holds the temporary compressed file
    CompressionLevelOption levelOption_;
    const Password* password_ = nullptr;
    PieceArchive* sourcePieces_ = nullptr;
    std::string destFolder_;
    bool tempCompressedFile_ = false;
    bool stored_ = false;
    bool skipUnreadable_ = false;
    std::string operation_;
    bool busy_ = false;
    std::optional<RunError> compressFailure_;
    std::optional<RunError> decompressFailure_;
    std::optional<JobProgress> meter_;
};

} // namespace parcelo
