#include "cli/console_host.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

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

// The answer --yes gives: agreement, except to a retry only a person can make succeed
// (another disk), which is declined.
Answer agreeingAnswer(Question kind, Buttons buttons)
{
    if (kind == Question::InsertDisk || kind == Question::DiskFull)
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

Answer told(Answer answer, const char* why)
{
    std::fprintf(stdout, " -> %s%s\n", answerWord(answer), why);
    std::fflush(stdout);
    return answer;
}

} // namespace

std::string oneLine(const std::string& text)
{
    std::string line = toDisplayText(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

ConsoleHost::ConsoleHost(AnswerPolicy policy, std::FILE* input) : policy_(policy), input_(input) {}

Answer ConsoleHost::showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                                const std::string&)
{
    std::FILE* out = icon == Icon::Critical ? stderr : stdout;
    std::fputs(oneLine(text).c_str(), out);
    if (buttons == Buttons::Ok) {
        std::fputc('\n', out);
        std::fflush(out);
        return Answer::Ok;
    }
    return ask(kind, buttons);
}

// Questions end without a person: --yes answers them, and without a terminal (or once
// standard input ends) they get the answer that stops.
Answer ConsoleHost::ask(Question kind, Buttons buttons)
{
    std::FILE* out = stdout;
    if (policy_ == AnswerPolicy::AlwaysYes)
        return told(agreeingAnswer(kind, buttons), "");
    if (input_ == nullptr || !::isatty(::fileno(input_)))
        return told(unattendedAnswer(kind, buttons), " (no terminal; use --yes)");
    for (;;) {
        std::fputs(buttonHint(buttons), out);
        std::fflush(out);
        char line[64];
        if (std::fgets(line, sizeof line, input_) == nullptr)
            return told(unattendedAnswer(kind, buttons), " (end of input)");
        Answer answer;
        if (answerFor(line[0], buttons, answer))
            return answer;
    }
}

ConsoleProgressBar::ConsoleProgressBar() : enabled_(::isatty(STDERR_FILENO) != 0) {}

ConsoleProgressBar::~ConsoleProgressBar()
{
    finishLine();
}

void ConsoleProgressBar::setValue(int value)
{
    if (!enabled_ || maximum_ <= 0)
        return;
    constexpr int width = 40;
    const int clamped = std::clamp(value, 0, maximum_);
    const int filled = static_cast<int>(static_cast<long long>(clamped) * width / maximum_);
    std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(filled, '#').c_str(),
                 std::string(width - filled, '.').c_str(), clamped, maximum_);
    std::fflush(stderr);
    drawn_ = true;
}

void ConsoleProgressBar::setVisible(bool visible)
{
    if (!visible)
        finishLine();
}

void ConsoleProgressBar::finishLine()
{
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

} // namespace parcelo::cli
