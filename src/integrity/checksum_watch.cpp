#include "integrity/checksum_watch.h"

#include "platform/paths.h"
#include "recovery/recovery.h"

namespace parcelo {

ChecksumWatch::ChecksumWatch(const ChecksumSet& set) : file_(readSetChecksumFile(set)) {}

void ChecksumWatch::begin(const std::string& piecePath)
{
    if (active())
        hasher_.begin(piecePath, piecePath);
}

void ChecksumWatch::advance(std::uint64_t bytesRead)
{
    if (active())
        hasher_.advance(bytesRead);
}

void ChecksumWatch::end(bool onRemovable)
{
    if (!active())
        return;
    hasher_.end();
    if (onRemovable)
        hasher_.settle();
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
    return compareWithChecksums(file_,
                                active() ? hasher_.finish() : std::vector<PieceHasher::Digest>());
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
