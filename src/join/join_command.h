#pragma once

#include "platform/bindings.h"
#include "platform/command_outcome.h"
#include "platform/explore_menu.h"

#include <string>

namespace parcelo {

class CompressionAdapter;
class File;
class Host;
class RecentFilesSink;
class modJoinFile;

// What a join is asked to do; the command writes the repaired paths back into piecePath
// and destinationFolder.
struct JoinRequest {
    std::string piecePath;          // any one piece of the set
    std::string destinationFolder;  // where the joined file goes
    bool keepCompressed = false;    // leave a compressed set's joined file compressed
    bool deletePiecesAfter = false; // offer to delete the pieces after a successful join
};

struct JoinServices {
    Host& host;
    modJoinFile& engine;
    CompressionAdapter& compressor;
    RecentFilesSink& recentFiles;
    ExploreMenu& exploreMenu;
    // ProgressBar2, Label8 and ListView2.
    PaneBindings pane;
};

// The Join button: checks the request, asks before a file it makes replaces one of its name
// (askBeforeReplacing: a No ends it with nothing written), joins the set, decompresses a
// compressed set unless keepCompressed says not to, reports the outcome and offers to delete the
// pieces. A failed decompression fails the join: the compressed joined file is kept, the pieces are
// not offered for deletion, and the message gives the reason. An encrypted set's password is
// asked for once its pieces have passed their checks (Question::Password, three tries); a
// password that is wrong or not given writes nothing, the joined archive included ("The
// password is wrong."). The outcome's file is the one written, after decompression when
// there was one; the kept compressed file when its decompression failed.
CommandOutcome joinCommand(JoinRequest& request, JoinServices& services);

// The join into a stream (standard output): the set's pieces are checked whole before its
// first byte goes into stream; a compressed set is joined into destinationFolder (a scratch
// folder the caller removes) and its file decompressed into stream. Nothing is asked
// about replacing; the outcome is the caller's to tell.
CommandOutcome joinIntoStreamCommand(JoinRequest& request, JoinServices& services, File& stream);

// True when the set that anyPiece belongs to is compressed and its archive's entry is
// encrypted, as its first piece declares (false when that cannot be read, or is on a
// diskette).
bool setIsEncrypted(const std::string& anyPiece);

// "Clear All" of the Join pane: empties the boxes, the label and the list, hides the bar.
void clearJoinCommand(JoinRequest& request, const PaneBindings& bindings);

} // namespace parcelo
