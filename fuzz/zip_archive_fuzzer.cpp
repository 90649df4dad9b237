// Takes any bytes as the archive a compressed set joins into: reads what its first local
// header declares, then extracts its only entry beside it, once without a password and
// once with one. Refusals are expected; crashes, hangs, leaks, undefined behaviour, a
// target left behind by a failed extraction, or a file written under any other name
// (the entry's own name, a path in it) are not.
//
// PARCELO_FUZZ_SEEDS=FOLDER writes the seed corpus (archives of one entry, fast and best,
// plain and AES-encrypted) into FOLDER and exits.
#include "compress/zip_reader.h"
#include "compress/zlib_tool.h"
#include "platform/durability.h"
#include "platform/file.h"
#include "platform/password.h"
#include "platform/run_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

using namespace parcelo;
namespace fs = std::filesystem;

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A folder of its own for the archive and its target, removed with it.
class Scratch {
public:
    Scratch()
    {
        std::string folder = (fs::temp_directory_path() / "parcelo-fuzz-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr)
            std::abort();
        folder_ = folder;
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string archive() const { return (folder_ / "data.bin.zip").string(); }
    std::string target() const { return (folder_ / "data.bin").string(); }
    // Nothing but the archive and, after a success, the target.
    void expectOnly(bool target) const
    {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            ++count;
            const fs::path name = entry.path().filename();
            if (name != "data.bin.zip" && !(target && name == "data.bin"))
                std::abort();
        }
        if (count != (target ? 2u : 1u))
            std::abort();
    }

private:
    fs::path folder_;
};

void writeSeeds(const fs::path& into)
{
    const Scratch scratch;
    writeBytes(scratch.target(), std::string(3000, 'p') + "some varied text 0123456789");
    const Password password("fuzzing passphrase");
    int n = 0;
    for (const int level : {1, 9}) {
        for (const Password* with : {static_cast<const Password*>(nullptr), &password}) {
            ZlibTool tool;
            tool.SetSourceFileName(scratch.target());
            tool.SetTargetFileName(scratch.archive());
            tool.SetTargetDurability(Durability::Scratch);
            tool.SetCompressionLevel(level);
            tool.SetEntryPassword(with);
            tool.DoCompress();
            fs::copy_file(scratch.archive(), into / ("one-" + std::to_string(++n)));
            fs::remove(scratch.archive());
        }
    }
}

void extract(const Scratch& scratch, const Password* password)
{
    bool done = false;
    try {
        extractOnlyEntry(scratch.archive(), scratch.target(), {}, {}, true, password);
        done = true;
    } catch (const RunError&) {
        // crafted bytes are refused with a reason
    }
    scratch.expectOnly(done);
    std::error_code ec;
    fs::remove(scratch.target(), ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seeds = std::getenv("PARCELO_FUZZ_SEEDS")) {
        writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Scratch scratch;
    writeBytes(scratch.archive(), std::string(reinterpret_cast<const char*>(data), size));
    try {
        File file(scratch.archive(), File::Mode::Read);
        const DeclaredEntry declared = declaredEntry(file, size);
        if (declared.size > size * 1032u + 1024u) // deflate's best ratio is about 1032:1
            std::abort();
    } catch (const RunError&) {
    }
    static const Password password("fuzzing passphrase");
    extract(scratch, nullptr);
    extract(scratch, &password);
    return 0;
}
