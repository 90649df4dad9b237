// Afterwards the destination holds what it held before (or the complete result).
#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/split_set.h"
#include "join/mod_join_file.h"
#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/recent_files.h"
#include "platform/stop_token.h"
#include "split/mod_split_file.h"
#include "split/split_request.h"

#include "fake_bindings.h"
#include "scripted_host.h"
#include "set_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

using namespace parcelo;
namespace fs = std::filesystem;

namespace {

using Snapshot = std::map<std::string, std::string>; // each file's name and bytes
using Answers = std::vector<std::tuple<Question, Answer, std::string>>;

Snapshot snapshot(const fs::path& folder)
{
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::readFile(entry.path().string());
    return files;
}

// Writes fail after failAfter bytes, a stop comes at the stopAt-th event (0: never), and
// the first message lifts the write fault when clearsFault.
struct Fault {
    std::uint64_t failAfter = 0;
    int osError = ENOSPC;
    long stopAt = 0;
    bool clearsFault = false;
};

class FaultHost : public test::ScriptedHost {
public:
    explicit FaultHost(const Fault& fault) : fault_(fault)
    {
        if (fault.failAfter > 0)
            faults::failWritesAfter(fault.failAfter, fault.osError);
    }
    ~FaultHost() override
    {
        faults::clearWriteFault();
        jobStop().reset();
    }
    void say(const Answers& answers)
    {
        for (const auto& [kind, reply, text] : answers)
            answer(kind, reply, text);
    }
    void processEvents() override
    {
        ScriptedHost::processEvents();
        if (eventsProcessed == fault_.stopAt)
            jobStop().request();
    }

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override
    {
        if (fault_.clearsFault)
            faults::clearWriteFault();
        return ScriptedHost::showMessage(kind, text, buttons, icon, title);
    }

private:
    Fault fault_;
};

const std::string kDiskFull = "There is not enough space on the disk.";
const std::string kSure = "Are you sure you want to cancel the process?";

// A diskette drive in a folder, with room for every piece.
struct FolderDrive {
    explicit FolderDrive(const fs::path& folder)
        : drive(std::make_shared<FolderDisketteDrive>(folder))
    {
        fs::create_directory(folder);
        setDisketteDrive(drive);
    }
    ~FolderDrive() { setDisketteDrive(nullptr); }
    std::shared_ptr<FolderDisketteDrive> drive;
};

} // namespace

TEST(SafeWrites, SplitLeavesTheDestinationAsItWasOrWithCompletePiecesOnly)
{
    std::string lines;
    for (int i = 100; i < 200; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    // OK asks again while the disk stays full; No to the cancel question, too
    const Answers diskFull = {{Question::DiskFull, Answer::Ok, kDiskFull + "\rPlease insert"},
                              {Question::DiskFull, Answer::Cancel, kDiskFull},
                              {Question::ConfirmCancel, Answer::No, kSure},
                              {Question::DiskFull, Answer::Cancel, kDiskFull},
                              {Question::ConfirmCancel, Answer::Yes, kSure}};
    const struct {
        const char* name;
        std::string unit;
        Fault fault;
        Answers answers;
        bool diskette = false;
        bool keepsFirstDisk = false;
    } cases[] = {
        // a fault after 500 bytes hits the second piece in both modes
        {"disk full, cancelled", "BT", {500}, diskFull},
        {"write error", "BT", {500, EIO}, {}},
        {"stopped", "BT", {0, 0, 3}, {}},
        {"lines, disk full", "LN", {500}, diskFull},
        {"lines, write error", "LN", {500, EIO}, {}},
        {"lines, stopped", "LN", {0, 0, 2}, {}},
        {"diskette count declined",
         "BT",
         {},
         {{Question::DisketteCount, Answer::No, "diskettes"}},
         true},
        {"second diskette cancelled",
         "BT",
         {},
         {{Question::DisketteCount, Answer::Yes, "diskettes"},
          {Question::InsertDisk, Answer::Ok, "disk #1"},
          {Question::InsertDisk, Answer::Cancel, "disk #2"},
          {Question::ConfirmCancel, Answer::Yes, kSure}},
         true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder temp;
        const std::string content = c.unit == "LN" ? lines : test::patternBytes(1000);
        const double size = c.unit == "LN" ? 30 : 300;
        test::writeFile(temp.file("data.bin"), content);
        const auto split = [&](Host& host, const std::string& destination) {
            modSplitFile engine(host);
            engine.SetSourceFile(temp.file("data.bin"));
            engine.SetDestFolder(destination);
            engine.SetSplitSize(size);
            engine.SetUnit(c.unit);
            return std::pair<int, std::string>(engine.StartSplit(), engine.Message());
        };
        const fs::path out = temp.path() / (c.diskette ? "floppy" : "out");
        FolderDrive drive(temp.path() / "floppy");
        fs::create_directories(out);
        test::writeFile((out / "data.bin.001").string(), "a piece the user had");
        test::writeFile((out / "keep.txt").string(), "unrelated");
        Snapshot expected = snapshot(out);
        if (c.keepsFirstDisk) {
            const auto header = encodePieceHeader({PieceSignaturePlain, 4, 1});
            expected["data.bin.001"] =
                std::string(header.begin(), header.end()) + content.substr(0, 300);
        }

        FaultHost host(c.fault);
        host.say(c.answers);
        const bool broken = c.fault.osError == EIO;
        EXPECT_EQ(split(host, c.diskette ? "a:/" : out.string() + "/"),
                  std::pair(broken ? 57 : -1,
                            broken ? "Device I/O error: " + out.string() + "/data.bin.002"
                                   : "Splitting of the files was cancelled."));
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(snapshot(out), expected);
        EXPECT_EQ(test::readFile(temp.file("data.bin")), content);
    }
}

TEST(SafeWrites, JoinKeepsAFileOfTheJoinedNameUnlessTheJoinCompletes)
{
    const std::string content = test::patternBytes(1000);
    const struct {
        const char* name;
        Fault fault;
        bool foreignThirdPiece;
        int flag;
        bool diskette = false; // the second disk is asked for and the prompt cancelled
    } cases[] = {
        {"disk full", {500}, false, 61},
        {"write error", {500, EIO}, false, 57},
        {"stopped", {0, 0, 3}, false, -1},
        {"piece of another set", {}, true, 1},
        {"diskette prompt cancelled", {}, false, 1, true},
        {"complete", {}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder in, out;
        FolderDrive drive(in.path());
        const auto pieces = test::writeByteSet(in.file("data.bin"), content, 300);
        if (c.diskette)
            fs::remove(pieces[1]);
        if (c.foreignThirdPiece)
            test::writeBytePiece(pieces[2], PieceSignaturePlain, 4, 2, std::string(300, 'x'));
        test::writeFile(out.file("data.bin"), "the user's own file");
        test::writeFile(out.file("keep.txt"), "unrelated");
        Snapshot expected = snapshot(out.path());
        if (c.flag == 0)
            expected["data.bin"] = content;

        FaultHost host(c.fault);
        host.acceptNotices();
        if (c.diskette)
            host.say({{Question::InsertDisk, Answer::Cancel, "Please insert disk #2"},
                      {Question::ConfirmCancel, Answer::Yes, kSure}});
        modJoinFile engine(host);
        engine.SetSourceFile(c.diskette ? "a:/data.bin.001" : pieces[1]);
        engine.SetDestinationFolder(out.folder());
        engine.LocateSplitFiles();
        engine.JoinSplitFiles();
        engine.FinishJoin();
        EXPECT_EQ(engine.ErrorFlag(), c.flag);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(snapshot(out.path()), expected);
    }
}

TEST(SafeWrites, CompressedSplitRemovesItsCompressedFileAndNeverTheSource)
{
    test::TempFolder scratch;
    const std::string content = test::patternBytes(200'000);
    test::writeFile(scratch.file("source.bin"), content);
    ZlibTool sizing;
    sizing.SetSourceFileName(scratch.file("source.bin"));
    sizing.SetTargetFileName(scratch.file("source.zip"));
    sizing.DoCompress();
    const auto zipped = fs::file_size(scratch.file("source.zip"));

    const Answers cancelAtDiskFull = {{Question::DiskFull, Answer::Cancel, kDiskFull},
                                      {Question::ConfirmCancel, Answer::Yes, kSure}};
    const struct {
        const char* name;
        Fault fault;
        Answers answers;
        std::string size; // in bytes
        bool diskette = false;
    } cases[] = {
        {"disk full while compressing", {100}, cancelAtDiskFull, "1000"},
        {"write error in the pieces", {zipped + 500, EIO}, {}, "1000"},
        {"write error in the one piece", {zipped / 2, EIO}, {}, "1000000"},
        {"stopped while compressing", {0, 0, 1}, {}, "1000"},
        {"compression failed, diskette count declined",
         {100, ENOSPC, 0, true},
         {{Question::DisketteCount, Answer::No, "diskettes"}},
         "1000",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder temp;
        test::writeFile(temp.file("source.bin"), content);
        fs::create_directory(temp.file("Temp"));
        FolderDrive drive(temp.path() / "floppy");
        const fs::path out = temp.path() / (c.diskette ? "floppy" : "out");
        fs::create_directories(out);
        test::writeFile((out / "keep.txt").string(), "unrelated");
        const Snapshot before = snapshot(out);

        const auto request = [&](Host& host) {
            test::FakeProgressBar bar;
            test::RecordedRecentFiles recent;
            ExploreMenu explore;
            ZlibTool tool;
            modSplitFile engine(host);
            CompressionAdapter compressor(host, tool, {&bar, nullptr, nullptr}, {},
                                          temp.file("Temp"));
            SplitServices services{host,   engine,  compressor,
                                   recent, explore, {&bar, nullptr, nullptr}};
            SplitPaneValues pane;
            pane.Text1 = temp.file("source.bin");
            pane.Text4 = c.diskette ? "a:/" : out.string();
            pane.Text3 = c.size;
            pane.Combo1 = 0;
            return cmdSpSplit_Click(pane, services).succeeded;
        };
        {
            FaultHost host(c.fault);
            host.say(c.answers);
            host.acceptNotices();
            EXPECT_FALSE(request(host));
            EXPECT_TRUE(host.allAnswersUsed());
        }
        EXPECT_EQ(snapshot(out), before);
        EXPECT_TRUE(fs::is_empty(temp.file("Temp")));
        EXPECT_EQ(test::readFile(temp.file("source.bin")), content);
        if (!c.diskette) {
            test::ScriptedHost retry; // not refused for a compressed file it left
            retry.acceptNotices();
            EXPECT_TRUE(request(retry));
        }
    }
}

TEST(SafeWrites, AFailedCompanionLeavesAnOlderSetOfTheNameAsItWas)
{
    test::TempFolder temp;
    test::writeFile(temp.file("data.bin"), test::patternBytes(1000));
    const fs::path out = temp.path() / "out";
    fs::create_directories(out);
    for (const char* name : {"data.bin.001", "data.bin.002", "data.bin.sha256", "data.bin.rec001"})
        test::writeFile((out / name).string(), std::string("older ") + name);
    const Snapshot before = snapshot(out);
    // the pieces take 1048 bytes: the faults hit the recovery piece, then the checksum file
    for (const std::uint64_t failAfter : {1100u, 1600u}) {
        SCOPED_TRACE(failAfter);
        FaultHost host({failAfter, EIO});
        modSplitFile engine(host);
        engine.SetSourceFile(temp.file("data.bin"));
        engine.SetDestFolder(out.string() + "/");
        engine.SetSplitSize(300);
        engine.SetUnit("BT");
        engine.SetCompanions({true, true, 1, false});
        EXPECT_EQ(engine.StartSplit(), 57);
        EXPECT_EQ(snapshot(out), before);
    }
}
