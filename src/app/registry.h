#pragma once

#include <string>
#include <utility>

namespace parcelo {

// A root of the persistent key-value store that stands for the registry: the
// local-machine root of the registry on Windows, a per-user settings file elsewhere (a
// per-machine file is not writable by a normal user), or a given settings file (tests).
// Key paths are written with "\" between their parts.
class RegistryRoot {
public:
    static RegistryRoot localMachine() { return RegistryRoot({}); }
    static RegistryRoot inFile(std::string settingsFile)
    {
        return RegistryRoot(std::move(settingsFile));
    }

    const std::string& settingsFile() const { return file_; }

private:
    explicit RegistryRoot(std::string file) : file_(std::move(file)) {}
    std::string file_; // empty: the default store
};

// Values longer than this many characters are not read.
inline constexpr int kRegistryValueBuffer = 128;

// Makes sure the key can be written to. Keys of this store exist through their values.
void CreateRegistryKey(const RegistryRoot& root, const std::string& keyPath);
// Stores the text under the value name; a store that cannot be written is left alone.
void SetRegistryString(const RegistryRoot& root, const std::string& keyPath,
                       const std::string& valueName, const std::string& valueText);
// The text stored under the value name, up to its first NUL character; defaultValue when
// it is missing or longer than kRegistryValueBuffer characters.
std::string GetRegistryString(const RegistryRoot& root, const std::string& keyPath,
                              const std::string& valueName, const std::string& defaultValue);

} // namespace parcelo
