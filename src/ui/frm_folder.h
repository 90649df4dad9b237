#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace parcelo {

class Host;

// The folder chooser: a drive list and a folder tree. It opens at InitialFolder when
// that folder exists, at the user's home folder when none is given, and in the current
// working directory otherwise (also for a folder on the diskette drive). "New Folder"
// makes a folder in the highlighted one and lets its name be typed; OK takes the
// highlighted folder, Cancel none.
class frmFolder : public QDialog {
public:
    frmFolder(Host& host, std::string initialFolder, QWidget* parent = nullptr);

    const std::string& InitialFolder() const { return initialFolder_; }
    // The folder chosen with OK; "" after Cancel or while the chooser is open.
    const std::string& SelectedFolder() const { return selectedFolder_; }
    // The folder Dir1 highlights: its current entry, or the drive's root.
    std::string highlightedFolder() const;

    // The user picked another drive in Drive1.
    void Drive1_Change();
    void cmdNewFolder_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1;
    QComboBox* Drive1;
    QTreeView* Dir1;
    QPushButton* cmdNewFolder;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void selectDrive(const QString& root);
    void pointDirAt(const QString& folder);
    // Keeps the highlighted folder in view while the folders are read.
    void keepShownFolderInView();
    void revealCurrent();

    Host& host_;
    std::string initialFolder_;
    QString shownFolder_;
    std::string selectedFolder_;
    bool loading_ = false;
    QFileSystemModel* model_;
    QString driveRoot_;
};

} // namespace parcelo
