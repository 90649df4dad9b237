#include "app/log_file.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <vector>

using namespace parcelo;

namespace {

class FakeEditor : public TextEditorLauncher {
public:
    void openInEditor(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

// The messages of a log: each entry up to its CR LF, its date and time taken off.
std::vector<std::string> messages(const std::string& path)
{
    static const std::regex entry(R"(\S+ \S*:\S* ([\s\S]*?)\r\n)");
    const std::string text = test::readFile(path);
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it)
        found.push_back((*it)[1]);
    return found;
}

} // namespace

TEST(LogFile, EntriesAreAppendedQuietlyAndDeleteAndViewOfferANewLogAfterAsking)
{
    test::TempFolder temp;
    const std::string appFolder = temp.file("app");
    const std::string log = appFolder + "/Parcelo.log";
    WriteLogEntry(log, "lost"); // no folder: quietly lost
    EXPECT_FALSE(std::filesystem::exists(appFolder));
    test::ScriptedHost host;
    DeleteLogFile(host, log, appFolder); // no log, no folder: both made, nothing asked
    EXPECT_EQ(messages(log), std::vector<std::string>{"...Creating new log file"});
    WriteLogEntry(log, "more");
    logWriterFor(log)("two\nlines");
    EXPECT_EQ(messages(log),
              (std::vector<std::string>{"...Creating new log file", "more", "two\nlines"}));
    host.answer(Question::Replace, Answer::No,
                "Are you sure you want to delete the existing log file and create a "
                "new one?");
    DeleteLogFile(host, log, appFolder);
    EXPECT_EQ(messages(log).size(), 3u);
    host.answer(Question::Replace, Answer::Yes);
    DeleteLogFile(host, log, appFolder);
    EXPECT_EQ(messages(log), std::vector<std::string>{"...Creating new log file"});
    EXPECT_EQ(host.shown.back().icon, Icon::Question);

    std::filesystem::remove(log);
    FakeEditor editor;
    host.answer(Question::CreateFile, Answer::No,
                "The log file " + log + " can not be found in the application folder(" + appFolder
                    + "). Would you like to create a new log file?");
    ViewLogFile(host, log, appFolder, editor);
    EXPECT_FALSE(std::filesystem::exists(log));
    host.answer(Question::CreateFile, Answer::Yes);
    ViewLogFile(host, log, appFolder, editor);
    ViewLogFile(host, log, appFolder, editor); // present now: opened without a question
    EXPECT_EQ(messages(log).size(), 1u);
    EXPECT_EQ(editor.opened, std::vector<std::string>(2, log));
    EXPECT_TRUE(host.allAnswersUsed());
}
