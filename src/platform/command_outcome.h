#pragma once

#include <string>
#include <vector>

namespace parcelo {

// A field of a request, named so that a front end can put the focus in the box that
// holds it after a refusal.
enum class RequestField {
    None,
    SourcePath,
    PieceCount,
    PieceSize,
    DestinationFolder,
    CompressFirst,
    RecoveryCount,
    PlainPieces,
    Encrypt,
    Password,
    PasswordAgain,
    PiecePath,
};

// What a pane command leaves for the front end that ran it: whether it succeeded, the
// field whose box gets the focus (None for none), the file it wrote
// ("" when it names none) and the notices its outcome message adds after its first
// sentence, one each, for a front end that shows them apart.
struct CommandOutcome {
    bool succeeded = false;
    RequestField focus = RequestField::None;
    std::string producedFile;
    std::vector<std::string> notices = {};
};

} // namespace parcelo
