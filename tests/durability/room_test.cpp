// Outside diskettes a job that cannot fit is refused before its first byte with the room
// it needs or the file system's limit, and a disk that fills meanwhile fails it so.
#include "join/mod_join_file.h"
#include "platform/file_system.h"

#include "set_writer.h"
#include "split_run.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <optional>

using namespace parcelo;

namespace {

// A tmpfs of 1 MiB mounted on a folder for as long as it lives, in a mount namespace of
// this test process's own.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : folder_(folder)
    {
        mounted_ = ::unshare(CLONE_NEWNS) == 0
                   && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                   && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

enum class Disk {
    Tmpfs,     // the real 1 MiB tmpfs
    FillsLate, // the tmpfs, said to have room to spare: it fills while the job writes
    Fat,       // said to be a roomy FAT file system at /media/usb
};

// Answers for the folder's file system as the row says, while it lives.
struct AnsweredFileSystem {
    explicit AnsweredFileSystem(Disk disk)
    {
        if (disk == Disk::Tmpfs)
            return;
        setFileSystemQuery([disk](const std::filesystem::path& folder) {
            const std::string mount = (folder.has_filename() ? folder : folder.parent_path());
            FileSystemFacts facts{mount, "", std::uint64_t{1} << 40, 4096};
            if (disk == Disk::Fat) {
                facts = {"/media/usb", "FAT", std::uint64_t{1} << 40, 32768, 0xFFFFFFFF};
            }
            return std::optional(facts);
        });
    }
    ~AnsweredFileSystem() { setFileSystemQuery(nullptr); }
};

// A file of the given size that takes no room: the FAT rows never read its data.
void makeSparse(const std::string& path, std::uint64_t size)
{
    if (!std::filesystem::exists(path))
        test::writeFile(path, "");
    std::filesystem::resize_file(path, size);
}

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
const std::string kFatLimit = "/media/usb cannot hold files over 4 GB (FAT file system). ";

} // namespace

// A split's pieces of `size` bytes, or a join whose decompression adds `decompressed`.
TEST(RoomForAJob, AJobThatCannotFitIsRefusedBeforeItsFirstByte)
{
    const struct {
        const char* name;
        bool join;
        Disk disk;
        double size;
        std::uint64_t decompressed;
        int status;          // the split's, or the join's error flag
        std::string message; // after the folder, or whole for FAT
    } cases[] = {
        {"split, too little room", false, Disk::Tmpfs, 1e6, 0, -1, ": 1.9 MB more are needed."},
        {"split, fills while written", false, Disk::FillsLate, 1e6, 0, 61,
         ": 1.9 MB more are needed."},
        {"split, pieces over FAT's largest file", false, Disk::Fat, 4.5 * kGiB, 0, -1,
         kFatLimit + "Choose pieces of at most 4 GB or another drive."},
        {"join, too little room", true, Disk::Tmpfs, 0, 0, 61, ": 1.9 MB more are needed."},
        {"join, and for its decompressed file", true, Disk::Tmpfs, 0, 2000000, 61,
         ": 3.8 MB more are needed."},
        {"join, fills while written", true, Disk::FillsLate, 0, 0, 61, ": 1.9 MB more are needed."},
        {"joined file over FAT's largest file", true, Disk::Fat, 0, 0, 75,
         kFatLimit + "Choose another drive."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool fat = c.disk == Disk::Fat;
        test::SplitRun run(fat ? "" : test::patternBytes(3000000), c.size, "BT");
        const std::string folder = run.out.substr(0, run.out.size() - 1);
        std::vector<std::string> pieces;
        if (c.join) {
            pieces = test::writeByteSet(run.temp.file("data.bin"),
                                        test::patternBytes(fat ? 2 : 3000000), fat ? 1 : 1000000);
            if (fat)
                for (const std::string& piece : {pieces[0], pieces[1]})
                    makeSparse(piece, 3 * kGiB);
        } else if (fat) {
            makeSparse(run.engine.SourceFile(), 5 * kGiB);
            run.engine.SetSourceFile(run.engine.SourceFile());
        }
        run.engine.SetCompanions({false, false});
        SmallDisk disk(folder);
        if (!fat && !disk.mounted())
            GTEST_SKIP() << "mounting a tmpfs is not permitted here";
        const AnsweredFileSystem answers(c.disk);
        int status = 0;
        std::string message;
        if (c.join) {
            modJoinFile engine(run.host);
            engine.SetSourceFile(pieces[1]);
            engine.SetDestinationFolder(run.out);
            engine.LocateSplitFiles();
            ASSERT_EQ(engine.ErrorFlag(), 0) << engine.ErrorMessage();
            engine.SetRoomAfterJoin(c.decompressed);
            engine.JoinSplitFiles();
            status = engine.ErrorFlag();
            message = engine.ErrorMessage();
            engine.FinishJoin();
        } else {
            status = run.engine.StartSplit();
            message = run.engine.Message();
        }
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(message, fat ? c.message : "There is not enough space on " + folder + c.message);
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
}
