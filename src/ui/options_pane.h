#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace parcelo {

struct ParceloOptions;

// The Options pane (picOptions): compression, deletion, sending, writing and the default
// folders, with
// "Save Options" and its status and bar. The options live in these controls while the
// program runs.
class OptionsPane : public QWidget {
public:
    explicit OptionsPane(QWidget* parent = nullptr);

    // Puts the options this pane shows into its controls.
    void showOptions(const ParceloOptions& options);
    // Copies the controls into the options this pane shows.
    void readOptions(ParceloOptions& options) const;

    QCheckBox* chkAutoCompress;
    QRadioButton* optCLevel1;
    QRadioButton* optCLevel2;
    QRadioButton* optCLevel3;
    QCheckBox* chkDelOrgSplit;
    QCheckBox* chkDelOrgJoin;
    QCheckBox* chkChecksums;
    QCheckBox* chkJoinScript;
    QCheckBox* chkFlush;
    QLineEdit* txtDefoutSplit;
    QPushButton* cmdOptBr1;
    QLineEdit* txtDefoutJoin;
    QPushButton* cmdOptBr2;
    QPushButton* Command6;
    QLabel* Label25;
    QProgressBar* ProgressBar4;

private:
    QWidget* buildCompression();
    QWidget* buildDeletion();
    QWidget* buildSending();
    QWidget* buildWriting();
    QWidget* buildFolders();
};

} // namespace parcelo
