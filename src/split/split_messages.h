#pragma once

#include "format/split_set.h"
#include "platform/captions.h"
#include "platform/host.h"

#include <cstdint>
#include <string>

// Texts the split engine shows or leaves in its Message.
namespace parcelo::split_text {

inline const std::string kCancelled = "Splitting of the files was cancelled.";

inline const std::string kPlainByLines =
    "Splitting by lines makes header pieces only: every piece of a line set starts with the "
    "marker line by which it is joined, and plain pieces hold nothing but the file's bytes.";

inline const std::string kEncryptByLines =
    std::string("A file split by number of lines cannot be encrypted: only a compressed set can.")
    + LF + "Please uncheck 'Encrypt with a password' to continue.";

inline const std::string kEncryptedOutcome =
    "The pieces are encrypted with AES-256: the password is needed to join them.";

inline const std::string kPlainOnDiskettes =
    "Plain pieces cannot be written onto diskettes: they are known by their checksum file "
    "alone, which would be on another disk than the pieces.";

inline const std::string kFolderByLines =
    "A folder is split as the ZIP archive it is packed into: it cannot be split by number of "
    "lines.";

inline const std::string kStandardInput = "standard input";

inline const std::string kEmptyStream = "Standard input held no data to split.";

// Why a split of standard input is refused: what the way asked for needs to know first.
inline const std::string kStreamByPieces =
    "A number of pieces needs the size of the data before the split, which standard input "
    "does not tell: split it by size, by a preset or by lines.";
inline const std::string kStreamCompressed =
    "Standard input cannot be compressed or encrypted before the split: the archive records "
    "its entry's size ahead of the data. Compress it in the pipe instead, or split a file.";
inline const std::string kStreamOnDiskettes =
    "Standard input cannot be split onto diskettes: the disks are counted before the split.";

inline std::string confirmCancel()
{
    return cancelProcessQuestion();
}

inline std::string diskFull()
{
    return std::string("There is not enough space on the disk.") + CR
           + "Please insert another disk with sufficient space and click OK to continue or "
             "Cancel to cancel the splitting process.";
}

inline std::string anotherJob(const std::string& fileName)
{
    return "Another job is writing " + fileName + "'s pieces in this folder.";
}

// The notice for a set on diskettes whose checksum file or join scripts no disk took.
inline std::string companionsLeftOut(const std::string& fileName, bool checksums, bool scripts)
{
    const std::string what = checksums && scripts ? "checksum file and join scripts"
                             : checksums          ? "checksum file"
                                                  : "join scripts";
    return "The " + what + " of " + fileName + (scripts ? " were" : " was")
           + " not written: no disk took them. Every piece is on its disk.";
}

// Why a split that would make `pieces` pieces (0: more than a set can number) is refused.
inline std::string tooManyPieces(std::uint64_t pieces)
{
    return "A set can have at most " + std::to_string(kMaxPieces) + " pieces"
           + (pieces > 0 ? "; this split would make " + std::to_string(pieces) : std::string());
}

// A file after the last plain piece that no split of the name wrote.
inline std::string notAPieceBeyond(const std::string& name)
{
    return name
           + " follows the pieces but is not one of them: leave it out when joining them "
             "with cat or copy /b.";
}

inline std::string insertDisk(int number)
{
    return "Please insert disk #" + std::to_string(number)
           + " in drive A: and click OK to continue.";
}

inline std::string notEnoughSpace(const std::string& required)
{
    return "There is not enough space on the disk. You need a disk with at least " + required
           + " bytes of free space. Please click OK to continue (you will be prompted to enter "
             "another disk) or Cancel to cancel the splitting process.";
}

} // namespace parcelo::split_text
