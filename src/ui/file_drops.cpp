#include "ui/file_drops.h"

#include "platform/paths.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace parcelo {

namespace {

class DropFilter : public QObject {
public:
    DropFilter(QWidget& widget, DropRule rule) : QObject(&widget), rule_(std::move(rule)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drop = static_cast<QDropEvent*>(event);
        const DropAction action =
            drop->mimeData() ? rule_(localPaths(*drop->mimeData())) : DropAction();
        if (!action) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (type == QEvent::Drop)
            action();
        return true;
    }

private:
    DropRule rule_;
};

} // namespace

std::vector<std::string> localPaths(const QMimeData& data)
{
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.push_back(QDir::toNativeSeparators(url.toLocalFile()).toStdString());
    }
    return paths;
}

void acceptPathDrops(QWidget& widget, DropRule rule)
{
    widget.setAcceptDrops(true);
    widget.installEventFilter(new DropFilter(widget, std::move(rule)));
}

DropRule folderInto(QLineEdit& box)
{
    return [&box](const std::vector<std::string>& paths) -> DropAction {
        if (paths.size() != 1 || !folderExists(paths.front()))
            return {};
        const std::string folder = withTrailingSeparator(paths.front());
        return [&box, folder] { box.setText(QString::fromStdString(folder)); };
    };
}

DropRule fileInto(QLineEdit& box)
{
    return [&box](const std::vector<std::string>& paths) -> DropAction {
        for (const std::string& path : paths) {
            if (!folderExists(path))
                return [&box, path] { box.setText(QString::fromStdString(path)); };
        }
        return {};
    };
}

DropRule firstOf(DropRule first, DropRule second)
{
    return [first = std::move(first),
            second = std::move(second)](const std::vector<std::string>& paths) -> DropAction {
        if (DropAction action = first(paths))
            return action;
        return second(paths);
    };
}

} // namespace parcelo
