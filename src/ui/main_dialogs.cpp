#include "ui/main_dialogs.h"

#include "ui/frm_folder.h"

#include <QDir>
#include <QFileDialog>

namespace parcelo {

std::string QtMainDialogs::openFile(QWidget* parent, const std::string& initialFolder)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, QStringLiteral("Open"),
                                                        QString::fromStdString(initialFolder),
                                                        QStringLiteral("All Files (*)"));
    return QDir::toNativeSeparators(chosen).toStdString();
}

std::string QtMainDialogs::chooseFolder(QWidget* parent, const std::string& initialFolder)
{
    frmFolder chooser(host_, initialFolder, parent);
    chooser.exec();
    return chooser.SelectedFolder();
}

void QtMainDialogs::runModal(QDialog& dialog)
{
    dialog.exec();
}

} // namespace parcelo
