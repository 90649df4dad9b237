#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace parcelo::test {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
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
void writeFile(const std::string& path, const std::string& bytes);
// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::string& path);
// The number of entries in a folder.
std::size_t filesIn(const std::filesystem::path& folder);
// The names in a folder, sorted: temporary files left behind show here.
std::set<std::string> namesIn(const std::filesystem::path& folder);
// Changes one byte of a file in place.
void flipByte(const std::string& path, std::size_t at);
// What a shell command prints on its standard output.
std::string commandOutput(const std::string& command);
// Bytes that follow a fixed pattern, so that a misplaced block shows in a comparison.
std::string patternBytes(std::size_t size, std::uint32_t seed = 1);

// The number of the RunError the call raises (0 when none).
int runErrorOf(const std::function<void()>& call);

} // namespace parcelo::test
