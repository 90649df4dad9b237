#pragma once

#include "assembler/frm_main.h"
#include "ui/desktop.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parcelo::test {

// A desktop that records the web pages and programs it was asked to open.
class RecordingDesktop : public Desktop {
public:
    bool openWebPage(const std::string& address) override;
    bool openFolder(const std::string& folder) override;
    bool openInEditor(const std::string& file) override;
    bool startProgram(const std::string& program) override;
    std::string systemInfoTool() override { return {}; }

    std::vector<std::string> webPages, opened;
};

// Shows modal windows without waiting: `onModal` looks at the window while it is open.
class InspectingModalRunner : public ModalRunner {
public:
    void runModal(QDialog& dialog) override;

    std::vector<std::string> shown;
    std::function<void(QDialog&)> onModal;
};

// Parcelo Assembler run from a fresh folder of its own.
class AssemblerRun {
public:
    // The program's folder as its start-up gets it: without a final separator.
    std::string appFolder() const { return folder.path().string(); }
    std::unique_ptr<assembler::frmMain> start();

    TempFolder folder;
    ScriptedHost host;
    RecordingDesktop desktop;
    InspectingModalRunner modal;
};

// Lets queued window work (the start-up warning) run.
void settle();

} // namespace parcelo::test
