#pragma once

#include <string>

namespace parcelo {

// What a pane command leaves for the front end that ran it: whether it succeeded, the
// control that gets the focus (named as in the pane, "" for none) and the file it wrote
// ("" when it names none).
struct CommandOutcome {
    bool succeeded = false;
    std::string focus;
    std::string producedFile;
};

} // namespace parcelo
