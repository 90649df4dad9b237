#pragma once

#include "compress/compression_levels.h"

#include <optional>
#include <string>
#include <vector>

namespace parcelo::cli {

using parcelo::CompressionLevelOption;

enum class Verb { Help, Version, Split, Join, Verify, Compress, Repair };
enum class SplitMode { Size, Pieces, Lines, Preset };

// What a command line asks for.
struct Arguments {
    Verb verb = Verb::Help;
    std::string source;      // the file to split or compress, or the picked piece
    std::string destination; // the destination folder
    SplitMode mode = SplitMode::Size;
    std::string sizeText;  // the number as typed (--size, --pieces, --lines)
    std::string unit;      // "BT", "KB", "MB", "GB" or "LN"
    int presetIndex = 0;   // --preset, as the preset list's index
    bool wholeSet = false; // verify --set
    bool compress = false;
    std::optional<CompressionLevelOption> level; // --level, when given
    bool deleteSource = false;
    bool deletePieces = false;
    bool noDecompress = false;
    bool force = false;        // join --force: the joined file replaces a file of its name
    bool noChecksums = false;  // split --no-checksums
    bool noJoinScript = false; // split --no-join-script
    std::string recovery;      // split --recovery N or N%, as typed: the split checks it
    bool yes = false;
    bool quiet = false;  // -q, --quiet: no progress, no notices
    bool noSync = false; // --no-sync: done without waiting for the disk
};

// The parsed command line, or the reason it is not one.
struct ParseResult {
    std::optional<Arguments> arguments;
    std::string error;
};

ParseResult parseArguments(const std::vector<std::string>& args);

// "1.5MB" -> number text "1.5" and unit "MB"; units B, KB, MB, GB (or K, M, G) in any case,
// a plain number counts bytes.
bool parseSizeWithUnit(const std::string& text, std::string& number, std::string& unit);

// The index of a preset ("1.38MB" ... "1GB") in the preset list, or -1.
int presetIndexOf(const std::string& text);

std::string usageText();

} // namespace parcelo::cli
