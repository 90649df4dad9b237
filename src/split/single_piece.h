#pragma once

#include <cstdint>
#include <string>

namespace parcelo {

struct SplitServices;

// A compressed file that fits in one piece is stored as name.zip.001 instead of being
// split: the header (compressed, count 1, number 1) and the whole compressed file.
struct SinglePieceJob {
    std::string source;         // the file as the user named it
    std::string compressedFile; // the file to store
    std::string destination;    // ends with a separator
    double requestedBytes = 0;  // the piece size asked for
};

// Where the job stores its piece: the compressed file's name with ".001", in the destination.
std::string storedPiecePath(const SinglePieceJob& job);

// The outcome of a compressed file stored as the one piece (length: the compressed file's).
void showStoredPiece(const std::string& source, const std::string& piece, std::uint64_t length,
                     SplitServices& services);

// Stores the piece, removes the compressed file (the request's own) and reports the
// outcome. Returns true when the piece was written.
bool storeAsSinglePiece(const SinglePieceJob& job, SplitServices& services);

} // namespace parcelo
