#pragma once

#include "format/file_list.h"
#include "ui/pane_layout.h"

#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace parcelo {

struct ChecksumReport;

// The Verify pane (picVerify): any one piece, the commands, and the list, bar and verdict
// line of a check. After "Verify whole set" each file of the set keeps its state in the
// list and the verdict line says what the set is; Repair rebuilds a set that can be
// repaired.
class VerifyPane : public QWidget {
public:
    explicit VerifyPane(QWidget* parent = nullptr);

    // The bar, the verdict line (as the status label) and the list.
    PaneBindings bindings() const { return display_->bindings(); }

    // Writes each file's state ("OK", "DAMAGED", "MISSING", "MISSING (optional)") beside
    // its row, adding rows for the files the check did not list (missing pieces, recovery
    // pieces) with their sizes in the display unit.
    void showStates(const ChecksumReport& report, const DisplayUnit& unit);
    // Marks the rebuilt files "REBUILT", adding rows for those not listed.
    void showRebuilt(const std::vector<std::string>& paths, const DisplayUnit& unit);

    QLineEdit* Text8;
    QPushButton* Command5;
    QPushButton* cmdVerify1;
    QPushButton* cmdVerify2;
    QPushButton* cmdRepair;
    QPushButton* cmdVerify3;
    QTreeWidget* ListView3;
    QProgressBar* ProgressBar3;
    QLabel* lblVerdict;

private:
    void showState(const std::string& path, const char* state, const DisplayUnit& unit);

    std::unique_ptr<PaneDisplay> display_;
};

} // namespace parcelo
