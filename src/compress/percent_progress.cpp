#include "compress/percent_progress.h"

#include <algorithm>

namespace parcelo {

PercentProgress::PercentProgress(std::uint64_t total, Report report, BytesReport bytes)
    : total_(total), report_(std::move(report)), bytes_(std::move(bytes))
{
}

void PercentProgress::advanceTo(std::uint64_t done)
{
    if (bytes_)
        bytes_(done, total_);
    if (total_ == 0)
        return;
    // done * 100 could overflow for the largest files; divide first.
    const std::uint64_t whole = done / total_ * 100;
    const std::uint64_t part = done % total_ * 100 / total_;
    reportUpTo(static_cast<int>(std::min<std::uint64_t>(whole + part, 100)));
}

void PercentProgress::reportUpTo(int percent)
{
    while (reported_ < percent) {
        ++reported_;
        if (report_)
            report_(static_cast<std::int16_t>(reported_));
    }
}

} // namespace parcelo
