#pragma once

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The shell words that start parcelo-cli with these arguments, each one quoted.
inline std::string commandFor(const std::vector<std::string>& arguments)
{
    std::string command = "'" PARCELO_CLI "'";
    for (const auto& argument : arguments) { // appended piece by piece: no -Wrestrict at -O3
        command += " '";
        command += argument;
        command += '\'';
    }
    return command;
}

inline int exitStatus(int raw)
{
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// parcelo-cli in a temporary folder with "pieces/" and "joined/" in it.
class CliRunTest : public ::testing::Test {
protected:
    CliRunTest()
    {
        std::filesystem::create_directory(pieces);
        std::filesystem::create_directory(joined);
    }
    // Runs parcelo-cli in the temporary folder with no terminal on standard input. The
    // shell commands of `setUp`, when given, run first in the same subshell.
    CliRun run(const std::vector<std::string>& arguments, const std::string& setUp = {}) const
    {
        const std::string command =
            "(cd '" + temp.path().string() + "' && " + setUp + " " + commandFor(arguments)
            + ") </dev/null >'" + temp.file("stdout.txt") + "' 2>'" + temp.file("stderr.txt") + "'";
        return {exitStatus(std::system(command.c_str())), readFile(temp.file("stdout.txt")),
                readFile(temp.file("stderr.txt"))};
    }
    std::string piece(const std::string& name) const { return pieces + "/" + name; }
    std::string output(const std::string& name) const { return joined + "/" + name; }

    TempFolder temp;
    std::string pieces = temp.file("pieces");
    std::string joined = temp.file("joined");
};

} // namespace parcelo::test
