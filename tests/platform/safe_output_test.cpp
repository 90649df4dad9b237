#include "platform/run_error.h"
#include "platform/safe_output.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

using namespace parcelo;

// A pending file shows under its final name only once committed; every other way out
// leaves the folder as it was.
TEST(SafeOutput, AppearsOnlyWhenCommittedAndLeavesNothingOtherwise)
{
    test::TempFolder temp;
    const std::string target = temp.file("joined.bin");
    test::writeFile(target, "user's own");
    {
        SafeOutput pending(target);
        pending.file().write("partial");
        EXPECT_EQ(test::filesIn(temp.path()), 2u);
        EXPECT_NE(pending.temporaryPath().find("joined.bin.parcelo-tmp-"), std::string::npos);
    } // dropped: a failure or a cancel
    EXPECT_EQ(test::filesIn(temp.path()), 1u);
    EXPECT_EQ(test::readFile(target), "user's own");

    SafeOutput refused(target);
    refused.file().write("new");
    EXPECT_EQ(test::runErrorOf([&] { refused.commitWithoutReplacing(); }), err::FileAlreadyExists);
    EXPECT_EQ(test::readFile(target), "user's own");
    EXPECT_EQ(test::filesIn(temp.path()), 1u);

    SafeOutput complete(target); // the modes it gives are the join's and split's tests
    complete.file().write("complete");
    complete.commit();
    EXPECT_EQ(test::readFile(target), "complete");
    EXPECT_EQ(test::filesIn(temp.path()), 1u);

    EXPECT_EQ(test::runErrorOf([&] { SafeOutput(temp.file("no/such/file")); }), err::PathNotFound);
    // A name long enough that the marker would overflow a file name is cut, not refused.
    SafeOutput longName(temp.file(std::string(250, 'x')));
    longName.file().write("x");
    longName.commit();
    EXPECT_TRUE(std::filesystem::exists(temp.path() / std::string(250, 'x')));
}

namespace {

namespace fs = std::filesystem;

// Runs work in a child process that then ends without clean-up, as a killed job does, and
// returns the entry it left in folder.
fs::path leftByKilledJob(const fs::path& folder, const std::function<void()>& work)
{
    const auto before = test::namesIn(folder);
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    for (const std::string& name : test::namesIn(folder))
        if (!before.contains(name))
            return folder / name;
    return {};
}

} // namespace

// Only what this program makes and no running job holds is cleared: a user's files and
// folders named like temporaries stay, and so does a finished piece not yet committed.
TEST(SafeOutput, StaleTemporariesAreClearedAndNothingElse)
{
    test::TempFolder temp;
    const std::string target = temp.file("f.bin");
    const std::string user = temp.file("user.txt");
    test::writeFile(user, "the user's");
    std::vector<SafeOutput> liveFiles;
    std::vector<std::unique_ptr<TemporaryFolder>> liveFolders;
    int fifoWriter = -1;
    const struct {
        const char* what;
        std::function<fs::path()> make;
        bool cleared;
    } cases[] = {
        {"a user's folder of that name",
         [&] {
             fs::create_directories(temp.path() / "f.bin.parcelo-tmp-photos/photos");
             return temp.path() / "f.bin.parcelo-tmp-photos";
         },
         false},
        {"a user's file off the random letters",
         [&] {
             test::writeFile(temp.file("f.bin.parcelo-tmp-my.doc"), "notes");
             return temp.path() / "f.bin.parcelo-tmp-my.doc";
         },
         false},
        {"a user's file with a second name",
         [&] {
             fs::create_hard_link(user, temp.path() / "f.bin.parcelo-tmp-Backup");
             return temp.path() / "f.bin.parcelo-tmp-Backup";
         },
         false},
        {"a user's pipe",
         [&] {
             ::mkfifo(temp.file("f.bin.parcelo-tmp-Queue0").c_str(), 0600);
             fifoWriter = ::open(temp.file("f.bin.parcelo-tmp-Queue0").c_str(), O_RDWR);
             return temp.path() / "f.bin.parcelo-tmp-Queue0";
         },
         false},
        {"a file a killed job wrote",
         [&] { return leftByKilledJob(temp.path(), [&] { new SafeOutput(target); }); }, true},
        {"a folder a killed job filled with a link and a file",
         [&] {
             return leftByKilledJob(temp.path(), [&] {
                 const auto* folder = new TemporaryFolder(target);
                 fs::create_symlink(user, folder->path() + "f.bin.001");
                 test::writeFile(folder->path() + "f.bin.002", "rebuilt");
             });
         },
         true},
        {"a folder a killed job left that holds a folder",
         [&] {
             return leftByKilledJob(temp.path(), [&] {
                 fs::create_directory((new TemporaryFolder(target))->path() + "sub");
             });
         },
         false},
        {"a file a running job writes",
         [&] { return liveFiles.emplace_back(target).temporaryPath(); }, false},
        {"a finished file of a running job, closed but not committed",
         [&] {
             SafeOutput& finished = liveFiles.emplace_back(target);
             finished.file().close();
             return finished.temporaryPath();
         },
         false},
        {"a folder a running job uses",
         [&] {
             liveFolders.push_back(std::make_unique<TemporaryFolder>(target));
             return fs::path(liveFolders.back()->path()).parent_path();
         },
         false},
    };
    std::vector<fs::path> made;
    for (const auto& c : cases) {
        made.push_back(c.make());
        ASSERT_FALSE(made.back().empty()) << c.what;
    }
    for (const fs::path& path : made)
        test::makeOld(path);
    removeStaleTemporaries(target);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(!fs::exists(fs::symlink_status(made[i])), cases[i].cleared) << cases[i].what;
    EXPECT_EQ(test::readFile(user), "the user's");
    ::close(fifoWriter);
}

// The clean-up of a second Ctrl-C, which then ends the process: every temporary file and
// every temporary folder with the links and files in it.
TEST(SafeOutput, TheSignalCleanUpLeavesNothingBehind)
{
    test::TempFolder temp;
    test::writeFile(temp.file("mine"), "the user's");
    const fs::path left = leftByKilledJob(temp.path(), [&] {
        SafeOutput piece(temp.file("data.bin.001"));
        piece.file().write("partial");
        TemporaryFolder repair(temp.file("data.bin"));
        fs::create_symlink(temp.file("mine"), repair.path() + "data.bin.002");
        SafeOutput rebuilt(repair.path() + "data.bin.001");
        exitRemovingSafeOutputs(0); // as the handler does: no destructor runs
    });
    EXPECT_TRUE(left.empty()) << left;
    EXPECT_EQ(test::readFile(temp.file("mine")), "the user's");
}
