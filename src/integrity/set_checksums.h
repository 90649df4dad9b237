#pragma once

#include "integrity/checksum_file.h"
#include "integrity/piece_hasher.h"

#include <string>
#include <vector>

namespace parcelo {

// MissingOptional: a recovery piece that is not there; the pieces do without it.
enum class PieceState { Ok, Damaged, Missing, MissingOptional };

// The set a checksum file is held against.
struct ChecksumSet {
    std::string base; // a piece's path without its number
    int pieceCount = 0;
    // False for a line set, whose count is what the pieces found give: pieces the checksum
    // file lists beyond it are missing.
    bool exactCount = true;
    // Another tool's pieces, by file name: the checksum file is theirs when it lists these
    // and nothing else. Empty for a set Parcelo names.
    std::vector<std::string> pieceNames;
};

// The checksum file beside a set, read once. It is the set's own when it lists the set's
// pieces 1 to the count, any recovery pieces of the name, and nothing else; any other
// file of that name is not used.
struct SetChecksumFile {
    std::string path;
    bool present = false; // a file of that name is there
    bool ownedBySet = false;
    std::vector<ChecksumEntry> entries; // when it is the set's own
};

// Throws RunError when there is such a file and it cannot be read.
SetChecksumFile readSetChecksumFile(const ChecksumSet& set);

// True when the listing is well formed and names pieces and recovery pieces of setName
// ("NAME.001", "NAME.rec001") and nothing else.
bool listsOnlyFilesOf(const ChecksumListing& listing, const std::string& setName);
// True when it lists, besides recovery pieces, the set's pieces 1 to the count (or, for a
// line set, at least that far), each once, and nothing else.
bool listsTheSet(const ChecksumListing& listing, const ChecksumSet& set);

// The piece count of Parcelo's own plain set (pieces without any header) that the piece
// at path belongs to. Such a set is known by its checksum file alone: NAME.sha256 beside
// it lists the pieces NAME.001 to NAME.K, maybe recovery pieces and nothing else, and the
// piece is one of those listed. 0 when there is no such file or it names no set of the
// piece. Throws RunError when the file is there and cannot be read.
int plainSetCount(const std::string& path);

// True when the file at path is a checksum file that lists pieces and recovery pieces of
// setName ("NAME.001", "NAME.rec001") and nothing else: one a split wrote. False too when
// it cannot be read.
bool isOwnChecksumFile(const std::string& path, const std::string& setName);

// A set's pieces held against the checksum file beside them.
struct ChecksumReport {
    bool present = false;      // the set's own checksum file was used; the pieces are set then
    std::string file;          // its path
    bool notUsed = false;      // a file of that name that is not the set's (see notice())
    bool earlierSplit = false; // it lists the pieces and matches none of several of them
    struct Piece {
        std::string path;
        PieceState state = PieceState::Ok;
    };
    std::vector<Piece> pieces; // in the order hashed, then listed pieces that are not there

    bool clean() const;
    int checked() const; // the pieces found OK
    // One line per problem, as the user is told: none when clean.
    std::vector<std::string> problems() const;
    // "NAME.sha256 does not list the pieces of this set; it was not used." or "".
    std::string notice() const;
};

// Compares the digests (named by the file's full path) with the set's checksum file.
// Listed files that were not hashed are reported when they are not there: a piece as
// missing, a recovery piece as missing but optional.
ChecksumReport compareWithChecksums(const SetChecksumFile& file,
                                    const std::vector<PieceHasher::Digest>& digests);

// "The file PATH is damaged: its contents do not match the checksum written when it was split."
std::string damagedPieceText(const std::string& path);

// "OK", "DAMAGED", "MISSING" or "MISSING (optional)".
const char* pieceStateWord(PieceState state);

} // namespace parcelo
