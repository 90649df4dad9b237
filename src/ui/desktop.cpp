#include "ui/desktop.h"

#include "platform/paths.h"
#include "platform/run_error.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace parcelo {

namespace {

// The local file or folder as a URL; an invalid one when the path cannot be mapped.
QUrl localUrl(const std::string& path)
{
    try {
        return QUrl::fromLocalFile(QString::fromStdString(fromNativePath(toNativePath(path))));
    } catch (const RunError&) {
        return {};
    }
}

bool openUrl(const QUrl& url)
{
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

} // namespace

bool SystemDesktop::openWebPage(const std::string& address)
{
    return openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

bool SystemDesktop::openFolder(const std::string& folder)
{
    return folderExists(folder) && openUrl(localUrl(folder));
}

bool SystemDesktop::openInEditor(const std::string& file)
{
    return fileExists(file) && openUrl(localUrl(file));
}

bool SystemDesktop::startProgram(const std::string& program)
{
    const QFileInfo info(QString::fromStdString(program));
    if (!info.isFile() || !info.isExecutable())
        return false;
    return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
}

std::string SystemDesktop::systemInfoTool()
{
#ifdef _WIN32
    const char* const tools[] = {"msinfo32"};
#else
    const char* const tools[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"};
#endif
    for (const char* tool : tools) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (!found.isEmpty())
            return found.toStdString();
    }
    return {};
}

bool SystemDesktop::notify(const std::string& title, const std::string& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // application, id to replace, icon, summary, body, actions, hints, timeout (default)
    call << QStringLiteral("Parcelo") << 0U << QStringLiteral("parcelo")
         << QString::fromStdString(title) << QString::fromStdString(text) << QStringList()
         << QVariantMap() << -1;
    return bus.send(call); // no reply awaited: without a notification service nothing shows
}

void ExecModalRunner::runModal(QDialog& dialog)
{
    dialog.exec();
}

} // namespace parcelo
