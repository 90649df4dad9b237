#include "ui/stoppable_job.h"

#include "platform/host.h"
#include "platform/stop_token.h"

namespace parcelo {

namespace {

void labelButtons(std::initializer_list<QPushButton*> buttons, bool running)
{
    const QString text = QString::fromLatin1(running ? kStopCaption : kClearAllCaption);
    for (QPushButton* button : buttons)
        button->setText(text);
}

} // namespace

bool runStoppable(std::initializer_list<QPushButton*> buttons, const std::function<void()>& job)
{
    jobStop().reset();
    labelButtons(buttons, true);
    job();
    labelButtons(buttons, false);
    const bool stopped = jobStop().requested();
    jobStop().reset();
    return stopped;
}

bool askStopAndExit(Host& host)
{
    return host.message(Question::StopJob, "A job is still running. Stop it and exit?",
                        Buttons::YesNo, Icon::Question)
           == Answer::Yes;
}

} // namespace parcelo
