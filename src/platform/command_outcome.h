#pragma once

#include <string>
#include <vector>

namespace parcelo {

// What a pane command leaves for the front end that ran it: whether it succeeded, the
// control that gets the focus (named as in the pane, "" for none), the file it wrote
// ("" when it names none) and the notices its outcome message adds after its first
// sentence, one each, for a front end that shows them apart.
struct CommandOutcome {
    bool succeeded = false;
    std::string focus;
    std::string producedFile;
    std::vector<std::string> notices = {};
};

} // namespace parcelo
