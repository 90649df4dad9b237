#include "app/config_file.h"
#include "platform/explore_menu.h"
#include "platform/file.h"
#include "xml/xml_error.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>

using namespace parcelo;

namespace {

// A configuration with the given values of children 2 to 4.
std::string configWith(const std::string& compress, const std::string& level,
                       const std::string& splitFolder, const std::string& joinFolder,
                       const std::string& afterSplit = "false")
{
    return "<cfg>\n<web a=\"maker\" b=\"product\" c=\"spare\" d=\"support\"/>\n<zip auto=\""
           + compress + "\" level=\"" + level + "\"/>\n<dirs src=\"\" srcDir=\"/last/\" split=\""
           + splitFolder + "\" piece=\"\" pieceDir=\"/kept/\" join=\"" + joinFolder
           + "\"/>\n<del s=\"" + afterSplit + "\" j=\"yes\"/>\n</cfg>\n";
}

class ConfigFile : public ::testing::Test {
protected:
    ConfigStatus load() { return LoadConfiguration(paths, options, explore, host, log); }
    ConfigStatus save() { return SaveConfiguration(paths, options, explore, host, log); }
    void writeConfig(const std::string& text) { test::writeFile(paths.configFilePath, text); }
    std::string config() const { return test::readFile(paths.configFilePath); }
    bool holds(const std::string& part) const { return config().find(part) != std::string::npos; }

    test::TempFolder temp;
    AppPaths paths = appPathsFor(temp.path().string());
    std::vector<std::string> logged;
    LogWriter log = [this](const std::string& entry) { logged.push_back(entry); };
    test::ScriptedHost host;
    ParceloOptions options;
    ExploreMenu explore;
};

} // namespace

TEST_F(ConfigFile, ShippedFileLoadsWithDefaultsAndTakesChanges)
{
    writeConfig(test::readFile(PARCELO_SHIPPED_CONFIG));
    ASSERT_TRUE(load().ok());
    EXPECT_EQ(options.splitFolder, paths.appFolder + "/PcxBr/");
    EXPECT_EQ(options.joinFolder, paths.appFolder + "/PcxJn/");

    options.autoCompress = true;
    options.lastSplitSource = "/data/in/report.doc";
    options.lastJoinPiece = "/data/pieces/report.doc.001";
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(test::filesIn(temp.path()), 1u); // config.xml alone, no temporary file

    ParceloOptions reloaded;
    ASSERT_TRUE(LoadConfiguration(paths, reloaded, explore, host, log).ok());
    EXPECT_TRUE(reloaded.autoCompress);
    EXPECT_EQ(reloaded.lastBrowseFolder, "/data/in/");
    EXPECT_EQ(reloaded.lastJoinFolder, "/data/pieces/");
    EXPECT_TRUE(logged.empty());
}

TEST_F(ConfigFile, OnlyExactValuesSwitchOptionsOn)
{
    const std::pair<const char*, CompressionLevel> levels[] = {{"5", CompressionLevel::Medium},
                                                               {"1", CompressionLevel::Fastest},
                                                               {"7", CompressionLevel::Highest},
                                                               {"", CompressionLevel::Highest}};
    for (const auto& [text, level] : levels) {
        writeConfig(configWith("True", text, "", "", "true"));
        ASSERT_TRUE(load().ok());
        EXPECT_EQ(options.compressionLevel, level) << text;
        EXPECT_FALSE(options.autoCompress);
        EXPECT_TRUE(options.deleteAfterSplit);
        EXPECT_FALSE(options.deleteAfterJoin); // "yes" is not "true"
    }
    options.compressionLevel = CompressionLevel::Highest;
    ASSERT_TRUE(save().ok());
    EXPECT_TRUE(holds("<zip auto=\"false\" level=\"9\"/>\r\n<dirs"));
    EXPECT_TRUE(holds("<del s=\"true\" j=\"false\"/>"));
}

TEST_F(ConfigFile, FoldersAreTidiedAndShownInTheExploreMenu)
{
    // Loading compares the two folders with letter case, saving without.
    writeConfig(configWith("false", "9", "/data/Out", "/data/out/"));
    ASSERT_TRUE(load().ok());
    EXPECT_EQ(options.splitFolder, "/data/Out/");
    EXPECT_EQ(explore.entry(2).tag, "/data/out");
    EXPECT_TRUE(explore.entry(2).visible);
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(options.joinFolder, "/data/out");
    EXPECT_FALSE(explore.entry(2).visible);
    EXPECT_TRUE(holds("split=\"/data/Out\""));

    // A folder on the diskette drive is saved but not shown.
    options.splitFolder = "A:\\";
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(options.splitFolder, "A:");
    EXPECT_EQ(explore.entry(1).tag, "/data/Out");
    EXPECT_TRUE(holds("split=\"A:\""));

    // The root keeps its "/"; a folder no quoting can write is refused, the file untouched.
    options.splitFolder = "/";
    ASSERT_TRUE(save().ok());
    ASSERT_TRUE(load().ok());
    EXPECT_EQ(options.splitFolder, "/");
    const std::string before = config();
    options.splitFolder = "/it's \"odd\"";
    host.answer(Question::Notice, Answer::Ok, "There was an error in saving configurations");
    EXPECT_EQ(save().number, xmlerr::kParse);
    EXPECT_EQ(config(), before);
}

TEST_F(ConfigFile, SaveKeepsWhatItDoesNotKnowAndDropsBlankLines)
{
    writeConfig(
        "<cfg>\r\n\r\n"
        "   <web a=\"1\" b=\"2\" c=\"3\" d=\"line one\n   \n    line two\" extra=\"kept\"/>\n"
        "<zip auto=\"false\" level=\"9\" note=\"kept too\"/>   \n\n\n"
        "<dirs src=\"\" srcDir=\"\" split=\"/s\" piece=\"\" pieceDir=\"\" join=\"/j\"/>\n"
        "<del s=\"false\" j=\"false\"></del>\n"
        "<fifth x='1'>its text is lost<inner/></fifth>\n"
        "</cfg>\n");
    ASSERT_TRUE(load().ok());
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(config(),
              "<cfg>\r\n"
              "<web a=\"1\" b=\"2\" c=\"3\" d=\"line one\r\n"
              "    line two\" extra=\"kept\"/>\r\n"
              "<zip auto=\"false\" level=\"9\" note=\"kept too\"/>\r\n"
              "<dirs src=\"\" srcDir=\"\" split=\"/s\" piece=\"\" pieceDir=\"\" join=\"/j\"/>\r\n"
              "<del s=\"false\" j=\"false\"/>\r\n"
              "<fifth x=\"1\">\r\n<inner/>\r\n</fifth>\r\n"
              "</cfg>\r\n");
    ASSERT_TRUE(load().ok()); // <del ...></del> was written as one tag that loads again
    const std::string once = config();
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(config(), once);

    // the sending and flush flags: on in a file without them, the encryption choice off; a
    // change adds them after the rest
    EXPECT_TRUE(options.writeChecksums && options.writeJoinScript && options.flushToDisk);
    EXPECT_FALSE(options.encryptSplits);
    options.writeChecksums = false;
    options.flushToDisk = false;
    options.encryptSplits = true;
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(config(), once.substr(0, once.size() - 8)
                            + "<Sending checksums=\"false\" joinScript=\"true\"/>\r\n"
                              "<Writing flush=\"false\"/>\r\n<Encryption split=\"true\"/>\r\n"
                              "</cfg>\r\n");
    options.writeChecksums = true;
    options.flushToDisk = true;
    options.encryptSplits = false;
    ASSERT_TRUE(load().ok());
    EXPECT_FALSE(options.writeChecksums);
    EXPECT_TRUE(options.writeJoinScript);
    EXPECT_FALSE(options.flushToDisk);
    EXPECT_TRUE(options.encryptSplits);
}

TEST_F(ConfigFile, MissingFileIsFatalAtStartAndReportedOnSave)
{
    const std::string check = "Please make sure that the configuration file exists in the root "
                              "path("
                              + paths.appFolder + ") of the application.";
    const std::string notFound = paths.configFilePath + " file can not be found.";
    host.answer(Question::Notice, Answer::Ok).answer(Question::Notice, Answer::Ok);
    for (const ConfigStatus& status : {load(), save()}) {
        EXPECT_EQ(status.number, 101);
        EXPECT_EQ(status.description, "File config.xml was not found in the application folder.");
    }
    ASSERT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(host.shown[1].text, notFound + "\n" + check);
    EXPECT_EQ(host.shown[1].title, "Fatal Error: cannot continue");
    EXPECT_EQ(logged, std::vector<std::string>(2, "Fatal Error: " + notFound + " " + check));
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

TEST_F(ConfigFile, FailuresLeaveTheFileAsItWas)
{
    const std::string good = configWith("false", "9", "/s", "/j");
    std::string deep = "<cfg>";
    for (int level = 0; level < 100'000; ++level)
        deep += "<d>";
    const std::string& path = paths.configFilePath;
    // A malformed file is named with the reason and where; one too large or nested too
    // deep is refused at once, without reading it through.
    const struct {
        std::string text;
        int number;
        std::string description;
        bool atOnce = false;
    } cases[] = {
        {"<cfg><web a='1' b='2' c='3' d='4'/>", xmlerr::kParse,
         path + ": Missing closing tag </cfg> at line 1, column 36"},
        {"<cfg>\r\n<web a='1\r\n", xmlerr::kParse,
         path + ": Unexpected end of data at line 3, column 1"},
        {"<cfg><a/><b x='1' y='2'/><c/></cfg>", xmlerr::kSubscriptOutOfRange,
         "Subscript out of range"},
        {good + std::string(1 << 20, ' '), xmlerr::kParse,
         path + ": the file is larger than 1 MB, too large for a configuration file", true},
        {deep, xmlerr::kParse,
         path + ": Elements nested deeper than 64 levels at line 1, column 195", true},
    };
    options.makerWebPage = "before";
    for (const auto& c : cases) {
        writeConfig(c.text);
        host.eventsProcessed = 0;
        const ConfigStatus loaded = load(); // quietly: the start-up reports it
        EXPECT_EQ(loaded.number, c.number);
        EXPECT_EQ(loaded.description, c.description);
        EXPECT_TRUE(!c.atOnce || host.eventsProcessed < 1000) << host.eventsProcessed;
        host.answer(Question::Notice, Answer::Ok, "There was an error in saving configurations");
        EXPECT_EQ(save().number, c.number);
        EXPECT_TRUE(config() == c.text);
    }
    EXPECT_EQ(options.makerWebPage, "before");

    // a file that cannot be written is named with the reason, never said to be missing
    writeConfig(good);
    test::writeFile(paths.configFilePath + ".tmp", "a file of the user's");
    options.autoCompress = true;
    for (const auto& [osError, number, reason] :
         {std::tuple{ENOSPC, 61, "Disk full"}, std::tuple{EACCES, 70, "Permission denied"}}) {
        host.answer(Question::Notice, Answer::Ok);
        faults::failWritesAfter(20, osError);
        const ConfigStatus failed = save();
        faults::clearWriteFault();
        EXPECT_EQ(failed.number, number);
        EXPECT_EQ(config(), good);
        EXPECT_EQ(test::readFile(paths.configFilePath + ".tmp"), "a file of the user's");
        EXPECT_EQ(test::filesIn(temp.path()), 2u); // no temporary file left
        const std::string message = "There was an error in saving configurations\n"
                                    + paths.configFilePath + " cannot be written: " + reason;
        EXPECT_EQ(host.shown.back().text, message);
        EXPECT_EQ(host.shown.back().title, "Error");
        EXPECT_EQ(logged.back(), message);
    }
}
