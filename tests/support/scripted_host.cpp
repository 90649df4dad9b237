#include "scripted_host.h"

#include <gtest/gtest.h>

namespace parcelo::test {

ScriptedHost& ScriptedHost::answer(Answer reply, std::string expectedText)
{
    replies_.push_back({reply, std::move(expectedText)});
    return *this;
}

ScriptedHost& ScriptedHost::acceptNotices(bool accept)
{
    acceptNotices_ = accept;
    return *this;
}

Answer ScriptedHost::showMessage(const std::string& text, Buttons buttons, Icon icon,
                                 const std::string& title)
{
    Answer reply = cautiousAnswer(buttons);
    if (!replies_.empty()) {
        const Reply next = replies_.front();
        replies_.pop_front();
        EXPECT_NE(text.find(next.expectedText), std::string::npos)
            << "message \"" << text << "\" is not the one expected (\"" << next.expectedText
            << "\")";
        reply = next.answer;
    } else if (acceptNotices_ && buttons == Buttons::Ok) {
        reply = Answer::Ok;
    } else {
        ADD_FAILURE() << "unexpected message: \"" << text << "\"";
    }
    shown.push_back({text, buttons, icon, title, reply});
    return reply;
}

void ScriptedHost::expectOnlyCritical(const std::string& text) const
{
    ASSERT_EQ(shown.size(), 1u) << text;
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].icon, Icon::Critical) << text;
}

std::vector<std::string> ScriptedHost::texts() const
{
    std::vector<std::string> result;
    for (const auto& m : shown)
        result.push_back(m.text);
    return result;
}

} // namespace parcelo::test
