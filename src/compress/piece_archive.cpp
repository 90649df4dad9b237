#include "compress/piece_archive.h"

#include "compress/zip_support.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/stop_token.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace parcelo {

namespace {

constexpr std::size_t kInputChunk = std::size_t{1} << 20;
constexpr std::size_t kOutputChunk = std::size_t{4} << 20;
constexpr std::uint32_t kCountCeiling = std::uint32_t{1} << 31;
constexpr std::uint32_t kCountFloor = std::uint32_t{1} << 20; // well past the 32 KiB window

// Feeds the entry's compressed bytes in chunks, from the first to the last.
class EntryInput {
public:
    EntryInput(const ArchiveReader& read, const OnlyEntryLayout& layout)
        : read_(read), next_(layout.dataStart), left_(layout.compressedSize), buffer_(kInputChunk)
    {
    }
    // The next chunk (empty when all is read).
    std::pair<unsigned char*, std::size_t> next()
    {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kInputChunk));
        if (count > 0)
            read_(next_, buffer_.data(), count);
        next_ += count;
        left_ -= count;
        return {buffer_.data(), count};
    }
    bool done() const { return left_ == 0; }

private:
    const ArchiveReader& read_;
    std::uint64_t next_;
    std::uint64_t left_;
    std::vector<unsigned char> buffer_;
};

void copyStored(EntryInput& input, File& target, PercentProgress& progress, std::uint32_t& crc)
{
    std::uint64_t done = 0;
    while (!input.done()) {
        jobStop().throwIfRequested();
        const auto [bytes, count] = input.next();
        crc = crc32_gzip_refl(crc, bytes, count);
        target.write(bytes, count);
        done += count;
        progress.advanceTo(done);
    }
}

// Inflates into target; returns the bytes written. The output window is cut one byte past
// the declared size, so a stream that runs longer is found without writing that byte.
std::uint64_t inflateInto(EntryInput& input, const OnlyEntryLayout& layout, File& target,
                          PercentProgress& progress, const std::string& name, std::uint32_t& crc)
{
    auto state = std::make_unique<inflate_state>();
    isal_inflate_init(state.get());
    state->crc_flag = ISAL_GZIP_NO_HDR;
    std::vector<unsigned char> output(kOutputChunk);
    std::uint64_t done = 0;
    bool outputFull = false; // the last step may have left output inside the state
    while (state->block_state != ISAL_BLOCK_FINISH) {
        jobStop().throwIfRequested();
        if (state->avail_in == 0 && !input.done()) {
            const auto [bytes, count] = input.next();
            state->next_in = bytes;
            state->avail_in = static_cast<std::uint32_t>(count);
        } else if (state->avail_in == 0 && !outputFull) {
            throw zipsupport::damaged(name, "it holds less data than recorded");
        }
        // ISA-L checks each distance against its 32-bit count of the bytes out: kept from
        // wrapping, an entry of 4 GiB and more does not fail there.
        if (state->total_out > kCountCeiling)
            state->total_out = kCountFloor;
        const std::uint64_t room = std::min<std::uint64_t>(layout.size - done + 1, output.size());
        state->next_out = output.data();
        state->avail_out = static_cast<std::uint32_t>(room);
        const std::uint32_t inBefore = state->avail_in;
        if (isal_inflate(state.get()) != ISAL_DECOMP_OK)
            throw zipsupport::damaged(name, "its compressed data cannot be read");
        const std::uint64_t made = room - state->avail_out;
        if (made > layout.size - done)
            throw zipsupport::damaged(name, "it holds more data than recorded");
        // A step that neither takes input nor gives output would be taken again forever.
        if (made == 0 && state->avail_in == inBefore && inBefore != 0
            && state->block_state != ISAL_BLOCK_FINISH)
            throw zipsupport::damaged(name, "its compressed data cannot be read");
        outputFull = state->avail_out == 0;
        target.write(output.data(), static_cast<std::size_t>(made));
        done += made;
        progress.advanceTo(done);
    }
    // Nothing of the entry's data may be left over after its stream's end.
    if (state->avail_in != 0 || !input.done())
        throw zipsupport::damaged(name, "its contents are inconsistent");
    crc = state->crc;
    return done;
}

} // namespace

void inflateEntry(const ArchiveReader& read, const OnlyEntryLayout& layout, File& target,
                  PercentProgress& progress, const std::string& archiveName)
{
    EntryInput input(read, layout);
    std::uint32_t crc = 0;
    std::uint64_t done = layout.compressedSize;
    if (layout.deflated)
        done = inflateInto(input, layout, target, progress, archiveName, crc);
    else
        copyStored(input, target, progress, crc);
    if (done != layout.size)
        throw zipsupport::damaged(archiveName, "it holds less data than recorded");
    if (crc != layout.crc)
        throw zipsupport::damaged(archiveName, "its data does not match its checksum");
}

std::optional<PieceArchive> openPieceArchive(std::vector<PieceData> pieces)
{
    const std::string name = pieces.empty() ? std::string() : pieces.front().path;
    SetData data(std::move(pieces));
    const ArchiveReader read = [&data](std::uint64_t offset, unsigned char* into,
                                       std::size_t count) { data.readAt(offset, into, count); };
    const std::optional<OnlyEntryLayout> entry = readOnlyEntryLayout(read, data.size(), name);
    if (!entry)
        return std::nullopt;
    return PieceArchive{std::move(data), *entry, name};
}

namespace {

void inflatePieces(PieceArchive& archive, File& target, PercentProgress& progress)
{
    const ArchiveReader read = [&archive](std::uint64_t offset, unsigned char* into,
                                          std::size_t count) {
        archive.data.readAt(offset, into, count);
    };
    inflateEntry(read, archive.entry, target, progress, archive.name);
}

} // namespace

void extractFromPieces(PieceArchive& archive, const std::string& targetPath,
                       const PercentProgress::Report& report,
                       const PercentProgress::BytesReport& bytes, bool replace)
{
    PercentProgress progress(archive.entry.size, report, bytes);
    zipsupport::writeCheckedTarget(targetPath, archive.entry.size, replace,
                                   [&](File& target) { inflatePieces(archive, target, progress); });
    progress.finish();
}

void streamFromPieces(PieceArchive& archive, File& target, const PercentProgress::Report& report,
                      const PercentProgress::BytesReport& bytes)
{
    PercentProgress progress(archive.entry.size, report, bytes);
    inflatePieces(archive, target, progress);
    progress.finish();
}

} // namespace parcelo
