#include "integrity/checksum_watch.h"

#include "integrity/checksum_file.h"
#include "platform/paths.h"

#include <algorithm>

namespace parcelo {

ChecksumWatch::ChecksumWatch(const std::string& setBase)
    : base_(setBase), active_(fileExists(checksumFilePath(setBase)))
{
}

void ChecksumWatch::begin(const std::string& piecePath)
{
    if (active_)
        hasher_.begin(piecePath, piecePath);
}

void ChecksumWatch::advance(std::uint64_t bytesRead)
{
    if (active_)
        hasher_.advance(bytesRead);
}

void ChecksumWatch::end(bool onRemovable)
{
    if (!active_)
        return;
    hasher_.end();
    if (onRemovable)
        hasher_.settle();
}

ChecksumReport ChecksumWatch::report()
{
    if (!active_)
        return {};
    return compareWithChecksums(base_, hasher_.finish());
}

std::string ChecksumWatch::checkedText(const ChecksumReport& report)
{
    return "checked " + std::to_string(report.checked()) + " pieces against "
           + GetFileNameFromPath(report.file);
}

std::string pieceChecksumProblem(const std::string& path)
{
    ChecksumWatch watch(RemoveFileExtension(path));
    watch.begin(path);
    watch.end(false);
    ChecksumReport report = watch.report();
    report.pieces.resize(std::min<std::size_t>(report.pieces.size(), 1)); // this piece only
    const std::vector<std::string> problems = report.problems();
    return problems.empty() ? std::string() : problems.front();
}

} // namespace parcelo
