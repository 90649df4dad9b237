#pragma once

#include "platform/host.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace parcelo {

class Desktop;

// What the About box says about the program showing it.
struct AboutDetails {
    std::string productName = kProductName;
    std::string version;      // "1.2.0", shown after "Version "
    std::string description;  // an extra line (Parcelo Assembler's), or "" for none
    std::string makerWebPage; // shown after "On web: "
    bool joiner = false;      // Parcelo Assembler's box: the libraries it is built with
};

// The About box of both programs, with its System Info button.
class frmAbout : public QDialog {
public:
    frmAbout(const AboutDetails& details, Host& host, Desktop& desktop, QWidget* parent = nullptr);

    // Starts the system information tool.
    void StartSysInfo();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label3;
    QLabel* Label2;
    QLabel* lblDescription;
    QLabel* Label4;
    QLabel* Label1;
    QLabel* lblLicence;
    QLabel* lblLibraries;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    Host& host_;
    Desktop& desktop_;
};

} // namespace parcelo
