#include "integrity/checksum_watch.h"

#include "platform/paths.h"
#include "platform/piece_workers.h"
#include "recovery/recovery.h"

#include <algorithm>

namespace parcelo {

ChecksumWatch::ChecksumWatch(const ChecksumSet& set)
    : file_(readSetChecksumFile(set)),
      hasherCount_(std::min<std::size_t>(
          kMostHashers,
          static_cast<std::size_t>(PieceWorkers::countFor(static_cast<int>(kMostHashers)))))
{
}

void ChecksumWatch::begin(const std::string& piecePath)
{
    if (!active())
        return;
    hasherOf_.push_back(hasherOf_.size() % hasherCount_);
    hashers_[hasherOf_.back()].begin(piecePath, piecePath);
}

void ChecksumWatch::advance(std::uint64_t bytesRead)
{
    if (active() && !hasherOf_.empty())
        hashers_[hasherOf_.back()].advance(bytesRead);
}

void ChecksumWatch::end(bool onRemovable)
{
    if (!active() || hasherOf_.empty())
        return;
    PieceHasher& hasher = hashers_[hasherOf_.back()];
    hasher.end();
    if (onRemovable)
        hasher.settle();
}

void ChecksumWatch::hashListedRecoveryPieces()
{
    const std::string folder = GetFolderFromPath(file_.path);
    for (const ChecksumEntry& entry : file_.entries) {
        const std::string path = folder + entry.name;
        if (recoveryPieceNumber(entry.name) > 0 && fileExists(path)) {
            begin(path);
            end(false);
        }
    }
}

ChecksumReport ChecksumWatch::report()
{
    std::vector<PieceHasher::Digest> digests;
    if (active()) {
        std::array<std::vector<PieceHasher::Digest>, kMostHashers> byHasher;
        std::array<std::size_t, kMostHashers> taken{};
        for (std::size_t i = 0; i < hasherCount_; ++i)
            byHasher[i] = hashers_[i].finish();
        for (const std::size_t hasher : hasherOf_)
            digests.push_back(std::move(byHasher[hasher][taken[hasher]++]));
        hasherOf_.clear();
    }
    return compareWithChecksums(file_, digests);
}

std::string ChecksumWatch::checkedText(const ChecksumReport& report)
{
    const int count = report.checked();
    return "checked " + std::to_string(count) + (count == 1 ? " piece" : " pieces") + " against "
           + GetFileNameFromPath(report.file);
}

ChecksumReport checkOnePiece(const std::string& path, const ChecksumSet& set)
{
    ChecksumWatch watch(set);
    watch.begin(path);
    watch.end(false);
    ChecksumReport report = watch.report();
    report.pieces.resize(std::min<std::size_t>(report.pieces.size(), 1)); // this piece only
    return report;
}

} // namespace parcelo
