#pragma once

#include "platform/bindings.h"
#include "platform/host.h"
#include "platform/password.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {
struct ProgressReport;
}

namespace parcelo::cli {

// How the console answers questions.
enum class AnswerPolicy {
    AskOnTerminal, // ask when standard input is a terminal, else decline
    AlwaysYes      // --yes: Yes or OK, but Cancel to a disk only a person can change
};

// A message an engine showed with OK alone, held for the command to place: the window's
// outcome sentence, which the command replaces by its result line, a notice, or an error.
struct HeldMessage {
    std::string text; // on one line
    bool failure = false;
};

// The console of one command: asks questions on the terminal (on standard error); holds
// the messages shown with OK alone for the command, which prints its one result line on
// standard output and notices and errors on standard error, each after "parcelo-cli: ".
// The running job's progress is one line on progressOut (standard error when it is a
// terminal, else nowhere), never wider than the terminal, redrawn in place and wiped
// before anything else is written. Quiet drops the progress and the notices.
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
    // --plain: another tool's numbered pieces are joined as plain pieces; without it the
    // offer is declined. Either way nobody is asked.
    void setJoinPlain(bool plain) { joinPlain_ = plain; }

    // The result line goes to standard error: standard output carries the joined data.
    void setResultsOnStandardError(bool onError) { resultsOnError_ = onError; }

    // The messages held since the last call, in the order shown.
    std::vector<HeldMessage> takeMessages();
    void notice(const std::string& text);
    void error(const std::string& text);
    void result(const std::string& line); // "parcelo-cli: " and the line, on standard output
    void output(const std::string& line);

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
    bool keepsFileToReplace(Question kind) const; // Replace, without --force or --yes
    bool personAtTerminal() const;
    Answer ask(Question kind, Buttons buttons, std::FILE* out);
    void wipeProgress();

    AnswerPolicy policy_;
    std::FILE* input_;
    bool quiet_;
    std::FILE* progressOut_;
    bool progressShown_ = false;
    bool replaceFiles_ = false;
    bool joinPlain_ = false;
    bool resultsOnError_ = false;
    std::vector<HeldMessage> held_;
    std::optional<Password> given_;
    bool givenUsed_ = false;
};

// The message on one line: each line break, with the spaces around it, becomes a space;
// none at its end.
std::string oneLine(const std::string& text);

// The columns of the terminal that out writes to: its window size, else $COLUMNS, else 80.
int terminalColumns(std::FILE* out);

// The progress caption in at most `columns` columns: the file's name is cut in its middle
// ("long...name") or, when that is not enough, the line at its end; control characters
// show as "?".
std::string fittedProgressLine(const ProgressReport& report, int columns);

} // namespace parcelo::cli
