#pragma once

#include "ui/pane_layout.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace parcelo {

// The Split pane (Picture2): source and destination, the "Split By" choice, and the
// list, bar and status of a split. The size, pieces and preset controls pull their
// option button along when the user works in them.
class SplitPane : public QWidget {
public:
    explicit SplitPane(QWidget* parent = nullptr);

    // The pane's bar, status label and list as engine bindings.
    PaneBindings bindings() const { return display_->bindings(); }
    // Whether the chosen way of splitting is by lines.
    bool splitsByLines() const;
    // Empties both password boxes (after a split, and on "Clear All").
    void clearPasswords();

    QLineEdit* Text1;
    QPushButton* Command3;
    QPushButton* cmdSpFolder; // "Folder...": a folder as the source
    QLineEdit* Text4;
    QPushButton* Command2;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QLineEdit* Text3;
    QComboBox* Combo1;
    QRadioButton* Option2;
    QLineEdit* Text2;
    QRadioButton* Option3;
    QComboBox* Combo2;
    QCheckBox* Check1;
    QLineEdit* txtRecovery; // "0", "N" or "N%" recovery pieces
    QCheckBox* chkPlainPieces;
    QCheckBox* chkEncrypt; // "Encrypt with a password": a compressed, AES-256 encrypted set
    QLineEdit* txtPassword;
    QLineEdit* txtPasswordAgain;
    QLabel* lblStrength; // the password's strength hint; it refuses nothing
    QPushButton* cmdSpSplit;
    QPushButton* cmdCompress;
    QPushButton* cmdSpCancel;
    QTreeWidget* ListView1;
    QProgressBar* ProgressBar1;
    QLabel* Label5;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildSplitBy();
    QHBoxLayout* buildEncryption();
    void showEncryptionChoice();
    void showStrength();
    void coupleSplitBy();
    void showRecoveryChoice();
    void showPresetChoice();

    std::unique_ptr<PaneDisplay> display_;
};

} // namespace parcelo
