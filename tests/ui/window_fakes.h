#pragma once

#include "ui/desktop.h"

#include "scripted_host.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <functional>
#include <string>
#include <vector>

namespace parcelo::test {

// A scripted host that also runs a hook each time an operation lets events through.
class HookedHost : public ScriptedHost {
public:
    void processEvents() override
    {
        ScriptedHost::processEvents();
        if (onEvents)
            onEvents();
    }
    std::function<void()> onEvents;
};

// A desktop that records what it was asked to open and answers with `succeed`.
class FakeDesktop : public Desktop {
public:
    bool openWebPage(const std::string& address) override { return note(webPages, address); }
    bool openFolder(const std::string& folder) override { return note(folders, folder); }
    bool openInEditor(const std::string& file) override { return note(edited, file); }
    bool startProgram(const std::string& program) override { return note(started, program); }
    std::string systemInfoTool() override { return {}; }
    bool notify(const std::string& title, const std::string& text) override
    {
        return note(notifications, title + ": " + text);
    }

    bool succeed = true;
    std::vector<std::string> webPages, folders, edited, started, notifications;

private:
    bool note(std::vector<std::string>& list, const std::string& entry)
    {
        list.push_back(entry);
        return succeed;
    }
};

// Shows modal windows without waiting: `onModal` looks at the window while it is open.
template <class Runner>
class InspectingModal : public Runner {
public:
    void runModal(QDialog& dialog) override
    {
        modalsShown.push_back(dialog.objectName().toStdString());
        dialog.show();
        if (onModal)
            onModal(dialog);
        dialog.close();
    }

    std::vector<std::string> modalsShown;
    std::function<void(QDialog&)> onModal;
};

inline std::string text(const QLineEdit* box)
{
    return box->text().toStdString();
}

// Drags the local paths over the widget and drops them there; true when the drop was taken.
inline bool dropPaths(QWidget* target, const std::vector<std::string>& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

} // namespace parcelo::test
