#pragma once

#include <string>
#include <vector>

namespace parcelo::cli {

enum class Verb { Help, Version, Split, Join, Verify, Compress, Repair };

// A set of commands, one bit per verb.
using Commands = unsigned;

constexpr Commands commandBit(Verb verb)
{
    return 1u << static_cast<unsigned>(verb);
}

// What a command looks like on the command line.
struct CommandSpec {
    Verb verb;
    const char* name;
    const char* operands; // "SOURCE DESTFOLDER", as the usage shows them
    std::size_t fewest;   // operands
    std::size_t most;     // operands; 0: no limit
    const char* summary;  // one line, without its full stop
};

enum class OptionId {
    Size,
    Pieces,
    Lines,
    Preset,
    Name,
    SkipUnreadable,
    Compress,
    Level,
    Recovery,
    Plain,
    PasswordFile,
    PasswordPrompt,
    NoChecksums,
    NoJoinScript,
    DeleteSource,
    NoDecompress,
    DeletePieces,
    Force,
    Set,
    NoSync,
    Yes,
    Quiet,
    Help,
    Version
};

// One option: its names, the value it takes, the commands that take it and its help line.
struct OptionSpec {
    OptionId id;
    std::string longName; // without "--"
    char shortName;       // '\0': none
    std::string argument; // the value's name in the usage; "": takes no value
    Commands commands;
    bool splitMode; // one of the ways to cut a file, of which split takes exactly one
    std::string help;
};

const std::vector<CommandSpec>& commandTable();
const std::vector<OptionSpec>& optionTable();

const CommandSpec* commandNamed(const std::string& name);
const CommandSpec& commandOf(Verb verb);
const OptionSpec& optionOf(OptionId id);

// "-s, --size" or "--preset", as messages and the help name an option.
std::string spelledNames(const OptionSpec& option);

// The choices of the core's tables as a list for a person: "B, KB, MB or GB",
// "1.38MB, ... or 1GB", "best, medium or fast".
std::string unitSuffixes();
std::string presetNames();
std::string levelNames();

// How a set is joined without Parcelo, as the help says it.
extern const char* const kWithoutParcelo;

// --help: the usage of every command (or of one), its options one per line, the exit
// statuses and where the manual is. A topic of Verb::Help is the whole program.
std::string helpText(Verb topic);

// --version: the program, its package's version and the licence.
std::string versionText();

} // namespace parcelo::cli
