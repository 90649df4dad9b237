#pragma once

#include "platform/bindings.h"
#include "platform/host.h"

#include <cstdio>
#include <string>

namespace parcelo::cli {

// How the console answers questions.
enum class AnswerPolicy {
    AskOnTerminal, // ask when standard input is a terminal, else decline
    AlwaysYes      // --yes: Yes or OK, but Cancel to a disk only a person can change
};

// Shows every message on one line: critical ones (and a request for a disk nobody can
// change) on standard error, the others on standard output; asks questions on the terminal.
class ConsoleHost : public Host {
public:
    explicit ConsoleHost(AnswerPolicy policy, std::FILE* input = stdin);

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;

private:
    bool personAtTerminal() const;
    Answer ask(Question kind, Buttons buttons, std::FILE* out);

    AnswerPolicy policy_;
    std::FILE* input_;
};

// The message on one line: its line breaks become spaces.
std::string oneLine(const std::string& text);

// A progress bar drawn on standard error when it is a terminal; silent otherwise.
class ConsoleProgressBar : public ProgressBarBinding {
public:
    ConsoleProgressBar();
    ~ConsoleProgressBar() override;

    void setMaximum(int maximum) override { maximum_ = maximum; }
    int maximum() const override { return maximum_; }
    void setValue(int value) override;
    void setVisible(bool visible) override;

private:
    void finishLine();

    bool enabled_;
    bool drawn_ = false;
    int maximum_ = 100;
};

} // namespace parcelo::cli
