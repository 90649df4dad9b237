#pragma once

#include "format/split_set.h"
#include "platform/safe_output.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parcelo {

// Recovery pieces: NAME.rec001 ... hold a Reed-Solomon code over the data of the pieces
// NAME.001 ... NAME.K (the bytes after each 12-byte header; a shorter last piece counts as
// padded with zeros), so that lost or damaged files of a set can be rebuilt exactly.
//
// A set of up to 255 files (pieces plus recovery pieces) survives the loss of any R of
// them. A larger set is dealt in turn into G groups (piece n into group (n - 1) mod G,
// recovery piece j into group (j - 1) mod G, G the smallest count that keeps every group
// within 255 files); each group survives the loss of as many of its files as it holds
// recovery pieces, so such a set needs at least G recovery pieces.

// The most files (pieces plus recovery pieces) one code over GF(2^8) can hold.
inline constexpr int kMaxCodeFiles = 255;

using SetIdentifier = std::array<unsigned char, 16>;

SetIdentifier newSetIdentifier();

// basePath + ".rec" + the number with at least three digits: ("a/f", 7) -> "a/f.rec007".
std::string recoveryPieceName(const std::string& basePath, int number);
// The number of a recovery piece name (".rec" and digits at its end), or 0.
int recoveryPieceNumber(const std::string& path);

// How K pieces and R recovery pieces are dealt into codes of at most 255 files.
struct RecoveryGroups {
    int pieces = 0;
    int recovery = 0;
    int groups = 0; // 0 when R is too small for K pieces

    int groupOf(int number) const { return (number - 1) % groups; }
    int indexInGroup(int number) const { return (number - 1) / groups; }
    int piecesIn(int group) const { return countIn(pieces, group); }
    int recoveryIn(int group) const { return countIn(recovery, group); }

private:
    int countIn(int count, int group) const { return (count - group + groups - 1) / groups; }
};

RecoveryGroups recoveryGroups(int pieceCount, int recoveryCount);
// The fewest recovery pieces a set of pieceCount pieces can have.
int minimumRecoveryPieces(int pieceCount);

// The layout a recovery piece records about its set, and the CRC-32 of the data of every
// piece and recovery piece, so that damaged files are found without other help.
struct RecoveryHeader {
    SetIdentifier setId{};
    std::uint32_t signature = 0; // the signature in the pieces' headers
    int pieceCount = 0;
    std::uint64_t pieceDataSize = 0; // data bytes of every piece but the last
    std::uint64_t lastDataSize = 0;
    int recoveryCount = 0;
    int number = 0;                  // this recovery piece, 1-based
    std::vector<std::uint32_t> crcs; // pieces 1..K, then recovery pieces 1..R

    std::uint64_t dataSizeOfPiece(int piece) const
    {
        return piece == pieceCount ? lastDataSize : pieceDataSize;
    }
    bool sameSet(const RecoveryHeader& other) const;
    // True when a file of fileSize bytes with this piece header is piece n of the set.
    bool fitsPiece(const PieceHeader& header, int n, std::uint64_t fileSize) const;
};

std::size_t recoveryHeaderSize(int pieceCount, int recoveryCount);
std::vector<unsigned char> encodeRecoveryHeader(const RecoveryHeader& header);
// Reads and checks the header of a recovery piece; false when it is none or damaged.
bool readRecoveryHeader(const std::string& path, RecoveryHeader& header);

struct RecoveryOptions {
    std::size_t stripeBytes = 1 << 20;   // the most bytes of one file held at a time
    std::size_t memoryBudget = 64 << 20; // stripes shrink to keep all buffers within this
    std::function<void()> afterStripe;   // called after every stripe (keeps a window alive)
};

// Ends a stripe: calls afterStripe, then throws RunError "Process cancelled by the user."
// when the job has been asked to stop.
void endStripe(const RecoveryOptions& options);

// Writes recovery pieces 1..recoveryCount for the byte set basePath.001 ... (each file
// complete before it takes its name). Throws RunError on a bad set or a write failure.
void createRecoveryPieces(const std::string& basePath, int recoveryCount,
                          const SetIdentifier& setId, const RecoveryOptions& options = {});

// Where piece n of a set is read from (a piece not yet under its name), or "" for its name.
using PiecePaths = std::function<std::string(int n)>;

// The same recovery pieces, complete under temporary names, for the caller to commit.
std::vector<SafeOutput> prepareRecoveryPieces(const std::string& basePath, int recoveryCount,
                                              const SetIdentifier& setId,
                                              const RecoveryOptions& options,
                                              const PiecePaths& piecePaths);

// The state of a set, as its recovery pieces describe it.
struct SetCondition {
    bool hasRecovery = false; // a usable recovery piece of this set was found
    RecoveryHeader layout;
    std::vector<int> lostPieces;      // missing or damaged
    std::vector<int> lostRecovery;    // missing, damaged or of another set
    std::vector<int> foreignRecovery; // recovery pieces of another set (never used)
    bool repairable = false;

    bool complete() const { return lostPieces.empty() && lostRecovery.empty(); }
    int usableRecovery() const
    {
        return layout.recoveryCount - static_cast<int>(lostRecovery.size());
    }
};

// What a check says of a set with lost files: "N pieces are damaged or missing; the set
// can be repaired" or "cannot be repaired: N pieces are missing and only R recovery
// pieces are there".
std::string repairVerdict(const SetCondition& condition);

SetCondition examineSet(const std::string& basePath, const RecoveryOptions& options = {});

// Rebuilds every lost piece and recovery piece of a repairable set in place (a damaged
// file is replaced only by its complete rebuild) and returns the paths written. A
// recovery piece of another set is left as it is. Throws RunError when the set cannot be
// repaired; then nothing changes.
std::vector<std::string> repairSet(const std::string& basePath, const SetCondition& condition,
                                   const RecoveryOptions& options = {});

} // namespace parcelo
