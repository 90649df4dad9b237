#pragma once

#include "integrity/piece_hasher.h"

#include <string>
#include <vector>

namespace parcelo {

enum class PieceState { Ok, Damaged, Missing, Unlisted };

// A set's pieces held against the checksum file beside them.
struct ChecksumReport {
    bool present = false;    // there is a checksum file; nothing else is set otherwise
    std::string file;        // its path
    bool anotherSet = false; // it lists no piece of this set, or matches none of them
    struct Piece {
        std::string path;
        PieceState state = PieceState::Ok;
    };
    std::vector<Piece> pieces; // piece 1 first, then listed pieces that are missing

    bool clean() const;
    int checked() const; // the pieces found OK
    // One line per problem, as the user is told: none when clean.
    std::vector<std::string> problems() const;
};

// Compares the digests (named by the piece's full path) with the checksum file beside
// setBase. Listed pieces that were not hashed are reported missing when no such file exists.
ChecksumReport compareWithChecksums(const std::string& setBase,
                                    const std::vector<PieceHasher::Digest>& digests);

// "The file PATH is damaged: its contents do not match the checksum written when it was split."
std::string damagedPieceText(const std::string& path);

// "OK", "DAMAGED", "MISSING" or "NOT LISTED".
const char* pieceStateWord(PieceState state);

} // namespace parcelo
