#include "cli/console_host.h"

#include "cli/password_input.h"
#include "cli/standard_streams.h"
#include "platform/job_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
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

} // namespace

std::string oneLine(const std::string& text)
{
    std::string line = toDisplayText(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    while (!line.empty() && line.back() == ' ')
        line.pop_back(); // a message that ends with a line break
    return line;
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
    // "\r" back to the line's start, the text, then the rest of the old line erased
    std::fprintf(progressOut_, "\r%s\033[K", progressCaption(report, true).c_str());
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

Answer ConsoleHost::showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                                const std::string&)
{
    // A disk nobody can change ends the run: its question is the error that says why.
    const bool failing = icon == Icon::Critical || (asksForDisk(kind) && !personAtTerminal());
    wipeProgress();
    if (quiet_ && !failing && buttons == Buttons::Ok)
        return Answer::Ok;
    // Results go to standard output; errors and questions to standard error.
    std::FILE* out = failing || buttons != Buttons::Ok ? stderr : stdout;
    if (failing)
        std::fputs("parcelo-cli: ", out);
    std::fputs(oneLine(text).c_str(), out);
    if (buttons == Buttons::Ok) {
        std::fputc('\n', out);
        flushStream(out);
        return Answer::Ok;
    }
    return ask(kind, buttons, out);
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
    if (kind == Question::Replace && !replaceFiles_ && policy_ != AnswerPolicy::AlwaysYes)
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
    std::fputs(prompt.c_str(), stderr);
    flushStream(stderr);
    return readHiddenLine(input_, password);
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
    std::fputs(oneLine(text).c_str(), stderr);
    if (input_ == nullptr || !::isatty(::fileno(input_)))
        return told(Answer::Cancel, " (no terminal; use --password-file FILE or --password-prompt)",
                    stderr);
    std::fputc(' ', stderr);
    if (!readPassword({}, password))
        return told(Answer::Cancel, " (end of input)", stderr);
    return Answer::Ok;
}

} // namespace parcelo::cli
