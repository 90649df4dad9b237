#pragma once

#include "split/mod_split_file.h"

#include "fault_host.h"
#include "format/split_set.h"
#include "platform/paths.h"
#include "temp_folder.h"

#include <filesystem>
#include <functional>
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

// How a SplitSet is split; setUp runs on "out/" before the split.
struct SetOptions {
    std::string unit = "BT";
    CompanionOptions companions = {};
    bool compressed = false;
    bool plain = false;
    bool encrypted = false;
    std::function<void(const std::string& out)> setUp = {};
};

// A file of this name split into "out/" at once: 10,000 bytes in pieces of 3000, or by
// lines ("LN") 100 lines in pieces of 40, CR LF and lone LF in turn and the last one
// without an ending.
struct SplitSet : SplitRun {
    explicit SplitSet(const std::string& name, const SetOptions& options = {})
        : SplitRun(options.unit == "LN" ? mixedLines() : patternBytes(10000),
                   options.unit == "LN" ? 40 : 3000, options.unit, name)
    {
        engine.markCompressed(options.compressed);
        engine.setPlainPieces(options.plain);
        engine.markEncrypted(options.encrypted);
        engine.SetCompanions(options.companions);
        if (options.setUp)
            options.setUp(out);
        status = engine.StartSplit();
        pieces = engine.PieceCount();
    }
    static std::string mixedLines()
    {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
        return text + "last line without end";
    }
    // The joined file's path.
    std::string base() const { return out + engine.FileName(); }

    int status = -1;
    int pieces = 0;
};

} // namespace parcelo::test
