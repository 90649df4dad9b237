#pragma once

#include "app/registry.h"
#include "ui/frm_main.h"
#include "ui/join_pane.h"
#include "ui/main_dialogs.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/start_up.h"
#include "ui/verify_pane.h"

#include "temp_folder.h"
#include "window_fakes.h"

// The controls of the panes, for every window test to work them.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace parcelo::test {

// Dialogs that answer the file and folder choosers from one queue (empty: cancelled) and
// show modal windows without waiting.
class FakeDialogs : public InspectingModal<MainDialogs> {
public:
    std::string openFile(QWidget*, const std::string& initialFolder) override
    {
        return pick(initialFolder);
    }
    std::string chooseFolder(QWidget*, const std::string& initialFolder) override
    {
        return pick(initialFolder);
    }

    std::deque<std::string> picks;
    std::vector<std::string> starts; // the folder each chooser opened at

private:
    std::string pick(const std::string& start);
};

// A fresh application folder with its own settings file, and the services of a shell.
class Shell {
public:
    Shell();

    // The shipped config.xml, or the given text, as the application folder's config.xml.
    void installConfig();
    void installConfig(const std::string& text) { writeFile(paths.configFilePath, text); }
    std::string config() const { return readFile(paths.configFilePath); }
    // Runs the start-up from the application folder, or the given program folder; the
    // window, if any, saves without the pause.
    std::unique_ptr<frmMain> start(const std::string& programFolder = {});
    std::vector<std::string> logLines() const;

    TempFolder app;
    std::string appFolder;
    AppPaths paths;
    RegistryRoot registry;
    HookedHost host;
    FakeDesktop desktop;
    FakeDialogs dialogs;
};

// The main window started from a fresh application folder with the shipped config.xml.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    Shell shell;
    std::unique_ptr<frmMain> window;
};

// Texts to type, each into its box.
using Typing = std::vector<std::pair<QLineEdit*, std::string>>;

// Types each text into its box, as a user would, and clicks the button.
void typeAndClick(const Typing& boxes, QAbstractButton* button);

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace parcelo::test
