#pragma once

#include "ui/desktop.h"

#include <string>

class QWidget;

namespace parcelo {

class Host;

// The dialogs the main window opens and waits for.
class MainDialogs : public ModalRunner {
public:
    // The file-open dialog for all files, starting in the folder: the chosen full path,
    // or "" when cancelled.
    virtual std::string openFile(QWidget* parent, const std::string& initialFolder) = 0;
    // The folder chooser frmFolder starting at the folder: the chosen folder, or "" when
    // cancelled.
    virtual std::string chooseFolder(QWidget* parent, const std::string& initialFolder) = 0;
};

// The dialogs of the running program.
class QtMainDialogs : public MainDialogs {
public:
    explicit QtMainDialogs(Host& host) : host_(host) {}
    std::string openFile(QWidget* parent, const std::string& initialFolder) override;
    std::string chooseFolder(QWidget* parent, const std::string& initialFolder) override;
    void runModal(QDialog& dialog) override;

private:
    Host& host_;
};

} // namespace parcelo
