#pragma once

#include "temp_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::test {

// Pieces another tool made here, each set in a folder of its own.
struct ToolPieces {
    std::string what;     // the tool and how it numbers
    std::string picked;   // a middle piece
    std::string joined;   // the name a join gives the file
    std::string expected; // its bytes: the pieces one after the other
};

// source (2.5 MB that do not compress) cut into 1 MiB pieces under folder by 7-Zip's
// volumes (7zz a -v1m: archive.7z.001 ...), split -d -a 3 (data.bin.000 ...) and split
// with numbers from 1 (data.bin.001 ...).
inline std::vector<ToolPieces> makeToolPieces(const TempFolder& folder)
{
    const std::string root = folder.folder();
    writeFile(root + "data.bin", patternBytes(2'500'000, 7));
    const std::vector<std::pair<std::string, std::string>> tools = {
        {"7z", "7zz a -bd -v1m 7z/archive.7z data.bin >/dev/null"},
        {"split-d", "split -d -a 3 -b 1M data.bin split-d/data.bin."},
        {"split-1", "split -b 1M --numeric-suffixes=1 -a 3 data.bin split-1/data.bin."},
    };
    std::vector<ToolPieces> sets;
    for (const auto& [what, command] : tools) {
        std::filesystem::create_directory(root + what);
        commandOutput("cd '" + root + "' && " + command);
        const std::string name = what == "7z" ? "archive.7z" : "data.bin";
        const std::string middle = what == "split-d" ? ".001" : ".002";
        sets.push_back({what, root + what + "/" + name + middle, name,
                        commandOutput("cat '" + root + what + "/" + name + "'.0*")});
    }
    return sets;
}

} // namespace parcelo::test
