#pragma once

#include "platform/diskette.h"
#include "platform/run_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace parcelo::test {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do
            path_ = base / ("parcelo-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the programs take it: with a separator at the end.
    std::string folder() const { return path_.string() + "/"; }
    // The full path of a name inside the folder.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Writes bytes to a file, replacing it.
inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The whole content of a file ("" when it cannot be read).
inline std::string readFile(const std::string& path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

// The names in a folder, sorted: temporary files left behind show here.
inline std::set<std::string> namesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The number of entries in a folder.
inline std::size_t filesIn(const std::filesystem::path& folder)
{
    return namesIn(folder).size();
}

// Each file of a folder, by name, with its bytes.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = readFile(entry.path().string());
    return files;
}

// The files under a folder (at any depth, as paths below it) whose bytes hold `text`, but
// those named in `except`: where a secret or a plain copy of data shows.
inline std::set<std::string> filesHolding(const std::filesystem::path& folder,
                                          const std::string& text,
                                          const std::set<std::string>& except = {})
{
    std::set<std::string> holding;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string below = entry.path().lexically_relative(folder).string();
        if (entry.is_regular_file() && !except.contains(below)
            && readFile(entry.path().string()).find(text) != std::string::npos)
            holding.insert(below);
    }
    return holding;
}

// The diskette drive, a folder (made if need be) with room for every piece, while in scope.
struct DisketteFolder {
    explicit DisketteFolder(const std::filesystem::path& folder)
        : drive(std::make_shared<FolderDisketteDrive>(folder))
    {
        std::filesystem::create_directory(folder);
        setDisketteDrive(drive);
    }
    ~DisketteFolder() { setDisketteDrive(nullptr); }
    std::shared_ptr<FolderDisketteDrive> drive;
};

// Dates an entry back (a link itself, not what it names), as one left long ago.
inline void makeOld(const std::filesystem::path& path)
{
    const timespec old[2] = {{1000, 0}, {1000, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW);
}

// Changes one byte of a file in place.
inline void flipByte(const std::string& path, std::size_t at)
{
    std::string bytes = readFile(path);
    bytes.at(at) ^= 0x20;
    writeFile(path, bytes);
}

// A shell command's exit status (-1 when it did not exit) and standard output.
struct CommandRun {
    int status = -1;
    std::string output;
};

inline CommandRun commandRun(const std::string& command)
{
    CommandRun ran;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
            ran.output.append(buffer, got);
        const int status = ::pclose(pipe);
        ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return ran;
}

// What a shell command prints on its standard output.
inline std::string commandOutput(const std::string& command)
{
    return commandRun(command).output;
}

// Bytes that follow a fixed pattern, so that a misplaced block shows in a comparison.
inline std::string patternBytes(std::size_t size, std::uint32_t seed = 1)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// The number of the error the call raises (0 when none).
template <class Error = RunError>
int runErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

} // namespace parcelo::test
