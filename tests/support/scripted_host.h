#pragma once

#include "platform/host.h"
#include "platform/password.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace parcelo::test {

// One message a host was asked to show.
struct ShownMessage {
    Question kind;
    std::string text;
    Buttons buttons;
    Icon icon;
    std::string title;
    Answer answer;
};

// A host that records every message and answers from a queue. A message with no answer
// queued fails the current test (and is answered cautiously), so nothing ever waits.
class ScriptedHost : public Host {
public:
    // Queues the answer to the next message, which must be of the given kind; expectedText,
    // when given, must be a part of its text.
    ScriptedHost& answer(Question kind, Answer reply, std::string expectedText = {})
    {
        replies_.push_back({kind, reply, std::move(expectedText), {}});
        return *this;
    }
    // Queues a typed password as the answer to the next message, which must be a
    // Question::Password (an empty one: the person cancels it).
    ScriptedHost& password(std::string typed, std::string expectedText = {})
    {
        replies_.push_back({Question::Password, typed.empty() ? Answer::Cancel : Answer::Ok,
                            std::move(expectedText), std::move(typed)});
        return *this;
    }
    // Lets every notice (and report of a stop) without a queued answer pass with OK.
    ScriptedHost& acceptNotices(bool accept = true)
    {
        acceptNotices_ = accept;
        return *this;
    }

    void showOutcome(const std::string& text, const std::string& folder) override
    {
        outcomeFolders.push_back(folder);
        Host::showOutcome(text, folder);
    }
    void processEvents() override { ++eventsProcessed; }
    bool processesEvents() const override { return true; }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }

    // Checks that exactly one message was shown: a critical one with this text.
    void expectOnlyCritical(const std::string& text) const
    {
        ASSERT_EQ(shown.size(), 1u) << text;
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].icon, Icon::Critical) << text;
    }
    bool allAnswersUsed() const { return replies_.empty(); }

    std::vector<ShownMessage> shown;
    std::function<void(const ShownMessage&)> onShown; // runs once a message is answered
    std::vector<bool> busyChanges;
    std::vector<std::string> outcomeFolders; // the folder of each outcome shown
    long eventsProcessed = 0;

protected:
    Answer showPasswordQuestion(const std::string& text, Password& password,
                                const std::string& title) override
    {
        if (!replies_.empty() && replies_.front().kind == Question::Password)
            password.assign(replies_.front().password);
        return showMessage(Question::Password, text, Buttons::OkCancel, Icon::Question, title);
    }

    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override
    {
        EXPECT_EQ(offersOkOnly(kind), buttons == Buttons::Ok)
            << "a notice offers OK alone, a question more: \"" << text << "\"";
        Answer reply = cautiousAnswer(buttons);
        if (!replies_.empty()) {
            const Reply next = replies_.front();
            replies_.pop_front();
            EXPECT_NE(text.find(next.expectedText), std::string::npos)
                << "message \"" << text << "\" is not the one expected (\"" << next.expectedText
                << "\")";
            EXPECT_EQ(kind, next.kind) << "message \"" << text << "\" is of another kind";
            reply = next.answer;
        } else if (acceptNotices_ && offersOkOnly(kind)) {
            reply = Answer::Ok;
        } else {
            ADD_FAILURE() << "unexpected message: \"" << text << "\"";
        }
        shown.push_back({kind, text, buttons, icon, title, reply});
        if (onShown)
            onShown(shown.back());
        return reply;
    }

private:
    struct Reply {
        Question kind;
        Answer answer;
        std::string expectedText;
        std::string password; // typed into a Question::Password
    };
    std::deque<Reply> replies_;
    bool acceptNotices_ = false;
};

// The notice for a "file" or "folder" the user typed that is not there.
inline std::string notLocated(const std::string& kind, const std::string& path)
{
    return "The " + kind + " " + path + " cannot be located. Please make sure that the " + kind
           + " exists in the specified path.";
}

} // namespace parcelo::test
