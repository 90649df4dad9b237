#pragma once

#include "app/registry.h"
#include "ui/desktop.h"
#include "ui/frm_main.h"
#include "ui/main_dialogs.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parcelo::test {

// A desktop that records what it was asked to open and answers with `succeed`.
class FakeDesktop : public Desktop {
public:
    bool openWebPage(const std::string& address) override;
    bool openFolder(const std::string& folder) override;
    bool openInEditor(const std::string& file) override;
    bool startProgram(const std::string& program) override;
    std::string systemInfoTool() override { return infoTool; }

    bool succeed = true;
    std::string infoTool;
    std::vector<std::string> webPages, folders, edited, started;
};

// Dialogs that answer from queues (an empty queue cancels) and show modal windows
// without waiting: `onModal` looks at the window while it is open.
class FakeDialogs : public MainDialogs {
public:
    std::string openFile(QWidget* parent, const std::string& initialFolder) override;
    std::string chooseFolder(QWidget* parent, const std::string& initialFolder) override;
    void runModal(QDialog& dialog) override;

    std::deque<std::string> filesToPick, foldersToPick;
    std::vector<std::string> fileDialogStarts, folderChooserStarts, modalsShown;
    std::function<void(QDialog&)> onModal;
};

// A fresh application folder with its own settings file, and the services of a shell.
class Shell {
public:
    Shell();

    // The shipped config.xml, or the given text, as the application folder's config.xml.
    void installConfig();
    void installConfig(const std::string& text);
    std::string config() const { return readFile(paths.configFilePath); }
    // Runs the start-up; the window, if any, saves without the pause.
    std::unique_ptr<frmMain> start();
    std::vector<std::string> logLines() const;

    TempFolder app;
    std::string appFolder;
    AppPaths paths;
    RegistryRoot registry;
    ScriptedHost host;
    FakeDesktop desktop;
    FakeDialogs dialogs;
};

} // namespace parcelo::test
