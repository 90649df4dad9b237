#pragma once

#include <string>

namespace parcelo {

class Host;
class modJoinFile;

// What the start of a Join button decided.
struct JoinStart {
    bool ready = false; // the engine holds the source and destination; the join may go on
    std::string focus;  // the box that gets the focus after a refusal ("Text5", "Text6"), or ""
};

// The start every Join button shares: checks and repairs the two boxes (any one piece,
// destination folder; the repaired texts are written back), refuses bad input with its
// message, resets the engine and gives it the source and destination, and for a
// destination on the diskette drive asks for a disk until the drive can be read.
// Cancelling that prompt ends the join without a further message.
JoinStart startJoin(std::string& source, std::string& destination, modJoinFile& engine, Host& host);

// Finds every piece of the set from the engine's source; when it cannot, shows why
// (critical) and returns false.
bool locateSet(modJoinFile& engine, Host& host);

// The report of a failed join: "Error:" + ErrorFlag + " : " + ErrorMessage.
std::string joinErrorText(const modJoinFile& engine);

// The report of a successful join of the file at joinedPath; suffix goes after
// " has been created" (" and decompressed", or "").
std::string joinSucceededText(const std::string& joinedPath, const std::string& suffix = {});

// The line a success message gains when a file named like the set's checksum file was
// not the set's and was not used ("" otherwise).
std::string checksumNoticeLine(const modJoinFile& engine);

} // namespace parcelo
