#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;

namespace parcelo::assembler {

// Parcelo Assembler's instructions: the numbered lines and the note that it cannot
// decompress, in a frame, with OK to close.
class frmInstructions : public QDialog {
public:
    explicit frmInstructions(const std::string& makerWebPage, QWidget* parent = nullptr);

    void cmdOK_Click() { accept(); }

    QGroupBox* Frame1;
    std::vector<QLabel*> lines; // the numbered lines, then the note
    QPushButton* cmdOK;
};

} // namespace parcelo::assembler
