#pragma once

#include <cstdint>
#include <functional>

namespace parcelo {

// Turns bytes done out of a total into whole percentages, reporting each one from 1 to
// 100 exactly once and in order, however large the steps. The bytes themselves go to an
// optional second report at every step.
class PercentProgress {
public:
    using Report = std::function<void(std::int16_t percent)>;
    using BytesReport = std::function<void(std::uint64_t done, std::uint64_t total)>;

    PercentProgress(std::uint64_t total, Report report, BytesReport bytes = {});

    void advanceTo(std::uint64_t done);
    // Reports what is left up to 100.
    void finish() { reportUpTo(100); }

private:
    void reportUpTo(int percent);

    std::uint64_t total_;
    Report report_;
    BytesReport bytes_;
    int reported_ = 0;
};

} // namespace parcelo
