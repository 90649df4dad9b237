#include "cli/options.h"

#include "app/version.h"
#include "cli/cli_commands.h"
#include "compress/compression_levels.h"
#include "format/split_choices.h"
#include "format/split_set.h"
#include "platform/host.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace parcelo::cli {

namespace {

constexpr Commands kSplit = commandBit(Verb::Split);
constexpr Commands kJoin = commandBit(Verb::Join);
constexpr Commands kCompress = commandBit(Verb::Compress);
constexpr Commands kVerify = commandBit(Verb::Verify);
constexpr Commands kRepair = commandBit(Verb::Repair);
constexpr Commands kWriting = kSplit | kJoin | kCompress | kRepair;
constexpr Commands kEvery = kWriting | kVerify;
// --help and --version also stand without a command.
constexpr Commands kAnywhere = kEvery | commandBit(Verb::Help);

std::vector<OptionSpec> makeOptionTable()
{
    using enum OptionId;
    return {
        {Size, "size", 's', "SIZE", kSplit, true,
         "pieces of SIZE bytes, or with a unit " + unitSuffixes() + " (1.5MB)"},
        {Pieces, "pieces", 'n', "N", kSplit, true,
         "N pieces of equal size (at most " + std::to_string(kMaxPieces) + ")"},
        {Lines, "lines", 'l', "N", kSplit, true, "pieces of N lines each, of a text file"},
        {Preset, "preset", '\0', "NAME", kSplit, true, "pieces of a preset size (Presets below)"},
        {Name, "name", '\0', "NAME", kSplit, false,
         "the name of the pieces of standard input, which SOURCE - splits"},
        {SkipUnreadable, "skip-unreadable", '\0', "", kSplit, false,
         "a folder's files that cannot be read are left out and listed, not a failure"},
        {Compress, "compress", '\0', "", kSplit, false, "compress SOURCE into a ZIP archive first"},
        {Level, "level", '\0', "LEVEL", kSplit | kCompress, false,
         "compression level: " + levelNames()},
        {Recovery, "recovery", '\0', "N[%]", kSplit, false,
         "also write N recovery pieces, or N% of the pieces"},
        {Plain, "plain", '\0', "", kSplit | kJoin, false,
         "split: pieces without header, which cat or copy /b joins too; join: another "
         "tool's numbered pieces, joined as plain pieces"},
        {PasswordFile, "password-file", '\0', "FILE", kSplit | kCompress | kJoin, false,
         "encrypt the set with the password on FILE's first line (AES-256; the set is "
         "compressed), or open an encrypted set with it"},
        {PasswordPrompt, "password-prompt", '\0', "", kSplit | kCompress | kJoin, false,
         "the same with a password typed on the terminal without echo (twice to encrypt)"},
        {NoChecksums, "no-checksums", '\0', "", kSplit, false,
         "write no checksum file (NAME.sha256)"},
        {NoJoinScript, "no-join-script", '\0', "", kSplit, false,
         "write no join scripts (NAME.join.sh, NAME.join.cmd)"},
        {DeleteSource, "delete-source", '\0', "", kSplit, false,
         "offer to delete SOURCE after the split"},
        {NoDecompress, "no-decompress", '\0', "", kJoin, false,
         "keep a compressed set joined as its .zip file"},
        {DeletePieces, "delete-pieces", '\0', "", kJoin, false,
         "offer to delete the pieces after the join"},
        {Force, "force", '\0', "", kJoin, false, "replace a joined file that exists already"},
        {Set, "set", '\0', "", kVerify, false, "check the whole set PIECE belongs to"},
        {NoSync, "no-sync", '\0', "", kWriting, false,
         "do not wait for the written files to reach the disk"},
        {Yes, "yes", 'y', "", kEvery, false,
         "answer Yes or OK to every question, but Cancel to a disk"},
        {Quiet, "quiet", 'q', "", kEvery, false, "show no progress line and no notices"},
        {Help, "help", 'h', "", kAnywhere, false, "show this help and exit"},
        {Version, "version", 'V', "", kAnywhere, false, "show the version and exit"},
    };
}

// The help's column of option names: "  -s, --size=SIZE" padded to this width.
constexpr std::size_t kHelpColumn = 24;
constexpr std::size_t kHelpWidth = 80;

// The items in lines of at most kHelpWidth characters, one space apart; the first line
// starts with `first`, the others with `indent` spaces.
std::string wrapped(const std::string& first, const std::vector<std::string>& items,
                    std::size_t indent)
{
    std::string out = first;
    std::size_t lineStart = 0;
    bool lineHasItem = !first.empty() && first.back() != ' ';
    for (const std::string& item : items) {
        if (lineHasItem && out.size() - lineStart + 1 + item.size() > kHelpWidth) {
            out += "\n";
            lineStart = out.size();
            out += std::string(indent, ' ');
            lineHasItem = false;
        }
        out += (lineHasItem ? " " : "") + item;
        lineHasItem = true;
    }
    return out + "\n";
}

std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find(' ', from), text.size());
        words.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return words;
}

std::string wrapped(const std::string& first, const std::string& text, std::size_t indent)
{
    return wrapped(first, wordsOf(text), indent);
}

bool takes(const OptionSpec& option, Verb verb)
{
    return (option.commands & commandBit(verb)) != 0;
}

// An option as the usage shows it: its short name when it has one.
std::string usageName(const OptionSpec& option)
{
    std::string text =
        option.shortName != '\0' ? std::string("-") + option.shortName : "--" + option.longName;
    return option.argument.empty() ? text : text + " " + option.argument;
}

// text between `open` and `close`, appended piece by piece (GCC 12 warns falsely of an
// overlap, -Wrestrict, when a string is inserted after a literal at -O3)
std::string enclosed(const char* open, const std::string& text, const char* close)
{
    std::string out = open;
    out += text;
    out += close;
    return out;
}

// "split", "SOURCE", "DESTFOLDER", "(-s SIZE", "| -n N", ..., "[--compress]", ..., "[-yq]":
// --help and --version are left to their own lines of the usage.
std::vector<std::string> synopsis(const CommandSpec& command)
{
    std::vector<std::string> items = wordsOf(command.name + std::string(" ") + command.operands);
    std::vector<std::string> modes;
    std::vector<std::string> others;
    std::string letters; // the short options without a value, bundled: "[-yq]"
    for (const OptionSpec& option : optionTable()) {
        if (!takes(option, command.verb) || option.id == OptionId::Help
            || option.id == OptionId::Version)
            continue;
        if (option.splitMode)
            modes.push_back(enclosed(modes.empty() ? "(" : "| ", usageName(option), ""));
        else if (option.shortName != '\0' && option.argument.empty())
            letters += option.shortName;
        else
            others.push_back(enclosed("[", usageName(option), "]"));
    }
    if (!modes.empty())
        modes.back() += ")";
    items.insert(items.end(), modes.begin(), modes.end());
    items.insert(items.end(), others.begin(), others.end());
    if (!letters.empty())
        items.push_back(enclosed("[-", letters, "]"));
    return items;
}

std::string usageLines(Verb topic)
{
    std::string text;
    for (const CommandSpec& command : commandTable()) {
        if (topic != Verb::Help && command.verb != topic)
            continue;
        text += wrapped(text.empty() ? "Usage: parcelo-cli" : "  or:  parcelo-cli",
                        synopsis(command), 9);
    }
    if (topic == Verb::Help)
        text += "  or:  parcelo-cli COMMAND --help\n"
                "  or:  parcelo-cli --help | --version\n";
    return text;
}

std::string commandLines()
{
    std::string text = "\nCommands:\n";
    for (const CommandSpec& command : commandTable()) {
        std::string name = std::string("  ") + command.name;
        name.resize(12, ' ');
        text += wrapped(name, command.summary, 12);
    }
    return text;
}

std::string optionLines(Verb topic)
{
    std::string text = "\nOptions:\n";
    for (const OptionSpec& option : optionTable()) {
        const bool shown =
            topic == Verb::Help || (takes(option, topic) && option.id != OptionId::Version);
        if (!shown)
            continue;
        std::string names = "  " + spelledNames(option);
        if (option.shortName == '\0')
            names.insert(2, "    ");
        if (!option.argument.empty())
            names += "=" + option.argument;
        names.resize(std::max(names.size() + 2, kHelpColumn), ' ');
        text += wrapped(names, option.help, kHelpColumn);
    }
    return text;
}

// A help line as a sentence: "cut SOURCE ..." -> "Cut SOURCE ....".
std::string sentence(std::string text)
{
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

// "a, b or c" from a table's names.
template <typename Table, typename Name>
std::string listOf(const Table& table, Name name)
{
    std::vector<std::string> names;
    for (const auto& entry : table)
        if (*name(entry) != '\0')
            names.emplace_back(name(entry));
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

// The presets, each with its exact bytes and what it fits.
std::string presetLines()
{
    std::string text = "\nPresets:\n";
    for (const SizePreset& preset : kSizePresets) {
        std::string name = std::string("  ") + preset.name;
        name.resize(10, ' ');
        text += wrapped(name, presetDescription(preset), 10);
    }
    return text;
}

struct ExitStatusLine {
    int status;
    const char* meaning;
};

std::string exitStatusLines()
{
    const ExitStatusLine lines[] = {
        {kExitSuccess, "success; verify --set: the set is intact"},
        {kExitFailure, "failed, refused or cancelled, or the result could not be written"},
        {kExitUsage, "a usage error"},
        {kExitRepairable, "verify --set: lost pieces that the recovery pieces can rebuild"},
        {kExitNotRepairable, "verify --set, repair: lost pieces that cannot be rebuilt"},
        {kExitStopped, "stopped by Ctrl-C; the unfinished job's files are removed"},
    };
    std::string text = "\nExit status:\n";
    for (const ExitStatusLine& line : lines) {
        std::string status = "  " + std::to_string(line.status);
        status.resize(7, ' ');
        text += wrapped(status, line.meaning, 7);
    }
    return text;
}

} // namespace

std::string unitSuffixes()
{
    return listOf(kSizeUnits, [](const SizeUnitRow& u) { return u.suffix; });
}

std::string presetNames()
{
    return listOf(kSizePresets, [](const SizePreset& p) { return p.name; });
}

std::string levelNames()
{
    return listOf(kCompressionLevels, [](const CompressionLevelChoice& c) { return c.name; });
}

const char* const kWithoutParcelo =
    "Without Parcelo, a set is joined by the join scripts written beside it (sh NAME.join.sh, "
    "or NAME.join.cmd on Windows); plain pieces also by cat NAME.0* > NAME, or copy /b "
    "NAME.0* NAME on Windows.";

const std::vector<CommandSpec>& commandTable()
{
    static const std::vector<CommandSpec> table = {
        {Verb::Split, "split", "SOURCE DESTFOLDER", 2, 2,
         "cut SOURCE (a file, a folder, or - for standard input) into numbered pieces in "
         "DESTFOLDER"},
        {Verb::Join, "join", "PIECE... DESTFOLDER", 2, 0,
         "join the set of the PIECEs into DESTFOLDER (- for standard output)"},
        {Verb::Compress, "compress", "SOURCE DESTFOLDER", 2, 2,
         "compress SOURCE into a single piece in DESTFOLDER"},
        {Verb::Verify, "verify", "PIECE", 1, 1, "check one piece, or with --set its whole set"},
        {Verb::Repair, "repair", "PIECE", 1, 1,
         "rebuild the set's lost or damaged pieces from its recovery pieces"},
    };
    return table;
}

const std::vector<OptionSpec>& optionTable()
{
    static const std::vector<OptionSpec> table = makeOptionTable();
    return table;
}

const CommandSpec* commandNamed(const std::string& name)
{
    const auto& table = commandTable();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const CommandSpec& c) { return name == c.name; });
    return found == table.end() ? nullptr : &*found;
}

const CommandSpec& commandOf(Verb verb)
{
    for (const CommandSpec& command : commandTable())
        if (command.verb == verb)
            return command;
    throw std::logic_error("a verb without a command");
}

const OptionSpec& optionOf(OptionId id)
{
    for (const OptionSpec& option : optionTable())
        if (option.id == id)
            return option;
    throw std::logic_error("an option outside the table");
}

std::string spelledNames(const OptionSpec& option)
{
    const std::string longName = "--" + option.longName;
    return option.shortName == '\0' ? longName
                                    : std::string("-") + option.shortName + ", " + longName;
}

std::string helpText(Verb topic)
{
    std::string text = usageLines(topic);
    if (topic == Verb::Help)
        text += "Split a file into numbered pieces; join, verify and repair sets of pieces.\n"
                + commandLines();
    else
        text += wrapped({}, sentence(commandOf(topic).summary), 0);
    text += optionLines(topic);
    if (topic == Verb::Help || topic == Verb::Split)
        text += presetLines() + "\n" + wrapped({}, kWithoutParcelo, 0);
    if (topic == Verb::Help)
        text += "\nOptions may stand anywhere before \"--\"; a value follows its option, or an\n"
                "equals sign after a long name (--size=3MB).\n";
    return text + exitStatusLines() + "\nFull documentation: man parcelo-cli\n";
}

std::string versionText()
{
    return std::string("parcelo-cli (") + kProductName + ") " + kParceloVersion + "\n"
           + kParceloCopyright + "\nLicence: " + kParceloLicence + ".\n" + kParceloWarranty + "\n";
}

} // namespace parcelo::cli
