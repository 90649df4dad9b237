#pragma once

#include <string>

class QDialog;

namespace parcelo {

// What the windows hand to the rest of the desktop: web pages, folders, the text editor,
// other programs. Nothing here goes through a shell, so no name is ever run as a command.
// Each call returns false when the program or page could not be started.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool openWebPage(const std::string& address) = 0;
    virtual bool openFolder(const std::string& folder) = 0;
    virtual bool openInEditor(const std::string& file) = 0;
    // Starts a program without arguments and does not wait for it.
    virtual bool startProgram(const std::string& program) = 0;
    // The system information tool to start; "" when the system has none.
    virtual std::string systemInfoTool() = 0;
    // Asks for a desktop notification; false when there is no one to show it. Nothing is
    // waited for.
    virtual bool notify(const std::string& title, const std::string& text) = 0;
};

// The desktop of the running system: the browser, file manager and editor it associates
// with web addresses, folders and text files.
class SystemDesktop : public Desktop {
public:
    bool openWebPage(const std::string& address) override;
    bool openFolder(const std::string& folder) override;
    bool openInEditor(const std::string& file) override;
    bool startProgram(const std::string& program) override;
    std::string systemInfoTool() override;
    // Through org.freedesktop.Notifications on the session bus.
    bool notify(const std::string& title, const std::string& text) override;
};

// Shows windows modally over their owner. The programs run them; tests show and inspect
// them instead, so that nothing waits on a dialog.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual void runModal(QDialog& dialog) = 0;
};

class ExecModalRunner : public ModalRunner {
public:
    void runModal(QDialog& dialog) override;
};

} // namespace parcelo
