#pragma once

#include "platform/host.h"

#include <QElapsedTimer>

#include <chrono>
#include <functional>

namespace parcelo {

class Desktop;

// The host the main window's jobs talk through: it passes everything on to the window's
// host and, for a job that has run longer than the threshold while the window is not the
// active one, asks the desktop for a notification just before the job's outcome is shown,
// so that someone working elsewhere learns that it has ended. One notification per job;
// none for a job the person stopped.
class JobNoticeHost : public Host {
public:
    static constexpr std::chrono::milliseconds kLongJob{10000};

    JobNoticeHost(Host& host, Desktop& desktop, std::function<bool()> windowActive);

    void jobStarted();
    void jobEnded() { running_ = false; }
    void setThreshold(std::chrono::milliseconds threshold) { threshold_ = threshold; }

    void showOutcome(const std::string& text, const std::string& folder) override;
    void processEvents() override { host_.processEvents(); }
    bool processesEvents() const override { return host_.processesEvents(); }
    void showProgress(const ProgressReport& report) override { host_.showProgress(report); }
    void setBusy(bool busy) override { host_.setBusy(busy); }

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;
    Answer showPasswordQuestion(const std::string& text, Password& password,
                                const std::string& title) override
    {
        return host_.askPassword(text, password, title);
    }

private:
    void noticeOutcome(const std::string& text);

    Host& host_;
    Desktop& desktop_;
    std::function<bool()> windowActive_;
    std::chrono::milliseconds threshold_ = kLongJob;
    QElapsedTimer clock_;
    bool running_ = false;
};

} // namespace parcelo
