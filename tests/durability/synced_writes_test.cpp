// Run with the sync shim preloaded (ctest does): its log shows in which order files were
// synced, renamed and their folders synced, and the questions answered in between.
#include "app/config_file.h"
#include "platform/durability.h"
#include "platform/explore_menu.h"

#include "split_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

using namespace parcelo;
namespace fs = std::filesystem;

namespace {

// The shim's log for one test: each line's fields.
class SyncLog {
public:
    explicit SyncLog(const test::TempFolder& temp) : path_(temp.file("sync.log"))
    {
        ::setenv("SYNC_SHIM_LOG", path_.c_str(), 1);
    }
    ~SyncLog() { ::unsetenv("SYNC_SHIM_LOG"); }
    SyncLog(const SyncLog&) = delete;
    SyncLog& operator=(const SyncLog&) = delete;

    // True when the shim writes the log (the test binary runs with it preloaded).
    bool active() const
    {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
        return !lines().empty();
    }
    // Marks a question answered, as the shim marks a line read from standard input.
    void answered() const { test::writeFile(path_, test::readFile(path_) + "answer\n"); }

    std::vector<std::vector<std::string>> lines() const
    {
        std::vector<std::vector<std::string>> result;
        std::istringstream text(test::readFile(path_));
        for (std::string line; std::getline(text, line);) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            for (std::string field; std::getline(parts, field, '\t');)
                fields.push_back(field);
            result.push_back(fields);
        }
        return result;
    }

    // The problems of the log: a file renamed into folder before its data was synced, or
    // not followed by a sync of the folder before the next answer (or the log's end).
    std::vector<std::string> faultsIn(const std::string& folder) const
    {
        std::vector<std::string> faults, synced, waiting;
        for (const auto& line : lines()) {
            const std::string& op = line[0];
            if (op == "fdatasync" || op == "fsync")
                synced.push_back(line[1]);
            if (op == "fsync" && line[1] == folder)
                waiting.clear();
            if (op == "rename" && fs::path(line[2]).parent_path() == folder) {
                if (std::find(synced.begin(), synced.end(), line[1]) == synced.end())
                    faults.push_back(line[2] + " renamed before it was synced");
                waiting.push_back(line[2]);
            }
            if (op == "answer" && !waiting.empty())
                faults.push_back(waiting.front() + ": its folder unsynced at a question");
        }
        for (const std::string& name : waiting)
            faults.push_back(name + ": its folder never synced");
        return faults;
    }

private:
    std::string path_;
};

} // namespace

// Each diskette's piece is on the disk before the next disk is asked for, with the option
// on; the configuration file and its folder are synced whatever the option says.
TEST(SyncedWrites, DiskettesAreSyncedBeforeTheNextDiskAndTheConfigurationAlways)
{
    const struct {
        const char* name;
        bool flush;
        bool diskette; // else the configuration is saved
        bool synced;
    } cases[] = {
        {"diskettes", true, true, true},
        {"diskettes, flush off", false, true, false},
        {"configuration, flush off", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::SplitRun run(test::patternBytes(3000), 1000, "BT");
        SyncLog log(run.temp);
        if (!log.active())
            GTEST_SKIP() << "the sync shim is not preloaded";
        setFlushToDisk(c.flush);
        std::string folder;
        if (c.diskette) {
            test::DisketteFolder drive(run.temp.path() / "floppy");
            folder = drive.drive->mountPoint().string();
            run.engine.SetDestFolder("a:/");
            run.host.answer(Question::DisketteCount, Answer::Yes);
            for (int disk = 1; disk <= 3; ++disk)
                run.host.answer(Question::InsertDisk, Answer::Ok, "disk #" + std::to_string(disk));
            run.host.onShown = [&log](const test::ShownMessage&) { log.answered(); };
            EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
        } else {
            const AppPaths paths = appPathsFor(run.temp.path().string());
            folder = fs::path(paths.configFilePath).parent_path().string();
            test::writeFile(paths.configFilePath, test::readFile(PARCELO_SHIPPED_CONFIG));
            ParceloOptions options;
            ExploreMenu explore;
            const LogWriter ignore = [](const std::string&) {};
            ASSERT_TRUE(LoadConfiguration(paths, options, explore, run.host, ignore).ok());
            ASSERT_TRUE(SaveConfiguration(paths, options, explore, run.host, ignore).ok());
        }
        setFlushToDisk(true);
        const auto faults = log.faultsIn(folder);
        if (c.synced)
            EXPECT_TRUE(faults.empty()) << faults.front();
        else
            EXPECT_FALSE(faults.empty());
    }
}
