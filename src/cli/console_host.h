#pragma once

#include "platform/bindings.h"
#include "platform/host.h"
#include "platform/password.h"

#include <cstdio>
#include <optional>
#include <string>

namespace parcelo::cli {

// How the console answers questions.
enum class AnswerPolicy {
    AskOnTerminal, // ask when standard input is a terminal, else decline
    AlwaysYes      // --yes: Yes or OK, but Cancel to a disk only a person can change
};

// Shows every message on one line: critical ones (and a request for a disk nobody can
// change) on standard error, the others on standard output; asks questions on the terminal.
// The running job's progress is one line on progressOut (standard error when it is a
// terminal, else nowhere), redrawn in place and wiped before the next message. Quiet
// drops the progress and every notice that is not an error.
class ConsoleHost : public Host {
public:
    explicit ConsoleHost(AnswerPolicy policy, std::FILE* input = stdin, bool quiet = false,
                         std::FILE* progressOut = terminalStandardError());
    ~ConsoleHost() override;
    ConsoleHost(const ConsoleHost&) = delete;
    ConsoleHost& operator=(const ConsoleHost&) = delete;

    void showProgress(const ProgressReport& report) override;

    // --force: a file of a name the command makes is replaced. Without it (and without
    // --yes) the question whether to replace one is answered No, even on a terminal.
    void setReplaceFiles(bool replace) { replaceFiles_ = replace; }

    static std::FILE* terminalStandardError();

    // The password of --password-file: the answer to the first password question (a later
    // one, after it proved wrong, is declined: the file would give it again).
    void setGivenPassword(Password password) { given_ = std::move(password); }
    // Whether a password question can be answered: a password was given, or a person at
    // the terminal can type one.
    bool canAskPassword() const;
    // Asks on the terminal, without echo, for a password (prompt, e.g. "Password: "); false
    // at the end of input or on Ctrl-C.
    bool readPassword(const std::string& prompt, Password& password);

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;
    // The given password once; else the terminal, without echo; without a terminal the
    // question is declined with a word on the options that give a password.
    Answer showPasswordQuestion(const std::string& text, Password& password,
                                const std::string& title) override;

private:
    bool personAtTerminal() const;
    Answer ask(Question kind, Buttons buttons, std::FILE* out);
    void wipeProgress();

    AnswerPolicy policy_;
    std::FILE* input_;
    bool quiet_;
    std::FILE* progressOut_;
    bool progressShown_ = false;
    bool replaceFiles_ = false;
    std::optional<Password> given_;
    bool givenUsed_ = false;
};

// The message on one line: its line breaks become spaces, none at its end.
std::string oneLine(const std::string& text);

} // namespace parcelo::cli
