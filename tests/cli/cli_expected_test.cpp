// Whole outputs of parcelo-cli, pinned: each scenario's standard output, standard error
// and exit status are kept in expected/NAME.txt and compared byte for byte. After an
// intended change, `env PARCELO_UPDATE_EXPECTED=1 ctest -R CliExpected` rewrites them.
#include "cli_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace parcelo::test;
namespace fs = std::filesystem;

namespace {

// What a run shows, with the temporary folder's path as "TMP".
std::string transcript(const std::vector<std::string>& arguments, const CliRun& run,
                       const std::string& folder)
{
    std::string command = "$ parcelo-cli";
    for (const std::string& argument : arguments)
        command += " " + argument;
    std::string text = command + "\n--- status " + std::to_string(run.status) + "\n--- stdout\n"
                       + run.out + "--- stderr\n" + run.err;
    for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
        text.replace(at, folder.size(), "TMP");
    return text;
}

class CliExpected : public CliRunTest {
protected:
    CliExpected()
    {
        writeFile(temp.file("data.bin"), patternBytes(100'000, 3));
        writeFile(temp.file("other.bin"), patternBytes(1000, 4));
    }
    // data.bin as 4 pieces and 2 recovery pieces in pieces/
    void splitData() const
    {
        EXPECT_EQ(run({"split", "data.bin", "pieces", "-s", "30000", "--recovery", "2"}).status, 0);
    }
    void damage(const std::string& name) const { flipByte(piece(name), 5000); }
    void remove(const std::string& name) const { fs::remove(piece(name)); }
};

struct Scenario {
    const char* name;
    std::vector<std::string> arguments;
    std::function<void()> before;
};

} // namespace

TEST_F(CliExpected, OutputsMatchTheirPinnedFiles)
{
    const auto set = [this] { splitData(); };
    const auto lost = [this] {
        splitData();
        damage("data.bin.002");
        remove("data.bin.004");
    };
    const Scenario scenarios[] = {
        {"help", {"--help"}, {}},
        {"help-split", {"split", "--help"}, {}},
        {"version", {"-V"}, {}},
        {"unknown-option", {"join", "--bogus", "pieces/other.bin.001", "joined"}, {}},
        {"pieces-of-two-sets",
         {"join", "pieces/data.bin.001", "pieces/other.bin.002", "joined"},
         {}},
        {"split", {"split", "data.bin", "pieces", "-s", "30000", "--recovery", "2"}, {}},
        {"split-beside-a-users-file",
         {"split", "data.bin", "pieces", "-n", "3"},
         [this] { writeFile(piece("data.bin.sha256"), "mine\n"); }},
        {"split-too-many-pieces", {"split", "data.bin", "pieces", "--size", "2"}, {}},
        {"join",
         {"join", "pieces/data.bin.001", "pieces/data.bin.002", "pieces/data.bin.003",
          "pieces/data.bin.004", "joined"},
         set},
        {"join-rebuilds", {"join", "pieces/data.bin.003", "joined"}, lost},
        {"join-beside-a-users-file",
         {"join", "pieces/data.bin.003", "joined"},
         [this, &set] {
             set();
             writeFile(output("data.bin"), "mine\n");
         }},
        {"verify", {"verify", "pieces/data.bin.002"}, set},
        {"verify-set", {"verify", "--set", "pieces/data.bin.001"}, set},
        {"verify-set-lost", {"verify", "--set", "pieces/data.bin.001"}, lost},
        {"verify-set-beyond",
         {"verify", "--set", "pieces/data.bin.001"},
         [this, &lost] {
             lost();
             remove("data.bin.rec002");
         }},
        {"repair", {"repair", "pieces/data.bin.001"}, lost},
        {"not-a-piece", {"verify", "--set", "data.bin"}, {}},
    };
    const bool update = std::getenv("PARCELO_UPDATE_EXPECTED") != nullptr;
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        for (const char* folder : {"pieces", "joined"}) {
            fs::remove_all(temp.file(folder));
            fs::create_directory(temp.file(folder));
        }
        // other.bin in pieces/, as a set of its own
        EXPECT_EQ(run({"split", "other.bin", "pieces", "-n", "2"}).status, 0);
        if (scenario.before)
            scenario.before();
        const std::string shown =
            transcript(scenario.arguments, run(scenario.arguments), temp.path().string());
        const std::string file = std::string(PARCELO_CLI_EXPECTED) + "/" + scenario.name + ".txt";
        if (update)
            writeFile(file, shown);
        else
            EXPECT_EQ(shown, readFile(file)) << "diff against " << file;
    }
}
