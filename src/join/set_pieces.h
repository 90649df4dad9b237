#pragma once

#include "format/split_set.h"

#include <cstdint>
#include <optional>
#include <string>

namespace parcelo {

class File;
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

// The header at the start of an open piece; throws RunError 62 when the file is shorter.
PieceHeader readFullPieceHeader(File& file);

// True when a header is one a split writes: a byte signature, a count of at least 1 and
// a number within it.
bool isWellFormedHeader(const PieceHeader& header);

// When the open file's first text line is exactly the line-set marker: the offset of the
// first byte after that line. Otherwise (an empty file too) nullopt.
std::optional<std::uint64_t> markerLineEnd(File& file);

// True when the file's first text line is the marker line; throws RunError 62 when the
// file is empty and other run-time errors when it cannot be read.
bool firstLineIsMarker(const std::string& path);

// Asks for the diskette of a piece: "Please insert disk #piece of count ...". OK returns
// true (look again); Cancel asks to confirm the cancel, and Yes returns false while No
// asks for the disk again.
bool askForDisk(Host& host, int piece, int count);

inline constexpr const char* kCancelledByUser = "Process cancelled by the user.";

} // namespace parcelo
