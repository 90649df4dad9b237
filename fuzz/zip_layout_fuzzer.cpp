// Takes any bytes as the archive a compressed set's pieces hold: reads and checks its end as
// a join does before it writes a byte, then inflates its only file into nothing. Refusals are
// expected; crashes, hangs, leaks, undefined behaviour, an entry said to lie outside the bytes
// or an output larger than the entry declares are not.
#include "compress/piece_archive.h"
#include "compress/zip_layout.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace parcelo;

void inflateIntoNothing(const ArchiveReader& read, const OnlyEntryLayout& entry)
{
    File sink(kNullDevice, File::Mode::Write);
    PercentProgress progress(entry.size, {}, [](std::uint64_t done, std::uint64_t total) {
        if (done > total)
            std::abort();
    });
    inflateEntry(read, entry, sink, progress, "fuzz.zip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ArchiveReader read = [&](std::uint64_t offset, unsigned char* into, std::size_t count) {
        if (offset > size || count > size - offset)
            throw RunError(err::InputPastEndOfFile);
        if (count > 0)
            std::memcpy(into, data + offset, count);
    };
    try {
        const auto entry = readOnlyEntryLayout(read, size, "fuzz.zip");
        if (!entry)
            return 0;
        if (entry->dataStart > size || entry->compressedSize > size - entry->dataStart)
            std::abort();
        inflateIntoNothing(read, *entry);
    } catch (const RunError&) {
        // crafted bytes are refused with a reason
    }
    return 0;
}
