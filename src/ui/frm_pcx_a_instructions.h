#pragma once

#include "ui/assembler_instructions.h"

#include <QDialog>

#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace parcelo {

class Desktop;
class Host;

// The window that introduces Parcelo Assembler and starts it from the program's folder.
class frmPcxAInstructions : public QDialog {
public:
    frmPcxAInstructions(std::string appFolder, std::string makerWebPage, Host& host,
                        Desktop& desktop, QWidget* parent = nullptr);

    // "Launch Parcelo Assembler"; says so when it is missing. The window stays open.
    void Command1_Click();

    QGroupBox* Frame1;
    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;

private:
    std::string appFolder_;
    std::string makerWebPage_;
    Host& host_;
    Desktop& desktop_;
};

} // namespace parcelo
