#pragma once

#include <QWidget>

#include <string>

class QTextBrowser;

namespace parcelo {

// The help file's name beside the program.
inline constexpr const char* kHelpFileName = "Parcelo.html";

// The anchor of a help keyword: lower case, spaces made into "-" ("parcelo-assembler").
std::string helpAnchor(const std::string& keyword);

// A window that shows the HTML help file, at its contents or at a keyword's section; Esc
// and Ctrl+W close it. A missing help file is said inside the window; nothing else
// reports it.
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(std::string helpFile, QWidget* parent = nullptr);

    void showContents();
    void showKeyword(const std::string& keyword);

    QTextBrowser* browser() const { return browser_; }

private:
    void showAt(const std::string& anchor);

    std::string helpFile_;
    QTextBrowser* browser_;
};

} // namespace parcelo
