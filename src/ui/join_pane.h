#pragma once

#include "ui/pane_layout.h"

#include <QWidget>

class QCheckBox; // the rest come with pane_layout.h

namespace parcelo {

// The Join pane (Picture3): any one piece, the destination folder, the decompression
// switch, and the list, bar and status of a join.
class JoinPane : public QWidget {
public:
    explicit JoinPane(QWidget* parent = nullptr);

    PaneBindings bindings() const { return display_->bindings(); }

    QLineEdit* Text5;
    QPushButton* Command1;
    QLineEdit* Text6;
    QPushButton* Command4;
    QCheckBox* Check2;
    QPushButton* cmdJoin;
    QPushButton* cmdJnCancel;
    QTreeWidget* ListView2;
    QProgressBar* ProgressBar2;
    QLabel* Label8;

private:
    std::unique_ptr<PaneDisplay> display_;
};

} // namespace parcelo
