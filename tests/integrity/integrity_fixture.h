#pragma once

#include "scripted_host.h"
#include "split/mod_split_file.h"
#include "temp_folder.h"

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

} // namespace parcelo::test
