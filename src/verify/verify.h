#pragma once

#include "integrity/set_checksums.h"

#include <string>

namespace parcelo {

class Binding;
class Host;
class modJoinFile;

// The outcome of a check. NoVerdict: the check stopped before a verdict (file missing,
// cancelled, run-time error); only a verdict is recorded among the recent verified files.
enum class VerifyVerdict { Verified, NotVerified, NoVerdict };

// Where a check reports: the host for its messages and busy pointer, the verify pane's
// file list (optional) with the display unit of its size texts, and the join state, whose
// ErrorFlag and ErrorMessage receive a cancel or a run-time error (optional).
struct VerifyContext {
    Host& host;
    Binding* fileList = nullptr;
    std::string* unit = nullptr; // nullptr: kilobytes
    modJoinFile* joinState = nullptr;
    ChecksumReport* checksums = nullptr; // receives a set check's piece-by-piece report
};

// Checks one piece (a byte piece by its header, a line piece by its marker line) and
// shows which piece of how large a set it is, or why it is not a split file.
VerifyVerdict VerifySplitFile(const std::string& path, const VerifyContext& context);

// Checks every piece of the picked piece's set, asking for diskettes on drive A:, lists
// them and shows whether the set verified, with one reason per bad piece.
VerifyVerdict VerifySplitSet(const std::string& path, const VerifyContext& context);

// What a Verify button leaves in the pane.
struct VerifyCommandResult {
    std::string Text8;       // the path box, repaired
    bool focusText8 = false; // the input was refused: the focus goes to the path box
    VerifyVerdict verdict = VerifyVerdict::NoVerdict;
};

// "Verify this file" and "Verify whole set": check the typed path, refuse bad input with
// its message, and run the check with the busy pointer on an emptied list.
VerifyCommandResult cmdVerify1_Click(const std::string& text8, const VerifyContext& context);
VerifyCommandResult cmdVerify2_Click(const std::string& text8, const VerifyContext& context);

} // namespace parcelo
