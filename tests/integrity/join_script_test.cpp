#include "split_run.h"

#include "integrity/join_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

namespace parcelo {
namespace {

namespace fs = std::filesystem;

// A split set whose scripts join it back.
struct ScriptSet : test::SplitSet {
    using SplitSet::SplitSet;
    std::string script() const { return base() + ".join.sh"; }
    bool joined() const { return test::readFile(base()) == content; }
};

std::string shellWord(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string programPath(const std::string& program)
{
    return test::commandOutput("command -v " + program + " | tr -d '\\n'");
}

// A folder with a command for each busybox applet but those left out: a PATH that
// offers nothing but busybox.
std::string busyboxPath(const std::vector<std::string>& leftOut = {})
{
    static std::map<std::vector<std::string>, test::TempFolder> folders;
    auto [at, made] = folders.try_emplace(leftOut);
    if (made) {
        const std::string busybox = programPath("busybox");
        std::istringstream applets(test::commandOutput(busybox + " --list"));
        for (std::string applet; applets >> applet;) {
            if (std::find(leftOut.begin(), leftOut.end(), applet) == leftOut.end())
                fs::create_symlink(busybox, at->second.path() / applet);
        }
    }
    return at->second.path().string();
}

// dash with the system's commands, busybox sh with busybox's only.
struct Shell {
    std::string command;
    std::string path;
};
const std::vector<Shell>& shells()
{
    static const std::vector<Shell> all = {{programPath("dash"), std::getenv("PATH")},
                                           {programPath("busybox") + " sh", busyboxPath()}};
    return all;
}

// Runs a script (the set's own unless given) from the folder above the set, after the
// shell command before, whose process the script's shell takes over.
test::CommandRun run(const ScriptSet& set, const Shell& shell, const std::string& arguments = {},
                     const std::string& script = {}, const std::string& before = {})
{
    return test::commandRun("cd " + shellWord(set.temp.folder()) + " && " + before
                            + "PATH=" + shellWord(shell.path) + " exec " + shell.command + " "
                            + shellWord(script.empty() ? set.script() : script) + " " + arguments
                            + " 2>&1");
}

TEST(JoinScript, EveryKindOfSetJoinsUnderDashAndBusyboxAndAnExistingFileIsKeptUnlessForced)
{
    for (const Shell& shell : shells()) {
        // the joined archive of an encrypted set is named as one that needs its password
        for (const auto& [unit, compressed, plain, encrypted, skip] :
             {std::tuple{"BT", false, false, false, "$s.Position=12;"},
              {"LN", false, false, false,
               "do { $x=$s.ReadByte() } while ($x -ge 0 -and $x -ne 10);"},
              {"BT", true, false, false, "$s.Position=12;"},
              {"BT", false, true, false, "$s.Position=0;"},
              {"BT", true, true, false, "$s.Position=0;"},
              {"BT", true, false, true, "$s.Position=12;"}}) {
            SCOPED_TRACE(shell.command + " " + unit + (compressed ? " zip" : "")
                         + (plain ? " plain" : "") + (encrypted ? " encrypted" : ""));
            const ScriptSet set(compressed ? "data.zip" : "data.bin",
                                {unit, {}, compressed, plain, encrypted});
            const std::string joined = set.base();
            ASSERT_GT(set.engine.PieceCount(), 1);
            // plain pieces are the file's bytes: cat gives it back
            EXPECT_EQ(test::commandOutput("cd " + shellWord(set.out) + " && cat "
                                          + set.engine.FileName() + ".0*")
                          == set.content,
                      plain);
            // the checksum file the scripts check with is what sha256sum prints
            EXPECT_EQ(test::readFile(joined + ".sha256"),
                      test::commandOutput("cd " + shellWord(set.out) + " && sha256sum "
                                          + set.engine.FileName() + ".0*"));
            const std::string cmd = test::readFile(joined + ".join.cmd");
            EXPECT_TRUE(has(cmd, skip));
            EXPECT_EQ(has(cmd, "open it with any archive tool"), compressed && !encrypted);
            EXPECT_EQ(has(cmd, kEncryptedArchiveNote), encrypted);
            const test::CommandRun first = run(set, shell);
            EXPECT_EQ(first.status, 0);
            EXPECT_EQ(has(first.output, kEncryptedArchiveNote), encrypted);
            EXPECT_TRUE(set.joined());
            test::writeFile(joined, "the user's own");
            const test::CommandRun kept = run(set, shell);
            EXPECT_EQ(kept.status, 1);
            EXPECT_TRUE(has(kept.output, " already exists and was not replaced (run with --force "
                                         "to replace it).\n"));
            EXPECT_EQ(test::readFile(joined), "the user's own");
            EXPECT_EQ(run(set, shell, "--force").status, 0);
            EXPECT_TRUE(set.joined());
            for (const char* script : {".join.sh", ".join.cmd"})
                EXPECT_TRUE(isParceloJoinScript(test::readFile(joined + script))) << script;
        }
    }
    for (const char* own : {"", "#!/bin/sh\n", "#!/bin/sh\necho parcelo-join-script\n",
                            "@echo off\r\nrem my own parcelo-join-script\r\n"})
        EXPECT_FALSE(isParceloJoinScript(own)) << own;
}

std::vector<std::string> hostileNames()
{
    std::vector<std::string> names = {
        "new\ntouch PWNED\nline",
        "$(touch PWNED)",
        "`touch PWNED`",
        "it's'; touch PWNED; '",
        "say \"hi\" & touch PWNED",
        "\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9A\xE2\x80\x9B'); touch PWNED; ('", // U+2018..U+201B
        "Bob\xE2\x80\x99s file",
        "-rf",
        "--force",
        "%PATH% %~1 %%",
        "bang!! !PATH!",
        "a & b | c ^ d < e > f",
        "\xC3\xBCn\xC3\xAF c\xC3\xB8"
        "d\xC3\xA9 \xE2\x9C\x93",
        "back\\slash\\n",
        "star * [ab] ?.{x} $HOME",
        "tab\tcr\r esc\x1B[31m",
        "ends in a line break\n",
    };
    std::string accents;
    for (int i = 0; i < 123; ++i)
        accents += "\xC3\xA9";
    names.push_back(accents);                   // 246 bytes
    for (const std::size_t length : {241, 246}) // once too long for the temporary file
        names.push_back(std::string(length - 4, 'n') + ".bin");
    names.push_back(std::string(251, 'L')); // pieces of 255 bytes: no companion fits
    return names;
}

// The base64 text in the .cmd's PowerShell line, and the script without it.
std::pair<std::string, std::string> splitOffName(const std::string& cmd)
{
    const std::string open = "FromBase64String('";
    const std::size_t from = cmd.find(open) + open.size();
    const std::size_t to = cmd.find('\'', from);
    return {cmd.substr(from, to - from), cmd.substr(0, from) + cmd.substr(to)};
}

TEST(JoinScript, HostileNamesAreOnlyDataInBothScripts)
{
    for (const std::string& name : hostileNames()) {
        SCOPED_TRACE(shellWord(name.size() > 40 ? std::to_string(name.size()) + " bytes" : name));
        const bool fits = name.size() + std::string(".join.cmd").size() <= 255;
        const ScriptSet set(name, {.companions = {fits, fits, 0, false}});
        ASSERT_EQ(set.engine.PieceCount(), 4);
        const JoinScriptSet about{name, 4, false, false};
        const std::string sh = fits ? set.script() : set.out + "join.sh";
        if (!fits)
            test::writeFile(sh, shellJoinScript(about));
        const std::string text = test::readFile(sh); // control characters only as escapes
        EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](char c) {
            return (c >= 0 && c < ' ' && c != '\n') || c == 127;
        }));
        const auto files = test::namesIn(set.out);
        for (const Shell& shell : shells()) {
            SCOPED_TRACE(shell.command);
            const test::CommandRun ran = run(set, shell, {}, sh);
            EXPECT_EQ(ran.status, 0) << ran.output;
            EXPECT_TRUE(has(ran.output, "Joined 4 pieces into " + name + ".\n")) << ran.output;
            EXPECT_TRUE(set.joined());
            for (const auto& entry : fs::recursive_directory_iterator(set.temp.path()))
                EXPECT_NE(entry.path().filename(), "PWNED");
            fs::remove(set.base());
            EXPECT_EQ(test::namesIn(set.out), files); // no temporary file left
        }

        // The .cmd: printable ASCII in CR LF lines, the name only as base64 of its bytes.
        const std::string cmd = cmdJoinScript(about);
        if (fits) {
            EXPECT_EQ(test::readFile(set.base() + ".join.cmd"), cmd);
        }
        EXPECT_TRUE(std::all_of(cmd.begin(), cmd.end(), [](char c) {
            return (c >= ' ' && c < 127) || c == '\r' || c == '\n';
        }));
        EXPECT_EQ(std::count(cmd.begin(), cmd.end(), '\n'),
                  std::count(cmd.begin(), cmd.end(), '\r'));
        EXPECT_FALSE(has(cmd, "\r\r") || has(cmd, "\n\n") || has(cmd, "\n\r"));
        const auto [encoded, rest] = splitOffName(cmd);
        EXPECT_EQ(test::commandOutput("printf %s " + shellWord(encoded) + " | base64 -d"), name);
        const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return c >= 0; });
        EXPECT_EQ(rest, splitOffName(cmdJoinScript({ascii ? "a" : "\xC3\xA9", 4})).second);
        EXPECT_EQ(has(cmd, "\r\nchcp 65001 >nul\r\npowershell "), !ascii);
        EXPECT_FALSE(has(cmd, "ReadAllBytes"));
        // cmd reads the PowerShell program as one quoted argument with nothing to expand
        const std::size_t start = cmd.find("\r\npowershell ") + 2;
        const std::string line = cmd.substr(start, cmd.find('\r', start) - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2);
        EXPECT_EQ(line.back(), '"');
        EXPECT_EQ(line.find_first_of("%!"), std::string::npos);
        EXPECT_LT(line.size(), 8191u);
    }
}

// data.bin.sha256 as another tool may write it: upper-case hex, "*" marks and single
// spaces, CR LF line ends and no final one.
void rewriteChecksums(const ScriptSet& set)
{
    std::istringstream lines(test::readFile(set.base() + ".sha256"));
    std::string text;
    int n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        std::transform(line.begin(), line.begin() + 64, line.begin(), ::toupper);
        line.replace(64, 2, n % 3 == 0 ? " *" : n % 3 == 1 ? " " : "  ");
        text += (n ? "\r\n" : "") + line;
    }
    test::writeFile(set.base() + ".sha256", text);
}

TEST(JoinScript, TheShellScriptChecksOnlyDataPiecesNeverWritesElsewhereAndSaysWhatToDoNext)
{
    using Change = std::function<void(const ScriptSet&)>;
    const auto remove = [](const char* suffix) -> Change {
        return [suffix](const ScriptSet& set) { fs::remove(set.base() + suffix); };
    };
    const auto add = [](const std::string& line) -> Change {
        return [line](const ScriptSet& set) {
            test::writeFile(set.base() + ".sha256", test::readFile(set.base() + ".sha256") + line);
        };
    };
    const auto link = [](const char* target) -> Change {
        return [target](const ScriptSet& set) {
            fs::create_symlink(set.temp.file(target), set.base());
        };
    };
    const Change damage = [](const ScriptSet& set) { test::flipByte(set.piecePath(2), 100); };
    const Change folder = [](const ScriptSet& set) { fs::create_directory(set.base()); };

    const std::string joined = "Joined 4 pieces into data.bin.\n";
    const std::string notJoined = "Damaged or missing pieces: data.bin was not joined.\n";
    const std::string rebuild = "Parcelo can rebuild it from the recovery pieces here: "
                                "parcelo-cli repair 'data.bin.001'\n";
    const std::string unchecked = "No data.bin.sha256 here: the pieces are joined unchecked.\n";
    const std::string notListed =
        "data.bin.sha256 does not list the pieces of this set; it was not used.\n"
        "The pieces are joined unchecked.\n";
    const std::string refused = "data.bin is a link or a folder and was not replaced.\n";
    // the temporary name the script once used, planted by the shell that becomes the script's
    const std::string oldTemporary = "ln -s ../outside out/data.bin.join-tmp.$$ && ";
    struct Case {
        const char* what;
        int recovery;
        std::vector<Change> changes;
        const char* arguments;
        int status;
        std::vector<std::string> says; // the hint to rebuild appears only where listed
        std::string before = {};
        std::string path = {};
    };
    const Case cases[] = {
        {"a recovery piece missing", 2, {remove(".rec001")}, "", 0, {"data.bin.004: OK\n", joined}},
        {"damaged, recovery here",
         2,
         {damage},
         "",
         1,
         {"data.bin.002: FAILED\n", notJoined, rebuild}},
        {"missing, recovery here",
         2,
         {remove(".003")},
         "",
         1,
         {"data.bin.003: MISSING\n", notJoined, rebuild}},
        {"missing, unchecked",
         2,
         {remove(".sha256"), remove(".003")},
         "",
         1,
         {unchecked, "Missing piece: data.bin.003\n", notJoined, rebuild}},
        {"damaged, no recovery", 0, {damage}, "", 1, {"data.bin.002: FAILED\n", notJoined}},
        {"no checksum file", 0, {remove(".sha256")}, "", 0, {unchecked, joined}},
        {"no sha256sum or shasum",
         0,
         {},
         "",
         0,
         {"No sha256sum or shasum here: the pieces are joined unchecked.\n", joined},
         "",
         busyboxPath({"sha256sum"})},
        {"a whole-file checksum",
         0,
         {remove(".sha256"), add(std::string(64, 'a') + "  data.bin\n")},
         "",
         0,
         {notListed, joined}},
        {"a piece listed twice",
         0,
         {add(std::string(64, 'a') + "  data.bin.002\n")},
         "",
         0,
         {notListed, joined}},
        {"another tool's lines",
         0,
         {rewriteChecksums},
         "",
         0,
         {"data.bin.001: OK\n", "data.bin.002: OK\n", "data.bin.004: OK\n", joined}},
        {"another tool's lines, damaged",
         0,
         {rewriteChecksums, damage},
         "",
         1,
         {"data.bin.002: FAILED\n", notJoined}},
        {"a link to a file", 0, {link("outside")}, "", 1, {refused}},
        {"a link to a file, forced", 0, {link("outside")}, "--force", 1, {refused}},
        {"a link to a folder, forced", 0, {link("elsewhere")}, "--force", 1, {refused}},
        {"a dangling link", 0, {link("not there")}, "", 1, {refused}},
        {"a folder, forced", 0, {folder}, "--force", 1, {refused}},
        {"a link at the old temporary name", 0, {}, "", 0, {joined}, oldTemporary},
        {"--help", 0, {}, "--help", 0, {"Usage: sh "}},
        {"-h", 0, {}, "-h", 0, {"  --force  replace data.bin when it exists\n"}},
        {"an unknown option", 0, {}, "--bogus", 2, {"Usage: sh "}},
        {"two options", 0, {}, "--force --force", 2, {"Usage: sh "}},
    };
    for (const Shell& shell : shells()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(shell.command + ": " + c.what);
            const ScriptSet set("data.bin", {.companions = {true, true, c.recovery, false}});
            test::writeFile(set.temp.file("outside"), "not to be touched");
            fs::create_directory(set.temp.file("elsewhere"));
            for (const Change& change : c.changes)
                change(set);
            const test::CommandRun ran =
                run(set, c.path.empty() ? shell : Shell{shell.command, c.path}, c.arguments, {},
                    c.before);
            EXPECT_EQ(ran.status, c.status) << ran.output;
            for (const std::string& line : c.says)
                EXPECT_TRUE(has(ran.output, line)) << line << ran.output;
            EXPECT_EQ(has(ran.output, rebuild), c.says.back() == rebuild);
            EXPECT_EQ(set.joined(), c.status == 0 && c.says.back() == joined);
            EXPECT_EQ(test::readFile(set.temp.file("outside")), "not to be touched");
            EXPECT_TRUE(fs::is_empty(set.temp.file("elsewhere")));
            EXPECT_FALSE(fs::exists(set.temp.file("not there")));
        }
    }
}

} // namespace
} // namespace parcelo
