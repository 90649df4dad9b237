#include "ui/frm_folder.h"

#include "platform/host.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace parcelo {

namespace {

// The roots the drive list offers: the drives on Windows, the mounted volumes elsewhere.
QStringList driveRoots()
{
    QStringList roots;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives())
        roots << drive.absoluteFilePath();
#else
    roots << QDir::rootPath();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
#endif
    return roots;
}

QString driveOf(const QString& folder)
{
    const QStorageInfo volume(folder);
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

} // namespace

frmFolder::frmFolder(Host& host, std::string initialFolder, QWidget* parent)
    : QDialog(parent), host_(host), initialFolder_(std::move(initialFolder))
{
    setObjectName(QStringLiteral("frmFolder"));
    setWindowTitle(QStringLiteral(" Select Destination Folder"));
    Label1 = new QLabel(QStringLiteral("Select a folder:"), this);
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    for (const QString& root : driveRoots())
        Drive1->addItem(QDir::toNativeSeparators(root), root);
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(false); // a new folder's name is typed in place
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->header()->hide();
    cmdNewFolder = new QPushButton(QStringLiteral("&New Folder"), this);
    cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    cmdNewFolder->setAutoDefault(false);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNewFolder);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] { keepShownFolderInView(); });
    connect(model_, &QFileSystemModel::layoutChanged, this, [this] { keepShownFolderInView(); });
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(cmdNewFolder, &QPushButton::clicked, this, [this] { cmdNewFolder_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    Form_Load();
    Dir1->setFocus(); // the highlighted folder shows as selected
}

void frmFolder::Form_Load()
{
    loading_ = true;
    QString folder = initialFolder_.empty() ? QDir::homePath() : QDir::currentPath();
    if (!isDiskettePath(initialFolder_) && !initialFolder_.empty() && folderExists(initialFolder_))
        folder = QDir(QString::fromStdString(fromNativePath(toNativePath(initialFolder_))))
                     .absolutePath();
    selectDrive(driveOf(folder));
    pointDirAt(folder);
    loading_ = false;
}

void frmFolder::selectDrive(const QString& root)
{
    int index = Drive1->findData(root);
    if (index < 0) {
        Drive1->addItem(QDir::toNativeSeparators(root), root);
        index = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(index);
    driveRoot_ = root;
}

void frmFolder::pointDirAt(const QString& folder)
{
    model_->setRootPath(driveRoot_);
    Dir1->setRootIndex(model_->index(driveRoot_));
    const QModelIndex entry = model_->index(folder);
    if (entry.isValid() && entry != Dir1->rootIndex()) {
        shownFolder_ = model_->filePath(entry);
        Dir1->setCurrentIndex(entry);
        revealCurrent();
    } else {
        shownFolder_.clear();
        Dir1->setCurrentIndex({});
    }
}

void frmFolder::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    keepShownFolderInView(); // the view knows its height only now
}

void frmFolder::revealCurrent()
{
    const QModelIndex current = Dir1->currentIndex();
    if (!current.isValid())
        return;
    for (QModelIndex above = current.parent(); above.isValid() && above != Dir1->rootIndex();
         above = above.parent())
        Dir1->expand(above);
    Dir1->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void frmFolder::keepShownFolderInView()
{
    // the folders are read in the background and sorted as they arrive, which moves the
    // highlighted one (or replaces its entry) until the user picks another
    if (shownFolder_.isEmpty())
        return;
    const QModelIndex current = Dir1->currentIndex();
    if (current.isValid() && model_->filePath(current) != shownFolder_) {
        shownFolder_.clear();
        return;
    }
    if (!current.isValid())
        Dir1->setCurrentIndex(model_->index(shownFolder_));
    revealCurrent();
}

void frmFolder::Drive1_Change()
{
    QString root = Drive1->currentData().toString();
    if (!QDir(root).isReadable()) {
        host_.message(Question::Notice,
                      "Drive " + QDir::toNativeSeparators(root).toUpper().toStdString()
                          + " is not available!",
                      Buttons::Ok, Icon::Critical);
        root = Drive1->itemData(0).toString();
        Drive1->setCurrentIndex(0);
    }
    driveRoot_ = root;
    pointDirAt(root);
    if (!loading_)
        Dir1->setFocus();
}

std::string frmFolder::highlightedFolder() const
{
    const QModelIndex current = Dir1->currentIndex();
    const QString folder = current.isValid() ? model_->filePath(current) : driveRoot_;
    return QDir::toNativeSeparators(folder).toStdString();
}

// The new folder is "New Folder" (or "New Folder 2" ...) in the highlighted folder; it is
// highlighted at once with its name open for typing.
void frmFolder::cmdNewFolder_Click()
{
    const QString parentPath = QString::fromStdString(fromNativePath(highlightedFolder()));
    const QDir parent(parentPath);
    QString name = QStringLiteral("New Folder");
    for (int n = 2; parent.exists(name); ++n)
        name = QStringLiteral("New Folder %1").arg(n);
    const QModelIndex made = model_->mkdir(model_->index(parentPath), name);
    if (!made.isValid()) {
        host_.message(Question::Notice,
                      "The folder " + parent.filePath(name).toStdString()
                          + " could not be made. Please choose a folder you may write to.",
                      Buttons::Ok, Icon::Critical);
        return;
    }
    shownFolder_ = model_->filePath(made);
    Dir1->setCurrentIndex(made);
    revealCurrent();
    Dir1->setFocus();
    Dir1->edit(made);
}

void frmFolder::cmdOK_Click()
{
    selectedFolder_ = highlightedFolder();
    accept();
}

void frmFolder::cmdCancel_Click()
{
    selectedFolder_.clear();
    reject();
}

} // namespace parcelo
