#include "platform/job_progress.h"

#include "platform/host.h"

#include "fake_bindings.h"

#include <gtest/gtest.h>

#include <vector>

using namespace parcelo;
using namespace std::chrono_literals;

namespace {

class CountingHost : public SilentHost {
public:
    void processEvents() override { ++events; }
    void showProgress(const ProgressReport& report) override { reports.push_back(report); }
    int events = 0;
    std::vector<ProgressReport> reports;
};

} // namespace

TEST(JobProgress, TextsReadAsAPersonWritesThem)
{
    const struct {
        std::uint64_t bytes;
        const char* text;
    } sizes[] = {{0, "0 bytes"},         {1023, "1023 bytes"},     {1024, "1.00 KB"},
                 {412u << 20, "412 MB"}, {1023u << 20, "1.00 GB"}, {1106000000, "1.03 GB"},
                 {15u << 10, "15.0 KB"}, {5ull << 40, "5.00 TB"}};
    for (const auto& s : sizes)
        EXPECT_EQ(byteSizeText(s.bytes), s.text) << s.bytes;
    EXPECT_EQ(durationText(34.2), "35 s");
    EXPECT_EQ(durationText(250), "4 min 10 s");
    EXPECT_EQ(durationText(7500), "2 h 5 min");

    ProgressReport report{"Splitting", "holiday.avi", 412u << 20, 1106000000, 0, 34.6};
    EXPECT_EQ(progressCaption(report), "Splitting holiday.avi: 412 MB of 1.03 GB, about 35 s left");
    report.secondsLeft = -1;
    report.total = 0;
    EXPECT_EQ(progressCaption(report), "Splitting holiday.avi: 412 MB");
}

// Events go through at most every 20 ms of work, the caption at most every 200 ms, so a
// job spends its time on its bytes; the estimate waits for half a second of work.
TEST(JobProgress, ThrottlesEventsAndCaptionsAndEstimatesTheTimeLeft)
{
    CountingHost host;
    test::FakeLabel label;
    const auto start = JobProgress::Clock::time_point{};
    JobProgress progress(host, &label, "Joining", "big.iso", 1000, JobProgress::Events::Processed,
                         start);
    progress.advanceTo(10, start + 5ms);
    EXPECT_EQ(host.events, 0);
    progress.advanceTo(20, start + 25ms);
    progress.advanceTo(30, start + 30ms);
    EXPECT_EQ(host.events, 1);
    EXPECT_TRUE(label.captions.empty());

    progress.advanceTo(100, start + 250ms);
    ASSERT_EQ(label.captions.size(), 1u);
    EXPECT_EQ(label.captions.back(), "Joining big.iso: 100 bytes of 1000 bytes");

    progress.advanceTo(500, start + 1s);
    EXPECT_EQ(label.captions.back(), "Joining big.iso: 500 bytes of 1000 bytes, about 1 s left");
    ASSERT_EQ(host.reports.size(), 2u);
    EXPECT_DOUBLE_EQ(host.reports.back().bytesPerSecond, 500);
    EXPECT_EQ(host.reports.back().percent(), 50);
}
