#include "recovery/erasure_code.h"
#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <zlib.h>

#include <algorithm>
#include <deque>
#include <filesystem>

namespace parcelo {

namespace {

namespace fs = std::filesystem;

bool contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The recovery pieces basePath.recNNN in basePath's folder, with their numbers.
std::vector<std::pair<int, std::string>> recoveryFiles(const std::string& basePath)
{
    std::vector<std::pair<int, std::string>> found;
    const fs::path base(basePath);
    const fs::path folder = base.has_parent_path() ? base.parent_path() : fs::path(".");
    const std::string prefix = base.filename().string() + ".rec";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const int number = recoveryPieceNumber(name);
        if (number > 0 && name.compare(0, prefix.size(), prefix) == 0 && name.size() > prefix.size()
            && name.find('.', prefix.size()) == std::string::npos)
            found.emplace_back(number, recoveryPieceName(basePath, number));
    }
    std::sort(found.begin(), found.end());
    return found;
}

// File at the start of piece n's data when its header and size fit the layout.
bool openPiece(const std::string& basePath, const RecoveryHeader& layout, int n, File& file)
{
    try {
        file = File(basePath + SplitFileExtension(n), File::Mode::Read);
        return layout.fitsPiece(readPieceHeaderZeroFilled(file), n, file.size());
    } catch (const RunError&) {
        return false;
    }
}

bool openRecovery(const std::string& basePath, const RecoveryHeader& layout, int j, File& file)
{
    RecoveryHeader header;
    const std::string path = recoveryPieceName(basePath, j);
    if (!readRecoveryHeader(path, header) || !header.sameSet(layout) || header.number != j)
        return false;
    file = File(path, File::Mode::Read);
    file.seek(recoveryHeaderSize(layout.pieceCount, layout.recoveryCount));
    return true;
}

bool dataMatches(File& file, std::uint64_t length, std::uint32_t expected,
                 const RecoveryOptions& options)
{
    std::vector<unsigned char> buffer(
        std::min<std::uint64_t>(std::max<std::uint64_t>(length, 1), options.stripeBytes));
    uLong crc = crc32(0, nullptr, 0);
    for (std::uint64_t done = 0; done < length;) {
        const auto part =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), length - done));
        file.readExact(buffer.data(), part);
        crc = crc32(crc, buffer.data(), static_cast<uInt>(part));
        done += part;
        endStripe(options);
    }
    return crc == expected;
}

// The set's condition judged by one recovery header.
SetCondition judge(const std::string& basePath, const RecoveryHeader& layout,
                   const RecoveryOptions& options)
{
    SetCondition condition;
    condition.hasRecovery = true;
    condition.layout = layout;
    const int k = layout.pieceCount;
    for (int n = 1; n <= k; ++n) {
        File file;
        if (!openPiece(basePath, layout, n, file)
            || !dataMatches(file, layout.dataSizeOfPiece(n),
                            layout.crcs[static_cast<std::size_t>(n - 1)], options))
            condition.lostPieces.push_back(n);
    }
    for (int j = 1; j <= layout.recoveryCount; ++j) {
        File file;
        if (!openRecovery(basePath, layout, j, file)
            || !dataMatches(file, layout.pieceDataSize,
                            layout.crcs[static_cast<std::size_t>(k + j - 1)], options))
            condition.lostRecovery.push_back(j);
    }
    const RecoveryGroups groups = recoveryGroups(k, layout.recoveryCount);
    condition.repairable = true;
    for (int g = 0; g < groups.groups; ++g) {
        int lost = 0;
        for (int n : condition.lostPieces)
            lost += groups.groupOf(n) == g;
        for (int j : condition.lostRecovery)
            lost += groups.groupOf(j) == g;
        condition.repairable = condition.repairable && lost <= groups.recoveryIn(g);
    }
    return condition;
}

int goodFiles(const SetCondition& c)
{
    return c.layout.pieceCount + c.layout.recoveryCount
           - static_cast<int>(c.lostPieces.size() + c.lostRecovery.size());
}

} // namespace

std::string repairVerdict(const SetCondition& condition)
{
    const std::string lost = std::to_string(condition.lostPieces.size());
    if (condition.repairable)
        return lost + " pieces are damaged or missing; the set can be repaired";
    return "cannot be repaired: " + lost + " pieces are missing and only "
           + std::to_string(condition.usableRecovery()) + " recovery pieces are there";
}

SetCondition examineSet(const std::string& basePath, const RecoveryOptions& options)
{
    std::vector<RecoveryHeader> candidates;
    std::vector<std::pair<int, RecoveryHeader>> headers;
    for (const auto& [number, path] : recoveryFiles(basePath)) {
        RecoveryHeader header;
        if (!readRecoveryHeader(path, header) || header.number != number
            || recoveryGroups(header.pieceCount, header.recoveryCount).groups == 0)
            continue;
        headers.emplace_back(number, header);
        if (std::none_of(candidates.begin(), candidates.end(),
                         [&](const RecoveryHeader& c) { return c.sameSet(header); }))
            candidates.push_back(header);
    }
    SetCondition best;
    for (const auto& candidate : candidates) {
        SetCondition condition = judge(basePath, candidate, options);
        // A set whose pieces mostly do not match is another set's recovery data.
        if (static_cast<int>(condition.lostPieces.size()) > condition.layout.recoveryCount)
            continue;
        if (!best.hasRecovery || goodFiles(condition) > goodFiles(best))
            best = std::move(condition);
    }
    for (const auto& [number, header] : headers)
        if (!best.hasRecovery || !header.sameSet(best.layout))
            best.foreignRecovery.push_back(number);
    return best;
}

std::vector<std::string> repairSet(const std::string& basePath, const SetCondition& condition,
                                   const RecoveryOptions& options)
{
    if (!condition.hasRecovery || !condition.repairable)
        throw RunError(err::DeviceIoError, "The set cannot be repaired: " + basePath);
    const RecoveryHeader& layout = condition.layout;
    const int k = layout.pieceCount;
    const RecoveryGroups groups = recoveryGroups(k, layout.recoveryCount);
    reserveOpenFiles(condition.lostPieces.size() + condition.lostRecovery.size() + kMaxCodeFiles);
    std::deque<SafeOutput> written; // stable addresses: the code writes through them
    std::vector<std::uint32_t> expected;
    for (int g = 0; g < groups.groups; ++g) {
        const int kg = groups.piecesIn(g);
        std::vector<File> files;
        std::vector<int> from, wanted;
        std::vector<CodedStream> in, out;
        const std::size_t firstOutput = written.size();
        files.reserve(static_cast<std::size_t>(kg));
        for (int n = g + 1; n <= k; n += groups.groups) {
            const int row = groups.indexInGroup(n);
            if (contains(condition.lostPieces, n)) {
                wanted.push_back(row);
                written.emplace_back(basePath + SplitFileExtension(n));
                const auto header = encodePieceHeader({layout.signature, k, n});
                written.back().file().write(header.data(), header.size());
                out.push_back({&written.back().file(), layout.dataSizeOfPiece(n), 0});
                expected.push_back(layout.crcs[static_cast<std::size_t>(n - 1)]);
            } else if (static_cast<int>(from.size()) < kg) {
                files.emplace_back();
                openPiece(basePath, layout, n, files.back());
                from.push_back(row);
                in.push_back({&files.back(), layout.dataSizeOfPiece(n), 0});
            }
        }
        for (int j = g + 1; j <= layout.recoveryCount; j += groups.groups) {
            const int row = kg + groups.indexInGroup(j);
            if (contains(condition.lostRecovery, j)) {
                if (contains(condition.foreignRecovery, j))
                    continue;
                wanted.push_back(row);
                written.emplace_back(recoveryPieceName(basePath, j));
                RecoveryHeader own = layout;
                own.number = j;
                const auto header = encodeRecoveryHeader(own);
                written.back().file().write(header.data(), header.size());
                out.push_back({&written.back().file(), layout.pieceDataSize, 0});
                expected.push_back(layout.crcs[static_cast<std::size_t>(k + j - 1)]);
            } else if (static_cast<int>(from.size()) < kg) {
                files.emplace_back();
                openRecovery(basePath, layout, j, files.back());
                from.push_back(row);
                in.push_back({&files.back(), layout.pieceDataSize, 0});
            }
        }
        if (wanted.empty())
            continue;
        if (static_cast<int>(from.size()) < kg)
            throw RunError(err::DeviceIoError, "The set cannot be repaired: " + basePath);
        runCode(codeRows(kg, groups.recoveryIn(g), from, wanted), in, out, layout.pieceDataSize,
                options);
        for (std::size_t i = 0; i < out.size(); ++i)
            if (out[i].crc != expected[firstOutput + i])
                throw RunError(err::DeviceIoError, "A rebuilt piece does not match its checksum: "
                                                       + written[firstOutput + i].finalPath());
    }
    std::vector<std::string> paths;
    for (auto& output : written) {
        output.commit();
        paths.push_back(output.finalPath());
    }
    return paths;
}

} // namespace parcelo
