// Runs a split, a join, a compression and a decompression of a 64 MiB file through the
// windows' host, offscreen, and prints the longest time the window went without its events
// being processed during each:
//   QT_QPA_PLATFORM=offscreen responsiveness_bench [FOLDER]
#include "commands/engines.h"
#include "platform/recent_files.h"
#include "ui/qt_host.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace parcelo;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The windows' host with every message answered without a box (No to deleting), timing
// the gaps between two rounds of event processing.
class TimedHost : public QtHost {
public:
    void processEvents() override
    {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        QtHost::processEvents();
    }
    void restart()
    {
        longest = {};
        last = Clock::now();
    }
    Clock::duration longest{};
    Clock::time_point last = Clock::now();

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons, Icon icon,
                       const std::string&) override
    {
        if (icon == Icon::Critical)
            std::fprintf(stderr, "%s\n", text.c_str());
        return kind == Question::Notice ? Answer::Ok : Answer::No;
    }
};

void writeInput(const std::string& path, std::size_t size)
{
    std::string data(size, '\0');
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        // half random, half repeating: compression has work to do and something to gain
        data[i] = static_cast<char>((i / 4096) % 2 ? x >> 24 : i % 251);
    }
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
}

// The longest the window may go without processing its events.
constexpr std::chrono::milliseconds kLongestGap{100};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const fs::path root =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "parcelo-responsiveness";
    fs::remove_all(root);
    for (const char* sub :
         {"in", "plain", "zipped", "joined", "unzipped", "recovered", "repaired", "temp"})
        fs::create_directories(root / sub);
    const std::string in = (root / "in" / "big.bin").string();
    writeInput(in, 64u << 20);

    TimedHost host;
    Engines engines(host, {}, (root / "temp" / "").string());
    engines.compressor().SetLevelOption(CompressionLevelOption::HighestCompression);
    NoRecentFiles recent;
    ExploreMenu explore;

    const auto split = [&](const std::string& folder, bool compress) {
        SplitRequest request;
        request.sourcePath = in;
        request.destinationFolder = (root / folder / "").string();
        request.mode = SplitMode::ByPieces;
        request.pieceCount = std::to_string(3);
        request.compressFirst = compress;
        SplitServices services = engines.splitServices(recent, explore);
        return splitCommand(request, services).succeeded;
    };
    const auto splitWithRecovery = [&] {
        engines.splitEngine().SetCompanions({true, true, 1, false});
        const bool ok = split("recovered", false);
        engines.splitEngine().SetCompanions({});
        return ok && fs::remove(root / "recovered" / "big.bin.002"); // for the repair
    };
    const auto join = [&](const std::string& piece, const std::string& folder) {
        JoinRequest request{(root / piece).string(), (root / folder / "").string()};
        JoinServices services = engines.joinServices(recent, explore);
        return joinCommand(request, services).succeeded;
    };
    const struct {
        const char* name;
        std::function<bool()> run;
    } jobs[] = {
        {"split", [&] { return split("plain", false); }},
        {"join", [&] { return join("plain/big.bin.001", "joined"); }},
        {"compression (and split)", [&] { return split("zipped", true); }},
        {"decompression (and join)", [&] { return join("zipped/big.bin.zip.001", "unzipped"); }},
        {"split with recovery", splitWithRecovery},
        {"repair (and join)", [&] { return join("recovered/big.bin.001", "repaired"); }},
    };
    int failures = 0;
    for (const auto& job : jobs) {
        host.restart();
        const Clock::time_point start = Clock::now();
        const bool ok = job.run();
        const auto ms = [](Clock::duration d) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
        };
        const bool slow = host.longest > kLongestGap;
        std::printf("%-26s %6lld ms in all, longest gap %4lld ms%s%s\n", job.name,
                    static_cast<long long>(ms(Clock::now() - start)),
                    static_cast<long long>(ms(host.longest)), ok ? "" : "  FAILED",
                    slow ? "  OVER THE TARGET" : "");
        failures += ok && !slow ? 0 : 1;
    }
    fs::remove_all(root);
    return failures == 0 ? 0 : 1;
}
