#include "cli/console_host.h"

#include "cli/password_input.h"
#include "cli/standard_streams.h"
#include "platform/job_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace parcelo::cli {

namespace {

const char* buttonHint(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return "";
    case Buttons::OkCancel:
        return " [o]k/[c]ancel: ";
    case Buttons::YesNo:
        return " [y]es/[n]o: ";
    case Buttons::YesNoCancel:
        return " [y]es/[n]o/[c]ancel: ";
    case Buttons::RetryCancel:
        return " [r]etry/[c]ancel: ";
    }
    return "";
}

// The answer a typed letter stands for, when the buttons offer it.
bool answerFor(char letter, Buttons buttons, Answer& answer)
{
    const bool okCancel = buttons == Buttons::OkCancel || buttons == Buttons::RetryCancel;
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'o':
        answer = Answer::Ok;
        return buttons == Buttons::OkCancel;
    case 'r':
        answer = Answer::Retry;
        return buttons == Buttons::RetryCancel;
    case 'c':
        answer = Answer::Cancel;
        return okCancel || buttons == Buttons::YesNoCancel;
    case 'y':
        answer = Answer::Yes;
        return yesNo;
    case 'n':
        answer = Answer::No;
        return yesNo;
    default:
        return false;
    }
}

// A request for another disk: only a person can make its retry succeed.
bool asksForDisk(Question kind)
{
    return kind == Question::InsertDisk || kind == Question::DiskFull;
}

// The answer --yes gives: agreement, except to a request for another disk, declined.
Answer agreeingAnswer(Question kind, Buttons buttons)
{
    if (asksForDisk(kind))
        return cautiousAnswer(buttons);
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    default:
        return Answer::Ok;
    }
}

const char* answerWord(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return "ok";
    case Answer::Cancel:
        return "cancel";
    case Answer::Yes:
        return "yes";
    case Answer::No:
        return "no";
    case Answer::Retry:
        return "retry";
    }
    return "";
}

Answer told(Answer answer, const char* why, std::FILE* out)
{
    std::fprintf(out, " -> %s%s\n", answerWord(answer), why);
    flushStream(out);
    return answer;
}

// One character as the terminal shows it: its bytes and its columns.
struct Glyph {
    std::string bytes;
    std::size_t columns;
};

// East Asian wide characters and emoji take two columns; counting a narrow one as wide
// only leaves the line shorter.
bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F)
           || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF)
           || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
           || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF)
           || (c >= 0x20000 && c <= 0x3FFFD);
}

// The text's UTF-8 characters; a byte that starts none, and a control character, shows
// as "?".
std::vector<Glyph> glyphsOf(const std::string& text)
{
    std::vector<Glyph> glyphs;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4 && i + length <= text.size());
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3Fu);
        }
        if (!valid || c < 0x20 || c == 0x7F) {
            glyphs.push_back({"?", 1});
            ++i;
            continue;
        }
        glyphs.push_back({text.substr(i, length), isWide(c) ? 2u : 1u});
        i += length;
    }
    return glyphs;
}

std::size_t widthOf(const std::vector<Glyph>& glyphs)
{
    std::size_t width = 0;
    for (const Glyph& glyph : glyphs)
        width += glyph.columns;
    return width;
}

std::string textOf(const std::vector<Glyph>& glyphs)
{
    std::string text;
    for (const Glyph& glyph : glyphs)
        text += glyph.bytes;
    return text;
}

std::vector<Glyph> cutAtEnd(const std::vector<Glyph>& glyphs, std::size_t width)
{
    std::vector<Glyph> kept;
    std::size_t used = 0;
    for (const Glyph& glyph : glyphs) {
        if (used + glyph.columns > width)
            break;
        kept.push_back(glyph);
        used += glyph.columns;
    }
    return kept;
}

// The name in `width` columns: its start, "...", its end; too narrow for that, empty.
std::vector<Glyph> cutInMiddle(const std::vector<Glyph>& name, std::size_t width)
{
    constexpr std::size_t kMark = 3;
    if (width < kMark + 2)
        return {};
    std::vector<Glyph> head = cutAtEnd(name, (width - kMark + 1) / 2);
    std::vector<Glyph> reversed(name.rbegin(), name.rend());
    std::vector<Glyph> tail = cutAtEnd(reversed, width - kMark - widthOf(head));
    head.insert(head.end(), kMark, Glyph{".", 1});
    head.insert(head.end(), tail.rbegin(), tail.rend());
    return head;
}

} // namespace

std::string oneLine(const std::string& text)
{
    std::string line;
    bool afterBreak = false;
    for (const char c : toDisplayText(text)) {
        if (c == '\n') {
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            line += ' ';
            afterBreak = true;
        } else if (c != ' ' || !afterBreak) {
            line += c;
            afterBreak = false;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back(); // a message that ends with a line break
    return line;
}

int terminalColumns(std::FILE* out)
{
    winsize size{};
    if (out != nullptr && ::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    const char* columns = std::getenv("COLUMNS");
    const int fromEnvironment = columns != nullptr ? std::atoi(columns) : 0;
    return fromEnvironment > 0 ? fromEnvironment : 80;
}

std::string fittedProgressLine(const ProgressReport& report, int columns)
{
    const auto width = static_cast<std::size_t>(std::max(columns, 1));
    ProgressReport shown = report;
    shown.name.clear();
    const std::vector<Glyph> rest = glyphsOf(progressCaption(shown, true));
    const std::vector<Glyph> name = glyphsOf(report.name);
    const std::size_t room = width > widthOf(rest) ? width - widthOf(rest) : 0;
    std::vector<Glyph> line = rest;
    const std::size_t at = report.verb.size() + 1; // the name stands after the verb and a space
    const std::vector<Glyph> fitted = widthOf(name) <= room ? name : cutInMiddle(name, room);
    line.insert(line.begin() + static_cast<std::ptrdiff_t>(std::min(at, line.size())),
                fitted.begin(), fitted.end());
    return textOf(cutAtEnd(line, width));
}

ConsoleHost::ConsoleHost(AnswerPolicy policy, std::FILE* input, bool quiet, std::FILE* progressOut)
    : policy_(policy), input_(input), quiet_(quiet), progressOut_(quiet ? nullptr : progressOut)
{
}

ConsoleHost::~ConsoleHost()
{
    wipeProgress();
}

std::FILE* ConsoleHost::terminalStandardError()
{
    return ::isatty(STDERR_FILENO) ? stderr : nullptr;
}

void ConsoleHost::showProgress(const ProgressReport& report)
{
    if (progressOut_ == nullptr)
        return;
    // "\r" back to the line's start, the text, then the rest of the old line erased; the
    // last column stays free, so that no terminal wraps the line
    const std::string line = fittedProgressLine(report, terminalColumns(progressOut_) - 1);
    std::fprintf(progressOut_, "\r%s\033[K", line.c_str());
    std::fflush(progressOut_);
    progressShown_ = true;
}

void ConsoleHost::wipeProgress()
{
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", progressOut_);
    std::fflush(progressOut_);
    progressShown_ = false;
}

std::vector<HeldMessage> ConsoleHost::takeMessages()
{
    return std::exchange(held_, {});
}

void ConsoleHost::notice(const std::string& text)
{
    if (!quiet_)
        error(text);
}

void ConsoleHost::error(const std::string& text)
{
    wipeProgress();
    std::fprintf(stderr, "parcelo-cli: %s\n", oneLine(text).c_str());
    std::fflush(stderr);
}

void ConsoleHost::result(const std::string& line)
{
    if (resultsOnError_)
        error(line);
    else
        output("parcelo-cli: " + line);
}

void ConsoleHost::output(const std::string& line)
{
    wipeProgress();
    std::printf("%s\n", line.c_str());
    flushStream(stdout);
}

Answer ConsoleHost::showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                                const std::string&)
{
    if (kind == Question::JoinPlain)
        return joinPlain_ ? Answer::Yes : Answer::No;
    // A disk nobody can change, or a file kept without --force, ends the run: its question
    // is the error that says why.
    const bool failing = icon == Icon::Critical || (asksForDisk(kind) && !personAtTerminal())
                         || keepsFileToReplace(kind);
    if (buttons == Buttons::Ok) {
        held_.push_back({oneLine(text), failing});
        return Answer::Ok;
    }
    wipeProgress();
    if (failing)
        std::fputs("parcelo-cli: ", stderr);
    std::fputs(oneLine(text).c_str(), stderr);
    return ask(kind, buttons, stderr);
}

bool ConsoleHost::keepsFileToReplace(Question kind) const
{
    return kind == Question::Replace && !replaceFiles_ && policy_ != AnswerPolicy::AlwaysYes;
}

bool ConsoleHost::personAtTerminal() const
{
    return policy_ == AnswerPolicy::AskOnTerminal && input_ != nullptr
           && ::isatty(::fileno(input_));
}

// Questions end without a person: --yes answers them, and without a terminal (or once
// standard input ends) they get the answer that stops.
Answer ConsoleHost::ask(Question kind, Buttons buttons, std::FILE* out)
{
    if (keepsFileToReplace(kind))
        return told(cautiousAnswer(buttons), " (use --force to replace it)", out);
    if (kind == Question::Replace && replaceFiles_)
        return told(agreeingAnswer(kind, buttons), " (--force)", out);
    if (policy_ == AnswerPolicy::AlwaysYes)
        return told(agreeingAnswer(kind, buttons), "", out);
    if (!personAtTerminal())
        return told(unattendedAnswer(kind, buttons), " (no terminal; use --yes)", out);
    for (;;) {
        std::fputs(buttonHint(buttons), out);
        flushStream(out);
        char line[64];
        if (std::fgets(line, sizeof line, input_) == nullptr)
            return told(unattendedAnswer(kind, buttons), " (end of input)", out);
        Answer answer;
        if (answerFor(line[0], buttons, answer))
            return answer;
    }
}

bool ConsoleHost::canAskPassword() const
{
    return given_.has_value() || (input_ != nullptr && ::isatty(::fileno(input_)));
}

bool ConsoleHost::readPassword(const std::string& prompt, Password& password)
{
    wipeProgress();
    if (input_ == nullptr || !::isatty(::fileno(input_)))
        return false;
    return readHiddenLine(input_, stderr, prompt, password);
}

Answer ConsoleHost::showPasswordQuestion(const std::string& text, Password& password,
                                         const std::string&)
{
    wipeProgress();
    if (given_) {
        if (std::exchange(givenUsed_, true))
            return Answer::Cancel;
        password = *given_;
        return Answer::Ok;
    }
    if (input_ == nullptr || !::isatty(::fileno(input_))) {
        std::fputs(oneLine(text).c_str(), stderr);
        return told(Answer::Cancel, " (no terminal; use --password-file FILE)", stderr);
    }
    if (!readPassword(oneLine(text) + " ", password))
        return told(Answer::Cancel, " (no password)", stderr);
    return Answer::Ok;
}

} // namespace parcelo::cli
