#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>

// The folder controls of the settings windows. This system has no drive letters: the one
// "drive" is the file-system root.

class TDriveComboBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDriveComboBox)

public:
    explicit TDriveComboBox(QWidget *parent = nullptr);

    QString Drive() const;
    // The drive a path lies on.
    static QString DriveOf(const QString &path);
    void SetDrive(const QString &drive);

Q_SIGNALS:
    void DriveChanged(const QString &drive);
};

// A folder tree from the drive's root down; only the branch to the chosen folder is read.
class TDirectoryListBox final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDirectoryListBox)

public:
    explicit TDirectoryListBox(QWidget *parent = nullptr);

    // The chosen folder, without a trailing "/" (the root is "/").
    QString Directory() const { return m_directory; }
    // Opens the tree down to the folder; the nearest existing folder above it when the
    // folder itself does not exist. The chosen folder is kept as given either way.
    void SetDirectory(const QString &path);
    void SetDrive(const QString &drive);

Q_SIGNALS:
    void DirectoryChanged(const QString &path);

private:
    QTreeWidgetItem *AddFolder(QTreeWidgetItem *parent, const QString &path, const QString &name);
    void Populate(QTreeWidgetItem *item);
    QTreeWidgetItem *ChildNamed(QTreeWidgetItem *item, const QString &name);

    QString m_directory;
    bool m_settingDirectory = false;
};

// The files of one folder matching a mask.
class TFileListBox final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFileListBox)

public:
    explicit TFileListBox(QWidget *parent = nullptr);

    void SetMask(const QString &mask) { m_mask = mask; }
    void SetDirectory(const QString &path);
    QString Directory() const { return m_directory; }
    // Full path of the selected file, or the empty text.
    QString FileName() const;
    // Selects the file when it is in the list.
    void SetFileName(const QString &path);

private:
    QString m_mask = QStringLiteral("*");
    QString m_directory;
};
