#pragma once

#include <QFrame>

#include <array>

class QToolButton;

namespace parcelo {

// The four panes of the main window, in the order of the navigation column.
enum class Pane { Split, Join, Verify, Options };
inline constexpr std::array<Pane, 4> kPanes = {Pane::Split, Pane::Join, Pane::Verify,
                                               Pane::Options};

// The column of navigation buttons down the left of the main window. The shown pane's
// button gives way to its highlight; Help and Exit stay at the foot.
class NavigationColumn : public QFrame {
public:
    explicit NavigationColumn(QWidget* parent = nullptr);

    // Shows the pane's highlight in place of its button, and the other three buttons.
    void highlight(Pane pane);

    QToolButton* button(Pane pane) const;
    QWidget* highlightOf(Pane pane) const;

    QToolButton* cmdMSplit;
    QToolButton* cmdMJoin;
    QToolButton* cmdMVerify;
    QToolButton* cmdMOptions;
    QToolButton* cmdMHelp;
    QToolButton* cmdMExit;
    QWidget* picMSplit;
    QWidget* picMJoin;
    QWidget* picMVerify;
    QWidget* picMOptions;
};

} // namespace parcelo
