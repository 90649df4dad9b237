#pragma once

#include "cli/options.h"
#include "compress/compression_levels.h"
#include "format/split_choices.h"

#include <optional>
#include <string>
#include <vector>

namespace parcelo::cli {

using parcelo::CompressionLevelOption;
using parcelo::SizeUnit;

enum class SplitMode { Size, Pieces, Lines, Preset };

// What a command line asks for.
struct Arguments {
    Verb verb = Verb::Help;
    Verb helpTopic = Verb::Help; // --help: the command it was given with (Help: none)
    std::string source;          // the file to split or compress ("-": standard input), or
                                 // the piece picked
    std::string name;            // split --name: the name of standard input's pieces
    std::string destination;     // the destination folder
    SplitMode mode = SplitMode::Size;
    std::string sizeText;         // the number as typed (--size, --pieces, --lines)
    std::optional<SizeUnit> unit; // --size's unit, or lines (--lines)
    int presetIndex = 0;          // --preset, as the preset list's index
    bool wholeSet = false;        // verify --set
    bool compress = false;
    bool skipUnreadable = false;                 // split --skip-unreadable
    std::optional<CompressionLevelOption> level; // --level, when given
    bool deleteSource = false;
    bool deletePieces = false;
    bool noDecompress = false;
    bool force = false;          // join --force: the joined file replaces a file of its name
    bool noChecksums = false;    // split --no-checksums
    bool noJoinScript = false;   // split --no-join-script
    bool plain = false;          // split, join --plain: pieces without header
    bool noSync = false;         // --no-sync: done without waiting for the disk
    std::string recovery;        // split --recovery N or N%, as typed: the split checks it
    std::string passwordFile;    // --password-file FILE: the password is FILE's first line
    bool passwordPrompt = false; // --password-prompt: typed on the terminal
    bool yes = false;
    bool quiet = false; // -q, --quiet: no progress, no notices
};

// The parsed command line, or the reason it is not one.
struct ParseResult {
    std::optional<Arguments> arguments;
    std::string error;
};

// Reads a command line by the option table: options anywhere before "--", long ones with
// their value after "=" or as the next word, short ones bundled ("-qy", "-s3MB").
ParseResult parseArguments(const std::vector<std::string>& args);

// "1.5MB" -> number text "1.5" and unit megabytes; units B, KB, MB, GB (or K, M, G) in any
// case, a plain number counts bytes.
bool parseSizeWithUnit(const std::string& text, std::string& number, SizeUnit& unit);

// The index of a preset ("1.38MB" ... "1GB") in the preset list, or -1.
int presetIndexOf(const std::string& text);

// True when the path's name ends in a piece number (".001").
bool endsInPieceNumber(const std::string& path);

// The set a file of a set belongs to, as its path without the piece number (or the
// recovery piece number, or the ending of a checksum file or join script); "" for a file
// of no set.
std::string setOfFile(const std::string& path);

} // namespace parcelo::cli
