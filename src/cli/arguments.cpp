#include "cli/arguments.h"

#include "format/split_choices.h"
#include "format/split_set.h"
#include "integrity/set_companions.h"

#include <algorithm>
#include <array>
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

// "a, b or c" (or "a|b|c" with the separator "|" and no last word) from a table's names.
template <typename Table, typename Name>
std::string listOf(const Table& table, Name name, const std::string& separator = ", ",
                   const std::string& last = " or ")
{
    std::vector<std::string> names;
    for (const auto& entry : table)
        if (*name(entry) != '\0')
            names.emplace_back(name(entry));
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() && !last.empty() ? last : separator;
        text += names[i];
    }
    return text;
}

// The words of a paragraph in lines of at most 82 characters, each ending in a newline.
std::string wrapped(const std::string& paragraph)
{
    constexpr std::size_t kWidth = 82;
    std::string text;
    std::size_t lineStart = 0;
    std::size_t from = 0;
    while (from < paragraph.size()) {
        std::size_t end = paragraph.find(' ', from);
        if (end == std::string::npos)
            end = paragraph.size();
        const bool first = text.size() == lineStart;
        if (!first && text.size() - lineStart + 1 + (end - from) > kWidth) {
            text += '\n';
            lineStart = text.size();
        } else if (!first) {
            text += ' ';
        }
        text += paragraph.substr(from, end - from);
        from = end + 1;
    }
    return text + '\n';
}

std::string unitSuffixes()
{
    return listOf(kSizeUnits, [](const SizeUnit& u) { return u.suffix; });
}

std::string presetNames()
{
    return listOf(kSizePresets, [](const SizePreset& p) { return p.name; });
}

std::string levelNames(const std::string& separator = ", ", const std::string& last = " or ")
{
    return listOf(
        kCompressionLevels, [](const CompressionLevelChoice& c) { return c.name; }, separator,
        last);
}

// The options that take a value; "--name=value" or "--name value".
bool takesValue(const std::string& name)
{
    for (const char* option :
         {"--size", "--pieces", "--lines", "--preset", "--level", "--recovery"})
        if (name == option)
            return true;
    return false;
}

// A long option's name for each short one.
std::string longName(char letter)
{
    switch (letter) {
    case 'h':
        return "--help";
    case 'q':
        return "--quiet";
    case 'y':
        return "--yes";
    default:
        return std::string("-") + letter;
    }
}

using Options = std::vector<std::pair<std::string, std::optional<std::string>>>;

// Sorts a command line into its words and its options, which may stand anywhere before "--";
// short options may be bundled ("-qy"). Fails with the reason when a value is missing.
std::string sortWords(const std::vector<std::string>& args, std::vector<std::string>& words,
                      Options& options)
{
    bool onlyWords = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyWords || arg.size() < 2 || arg[0] != '-') {
            words.push_back(arg);
        } else if (arg == "--") {
            onlyWords = true;
        } else if (arg[1] != '-') {
            for (std::size_t c = 1; c < arg.size(); ++c)
                options.emplace_back(longName(arg[c]), std::nullopt);
        } else if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            options.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
        } else if (takesValue(arg) && i + 1 < args.size()) {
            options.emplace_back(arg, args[++i]);
        } else if (takesValue(arg)) {
            return arg + " needs a value";
        } else {
            options.emplace_back(arg, std::nullopt);
        }
    }
    return {};
}

std::string readOptions(const Options& options, Arguments& out, int& modes)
{
    for (const auto& entry : options) {
        const std::string& option = entry.first;
        const std::optional<std::string>& given = entry.second;
        auto value = [&given](std::string& into) {
            into = given.value_or(std::string());
            return given.has_value();
        };
        if (given && !takesValue(option))
            return option + " takes no value";
        std::string text;
        if (option == "--yes") {
            out.yes = true;
        } else if (option == "--quiet") {
            out.quiet = true;
        } else if (option == "--no-sync") {
            out.noSync = true;
        } else if (option == "--set") {
            out.wholeSet = true;
        } else if (option == "--compress") {
            out.compress = true;
        } else if (option == "--delete-source") {
            out.deleteSource = true;
        } else if (option == "--delete-pieces") {
            out.deletePieces = true;
        } else if (option == "--no-decompress") {
            out.noDecompress = true;
        } else if (option == "--force") {
            out.force = true;
        } else if (option == "--no-checksums") {
            out.noChecksums = true;
        } else if (option == "--no-join-script") {
            out.noJoinScript = true;
        } else if (option == "--recovery") {
            if (!value(out.recovery) || out.recovery.empty())
                return "--recovery takes a number of recovery pieces or a percentage, such as 10%";
        } else if (option == "--level") {
            const CompressionLevelChoice* level =
                value(text) ? CompressionLevelNamed(text) : nullptr;
            if (level == nullptr)
                return "--level takes " + levelNames();
            out.level = level->option;
        } else if (option == "--size") {
            if (!value(text) || !parseSizeWithUnit(text, out.sizeText, out.unit))
                return "--size takes a byte count or a number with a unit " + unitSuffixes()
                       + ", such as 1.5MB";
            out.mode = SplitMode::Size;
            ++modes;
        } else if (option == "--pieces") {
            if (!value(out.sizeText) || !isWholeNumber(out.sizeText))
                return "--pieces takes a whole number";
            out.mode = SplitMode::Pieces;
            ++modes;
        } else if (option == "--lines") {
            if (!value(out.sizeText) || !isDecimal(out.sizeText))
                return "--lines takes a number";
            out.mode = SplitMode::Lines;
            out.unit = kLinesUnit;
            ++modes;
        } else if (option == "--preset") {
            if (!value(text) || (out.presetIndex = presetIndexOf(text)) < 0)
                return "--preset takes " + presetNames();
            out.mode = SplitMode::Preset;
            ++modes;
        } else {
            return "unknown option " + option;
        }
    }
    return {};
}

// The options each verb takes.
bool optionAllowed(Verb verb, const Arguments& a)
{
    if (verb != Verb::Verify && a.wholeSet)
        return false;
    if (verb != Verb::Split && (a.noChecksums || a.noJoinScript || !a.recovery.empty()))
        return false;
    if (verb != Verb::Join && a.force)
        return false;
    switch (verb) {
    case Verb::Split:
        return !a.deletePieces && !a.noDecompress;
    case Verb::Join:
        return !a.compress && !a.deleteSource && !a.level;
    case Verb::Compress:
        return !a.compress && !a.deleteSource && !a.deletePieces && !a.noDecompress;
    default:
        return true;
    }
}

} // namespace

bool parseSizeWithUnit(const std::string& text, std::string& number, std::string& unit)
{
    const std::string upperText = upper(text);
    // "B" also ends "KB": a suffix counts only when what stands before it is a number.
    auto withSuffix = [&](const std::string& suffix, const char* code) {
        if (upperText.size() <= suffix.size() || !upperText.ends_with(suffix)
            || !isDecimal(text.substr(0, text.size() - suffix.size())))
            return false;
        number = text.substr(0, text.size() - suffix.size());
        unit = code;
        return true;
    };
    if (isDecimal(text)) {
        number = text;
        unit = kSizeUnits.front().code;
        return true;
    }
    for (const SizeUnit& u : kSizeUnits) {
        const std::string suffix = u.suffix;
        if (suffix.empty())
            continue;
        // K, M and G are short for KB, MB and GB
        if (withSuffix(suffix, u.code)
            || (suffix.size() > 1 && withSuffix(suffix.substr(0, suffix.size() - 1), u.code)))
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

namespace {

struct VerbName {
    const char* name;
    Verb verb;
    std::size_t words; // the words after the verb
};

constexpr std::array<VerbName, 5> kVerbs = {{
    {"split", Verb::Split, 2},
    {"join", Verb::Join, 2},
    {"compress", Verb::Compress, 2},
    {"verify", Verb::Verify, 1},
    {"repair", Verb::Repair, 1},
}};

bool hasOption(const Options& options, const char* name)
{
    return std::any_of(options.begin(), options.end(),
                       [name](const auto& option) { return option.first == name; });
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& args)
{
    std::vector<std::string> words;
    Options options;
    if (std::string error = sortWords(args, words, options); !error.empty())
        return {std::nullopt, error};
    Arguments out;
    if (hasOption(options, "--help") || (!words.empty() && words[0] == "help"))
        return {out, {}};
    if (hasOption(options, "--version")) {
        out.verb = Verb::Version;
        return {out, {}};
    }
    if (words.empty())
        return {std::nullopt, "missing command"};
    const auto verb = std::find_if(kVerbs.begin(), kVerbs.end(),
                                   [&](const VerbName& v) { return words[0] == v.name; });
    if (verb == kVerbs.end())
        return {std::nullopt, "unknown command " + words[0]};
    out.verb = verb->verb;
    if (words.size() != 1 + verb->words)
        return {std::nullopt, words[0]
                                  + (verb->words == 1   ? " takes one piece"
                                     : words.size() < 3 ? ": missing arguments"
                                                        : ": too many arguments")};
    out.source = words[1];
    if (verb->words == 2)
        out.destination = words[2];
    int modes = 0;
    if (std::string error = readOptions(options, out, modes); !error.empty())
        return {std::nullopt, error};
    if (out.verb == Verb::Split && modes != 1)
        return {std::nullopt, "split takes exactly one of --size, --pieces, --lines, --preset"};
    if (out.verb != Verb::Split && modes != 0)
        return {std::nullopt, words[0] + " takes no size"};
    if (!out.recovery.empty() && out.mode == SplitMode::Lines)
        return {std::nullopt,
                "--recovery needs a split by size or pieces: line sets have no recovery pieces"};
    if (!optionAllowed(out.verb, out))
        return {std::nullopt, words[0] + ": option not allowed here"};
    return {out, {}};
}

std::string usageText()
{
    const std::string levels = "[--level " + levelNames("|", "") + "]";
    return "Usage:\n"
           "  parcelo-cli split SOURCE DESTFOLDER (--size VALUE | --pieces N | --lines N | "
           "--preset P)\n"
           "                    [--compress] "
           + levels
           + " [--delete-source] [--yes]\n"
             "                    [--no-checksums] [--no-join-script]\n"
             "                    [--recovery N|N%]\n"
             "  parcelo-cli join PIECE DESTFOLDER [--no-decompress] [--delete-pieces] [--force]\n"
             "                   [--yes]\n"
             "  parcelo-cli compress SOURCE DESTFOLDER "
           + levels
           + " [--yes]\n"
             "  parcelo-cli verify PIECE\n"
             "  parcelo-cli verify --set PIECE\n"
             "  parcelo-cli repair PIECE\n"
             "  parcelo-cli --help | --version\n"
             "\n"
           + wrapped("Options may stand before or after the arguments; \"--\" ends them. An "
                     "option's value follows it or an equals sign (--size=3MB).")
           + wrapped(
               "--size takes a byte count or a number with a unit " + unitSuffixes()
               + " (1.5MB); K, M and G are short for KB, MB and GB, binary multiples "
                 "(1 KB = 1024 bytes). --preset takes "
               + presetNames()
               + ". -y or --yes answers Yes or OK to every question but Cancel to a request for "
                 "another disk; without a terminal (or once input ends) and without --yes "
                 "every question is declined. A declined disk ends the run. A join never "
                 "replaces a file of the name it makes unless given --force or --yes.")
           + wrapped("Results go to standard output; questions, errors and the progress line "
                     "(drawn when standard error is a terminal) to standard error. -q or --quiet "
                     "drops the progress line and every notice; errors still print.")
           + wrapped("split, join, compress and repair end once what they wrote is on the disk; "
                     "--no-sync ends them sooner, leaving that to the system.")
           + wrapped("Exit status: 0 success (verify --set: the set is intact), 1 failed, refused "
                     "or cancelled (or a result that could not be written), 2 usage error, 3 "
                     "verify --set: pieces are damaged or missing "
                     "and the recovery pieces can rebuild them, 4 verify --set or repair: pieces "
                     "are damaged or missing and cannot be rebuilt, 130 stopped by Ctrl-C (the "
                     "job's unfinished files are removed; a job already done keeps its status).")
           + wrapped("--recovery writes N (or N% of the pieces) recovery pieces NAME.rec001...; "
                     "verify --set ends with the set's verdict (intact, can be repaired, cannot "
                     "be repaired) and repair rebuilds lost or damaged pieces from them. "
                     + std::string(kRecoveryPromise));
}

} // namespace parcelo::cli
