#pragma once

#include "format/file_list.h"
#include "integrity/set_checksums.h"
#include "platform/bindings.h"
#include "platform/command_outcome.h"

#include <string>

namespace parcelo {

class Host;
class ErrorState;
class RecentFilesSink;

// The outcome of a check. NoVerdict: the check stopped before a verdict (file missing,
// cancelled, run-time error); only a verdict is recorded among the recent verified files.
enum class VerifyVerdict { Verified, NotVerified, NoVerdict };

// What a check of a whole set concludes about repairing it: Intact when it verified,
// Repairable when its recovery pieces can rebuild everything lost, NotRepairable else.
enum class SetOutlook { Intact, Repairable, NotRepairable };

struct RepairOutlook {
    SetOutlook state = SetOutlook::NotRepairable;
    std::string verdict;     // "is intact", "can be repaired: ...", "cannot be repaired: ..."
    std::string notice = {}; // the recovery pieces that were not used and why; "" when none
};

// Where a check reports: the host for its messages and busy pointer, the verify pane's
// file list (optional) with the display unit of its size texts, and the error state, whose
// ErrorFlag and ErrorMessage receive a cancel or a run-time error (optional).
struct VerifyContext {
    Host& host;
    Binding* fileList = nullptr;
    DisplayUnit* unit = nullptr; // nullptr: kilobytes
    ErrorState* joinState = nullptr;
    ChecksumReport* checksums = nullptr; // receives a set check's piece-by-piece report
    RepairOutlook* outlook = nullptr;    // receives a set check's conclusion
};

// Checks one piece (a byte piece by its header, a line piece by its marker line) and
// shows which piece of how large a set it is, or why it is not a split file.
VerifyVerdict VerifySplitFile(const std::string& path, const VerifyContext& context);

// Checks every piece of the picked piece's set, asking for diskettes on drive A:, lists
// them and shows whether the set verified, with one reason per bad piece. A stop, or a
// cancelled diskette prompt, ends it without a verdict or a message.
VerifyVerdict VerifySplitSet(const std::string& path, const VerifyContext& context);

// What a check or a repair is asked to look at; the command writes the repaired path back.
struct VerifyRequest {
    std::string piecePath; // any one piece of the set
};

// What a Verify button works with besides its request.
struct VerifyServices {
    Host& host;
    RecentFilesSink& recentFiles;
    // ProgressBar3 and ListView3.
    PaneBindings pane;
    DisplayUnit* unit = nullptr;         // the display unit of the list's sizes; nullptr: kilobytes
    ErrorState* joinState = nullptr;     // the join engine's error, set by a set check
    ChecksumReport* checksums = nullptr; // receives a set check's piece-by-piece report
    RepairOutlook* outlook = nullptr;    // receives a set check's conclusion
};

// "Verify this file" and "Verify whole set": check the typed path, refuse bad input with
// its message (the focus goes to the piece path), and run the check with the busy pointer on an
// emptied list. A check that reached a verdict records the path among the recent verified
// files; the outcome succeeds when the piece or set verified.
CommandOutcome verifyFileCommand(VerifyRequest& request, VerifyServices& services);
CommandOutcome verifySetCommand(VerifyRequest& request, VerifyServices& services);

// "Clear All" of the Verify pane: empties the box and the list, hides the bar.
void clearVerifyCommand(VerifyRequest& request, const PaneBindings& bindings);

} // namespace parcelo
