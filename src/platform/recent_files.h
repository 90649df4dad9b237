#pragma once

#include <string>

namespace parcelo {

// Where commands record the files they worked on ("Split", "Joined", "Verified"). The
// main window keeps the lists; other front ends may record nothing.
class RecentFilesSink {
public:
    virtual ~RecentFilesSink() = default;
    virtual void AddRecentFile(const std::string& fileName, const std::string& kind) = 0;
};

class NoRecentFiles : public RecentFilesSink {
public:
    void AddRecentFile(const std::string&, const std::string&) override {}
};

} // namespace parcelo
