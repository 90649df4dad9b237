#pragma once

#include "integrity/piece_hasher.h"
#include "integrity/set_checksums.h"

#include <cstdint>
#include <string>

namespace parcelo {

// Hashes a set's pieces while a join or check reads them, when the set has a checksum
// file; without one every call does nothing and the report is not present.
class ChecksumWatch {
public:
    // setBase: a piece's path without its number.
    explicit ChecksumWatch(const std::string& setBase);

    bool active() const { return active_; }
    void begin(const std::string& piecePath);
    void advance(std::uint64_t bytesRead);
    // The piece has been read; onRemovable: hash it now, its disk is changed next.
    void end(bool onRemovable);
    ChecksumReport report();
    // "checked N pieces against NAME.sha256"
    static std::string checkedText(const ChecksumReport& report);

private:
    std::string base_;
    bool active_;
    PieceHasher hasher_;
};

// Why the one piece at path fails the checksum file beside its set (damaged, not listed,
// or the file is another set's); empty when it passes or the set has no checksum file.
std::string pieceChecksumProblem(const std::string& path);

} // namespace parcelo
