#pragma once

#include "compress/folder_archive.h"
#include "platform/durability.h"
#include "platform/run_error.h"

#include <cstdint>
#include <functional>
#include <string>

namespace parcelo {

class File;
class Password;
struct PieceArchive;

// The number of every failure that belongs to the archive itself (damaged, wrong CRC,
// no entry, unsupported method) rather than to the file system.
inline constexpr int kZlibToolErrorNumber = err::ComponentErrors + 1;

// The archive's entry is encrypted and no password was given for it.
inline constexpr int kPasswordNeededNumber = kZlibToolErrorNumber + 1;
// The password given does not open the archive's entry.
inline constexpr int kWrongPasswordNumber = kZlibToolErrorNumber + 2;
inline constexpr const char* kWrongPasswordText = "The password is wrong.";

// An archive that cannot be written or read back for a reason of its own.
class ZlibToolError : public RunError {
public:
    explicit ZlibToolError(std::string description)
        : RunError(kZlibToolErrorNumber, std::move(description))
    {
    }
};

// The compression component. DoCompress writes a standard ZIP archive holding one entry,
// named after the source file, deflated at CompressionLevel (a source folder: a folder
// set's archive of it, see writeFolderArchive, stored at level 0); DoDecompress writes the
// bytes of an archive that holds exactly one file, checked against its CRC (a folder set's archive:
// the folder it holds, see extractFolderArchive; else the entry's name is not used; a target that
// exists is replaced once the bytes are complete and checked, unless ReplaceTarget is off: then it
// fails the decompression). Both stream the data, raise ProgressNotify with every whole percentage
// from 1 to 100 as the work advances, return only when the target is complete, and throw RunError
// on failure, or JobStopped on a stop, leaving no target behind (a target that existed before is
// kept unchanged).
class ZlibTool {
public:
    using ProgressHandler = std::function<void(std::int16_t percent)>;

    ZlibTool() = default;
    virtual ~ZlibTool() = default;
    ZlibTool(const ZlibTool&) = delete;
    ZlibTool& operator=(const ZlibTool&) = delete;

    const std::string& SourceFileName() const { return sourceFileName_; }
    void SetSourceFileName(std::string path) { sourceFileName_ = std::move(path); }
    const std::string& TargetFileName() const { return targetFileName_; }
    void SetTargetFileName(std::string path) { targetFileName_ = std::move(path); }
    // Bytes DoCompress writes before the archive in the target (a piece header), or "".
    void SetTargetPrefix(std::string prefix) { targetPrefix_ = std::move(prefix); }
    // Whether DoCompress's target is synced like every output, or is a scratch copy.
    void SetTargetDurability(Durability durability) { targetDurability_ = durability; }
    // 1 (fastest) to 9 (smallest).
    std::int32_t CompressionLevel() const { return compressionLevel_; }
    void SetCompressionLevel(std::int32_t level) { compressionLevel_ = level; }
    // Whether DoCompress makes a target only its owner may read (a private copy).
    bool PrivateTarget() const { return privateTarget_; }
    void SetPrivateTarget(bool owner) { privateTarget_ = owner; }
    // Whether DoDecompress may replace a file at the target (the default).
    bool ReplaceTarget() const { return replaceTarget_; }
    void SetReplaceTarget(bool replace) { replaceTarget_ = replace; }
    // A stream (standard output) DoDecompress writes the bytes into instead of the target
    // file; nullptr: the file. The caller keeps it open while it is set.
    void SetTargetStream(File* stream) { targetStream_ = stream; }
    // A set's archive DoDecompress reads straight from its pieces instead of the file
    // SourceFileName (which then only names it); nullptr: the file. The caller keeps it
    // while it is set.
    void SetSourcePieces(PieceArchive* archive) { sourcePieces_ = archive; }
    // The password DoCompress encrypts the entry with (AES-256) and DoDecompress opens an
    // encrypted entry with; none (nullptr, or an empty one): no encryption. The tool keeps
    // the pointer, not a copy: the password stays the caller's, to wipe after the job.
    const Password* EntryPassword() const { return password_; }
    void SetEntryPassword(const Password* password) { password_ = password; }

    // A folder's file DoCompress cannot open: the handler leaves it out (true) or fails
    // the packing (false, or no handler).
    void SetUnreadableFile(UnreadableFile handler) { unreadable_ = std::move(handler); }
    // What the last DoCompress of a folder left out.
    const FolderPacking& Packing() const { return packing_; }

    void SetProgressNotify(ProgressHandler handler) { progressNotify_ = std::move(handler); }
    // Bytes done and total at every block read (compressing) or written (decompressing).
    using BytesHandler = std::function<void(std::uint64_t done, std::uint64_t total)>;
    void SetBytesNotify(BytesHandler handler) { bytesNotify_ = std::move(handler); }

    virtual void DoCompress();
    virtual void DoDecompress();

protected:
    void raiseProgressNotify(std::int16_t percent) const;

private:
    std::string sourceFileName_;
    std::string targetFileName_;
    std::string targetPrefix_;
    Durability targetDurability_ = Durability::AsOptioned;
    std::int32_t compressionLevel_ = 9;
    bool privateTarget_ = false;
    bool replaceTarget_ = true;
    const Password* password_ = nullptr;
    File* targetStream_ = nullptr;
    PieceArchive* sourcePieces_ = nullptr;
    UnreadableFile unreadable_;
    FolderPacking packing_;
    ProgressHandler progressNotify_;
    BytesHandler bytesNotify_;
};

} // namespace parcelo
