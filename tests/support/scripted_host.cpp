#include "scripted_host.h"

#include <gtest/gtest.h>

namespace parcelo::test {

ScriptedHost& ScriptedHost::answer(Question kind, Answer reply, std::string expectedText)
{
    replies_.push_back({kind, reply, std::move(expectedText)});
    return *this;
}

ScriptedHost& ScriptedHost::acceptNotices(bool accept)
{
    acceptNotices_ = accept;
    return *this;
}

Answer ScriptedHost::showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                                 const std::string& title)
{
    EXPECT_EQ(kind == Question::Notice, buttons == Buttons::Ok)
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
    } else if (acceptNotices_ && kind == Question::Notice) {
        reply = Answer::Ok;
    } else {
        ADD_FAILURE() << "unexpected message: \"" << text << "\"";
    }
    shown.push_back({kind, text, buttons, icon, title, reply});
    return reply;
}

void ScriptedHost::expectOnlyCritical(const std::string& text) const
{
    ASSERT_EQ(shown.size(), 1u) << text;
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].icon, Icon::Critical) << text;
}

} // namespace parcelo::test
