#pragma once

#include "format/split_set.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {

class Host;

// Rules for finding and reading the pieces of a set, shared by the join and the checks.

// True when the picked path's character at the position of its trimmed length is a
// digit: the last character for a path without surrounding blanks.
bool pickedNameEndsInDigit(const std::string& path);

// The piece number in a path's numeric extension. Throws RunError 13 when the extension
// is not a whole number and 6 when it is outside the 16-bit range.
int pieceNumberFromName(const std::string& path);

// Counts the pieces base + SplitFileExtension(k) that exist for k = from, from + 1, ...
// and returns the number of the last one (from - 1 when there is none). Throws RunError 6
// when the count passes the largest piece number.
int lastConsecutivePiece(const std::string& basePath, int from);

inline constexpr const char* kNotSplitByParcelo = "This file was not split by Parcelo application.";

// Why a byte piece with this header and this file size (header included) is not one a
// split writes: no byte signature, a count outside 1 to 32767, a number outside 1 to the
// count, or no data in a piece of a set of several. Empty when it is one. The join and
// both checks judge a piece by this one rule.
std::string pieceFault(const PieceHeader& header, std::uint64_t fileSize);

// "File " + path + " is not a valid split file." + LF + reason.
std::string invalidPieceText(const std::string& path, const std::string& reason);

// The numbers of the pieces whose sizes (header included, piece 1 first) break the rule of
// a byte set: every piece but the last holds as many bytes as the largest of them, the
// last holds no more, and each holds data after its headerBytes. A piece cut short or
// grown is so found before anything is joined.
std::vector<int> misSizedPieces(const std::vector<std::uint64_t>& sizes,
                                std::uint64_t headerBytes = kPieceHeaderSize);

// Pieces that another tool numbered (7-Zip's volumes, split -d, ...): base + "." + a number
// of at least `width` digits, from `first` (0 or 1) to `last`.
struct NumberedPieces {
    std::string base; // a piece's path without its number
    int first = 1;
    int last = 0;
    int width = 3;

    int count() const { return last - first + 1; }
    // Piece n of the set, the first being 1.
    std::string path(int n) const;
};

// The numbered pieces the picked file belongs to: the names base + "." + digits in its
// folder spelled with the fewest digits any of them has, from the lowest number there (0
// or 1; a gap before the lowest one found is a missing piece) to the highest. Nothing when
// the picked name ends in no such number or is not spelled so, or the set would be larger
// than a set may be.
std::optional<NumberedPieces> numberedPiecesBeside(const std::string& picked);

// True when one of the pieces there starts like a piece of Parcelo's own (a header with a
// byte signature, or the line-set marker): then they are not another tool's.
bool holdsParceloPiece(const NumberedPieces& pieces);

// Whether a plain set whose first piece is at firstPiece holds a file compressed before the
// split: the joined file's name ends in ".zip" and the piece begins as the archive that
// compression writes, with an entry named as the joined file without its ".zip".
bool plainSetCompressed(const std::string& firstPiece, const std::string& joinedName);

// "The file " + path + " is not a valid file of the set."
std::string notOfTheSetText(const std::string& path);

// True when the file's first text line is the marker line; throws RunError 62 when the
// file is empty and other run-time errors when it cannot be read.
bool firstLineIsMarker(const std::string& path);

// Asks for the diskette of a piece: "Please insert disk #piece of count ...". OK returns
// true (look again); Cancel asks to confirm the cancel, and Yes returns false while No
// asks for the disk again.
bool askForDisk(Host& host, int piece, int count);

inline constexpr const char* kCancelledByUser = "Process cancelled by the user.";

} // namespace parcelo
