// Feeds arbitrary names to the check of a folder set's entry names. A name it lets through
// must stay inside the folder it is unpacked into, as the file system's own path rules see
// it: no NUL, and relative to the folder it neither climbs out nor is the folder itself.
#include "compress/folder_archive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    if (!parcelo::folderEntryProblem(name).empty())
        return 0;
    if (name.find('\0') != std::string_view::npos)
        std::abort();
    const std::filesystem::path folder("/folder");
    const std::filesystem::path placed = (folder / std::string(name)).lexically_normal();
    const std::filesystem::path inside = placed.lexically_relative(folder);
    if (inside.empty() || *inside.begin() == ".." || *inside.begin() == ".")
        std::abort();
    return 0;
}
