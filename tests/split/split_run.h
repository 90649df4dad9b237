#pragma once

#include "split/mod_split_file.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::test {

// A scripted host that can lift an injected write fault when it shows a message: a user
// who makes room on the disk before pressing OK.
class SplitHost : public ScriptedHost {
public:
    bool clearsWriteFault = false;

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override
    {
        if (clearsWriteFault)
            faults::clearWriteFault();
        return ScriptedHost::showMessage(kind, text, buttons, icon, title);
    }
};

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
    ~SplitRun() { faults::clearWriteFault(); }

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
    SplitHost host;
    modSplitFile engine{host};
    std::string out;
    std::string content;
};

} // namespace parcelo::test
