#pragma once

#include "split/mod_split_file.h"

#include "fault_host.h"
#include "format/split_set.h"
#include "platform/paths.h"
#include "temp_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::test {

// "line 100" to "line 199", each ended by CR LF.
inline std::string hundredLines()
{
    std::string lines;
    for (int i = 100; i < 200; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    return lines;
}

// A source file in a temporary folder and an engine set to split it into "out/".
struct SplitRun {
    SplitRun(std::string bytes, double size, const std::string& unit,
             const std::string& name = "data.bin")
        : out(temp.folder() + "out/"), content(std::move(bytes))
    {
        std::filesystem::create_directory(out);
        writeFile(temp.file(name), content);
        engine.SetSourceFile(temp.file(name));
        engine.SetDestFolder(out);
        engine.SetSplitSize(size);
        engine.SetUnit(unit);
    }
    std::string piecePath(int n) const
    {
        return pieceName(engine.DestFolder(), engine.FileName(), n);
    }
    // name.001, name.002 ... up to the first one missing.
    std::vector<std::string> pieces() const
    {
        std::vector<std::string> result;
        for (int n = 1; std::filesystem::exists(toNativePath(piecePath(n))); ++n)
            result.push_back(readFile(toNativePath(piecePath(n)).string()));
        return result;
    }

    TempFolder temp;
    FaultHost host;
    modSplitFile engine{host};
    std::string out;
    std::string content;
};

} // namespace parcelo::test
