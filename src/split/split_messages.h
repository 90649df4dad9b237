#pragma once

#include "format/split_set.h"
#include "platform/captions.h"
#include "platform/host.h"

#include <cstdint>
#include <string>

// Texts the split engine shows or leaves in its Message.
namespace parcelo::split_text {

inline const std::string kCancelled = "Splitting of the files was cancelled.";

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
