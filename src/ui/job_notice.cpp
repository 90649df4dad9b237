#include "ui/job_notice.h"

#include "ui/desktop.h"

#include <utility>

namespace parcelo {

JobNoticeHost::JobNoticeHost(Host& host, Desktop& desktop, std::function<bool()> windowActive)
    : host_(host), desktop_(desktop), windowActive_(std::move(windowActive))
{
}

void JobNoticeHost::jobStarted()
{
    running_ = true;
    clock_.start();
}

// The outcome's first line says what became of the job.
void JobNoticeHost::noticeOutcome(const std::string& text)
{
    if (!running_ || clock_.elapsed() < threshold_.count() || windowActive_())
        return;
    running_ = false;
    const std::string shown = toDisplayText(text);
    desktop_.notify(std::string(kProductName) + ": job finished",
                    shown.substr(0, shown.find('\n')));
}

void JobNoticeHost::showOutcome(const std::string& text, const std::string& folder)
{
    noticeOutcome(text);
    host_.showOutcome(text, folder);
}

Answer JobNoticeHost::showMessage(Question kind, const std::string& text, Buttons buttons,
                                  Icon icon, const std::string& title)
{
    if (kind == Question::Notice)
        noticeOutcome(text);
    return host_.message(kind, text, buttons, icon, title);
}

} // namespace parcelo
