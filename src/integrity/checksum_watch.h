#pragma once

#include "integrity/piece_hasher.h"
#include "integrity/set_checksums.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parcelo {

// Hashes a set's pieces while a join or check reads them, when the set has its own
// checksum file; without one every call does nothing and the report holds no pieces (but
// tells of a file of that name that is not the set's). The pieces take turns on as many
// hashing threads as the job gets workers, so that hashing keeps up with the copy.
class ChecksumWatch {
public:
    // Reads the checksum file; throws RunError when one is there and cannot be read.
    explicit ChecksumWatch(const ChecksumSet& set);

    bool active() const { return file_.ownedBySet; }
    void begin(const std::string& piecePath);
    void advance(std::uint64_t bytesRead);
    // The piece has been read; onRemovable: hash it now, its disk is changed next.
    void end(bool onRemovable);
    // Hashes the recovery pieces the checksum file lists that are there.
    void hashListedRecoveryPieces();
    ChecksumReport report();
    // "checked N pieces against NAME.sha256"
    static std::string checkedText(const ChecksumReport& report);

private:
    static constexpr std::size_t kMostHashers = 2;

    SetChecksumFile file_;
    std::array<PieceHasher, kMostHashers> hashers_;
    std::size_t hasherCount_ = 1;
    std::vector<std::size_t> hasherOf_; // the hasher of each piece begun, in order
};

// The checksum file beside its set held against the one piece at path: its problem
// (damaged) among problems(), or the notice that the file is not the set's.
ChecksumReport checkOnePiece(const std::string& path, const ChecksumSet& set);

} // namespace parcelo
