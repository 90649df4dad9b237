#pragma once

#include "temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace parcelo::test {

// A folder of every kind a folder set keeps, under root/name: nested folders, an empty
// folder, a file of 0 bytes, a name with spaces and UTF-8, a file of mode 0700, a link
// inside and one pointing outside, a 3 MB random file, and a FIFO, which is left out.
inline std::string makeFolderTree(const std::filesystem::path& root, const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path tree = root / name;
    fs::create_directories(tree / "nested/deeper");
    fs::create_directories(tree / "empty");
    fs::create_directories(tree / "with space ü");
    writeFile((tree / "zero").string(), "");
    writeFile((tree / "with space ü/notes é.txt").string(), "hello\n");
    writeFile((tree / "nested/deeper/private").string(), "mine\n");
    ::chmod((tree / "nested/deeper/private").c_str(), 0700);
    writeFile((tree / "nested/random.bin").string(), patternBytes(3 << 20, 7));
    fs::create_symlink("../zero", tree / "nested/inside");
    fs::create_symlink("/etc/passwd", tree / "outside");
    ::mkfifo((tree / "fifo").c_str(), 0600);
    return tree.string();
}

// "" when the trees hold the same entries with the same modes, link targets and (but for
// links) modification minutes, and the same bytes (diff -r, links not followed); else the
// difference. The FIFO is left out.
inline std::string treeDifference(const std::string& a, const std::string& b)
{
    const auto listing = [](const std::string& folder) {
        return commandOutput(
            "cd '" + folder + "' && find . -mindepth 1 ! -type p \\( -type l "
            + "-printf '%p %M %l\\n' -o -printf '%p %M %TY%Tm%Td%TH%TM\\n' \\) | sort");
    };
    const std::string left = listing(a), right = listing(b);
    if (left != right)
        return left + "---\n" + right;
    return commandOutput("diff -r --no-dereference '" + a + "' '" + b + "' | grep -v '^Only in " + a
                         + ": fifo$'");
}

} // namespace parcelo::test
