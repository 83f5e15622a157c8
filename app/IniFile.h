#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A store of named text values in an INI file as QSettings (IniFormat) reads and writes it:
// top-level keys under [General], '%' in a key as "%25". A file in the program's older form
// (keys before any [group] line, values unquoted) is still read, and the next Write rewrites
// it in QSettings form. The parsed file is kept per process and read again only when its
// size or time changes, so a change by another program takes effect at the next read.
class TIniFile
{
public:
    explicit TIniFile(QString fileName);

    const QString &FileName() const { return m_fileName; }

    // The value, or the empty text when the file, the group or the key is missing.
    // An empty group means a top-level key.
    QString Read(const QString &group, const QString &key, bool caseSensitiveGroup = true) const;
    bool Contains(const QString &group, const QString &key) const;

    // Rewrites the whole file atomically with Key set; false when the folder or file cannot
    // be written (the old file then stays as it was).
    bool Write(const QString &group, const QString &key, const QString &value);
    // Several keys of one group in one rewrite; an empty value removes its key.
    bool WriteGroup(const QString &group, const QList<QPair<QString, QString>> &values);

    // Makes sure the file exists (empty when new); false when it cannot be created.
    bool Touch();

private:
    QString m_fileName;
};
