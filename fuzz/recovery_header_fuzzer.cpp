// Takes any bytes as a recovery piece: decodes its header from them, checks it against a
// fixed set of three pieces, then lays it beside that set (whose second piece is lost)
// as its one recovery piece, examines the set and repairs it when that is promised.
// Refusals are expected; crashes, hangs, leaks, undefined behaviour and reads or writes
// beyond what the set's sizes allow are not. A rebuilt piece must have the layout's size.
//
// PARCELO_FUZZ_SEEDS=FOLDER writes the seed corpus (recovery pieces of the fixed set)
// into FOLDER and exits.
#include "format/split_set.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

using namespace parcelo;
namespace fs = std::filesystem;

constexpr int kPieces = 3;
constexpr std::size_t kDataSizes[kPieces] = {100, 100, 50};

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Piece n of the fixed set: its header, then bytes that differ from piece to piece.
std::string pieceBytes(int n)
{
    const auto header = encodePieceHeader({PieceSignaturePlain, kPieces, n});
    std::string bytes(header.begin(), header.end());
    for (std::size_t i = 0; i < kDataSizes[n - 1]; ++i)
        bytes += static_cast<char>((i * 31 + static_cast<std::size_t>(n) * 7) & 0xFF);
    return bytes;
}

// The fixed set in a folder of its own, removed with it.
class FixedSet {
public:
    FixedSet()
    {
        std::string folder = (fs::temp_directory_path() / "parcelo-fuzz-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr)
            std::abort();
        folder_ = folder;
        base = (folder_ / "data.bin").string();
        for (int n = 1; n <= kPieces; ++n)
            writeBytes(base + SplitFileExtension(n), pieceBytes(n));
    }
    ~FixedSet()
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    FixedSet(const FixedSet&) = delete;
    FixedSet& operator=(const FixedSet&) = delete;

    std::string base;

    // Recovery pieces of the whole set for 1 to 3 recovery pieces, and one cut short.
    void writeSeeds(const fs::path& into) const
    {
        SetIdentifier id{};
        for (int r = 1; r <= 3; ++r) {
            createRecoveryPieces(base, r, id);
            for (int j = 1; j <= r; ++j)
                fs::rename(recoveryPieceName(base, j),
                           into / ("r" + std::to_string(r) + "-" + std::to_string(j)));
        }
        writeBytes(into / "cut", readBytes(into / "r2-1").substr(0, 40));
    }

private:
    fs::path folder_;
};

// The fixed set as the fuzzing sees it: its second piece lost.
FixedSet& fixedSet()
{
    static FixedSet set;
    static const bool lost = fs::remove(set.base + SplitFileExtension(2));
    (void)lost;
    return set;
}

// What the header says must hold of every header that decodes as sound.
void checkHeader(const RecoveryHeader& header, std::size_t fileSize)
{
    const RecoveryGroups groups = recoveryGroups(header.pieceCount, header.recoveryCount);
    if (groups.groups < 1 || groups.groups > header.pieceCount
        || groups.groups > header.recoveryCount || header.number < 1
        || header.number > header.recoveryCount || header.lastDataSize < 1
        || header.lastDataSize > header.pieceDataSize
        || recoveryHeaderSize(header.pieceCount, header.recoveryCount) + header.pieceDataSize
               != fileSize
        || header.crcs.size() != static_cast<std::size_t>(header.pieceCount + header.recoveryCount))
        std::abort();
    for (int g = 0; g < groups.groups; ++g)
        if (groups.piecesIn(g) < 1 || groups.recoveryIn(g) < 1
            || groups.piecesIn(g) + groups.recoveryIn(g) > kMaxCodeFiles)
            std::abort();
    for (int n = 1; n <= kPieces; ++n) // the check against the pieces is pure
        header.fitsPiece({PieceSignaturePlain, kPieces, n}, n,
                         kPieceHeaderSize + kDataSizes[n - 1]);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("PARCELO_FUZZ_SEEDS")) {
        FixedSet().writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FixedSet& set = fixedSet();
    RecoveryHeader header;
    if (decodeRecoveryHeader(data, size, size, header) == HeaderCheck::Sound)
        checkHeader(header, size);

    const std::string piece = recoveryPieceName(set.base, 1);
    writeBytes(piece, std::string(reinterpret_cast<const char*>(data), size));
    const SetCondition condition = examineSet(set.base);
    if (condition.repairable && !condition.lostPieces.empty()) {
        const std::string lost = set.base + SplitFileExtension(2);
        try {
            repairSet(set.base, condition, {}, Rebuild::Pieces);
            if (fs::file_size(lost) != kPieceHeaderSize + kDataSizes[1])
                std::abort();
        } catch (const RunError&) {
            // crafted data is no code: its rebuild fails its CRC
        }
        fs::remove(lost);
    }
    fs::remove(piece);
    return 0;
}
