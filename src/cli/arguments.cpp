#include "cli/arguments.h"

#include "format/split_choices.h"
#include "integrity/checksum_file.h"
#include "integrity/join_script.h"
#include "integrity/set_companions.h"
#include "platform/paths.h"
#include "recovery/recovery.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace parcelo::cli {

namespace {

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool isDecimal(const std::string& text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && value >= 0;
}

bool isWholeNumber(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) != 0;
    });
}

// An option as it was given: its row, how it was spelled ("-s" or "--size") and its value.
struct Given {
    const OptionSpec* option;
    std::string spelled;
    std::optional<std::string> value;
};

struct Sorted {
    std::vector<std::string> words;
    std::vector<Given> options;
};

const OptionSpec* optionNamed(const std::string& longName)
{
    for (const OptionSpec& option : optionTable())
        if (option.longName == longName)
            return &option;
    return nullptr;
}

const OptionSpec* optionLettered(char letter)
{
    for (const OptionSpec& option : optionTable())
        if (option.shortName == letter)
            return &option;
    return nullptr;
}

// "--name", "--name=value" or "--name value"; the errors are worded as getopt words them.
std::string sortLong(const std::vector<std::string>& args, std::size_t& i, Sorted& out)
{
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionSpec* option = optionNamed(name.substr(2));
    if (option == nullptr)
        return "unrecognized option '" + arg + "'";
    std::optional<std::string> value;
    if (equals != std::string::npos)
        value = arg.substr(equals + 1);
    if (value && option->argument.empty())
        return "option '" + name + "' doesn't allow an argument";
    if (!value && !option->argument.empty()) {
        if (i + 1 == args.size())
            return "option '" + name + "' requires an argument";
        value = args[++i];
    }
    out.options.push_back({option, name, value});
    return {};
}

// "-qy", "-s 3MB" or "-s3MB": letters bundled, the first that takes a value ends them.
std::string sortShort(const std::vector<std::string>& args, std::size_t& i, Sorted& out)
{
    const std::string& arg = args[i];
    for (std::size_t c = 1; c < arg.size(); ++c) {
        const OptionSpec* option = optionLettered(arg[c]);
        const std::string letter(1, arg[c]);
        if (option == nullptr)
            return "invalid option -- '" + letter + "'";
        if (option->argument.empty()) {
            out.options.push_back({option, "-" + letter, std::nullopt});
            continue;
        }
        std::optional<std::string> value;
        if (c + 1 < arg.size())
            value = arg.substr(c + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            return "option requires an argument -- '" + letter + "'";
        out.options.push_back({option, "-" + letter, value});
        break;
    }
    return {};
}

// Sorts a command line into its words and its options, which may stand anywhere before
// "--"; "-" alone is a word.
std::string sortWords(const std::vector<std::string>& args, Sorted& out)
{
    bool onlyWords = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (onlyWords || arg.size() < 2 || arg[0] != '-')
            out.words.push_back(arg);
        else if (arg == "--")
            onlyWords = true;
        else if (arg[1] == '-')
            error = sortLong(args, i, out);
        else
            error = sortShort(args, i, out);
        if (!error.empty())
            return error;
    }
    return {};
}

bool given(const Sorted& sorted, OptionId id)
{
    return std::any_of(sorted.options.begin(), sorted.options.end(),
                       [id](const Given& g) { return g.option->id == id; });
}

// The count is kept as typed: the split checks it, as it checks the window's box.
std::string readRecovery(const std::string& text, Arguments& out)
{
    if (text.empty())
        return "--recovery takes a number of recovery pieces or a percentage, such as 10%";
    out.recovery = text;
    return {};
}

// The ways to cut a file: their values, checked.
std::string readSplitMode(OptionId id, const std::string& text, Arguments& out)
{
    switch (id) {
    case OptionId::Size:
        out.mode = SplitMode::Size;
        if (SizeUnit unit{}; parseSizeWithUnit(text, out.sizeText, unit)) {
            out.unit = unit;
            return {};
        }
        return "--size takes a byte count or a number with a unit " + unitSuffixes()
               + ", such as 1.5MB";
    case OptionId::Pieces:
        out.mode = SplitMode::Pieces;
        out.sizeText = text;
        return isWholeNumber(text) ? "" : "--pieces takes a whole number";
    case OptionId::Lines:
        out.mode = SplitMode::Lines;
        out.sizeText = text;
        out.unit = SizeUnit::Lines;
        return isDecimal(text) ? "" : "--lines takes a number";
    default:
        out.mode = SplitMode::Preset;
        out.presetIndex = presetIndexOf(text);
        return out.presetIndex >= 0 ? "" : "--preset takes " + presetNames();
    }
}

// What each option sets; the reason when its value is not one it takes.
std::string readOption(const Given& g, Arguments& out)
{
    const std::string text = g.value.value_or(std::string());
    if (g.option->splitMode)
        return readSplitMode(g.option->id, text, out);
    switch (g.option->id) {
    case OptionId::Level:
        if (const CompressionLevelChoice* level = CompressionLevelNamed(text))
            out.level = level->option;
        else
            return "--level takes " + levelNames();
        break;
    case OptionId::Recovery:
        return readRecovery(text, out);
    case OptionId::Name:
        if (text.empty() || text == "." || text == ".." || text.find('/') != std::string::npos)
            return "--name takes a file name without a folder";
        out.name = text;
        break;
    case OptionId::SkipUnreadable:
        out.skipUnreadable = true;
        break;
    case OptionId::Compress:
        out.compress = true;
        break;
    case OptionId::PasswordFile:
        if (text.empty())
            return "--password-file takes the path of a file";
        out.passwordFile = text;
        break;
    case OptionId::PasswordPrompt:
        out.passwordPrompt = true;
        break;
    case OptionId::NoChecksums:
        out.noChecksums = true;
        break;
    case OptionId::NoJoinScript:
        out.noJoinScript = true;
        break;
    case OptionId::Plain:
        out.plain = true;
        break;
    case OptionId::DeleteSource:
        out.deleteSource = true;
        break;
    case OptionId::NoDecompress:
        out.noDecompress = true;
        break;
    case OptionId::DeletePieces:
        out.deletePieces = true;
        break;
    case OptionId::Force:
        out.force = true;
        break;
    case OptionId::Set:
        out.wholeSet = true;
        break;
    case OptionId::NoSync:
        out.noSync = true;
        break;
    case OptionId::Yes:
        out.yes = true;
        break;
    case OptionId::Quiet:
        out.quiet = true;
        break;
    default: // the ways to cut a file, --help and --version: read before
        break;
    }
    return {};
}

std::string readOptions(const Sorted& sorted, const CommandSpec& command, Arguments& out)
{
    int modes = 0;
    for (const Given& g : sorted.options) {
        if ((g.option->commands & commandBit(command.verb)) == 0)
            return std::string(command.name) + " does not take " + g.spelled;
        if (std::string error = readOption(g, out); !error.empty())
            return error;
        modes += g.option->splitMode ? 1 : 0;
    }
    if (command.verb == Verb::Split && modes != 1) {
        std::string names;
        for (const OptionSpec& option : optionTable())
            if (option.splitMode)
                names += (names.empty() ? "" : ", ") + std::string("--") + option.longName;
        return "split takes exactly one of " + names;
    }
    if (command.verb == Verb::Split && out.source == "-" && out.name.empty())
        return "a split of standard input (SOURCE -) takes --name NAME, the name of its pieces";
    if (!out.name.empty() && out.source != "-")
        return "--name names the pieces of standard input: give - as SOURCE";
    if (!out.recovery.empty() && out.mode == SplitMode::Lines)
        return "--recovery needs a split by size or pieces: line sets have no recovery pieces";
    const bool password = !out.passwordFile.empty() || out.passwordPrompt;
    if (!out.passwordFile.empty() && out.passwordPrompt)
        return "--password-file and --password-prompt cannot be given together";
    if (password && command.verb == Verb::Split && out.mode == SplitMode::Lines)
        return "a password needs a split by size or pieces: a line set cannot be encrypted";
    return {};
}

// join's pieces: all of one set, the first piece among them picked.
std::string pickPiece(const std::vector<std::string>& pieces, Arguments& out)
{
    const auto setOrSelf = [](const std::string& path) {
        const std::string set = setOfFile(path);
        return set.empty() ? path : set;
    };
    const std::string set = setOrSelf(pieces.front());
    for (const std::string& piece : pieces)
        if (setOrSelf(piece) != set)
            return "join: " + pieces.front() + " and " + piece + " are not of one set";
    const auto piece = std::find_if(pieces.begin(), pieces.end(), endsInPieceNumber);
    out.source = piece != pieces.end() ? *piece : pieces.front();
    return {};
}

std::string readWords(const std::vector<std::string>& words, const CommandSpec& command,
                      Arguments& out)
{
    const std::size_t operands = words.size() - 1;
    if (operands < command.fewest || (command.most != 0 && operands > command.most))
        return std::string(operands < command.fewest ? "missing" : "too many")
               + " arguments: " + command.name + " takes " + command.operands;
    if (command.most == 1) {
        out.source = words[1];
        return {};
    }
    out.destination = words.back();
    return pickPiece({words.begin() + 1, words.end() - 1}, out);
}

} // namespace

bool parseSizeWithUnit(const std::string& text, std::string& number, SizeUnit& unit)
{
    const std::string upperText = upper(text);
    // "B" also ends "KB": a suffix counts only when what stands before it is a number.
    auto withSuffix = [&](const std::string& suffix, SizeUnit suffixUnit) {
        if (upperText.size() <= suffix.size() || !upperText.ends_with(suffix)
            || !isDecimal(text.substr(0, text.size() - suffix.size())))
            return false;
        number = text.substr(0, text.size() - suffix.size());
        unit = suffixUnit;
        return true;
    };
    if (isDecimal(text)) {
        number = text;
        unit = SizeUnit::Bytes;
        return true;
    }
    for (const SizeUnitRow& u : kSizeUnits) {
        const std::string suffix = u.suffix;
        if (suffix.empty())
            continue;
        // K, M and G are short for KB, MB and GB
        if (withSuffix(suffix, u.unit)
            || (suffix.size() > 1 && withSuffix(suffix.substr(0, suffix.size() - 1), u.unit)))
            return true;
    }
    return false;
}

int presetIndexOf(const std::string& text)
{
    const std::string wanted = upper(text);
    for (std::size_t i = 0; i < kSizePresets.size(); ++i)
        if (wanted == kSizePresets[i].name)
            return static_cast<int>(i);
    return -1;
}

bool endsInPieceNumber(const std::string& path)
{
    const std::string name = GetFileNameFromPath(path);
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && isWholeNumber(name.substr(dot + 1));
}

std::string setOfFile(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < GetFolderFromPath(path).size())
        return {};
    std::string base = path.substr(0, dot);
    if (endsInPieceNumber(path))
        return base;
    if (const int number = recoveryPieceNumber(path); number > 0)
        return recoveryPieceName(base, number) == path ? base : "";
    if (checksumFilePath(base) == path)
        return base;
    const std::string scriptBase = RemoveFileExtension(base);
    const auto scripts = joinScriptPaths(scriptBase);
    return std::find(scripts.begin(), scripts.end(), path) != scripts.end() ? scriptBase : "";
}

ParseResult parseArguments(const std::vector<std::string>& args)
{
    Sorted sorted;
    if (std::string error = sortWords(args, sorted); !error.empty())
        return {std::nullopt, error};
    Arguments out;
    const std::vector<std::string>& words = sorted.words;
    const bool helpWord = !words.empty() && words[0] == "help";
    if (given(sorted, OptionId::Help) || helpWord) {
        const std::size_t topic = helpWord ? 1 : 0;
        const CommandSpec* command = words.size() > topic ? commandNamed(words[topic]) : nullptr;
        out.helpTopic = command != nullptr ? command->verb : Verb::Help;
        return {out, {}};
    }
    if (given(sorted, OptionId::Version)) {
        out.verb = Verb::Version;
        return {out, {}};
    }
    if (words.empty())
        return {std::nullopt, "missing command"};
    const CommandSpec* command = commandNamed(words[0]);
    if (command == nullptr)
        return {std::nullopt, "unknown command '" + words[0] + "'"};
    out.verb = command->verb;
    if (std::string error = readWords(words, *command, out); !error.empty())
        return {std::nullopt, error};
    if (std::string error = readOptions(sorted, *command, out); !error.empty())
        return {std::nullopt, error};
    return {out, {}};
}

} // namespace parcelo::cli
