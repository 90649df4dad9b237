#pragma once

#include "format/split_set.h"
#include "platform/run_error.h"
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

// Why a repair, or the code behind it, failed, when the files could be read and written.
enum class RecoveryFailure {
    NotRepairable,     // "The set cannot be repaired: " and the set
    SetChanged,        // "A file of the set changed during the repair: " and the file
    RebuiltMismatch,   // "A rebuilt piece does not match " its CRC or the checksum file
    CodeNotInvertible, // "Recovery code rows cannot be inverted"
};

inline constexpr int kRecoveryErrorNumber = err::ComponentErrors + 2;

// A failure of the recovery code's own: a RunError (so that every engine reports it as it
// reports the others) under a number no file system error has, telling which one it is.
class RecoveryError : public RunError {
public:
    RecoveryError(RecoveryFailure failure, std::string description)
        : RunError(kRecoveryErrorNumber, std::move(description)), failure_(failure)
    {
    }
    RecoveryFailure failure() const noexcept { return failure_; }

private:
    RecoveryFailure failure_;
};

using SetIdentifier = std::array<unsigned char, 16>;

SetIdentifier newSetIdentifier();

// basePath + ".rec" + the number with at least three digits: ("a/f", 7) -> "a/f.rec007".
std::string recoveryPieceName(const std::string& basePath, int number);
// The number of a recovery piece name (".rec" and digits at its end), or 0.
int recoveryPieceNumber(const std::string& path);

// How K pieces and R recovery pieces are dealt into codes of at most 255 files. Every
// group holds at least one piece and one recovery piece, so G is at most K and at most R.
struct RecoveryGroups {
    int pieces = 0;
    int recovery = 0;
    int groups = 0; // 0 when no layout serves K pieces and R recovery pieces

    int groupOf(int number) const { return (number - 1) % groups; }
    int indexInGroup(int number) const { return (number - 1) / groups; }
    int piecesIn(int group) const { return countIn(pieces, group); }
    int recoveryIn(int group) const { return countIn(recovery, group); }

private:
    int countIn(int count, int group) const { return (count - group + groups - 1) / groups; }
};

RecoveryGroups recoveryGroups(int pieceCount, int recoveryCount);
// The fewest and the most recovery pieces a set of pieceCount pieces can have.
int minimumRecoveryPieces(int pieceCount);
int maximumRecoveryPieces(int pieceCount);
// Why a set of pieceCount pieces cannot have recoveryCount recovery pieces (too few, too
// many, or more files than the system lets one process keep open while they are
// written), with the limit; "" when it can.
std::string recoveryCountProblem(int pieceCount, int recoveryCount);
// Throws RunError (6) with recoveryCountProblem's text when there is one.
void checkRecoveryCount(int pieceCount, int recoveryCount);

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

// What the first bytes of a file say of it as a recovery piece.
enum class HeaderCheck {
    NotRecovery, // no recovery piece at all (another file of that name)
    Damaged,     // a recovery piece's mark (or a part of it: a file cut short), but a
                 // header that is damaged or cannot be
    Sound        // a header whose fields agree with each other and with the file's size
};

std::size_t recoveryHeaderSize(int pieceCount, int recoveryCount);
std::vector<unsigned char> encodeRecoveryHeader(const RecoveryHeader& header);
// Decodes the header at the start of bytes (size of them; the rest of a file of fileSize
// bytes is not needed) and checks every field before it is used: the counts and their
// groups, the number, the data sizes against each other and against fileSize.
HeaderCheck decodeRecoveryHeader(const unsigned char* bytes, std::size_t size,
                                 std::uint64_t fileSize, RecoveryHeader& header);
// Reads (never more than the largest header) and decodes the header of a recovery piece.
HeaderCheck readRecoveryHeader(const std::string& path, RecoveryHeader& header);

// What a record of the set kept apart from its recovery pieces (its checksum file) says
// of a file: the record is the judge of the recovery pieces, never the other way round.
enum class Testimony { Unknown, Matches, Differs };

class FileWitness {
public:
    virtual ~FileWitness() = default;
    // True when the record is the one of a set of pieceCount pieces.
    virtual bool describes(int pieceCount) const = 0;
    // True when it says something of the file of that name (no folder).
    virtual bool lists(const std::string& name) const = 0;
    // The bytes of the listed file name, from its first, fed in order; end() judges them.
    virtual void begin(const std::string& name) = 0;
    virtual void update(const unsigned char* bytes, std::size_t size) = 0;
    virtual Testimony end() = 0;
    // The record's file name, for messages.
    virtual std::string name() const = 0;
};

struct RecoveryOptions {
    std::size_t stripeBytes = 1 << 20;   // the most bytes of one file held at a time
    std::size_t memoryBudget = 64 << 20; // stripes shrink to keep all buffers within this
    std::function<void()> afterStripe;   // called after every stripe (keeps a window alive)
    std::function<void(std::uint64_t)> bytesDone; // after every stripe: the bytes it read and wrote
    FileWitness* witness = nullptr;               // the set's checksum file, when there is one
};

// Ends a stripe of `bytes` bytes read and written: calls bytesDone and afterStripe, then
// throws JobStopped when the job has been asked to stop.
void endStripe(const RecoveryOptions& options, std::uint64_t bytes);

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

// The state of a set, as the recovery pieces that belong to its pieces describe it.
//
// Recovery pieces belong to the pieces at hand only when (1) their headers are sound and
// alike but for the number; (2) sizes first, before any data is read: at least one piece
// here has their layout's header and size, or no piece is here at all; (3) with the set's
// checksum file (one that lists exactly its pieces) as the judge: they are listed in it
// and match it, and no piece they call damaged matches it; (4) without one: their CRCs
// match at least one piece here, or no piece is here. A recovery piece the checksum file
// does not list or lists under another hash is counted lost. Recovery pieces that do not
// belong are never used nor replaced; `notice` names them and why.
struct SetCondition {
    bool hasRecovery = false; // recovery pieces that belong to these pieces were found
    RecoveryHeader layout;
    std::vector<int> lostPieces;      // missing or damaged
    std::vector<int> lostRecovery;    // missing, damaged or taken by a file not of the set
    std::vector<int> foreignRecovery; // files named as recovery pieces, not of this set
    bool repairable = false;          // every lost file can be rebuilt
    std::string notice;               // which recovery pieces were not used and why; "" when none

    bool complete() const { return lostPieces.empty() && lostRecovery.empty(); }
    int usableRecovery() const
    {
        return layout.recoveryCount - static_cast<int>(lostRecovery.size());
    }
};

// What a check says of a set, after "the set ": "is intact", "can be repaired: 1 piece
// is damaged or missing and 2 recovery pieces are here" (or "...: 1 recovery piece is
// damaged or missing"), "cannot be repaired: 3 pieces are damaged or missing and only 2
// recovery pieces are here", or without recovery pieces of the set "cannot be repaired:
// no recovery pieces of this set are here".
std::string repairVerdict(const SetCondition& condition);

SetCondition examineSet(const std::string& basePath, const RecoveryOptions& options = {});

// Which lost files a repair rebuilds: the pieces a join needs, or every file of the set.
enum class Rebuild { Pieces, Everything };

// Rebuilds lost files of a repairable set in place and returns the paths written. It
// works one group at a time, so that no more files are open than one code holds: a
// group's rebuilt files take their names once each has its CRC and matches the checksum
// file (a damaged file is replaced only by such a rebuild); a file that is not of the set
// is never replaced. Throws RecoveryError when the set cannot be repaired (nothing changes
// then) or a rebuild fails its checks (the group's files stay as they were), RunError when
// a file cannot be read or written, JobStopped on a stop.
std::vector<std::string> repairSet(const std::string& basePath, const SetCondition& condition,
                                   const RecoveryOptions& options = {},
                                   Rebuild what = Rebuild::Everything);

} // namespace parcelo
