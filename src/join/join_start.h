#pragma once

#include "platform/command_outcome.h"

#include <string>

namespace parcelo {

class Host;
class modJoinFile;

// What the start of a Join button decided.
struct JoinStart {
    bool ready = false; // the engine holds the source and destination; the join may go on
    RequestField focus = RequestField::None; // the box that gets the focus after a refusal
};

// The start every Join button shares: checks and repairs the two boxes (any one piece,
// destination folder; the repaired texts are written back), refuses bad input with its
// message, resets the engine and gives it the source and destination, and for a
// destination on the diskette drive asks for a disk until the drive can be read.
// Cancelling that prompt ends the join without a further message.
JoinStart startJoin(std::string& source, std::string& destination, modJoinFile& engine, Host& host);

// Which of the files a join makes may take the place of a file of its name.
struct JoinReplacing {
    bool go = true;            // false: the user keeps a file there; the join ends at once
    bool decompressed = false; // the decompressed file may replace one of its name
};

// Asked before the join writes anything: for each file the join will make (the file a
// decompression will make, when decompressedPath names one, then the joined file) that
// already exists, "NAME already exists in FOLDER. Replace it?" (Yes and No, No being the
// answer that keeps it). Any No ends the join. The engine learns whether the joined file
// may replace one (SetReplaceJoinedFile); a file that was not there when asked is never
// replaced, even when it turns up during the join. Without askJoined the joined file is
// left for askBeforeReplacingJoined, once the join knows it will make one.
JoinReplacing askBeforeReplacing(modJoinFile& engine, Host& host,
                                 const std::string& decompressedPath = {}, bool askJoined = true);

// The question of askBeforeReplacing for the joined file alone: false when the user keeps
// the file there.
bool askBeforeReplacingJoined(modJoinFile& engine, Host& host);

// True when the picked piece carries the signature of a compressed set, or belongs to
// Parcelo's own plain set of a compressed file (plainSetCompressed).
bool pickedPieceCompressed(const std::string& piece);

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
