#include "cli/password_input.h"

#include "platform/file.h"
#include "platform/run_error.h"

#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string_view>

namespace parcelo::cli {

namespace {

// Turns the terminal's echo off for its lifetime, when `in` is a terminal.
class EchoOff {
public:
    explicit EchoOff(int descriptor) : descriptor_(descriptor)
    {
        if (::tcgetattr(descriptor_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL; // the line end still shows, so the next line starts anew
        active_ = ::tcsetattr(descriptor_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (active_)
            ::tcsetattr(descriptor_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int descriptor_;
    termios saved_{};
    bool active_ = false;
};

// The first line of text (up to "\n" or "\r\n"), when a line end or the end of the text
// closes it within kLongestPassword bytes.
bool firstLine(std::string_view text, bool complete, std::string_view& line)
{
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos && !complete)
        return false;
    line = text.substr(0, end == std::string_view::npos ? text.size() : end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line.size() <= kLongestPassword;
}

} // namespace

bool readHiddenLine(std::FILE* in, std::FILE* out, const std::string& prompt, Password& password)
{
    std::array<char, kLongestPassword + 3> buffer{};
    bool read = false;
    {
        const EchoOff echoOff(::fileno(in));
        std::fputs(prompt.c_str(), out);
        std::fflush(out);
        read = std::fgets(buffer.data(), static_cast<int>(buffer.size()), in) != nullptr;
    }
    std::string_view line;
    const bool whole = read && firstLine(buffer.data(), std::feof(in) != 0, line);
    if (whole)
        password.assign(line);
    wipeSecret(buffer.data(), buffer.size());
    return whole;
}

Password passwordFromFile(const std::string& path)
{
    std::array<char, kLongestPassword + 2> buffer{};
    std::size_t got = 0;
    try {
        File file(path, File::Mode::Read);
        got = file.read(buffer.data(), buffer.size());
    } catch (const RunError& error) {
        throw RunError(error.number(), "The password file cannot be read: " + error.description());
    }
    const std::string_view text(buffer.data(), got);
    std::string_view line;
    const bool whole = firstLine(text, got < buffer.size(), line);
    Password password(whole ? line : std::string_view());
    wipeSecret(buffer.data(), buffer.size());
    if (!whole)
        throw RunError(err::Overflow, "The first line of the password file " + path
                                          + " is longer than " + std::to_string(kLongestPassword)
                                          + " bytes.");
    if (password.empty())
        throw RunError(err::InputPastEndOfFile,
                       "The password file " + path
                           + " is empty: its first line must hold the password.");
    return password;
}

} // namespace parcelo::cli
