#include "platform/job_progress.h"

#include "platform/bindings.h"
#include "platform/host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace parcelo {

namespace {

constexpr double kMinimumElapsedForEstimate = 0.5; // seconds before a rate means anything

std::string withDigits(double value, const char* unit)
{
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

} // namespace

int ProgressReport::percent() const
{
    if (total == 0)
        return 0;
    // done * 100 could overflow for the largest files; divide first
    const std::uint64_t whole = done / total * 100 + done % total * 100 / total;
    return static_cast<int>(std::min<std::uint64_t>(whole, 100));
}

std::string byteSizeText(std::uint64_t bytes)
{
    static const char* const units[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " bytes";
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // 999.5 and above would print as "1000": the next unit reads better
    while (value >= 999.5 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    return withDigits(value, units[unit]);
}

std::string durationText(double seconds)
{
    const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

std::string progressCaption(const ProgressReport& report, bool withRate)
{
    std::string caption = report.verb + " " + report.name + ": " + byteSizeText(report.done);
    if (report.total > 0)
        caption += " of " + byteSizeText(report.total);
    if (withRate && report.total > 0)
        caption += " (" + std::to_string(report.percent()) + "%)";
    if (withRate && report.bytesPerSecond > 0)
        caption += ", " + byteSizeText(static_cast<std::uint64_t>(report.bytesPerSecond)) + "/s";
    if (report.secondsLeft >= 0)
        caption += ", about " + durationText(report.secondsLeft) + " left";
    return caption;
}

JobProgress::JobProgress(Host& host, Binding* statusLabel, std::string verb, std::string name,
                         std::uint64_t total, Events events, Clock::time_point start)
    : host_(host), statusLabel_(statusLabel), events_(events), start_(start), lastEvents_(start),
      lastCaption_(start)
{
    report_.verb = std::move(verb);
    report_.name = std::move(name);
    report_.total = total;
}

void JobProgress::advanceTo(std::uint64_t done, Clock::time_point now)
{
    report_.done = done;
    if (now - lastCaption_ >= kCaptionGap) {
        lastCaption_ = now;
        estimate(now);
        if (LabelBinding* label = asLabel(statusLabel_))
            label->setCaption(progressCaption(report_));
        host_.showProgress(report_);
    }
    if (events_ == Events::Processed && now - lastEvents_ >= kEventGap) {
        lastEvents_ = now;
        host_.processEvents();
    }
}

void JobProgress::estimate(Clock::time_point now)
{
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    if (elapsed < kMinimumElapsedForEstimate || report_.done == 0)
        return;
    report_.bytesPerSecond = static_cast<double>(report_.done) / elapsed;
    if (report_.total >= report_.done)
        report_.secondsLeft =
            static_cast<double>(report_.total - report_.done) / report_.bytesPerSecond;
}

} // namespace parcelo
