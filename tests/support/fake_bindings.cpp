#include "fake_bindings.h"

namespace parcelo::test {

int FakeFileList::addRow(const std::string& text)
{
    rows.emplace_back(text, std::string());
    return static_cast<int>(rows.size()) - 1;
}

} // namespace parcelo::test
