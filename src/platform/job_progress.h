#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace parcelo {

class Binding;
class Host;

// Where a long job stands: what it does ("Splitting"), to which file, how many bytes of
// how many are done, the average rate so far and the seconds left (negative while unknown).
struct ProgressReport {
    std::string verb;
    std::string name;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    double bytesPerSecond = 0;
    double secondsLeft = -1;

    int percent() const;
};

// A byte count with three significant digits in binary units: "512 bytes", "412 MB",
// "1.03 GB".
std::string byteSizeText(std::uint64_t bytes);
// A duration rounded up for a person: "35 s", "4 min 10 s", "2 h 5 min".
std::string durationText(double seconds);
// "Splitting holiday.avi: 412 MB of 1.03 GB, about 35 s left"; the time is left out
// while unknown, the total while it is 0. withRate adds the share and the rate, as the
// terminal's progress line shows them: "... of 1.03 GB (40%), 35.2 MB/s, about 35 s left".
std::string progressCaption(const ProgressReport& report, bool withRate = false);

// Follows one job's bytes. At most every kCaptionGap an advance shows the caption in the
// status label and hands the report to Host::showProgress, so short jobs show nothing
// extra. For a job that does not yield by itself (compression runs inside libzip), it
// also lets the host handle pending events, at most every kEventGap.
class JobProgress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kEventGap = std::chrono::milliseconds(20);
    static constexpr auto kCaptionGap = std::chrono::milliseconds(200);

    enum class Events { LeftToTheJob, Processed };

    JobProgress(Host& host, Binding* statusLabel, std::string verb, std::string name,
                std::uint64_t total, Events events = Events::LeftToTheJob,
                Clock::time_point start = Clock::now());

    void advanceTo(std::uint64_t done) { advanceTo(done, Clock::now()); }
    void advanceTo(std::uint64_t done, Clock::time_point now);

    void setTotal(std::uint64_t total) { report_.total = total; }
    const ProgressReport& report() const { return report_; }

private:
    void estimate(Clock::time_point now);

    Host& host_;
    Binding* statusLabel_;
    Events events_;
    ProgressReport report_;
    Clock::time_point start_;
    Clock::time_point lastEvents_;
    Clock::time_point lastCaption_;
};

} // namespace parcelo
