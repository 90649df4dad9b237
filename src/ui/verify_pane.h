#pragma once

#include "ui/pane_layout.h"

#include <QWidget>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace parcelo {

// The Verify pane (picVerify): any one piece, the three commands and the list and bar
// of a check.
class VerifyPane : public QWidget {
public:
    explicit VerifyPane(QWidget* parent = nullptr);

    // The bar and the list; the pane has no status label.
    PaneBindings bindings() const { return display_->bindings(); }

    QLineEdit* Text8;
    QPushButton* Command5;
    QPushButton* cmdVerify1;
    QPushButton* cmdVerify2;
    QPushButton* cmdVerify3;
    QTreeWidget* ListView3;
    QProgressBar* ProgressBar3;

private:
    std::unique_ptr<PaneDisplay> display_;
};

} // namespace parcelo
