#include "recovery/erasure_code.h"
#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

namespace parcelo {

namespace {

[[noreturn]] void notAPiece(const std::string& path)
{
    throw RunError(err::BadFileNameOrNumber, "Not a piece of this set: " + path);
}

std::string pathOfPiece(const std::string& basePath, const PiecePaths& piecePaths, int n)
{
    std::string path = piecePaths ? piecePaths(n) : std::string();
    return path.empty() ? basePath + SplitFileExtension(n) : path;
}

// Opens piece n and checks its header and size against the layout; leaves the file at
// the start of its data.
File openCheckedPiece(const std::string& path, const RecoveryHeader& layout, int n)
{
    File file(path, File::Mode::Read);
    if (!layout.fitsPiece(readPieceHeaderZeroFilled(file), n, file.size()))
        notAPiece(file.path());
    file.seek(layout.pieceHeaderBytes());
    return file;
}

// A plain set's layout: its count is given, and its pieces are data alone.
RecoveryHeader layoutOfPlainPieces(const std::string& basePath, const PiecePaths& piecePaths,
                                   int count)
{
    RecoveryHeader layout;
    layout.signature = kNoPieceHeader;
    layout.pieceCount = count;
    const std::string first = pathOfPiece(basePath, piecePaths, 1);
    layout.pieceDataSize = fileLength(first);
    layout.lastDataSize =
        count > 1 ? fileLength(pathOfPiece(basePath, piecePaths, count)) : layout.pieceDataSize;
    if (count > kMaxPieces || layout.pieceDataSize == 0)
        notAPiece(first);
    if (layout.lastDataSize == 0 || layout.lastDataSize > layout.pieceDataSize)
        notAPiece(pathOfPiece(basePath, piecePaths, count));
    return layout;
}

RecoveryHeader layoutOfPieces(const std::string& basePath, const PiecePaths& piecePaths,
                              int plainPieces)
{
    if (plainPieces > 0)
        return layoutOfPlainPieces(basePath, piecePaths, plainPieces);
    RecoveryHeader layout;
    File first(pathOfPiece(basePath, piecePaths, 1), File::Mode::Read);
    const PieceHeader header = readPieceHeaderZeroFilled(first);
    if (!header.hasByteSignature() || header.count < 1 || header.count > kMaxPieces
        || header.number != 1 || first.size() <= kPieceHeaderSize)
        notAPiece(first.path());
    layout.signature = header.signature;
    layout.pieceCount = header.count;
    layout.pieceDataSize = first.size() - kPieceHeaderSize;
    layout.lastDataSize = layout.pieceDataSize;
    if (header.count > 1) {
        File last(pathOfPiece(basePath, piecePaths, header.count), File::Mode::Read);
        layout.lastDataSize = last.size() > kPieceHeaderSize ? last.size() - kPieceHeaderSize : 0;
        if (layout.lastDataSize == 0 || layout.lastDataSize > layout.pieceDataSize)
            notAPiece(last.path());
    }
    return layout;
}

} // namespace

void createRecoveryPieces(const std::string& basePath, int recoveryCount,
                          const SetIdentifier& setId, const RecoveryOptions& options,
                          int plainPieces)
{
    for (auto& output :
         prepareRecoveryPieces(basePath, recoveryCount, setId, options, {}, plainPieces))
        output.commit();
}

std::vector<SafeOutput> prepareRecoveryPieces(const std::string& basePath, int recoveryCount,
                                              const SetIdentifier& setId,
                                              const RecoveryOptions& options,
                                              const PiecePaths& piecePaths, int plainPieces)
{
    RecoveryHeader layout = layoutOfPieces(basePath, piecePaths, plainPieces);
    layout.setId = setId;
    layout.recoveryCount = recoveryCount;
    checkRecoveryCount(layout.pieceCount, recoveryCount);
    const RecoveryGroups groups = recoveryGroups(layout.pieceCount, recoveryCount);
    const int k = layout.pieceCount;
    layout.crcs.assign(static_cast<std::size_t>(k) + static_cast<std::size_t>(recoveryCount), 0);
    const std::size_t headerSize = recoveryHeaderSize(k, recoveryCount);
    const std::vector<unsigned char> placeholder(headerSize, 0);
    reserveOpenFiles(static_cast<std::size_t>(recoveryCount) + kMaxCodeFiles);
    std::vector<SafeOutput> outputs;
    for (int j = 1; j <= recoveryCount; ++j) {
        outputs.emplace_back(recoveryPieceName(basePath, j));
        outputs.back().file().write(placeholder.data(), placeholder.size());
    }
    for (int g = 0; g < groups.groups; ++g) {
        const int kg = groups.piecesIn(g), rg = groups.recoveryIn(g);
        std::vector<File> pieces;
        std::vector<CodedStream> in, out;
        std::vector<int> from, wanted;
        for (int n = g + 1; n <= k; n += groups.groups) {
            pieces.push_back(openCheckedPiece(pathOfPiece(basePath, piecePaths, n), layout, n));
            from.push_back(static_cast<int>(from.size()));
        }
        for (auto& piece : pieces)
            in.push_back(
                {&piece,
                 layout.dataSizeOfPiece(static_cast<int>(in.size()) * groups.groups + g + 1), 0});
        for (int j = g + 1; j <= recoveryCount; j += groups.groups) {
            out.push_back(
                {&outputs[static_cast<std::size_t>(j - 1)].file(), layout.pieceDataSize, 0});
            wanted.push_back(kg + static_cast<int>(wanted.size()));
        }
        runCode(codeRows(kg, rg, from, wanted), in, out, layout.pieceDataSize, options);
        for (std::size_t i = 0; i < in.size(); ++i)
            layout.crcs[i * static_cast<std::size_t>(groups.groups) + static_cast<std::size_t>(g)] =
                in[i].crc;
        for (std::size_t i = 0; i < out.size(); ++i)
            layout.crcs[static_cast<std::size_t>(k) + i * static_cast<std::size_t>(groups.groups)
                        + static_cast<std::size_t>(g)] = out[i].crc;
    }
    for (int j = 1; j <= recoveryCount; ++j) {
        layout.number = j;
        File& file = outputs[static_cast<std::size_t>(j - 1)].file();
        file.seek(0);
        const auto header = encodeRecoveryHeader(layout);
        file.write(header.data(), header.size());
    }
    return outputs;
}

} // namespace parcelo
