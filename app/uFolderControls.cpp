#include "app/uFolderControls.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;

QString CleanFolder(const QString &path)
{
    if (path.isEmpty())
        return QString();
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}
QString JoinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}
} // namespace

// ---- drive box --------------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(QWidget *parent)
    : QComboBox(parent)
{
    addItem(u"/"_s);
    connect(this, &QComboBox::currentTextChanged, this, &TDriveComboBox::DriveChanged);
}

QString TDriveComboBox::Drive() const
{
    return currentText();
}

QString TDriveComboBox::DriveOf(const QString &)
{
    return u"/"_s;
}

void TDriveComboBox::SetDrive(const QString &drive)
{
    const int index = findText(drive);
    if (index >= 0)
        setCurrentIndex(index);
}

// ---- folder tree ------------------------------------------------------------------------

TDirectoryListBox::TDirectoryListBox(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setIndentation(12);
    connect(this, &QTreeWidget::itemExpanded, this, &TDirectoryListBox::Populate);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (!item || m_settingDirectory)
            return;
        m_directory = item->data(0, kPathRole).toString();
        Q_EMIT DirectoryChanged(m_directory);
    });
    SetDrive(u"/"_s);
}

QTreeWidgetItem *TDirectoryListBox::AddFolder(QTreeWidgetItem *parent, const QString &path,
                                              const QString &name)
{
    auto *item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kPathRole, path);
    item->setData(0, kReadRole, false);
    // Until the folder is read it may have subfolders; the arrow lets the user open it.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

void TDirectoryListBox::Populate(QTreeWidgetItem *item)
{
    if (!item || item->data(0, kReadRole).toBool())
        return;
    item->setData(0, kReadRole, true);
    const QString path = item->data(0, kPathRole).toString();
    const QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                   QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names)
        AddFolder(item, JoinPath(path, name), name);
    item->setChildIndicatorPolicy(names.isEmpty() ? QTreeWidgetItem::DontShowIndicator
                                                  : QTreeWidgetItem::ShowIndicator);
}

QTreeWidgetItem *TDirectoryListBox::ChildNamed(QTreeWidgetItem *item, const QString &name)
{
    Populate(item);
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0) == name)
            return item->child(i);
    return nullptr;
}

void TDirectoryListBox::SetDrive(const QString &drive)
{
    clear();
    QTreeWidgetItem *root = AddFolder(nullptr, drive, drive);
    if (!m_settingDirectory) {
        m_directory = CleanFolder(drive);
        setCurrentItem(root);
    }
}

void TDirectoryListBox::SetDirectory(const QString &path)
{
    const QString folder = CleanFolder(path);
    m_settingDirectory = true;
    SetDrive(TDriveComboBox::DriveOf(folder));
    QTreeWidgetItem *item = topLevelItem(0);
    const QStringList parts = folder.split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        QTreeWidgetItem *child = ChildNamed(item, part);
        if (!child)
            break;
        item->setExpanded(true);
        item = child;
    }
    setCurrentItem(item);
    scrollToItem(item);
    m_directory = folder.isEmpty() ? item->data(0, kPathRole).toString() : folder;
    m_settingDirectory = false;
    Q_EMIT DirectoryChanged(m_directory);
}

// ---- file list --------------------------------------------------------------------------

TFileListBox::TFileListBox(QWidget *parent)
    : QListWidget(parent)
{
}

void TFileListBox::SetDirectory(const QString &path)
{
    m_directory = CleanFolder(path);
    clear();
    if (m_directory.isEmpty())
        return;
    const QStringList names = QDir(m_directory).entryList({m_mask}, QDir::Files,
                                                          QDir::Name | QDir::IgnoreCase);
    addItems(names);
}

QString TFileListBox::FileName() const
{
    const QListWidgetItem *item = currentItem();
    if (!item || !item->isSelected())
        return QString();
    return JoinPath(m_directory, item->text());
}

void TFileListBox::SetFileName(const QString &path)
{
    const QFileInfo info(path);
    const QList<QListWidgetItem *> found = findItems(info.fileName(), Qt::MatchExactly);
    if (!found.isEmpty())
        setCurrentItem(found.first());
}
