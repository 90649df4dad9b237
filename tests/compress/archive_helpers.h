#pragma once

#include "temp_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// Helpers for tests that check archives with the zip and unzip commands.
namespace parcelo::test {

inline std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

// The exit status of a shell command, its output thrown away.
inline int shell(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// What a shell command prints.
inline std::string shellOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char block[65536];
        while (const std::size_t got = std::fread(block, 1, sizeof block, pipe))
            output.append(block, got);
        pclose(pipe);
    }
    return output;
}

// Text lines and random bytes in turn, as most real files mix them.
inline std::string mixedContent(std::size_t size)
{
    std::string content;
    for (std::uint32_t seed = 1; content.size() < size; ++seed) {
        for (int line = 0; line < 2000; ++line)
            content += "line " + std::to_string(line * 7919 % 1000) + " of some text\r\n";
        content += patternBytes(20000, seed);
    }
    content.resize(size);
    return content;
}

// A little-endian field of the archive's first local header: the flags at 6 (bits 1 and 2
// tell the deflate effort), the name and extra lengths at 26 and 28.
inline unsigned headerField(const std::string& archivePath, int offset)
{
    const std::string header = readFile(archivePath).substr(0, 30);
    return static_cast<unsigned char>(header.at(offset))
           | static_cast<unsigned char>(header.at(offset + 1)) << 8;
}

inline std::uint64_t firstEntryDataOffset(const std::string& archivePath)
{
    return 30 + headerField(archivePath, 26) + headerField(archivePath, 28);
}

// Flips every bit of one byte of a file.
inline void alterByte(const std::string& path, std::uint64_t offset)
{
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekg(static_cast<std::streamoff>(offset));
    const char byte = static_cast<char>(~file.get());
    file.seekp(static_cast<std::streamoff>(offset));
    file.put(byte);
}

} // namespace parcelo::test
