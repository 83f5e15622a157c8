#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A small store of named text values in a UTF-8 INI file, read afresh on every call so a
// change by another program takes effect at the next read. Keys keep their exact names
// (no escaping of '%' or '/'); keys before any [group] line are top-level.
class TIniFile
{
public:
    explicit TIniFile(QString fileName);

    const QString &FileName() const { return m_fileName; }

    // The value, or the empty text when the file, the group or the key is missing.
    QString Read(const QString &group, const QString &key, bool caseSensitiveGroup = true) const;
    bool Contains(const QString &group, const QString &key) const;

    // Rewrites the file atomically with Key set; false when the folder or file cannot be
    // written (the old file then stays as it was).
    bool Write(const QString &group, const QString &key, const QString &value);

    // Makes sure the file exists (empty when new); false when it cannot be created.
    bool Touch();

private:
    struct Entry
    {
        QString Group;
        QString Key;
        QString Value;
    };
    QList<Entry> Load() const;

    QString m_fileName;
};
