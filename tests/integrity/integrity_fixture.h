#pragma once

#include "split_run.h"

#include <string>

namespace parcelo::test {

// data.bin (or data.zip as a compressed set) split into the folder "out".
struct SplitSet : SplitRun {
    explicit SplitSet(const std::string& unit, bool compressed = false)
        : SplitRun(unit == "LN" ? lines() : patternBytes(10000), unit == "LN" ? 40 : 3000, unit,
                   compressed ? "data.zip" : "data.bin")
    {
        engine.SetCompressed(compressed ? "Yes" : "");
        engine.StartSplit();
        name = engine.FileName();
        pieces = engine.PieceCount();
    }
    std::string piece(int n) const { return piecePath(n); }

    static std::string lines()
    {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
        return text + "last line without end";
    }

    std::string name;
    int pieces = 0;
};

} // namespace parcelo::test
