#pragma once

#include "platform/file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parcelo {

// The data of one piece: `length` bytes of the file at path from `start` (after its header).
struct PieceData {
    std::string path;
    std::uint64_t start = 0;
    std::uint64_t length = 0;
};

// The data of a set's pieces read as the one run of bytes a join would write, without
// writing it: any range is read from the pieces that hold it. A piece that has become
// shorter than its length fails the read (62, input past end of file).
class SetData {
public:
    explicit SetData(std::vector<PieceData> pieces);

    std::uint64_t size() const { return size_; }
    const std::vector<PieceData>& pieces() const { return pieces_; }
    // Reads exactly count bytes at offset; past the end throws 62 naming the last piece.
    void readAt(std::uint64_t offset, unsigned char* into, std::size_t count);

private:
    File& open(std::size_t piece);

    std::vector<PieceData> pieces_;
    std::vector<std::uint64_t> starts_; // each piece's first byte in the run
    std::uint64_t size_ = 0;
    File file_;
    std::size_t openPiece_ = 0;
};

} // namespace parcelo
