#pragma once

#include "scripted_host.h"
#include "split/mod_split_file.h"
#include "temp_folder.h"

#include <cstdio>
#include <string>

namespace parcelo::test {

// Splits data.bin (or data.zip as a compressed set) into the folder "out".
struct SplitSet {
    TempFolder temp;
    std::string name;
    std::string content;
    int pieces = 0;

    SplitSet(const std::string& unit, bool compressed = false)
        : name(compressed ? "data.zip" : "data.bin")
    {
        content = unit == "LN" ? lines() : patternBytes(10000);
        writeFile(temp.file(name), content);
        std::filesystem::create_directory(temp.path() / "out");
        ScriptedHost host;
        modSplitFile engine(host);
        engine.SetSourceFile(temp.file(name));
        engine.SetDestFolder(temp.folder() + "out/");
        engine.SetSplitSize(unit == "LN" ? 40 : 3000);
        engine.SetUnit(unit);
        engine.SetCompressed(compressed ? "Yes" : "");
        engine.StartSplit();
        pieces = engine.PieceCount();
    }
    std::string out(const std::string& file = {}) const { return temp.folder() + "out/" + file; }
    std::string piece(int n) const { return out(name + ".00" + std::to_string(n)); }

    static std::string lines()
    {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
        return text + "last line without end";
    }
};

// Standard output of a shell command.
inline std::string commandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        ::pclose(pipe);
    }
    return output;
}

inline void flipByte(const std::string& path, std::size_t at)
{
    std::string bytes = readFile(path);
    bytes[at] ^= 0x20;
    writeFile(path, bytes);
}

} // namespace parcelo::test
