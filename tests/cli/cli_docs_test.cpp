// The manual pages and the bash completion against the option table and --help.
#include "app/version.h"
#include "cli/options.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

using namespace parcelo::cli;
using parcelo::test::commandOutput;
using parcelo::test::readFile;

namespace {

const std::string kPackaging = PARCELO_PACKAGING;

std::set<std::string> matchesOf(const std::string& text, const std::string& pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it)
        found.insert(std::regex_replace((*it)[1].str(), std::regex(R"(\\-)"), "-"));
    return found;
}

// The text of a manual page's section, up to the next.
std::string section(const std::string& page, const std::string& name)
{
    const std::size_t start = page.find(".SH " + name + "\n");
    const std::size_t end = page.find("\n.SH ", start + 1);
    return start == std::string::npos ? std::string() : page.substr(start, end - start + 1);
}

std::set<std::string> longNames(Commands commands)
{
    std::set<std::string> names;
    for (const OptionSpec& option : optionTable())
        if ((option.commands & commands) != 0)
            names.insert(option.longName);
    return names;
}

constexpr Commands kEveryCommand = commandBit(Verb::Split) | commandBit(Verb::Join)
                                   | commandBit(Verb::Compress) | commandBit(Verb::Verify)
                                   | commandBit(Verb::Repair);

// `.RB ( split ", " compress )`: the commands an option of the manual page is for.
std::string commandsMark(Commands commands)
{
    std::string mark;
    for (const CommandSpec& command : commandTable())
        if ((commands & commandBit(command.verb)) != 0)
            mark += (mark.empty() ? ".RB ( " : " \", \" ") + std::string(command.name);
    return mark + " )";
}

// What the completion offers for the words (in bash's syntax, within single quotes), the
// last being completed, one space apart.
std::string completed(const std::string& words)
{
    std::string offered = commandOutput(
        "bash -c 'source \"" + kPackaging
        + "/parcelo-cli.bash-completion\"; COMP_WORDS=(parcelo-cli " + words
        + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _parcelo_cli; echo \"${COMPREPLY[*]}\"'");
    if (!offered.empty())
        offered.pop_back();
    return offered;
}

} // namespace

TEST(CliDocs, HelpManualPageAndCompletionNameTheOptionsOfTheTable)
{
    const std::string page = readFile(kPackaging + "/parcelo-cli.1");
    const std::string completion = readFile(kPackaging + "/parcelo-cli.bash-completion");
    const std::set<std::string> table = longNames(~0u);
    EXPECT_EQ(matchesOf(helpText(Verb::Help), R"(\n  (?:-., )?\s*--([a-z-]+))"), table);
    EXPECT_EQ(matchesOf(page, R"(\\-\\-((?:[a-z]|\\-)+))"), table);
    EXPECT_EQ(matchesOf(completion, R"([\s']--([a-z-]+))"), table);

    // each option's entry: its short name, whether it takes a value, the commands
    const std::string options = section(page, "OPTIONS");
    for (const OptionSpec& option : optionTable()) {
        SCOPED_TRACE(option.longName);
        const std::regex dashes("-");
        const std::string name = std::regex_replace("--" + option.longName, dashes, R"(\-)");
        std::string head = option.shortName != '\0'
                               ? R"(.BR \-)" + std::string(1, option.shortName) + R"( ", " )" + name
                               : (option.argument.empty() ? ".B " : ".BR ") + name;
        head += option.argument.empty() ? "\n" : R"( =\fI)";
        const std::size_t at = options.find(".TP\n" + head);
        ASSERT_NE(at, std::string::npos) << head;
        const std::size_t headEnd = options.find('\n', at + 4);
        const std::size_t markEnd = options.find('\n', headEnd + 1);
        const std::string mark = options.substr(headEnd + 1, markEnd - headEnd - 1);
        const bool everywhere = (option.commands & kEveryCommand) == kEveryCommand;
        EXPECT_TRUE(everywhere ? mark.rfind(".RB (", 0) != 0
                               : mark == commandsMark(option.commands))
            << mark;
    }
    for (const CommandSpec& command : commandTable()) {
        EXPECT_NE(section(page, "SYNOPSIS").find(".B parcelo-cli " + std::string(command.name)),
                  std::string::npos);
        EXPECT_NE(section(page, "COMMANDS").find(".TP\n.B " + std::string(command.name) + "\n"),
                  std::string::npos);
    }
    // the exit statuses of --help, each an item of EXIT STATUS
    const std::string help = helpText(Verb::Help);
    const std::string statuses = help.substr(help.find("Exit status:"));
    EXPECT_EQ(matchesOf(statuses, R"(\n  (\d+) )"),
              matchesOf(section(page, "EXIT STATUS"), R"(\.TP\n\.B (\d+)\n)"));
    for (const char* manual : {"parcelo-cli.1", "Parcelo.1"})
        EXPECT_NE(readFile(kPackaging + "/" + manual)
                      .find(std::string("\"Parcelo ") + parcelo::kParceloVersion + "\""),
                  std::string::npos)
            << manual;
}

TEST(CliDocs, CompletionOffersEachCommandItsOptionsAndTheirValues)
{
    EXPECT_EQ(completed("\"\""), "split join compress verify repair");
    EXPECT_EQ(completed("-"), "--help --version");
    for (const CommandSpec& command : commandTable()) {
        SCOPED_TRACE(command.name);
        std::string offered;
        for (const OptionSpec& option : optionTable())
            if ((option.commands & commandBit(command.verb)) != 0 && option.longName != "version")
                offered += (offered.empty() ? "--" : " --") + option.longName;
        EXPECT_EQ(completed(std::string("-q ") + command.name + " --"), offered);
    }
    // "--level=" is one word, or three where "=" breaks words
    EXPECT_EQ(completed("split --level=f"), "--level=fast");
    EXPECT_EQ(completed("split --level ="), "best medium fast");
    EXPECT_EQ(completed("compress --level \"\""), "best medium fast");
    EXPECT_EQ(completed("split -s 1MB --preset 1"), "1.38MB 10MB 100MB 1GB");
    EXPECT_EQ(completed("split --size \"\""), "");
}
