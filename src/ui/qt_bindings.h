#pragma once

#include "platform/bindings.h"

#include <QIcon>

class QLabel;
class QProgressBar;
class QTreeWidget;

namespace parcelo {

// The display bindings over the windows' own controls. Every update shows at once; the
// engines process pending events themselves when they want a repaint.
class QtProgressBar : public ProgressBarBinding {
public:
    explicit QtProgressBar(QProgressBar& bar) : bar_(bar) {}
    void setMaximum(int maximum) override;
    int maximum() const override;
    void setValue(int value) override;
    void setVisible(bool visible) override;

private:
    QProgressBar& bar_;
};

class QtLabel : public LabelBinding {
public:
    explicit QtLabel(QLabel& label) : label_(label) {}
    void setCaption(const std::string& caption) override;

private:
    QLabel& label_;
};

// A report list: the full path with the list's icon, the size text and, in a list with a
// third column, what the row stands for.
class QtFileList : public FileListBinding {
public:
    QtFileList(QTreeWidget& list, QIcon rowIcon) : list_(list), rowIcon_(std::move(rowIcon)) {}
    void clear() override;
    int addRow(const std::string& text, FileRowKind kind) override;
    void setRowSize(int row, const std::string& sizeText) override;
    void scrollToRow(int row) override;

    // The column that tells what a row stands for, or its state.
    static constexpr int kKindColumn = 2;

private:
    QTreeWidget& list_;
    QIcon rowIcon_;
};

} // namespace parcelo
