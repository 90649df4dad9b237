#include "cli/arguments.h"

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

constexpr std::array<const char*, 7> kPresets = {"1.38MB", "2.88MB", "5MB", "10MB",
                                                 "100MB",  "650MB",  "1GB"};

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
        } else if (option == "--level") {
            if (!value(out.level)
                || (out.level != "best" && out.level != "medium" && out.level != "fast"))
                return "--level takes best, medium or fast";
        } else if (option == "--size") {
            if (!value(text) || !parseSizeWithUnit(text, out.sizeText, out.unit))
                return "--size takes a number with a unit B, KB, MB or GB, such as 1.5MB";
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
            out.unit = "LN";
            ++modes;
        } else if (option == "--preset") {
            if (!value(text) || (out.presetIndex = presetIndexOf(text)) < 0)
                return "--preset takes 1.38MB, 2.88MB, 5MB, 10MB, 100MB, 650MB or 1GB";
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
    if (verb != Verb::Split && (a.noChecksums || a.noJoinScript))
        return false;
    switch (verb) {
    case Verb::Split:
        return !a.deletePieces && !a.noDecompress;
    case Verb::Join:
        return !a.compress && !a.deleteSource && a.level == "best";
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
    static const std::array<std::pair<const char*, const char*>, 4> suffixes = {
        {{"KB", "KB"}, {"MB", "MB"}, {"GB", "GB"}, {"B", "BT"}}};
    for (const auto& [suffix, code] : suffixes) {
        const std::string s = suffix;
        if (upperText.size() > s.size() && upperText.ends_with(s)) {
            number = text.substr(0, text.size() - s.size());
            unit = code;
            return isDecimal(number);
        }
    }
    return false;
}

int presetIndexOf(const std::string& text)
{
    const std::string wanted = upper(text);
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        if (wanted == kPresets[i])
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
    if (!optionAllowed(out.verb, out))
        return {std::nullopt, args[0] + ": option not allowed here"};
    return {out, {}};
}

std::string usageText()
{
    return "Usage:\n"
           "  parcelo-cli split SOURCE DESTFOLDER (--size VALUE | --pieces N | --lines N | "
           "--preset P)\n"
           "                    [--compress] [--level best|medium|fast] [--delete-source] [--yes]\n"
           "                    [--no-checksums] [--no-join-script]\n"
           "  parcelo-cli join PIECE DESTFOLDER [--no-decompress] [--delete-pieces] [--yes]\n"
           "  parcelo-cli compress SOURCE DESTFOLDER [--level best|medium|fast] [--yes]\n"
           "  parcelo-cli verify PIECE\n"
           "  parcelo-cli verify --set PIECE\n"
           "  parcelo-cli --help\n"
           "\n"
           "--size takes a number with a unit B, KB, MB or GB (1.5MB); --preset takes 1.38MB,\n"
           "2.88MB, 5MB, 10MB, 100MB, 650MB or 1GB. --yes answers Yes or OK to every question\n"
           "but Cancel to a request for another disk; without a terminal (or once input ends)\n"
           "and without --yes every question is declined. A declined disk ends the run.\n"
           "-q or --quiet drops the progress line (drawn on standard error when it is a\n"
           "terminal) and every notice; errors still print.\n"
           "Exit status: 0 success, 1 failed, refused or cancelled, 2 usage error, 130 stopped\n"
           "by Ctrl-C (the job's unfinished files are removed).\n";
}

} // namespace parcelo::cli
