#include "cli/arguments.h"

#include "format/split_choices.h"
#include "format/split_set.h"

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

// "N" or "N%", N from 0 to the most pieces a set has.
bool parseRecovery(std::string text, Arguments& out)
{
    out.recoveryPercent = text.ends_with('%');
    if (out.recoveryPercent)
        text.pop_back();
    if (!isWholeNumber(text) || text.size() > 5 || std::stoi(text) > kMaxPieces)
        return false;
    out.recovery = std::stoi(text);
    return !out.recoveryPercent || out.recovery <= 100;
}

// Reads the options after the positional arguments.
std::string readOptions(const std::vector<std::string>& args, std::size_t from, Arguments& out,
                        int& modes)
{
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        std::string text;
        if (option == "--yes") {
            out.yes = true;
        } else if (option == "-q" || option == "--quiet") {
            out.quiet = true;
        } else if (option == "--compress") {
            out.compress = true;
        } else if (option == "--delete-source") {
            out.deleteSource = true;
        } else if (option == "--delete-pieces") {
            out.deletePieces = true;
        } else if (option == "--no-decompress") {
            out.noDecompress = true;
        } else if (option == "--no-checksums") {
            out.noChecksums = true;
        } else if (option == "--no-join-script") {
            out.noJoinScript = true;
        } else if (option == "--recovery") {
            if (!value(text) || !parseRecovery(text, out))
                return "--recovery takes a number of recovery pieces or a percentage, such as 10%";
        } else if (option == "--level") {
            const CompressionLevelChoice* level =
                value(text) ? CompressionLevelNamed(text) : nullptr;
            if (level == nullptr)
                return "--level takes " + levelNames();
            out.level = level->option;
        } else if (option == "--size") {
            if (!value(text) || !parseSizeWithUnit(text, out.sizeText, out.unit))
                return "--size takes a number with a unit " + unitSuffixes() + ", such as 1.5MB";
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
    if (verb != Verb::Split && (a.noChecksums || a.noJoinScript || a.recovery > 0))
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
    for (const SizeUnit& u : kSizeUnits) {
        // "B" also ends "KB": a suffix counts only when what stands before it is a number.
        const std::string suffix = u.suffix;
        if (suffix.empty() || upperText.size() <= suffix.size() || !upperText.ends_with(suffix))
            continue;
        if (isDecimal(text.substr(0, text.size() - suffix.size()))) {
            number = text.substr(0, text.size() - suffix.size());
            unit = u.code;
            return true;
        }
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

ParseResult parseArguments(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return {Arguments{}, {}};
    Arguments out;
    std::size_t positional = 2;
    if (args[0] == "split") {
        out.verb = Verb::Split;
    } else if (args[0] == "join") {
        out.verb = Verb::Join;
    } else if (args[0] == "compress") {
        out.verb = Verb::Compress;
    } else if (args[0] == "verify") {
        out.verb = Verb::Verify;
        positional = 1;
        if (args.size() > 1 && args[1] == "--set") {
            if (args.size() != 3)
                return {std::nullopt, "verify --set takes one piece"};
            out.wholeSet = true;
            out.source = args[2];
            return {out, {}};
        }
    } else if (args[0] == "repair") {
        if (args.size() != 2)
            return {std::nullopt, "repair takes one piece"};
        out.verb = Verb::Repair;
        out.source = args[1];
        return {out, {}};
    } else {
        return {std::nullopt, "unknown command " + args[0]};
    }
    if (args.size() < 1 + positional)
        return {std::nullopt, args[0] + ": missing arguments"};
    out.source = args[1];
    if (positional == 2)
        out.destination = args[2];
    int modes = 0;
    const std::string error = readOptions(args, 1 + positional, out, modes);
    if (!error.empty())
        return {std::nullopt, error};
    if (out.verb == Verb::Verify && args.size() != 2)
        return {std::nullopt, "verify takes one piece"};
    if (out.verb == Verb::Split && modes != 1)
        return {std::nullopt, "split takes exactly one of --size, --pieces, --lines, --preset"};
    if (out.verb != Verb::Split && modes != 0)
        return {std::nullopt, args[0] + " takes no size"};
    if (out.recovery > 0 && out.mode == SplitMode::Lines)
        return {std::nullopt,
                "--recovery needs a split by size or pieces: line sets have no recovery pieces"};
    if (!optionAllowed(out.verb, out))
        return {std::nullopt, args[0] + ": option not allowed here"};
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
             "  parcelo-cli join PIECE DESTFOLDER [--no-decompress] [--delete-pieces] [--yes]\n"
             "  parcelo-cli compress SOURCE DESTFOLDER "
           + levels
           + " [--yes]\n"
             "  parcelo-cli verify PIECE\n"
             "  parcelo-cli verify --set PIECE\n"
             "  parcelo-cli repair PIECE\n"
             "  parcelo-cli --help\n"
             "\n"
           + wrapped("--size takes a number with a unit " + unitSuffixes()
                     + " (1.5MB); --preset takes " + presetNames()
                     + ". --yes answers Yes or OK to every question but Cancel to a request for "
                       "another disk; without a terminal (or once input ends) and without --yes "
                       "every question is declined. A declined disk ends the run.")
           + wrapped("-q or --quiet drops the progress line (drawn on standard error when it is "
                     "a terminal) and every notice; errors still print.")
           + wrapped("Exit status: 0 success, 1 failed, refused or cancelled, 2 usage error, 130 "
                     "stopped by Ctrl-C (the job's unfinished files are removed).")
           + wrapped("--recovery writes N (or N% of the pieces) recovery pieces NAME.rec001...; "
                     "repair rebuilds lost or damaged pieces from them. Any N files of a set of "
                     "up to 255 files (pieces and recovery pieces) may be lost. Larger sets are "
                     "dealt in turn into G groups of at most 255 files (G = the fewest that fit; "
                     "piece n and recovery piece n in group (n - 1) mod G) and need at least G "
                     "recovery pieces; each group may lose as many files as it holds recovery "
                     "pieces.");
}

} // namespace parcelo::cli
