#include "format/set_data.h"

#include "platform/run_error.h"

#include <algorithm>

namespace parcelo {

namespace {

RunError pastEnd(const std::string& path)
{
    return RunError(err::InputPastEndOfFile,
                    describeRunError(err::InputPastEndOfFile) + ": " + path);
}

} // namespace

SetData::SetData(std::vector<PieceData> pieces) : pieces_(std::move(pieces))
{
    for (const PieceData& piece : pieces_) {
        starts_.push_back(size_);
        size_ += piece.length;
    }
}

File& SetData::open(std::size_t piece)
{
    if (!file_.isOpen() || openPiece_ != piece) {
        file_ = File(pieces_[piece].path, File::Mode::Read);
        openPiece_ = piece;
    }
    return file_;
}

void SetData::readAt(std::uint64_t offset, unsigned char* into, std::size_t count)
{
    if (offset > size_ || count > size_ - offset)
        throw pastEnd(pieces_.empty() ? std::string() : pieces_.back().path);
    // the last piece that starts at or before offset
    auto piece = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset)
                                          - starts_.begin() - 1);
    while (count > 0) {
        const PieceData& data = pieces_[piece];
        const std::uint64_t inPiece = offset - starts_[piece];
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, data.length - inPiece));
        File& file = open(piece);
        file.seek(data.start + inPiece);
        if (file.read(into, take) != take)
            throw pastEnd(data.path);
        into += take;
        offset += take;
        count -= take;
        ++piece;
    }
}

} // namespace parcelo
