#pragma once

#include "platform/bindings.h"
#include "platform/recent_files.h"

#include <string>
#include <utility>
#include <vector>

namespace parcelo::test {

// Bindings that remember what the engines showed on them.
class FakeProgressBar : public ProgressBarBinding {
public:
    void setMaximum(int m) override { max = m; }
    int maximum() const override { return max; }
    void setValue(int v) override { values.push_back(v); }
    void setVisible(bool v) override { visible = v; }

    int max = 100;
    bool visible = false;
    std::vector<int> values;
};

class FakeLabel : public LabelBinding {
public:
    void setCaption(const std::string& c) override { captions.push_back(c); }
    std::vector<std::string> captions;
};

class FakeFileList : public FileListBinding {
public:
    void clear() override
    {
        rows.clear();
        kinds.clear();
    }
    int addRow(const std::string& text, FileRowKind kind) override
    {
        rows.emplace_back(text, std::string());
        kinds.push_back(kind);
        return static_cast<int>(rows.size()) - 1;
    }
    void setRowSize(int row, const std::string& size) override { rows.at(row).second = size; }
    void scrollToRow(int row) override { lastScrolled = row; }

    std::vector<std::pair<std::string, std::string>> rows; // text, size text
    std::vector<FileRowKind> kinds;
    int lastScrolled = -1;
};

// Records "kind:file" for every file a command reports as worked on.
class RecordedRecentFiles : public RecentFilesSink {
public:
    void AddRecentFile(const std::string& file, const std::string& kind) override
    {
        added.push_back(kind + ":" + file);
    }
    std::vector<std::string> added;
};

} // namespace parcelo::test
