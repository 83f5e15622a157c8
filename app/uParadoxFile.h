#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Paradox table files, as the data folders of the earlier program hold them under the very
// names of our SQLite table files (Kel4Head.db, Koji1.DB, ...). Only the file header is
// looked at; reading the records is the importer's work.

// True when the file starts with a plausible Paradox data-table header. A truncated table
// whose header survived still counts, so that it is reported as damaged rather than as a
// file of some other kind.
bool IsParadoxTableFile(const QString &path);

struct TParadoxTableFile
{
    QString Table; // the canonical table name, e.g. "Kel4Head"
    QString Path;  // the file as it is named in the folder
};

// The Paradox table files among the known tables of Folder, in the order of
// KnownTableNames. Names are matched without regard to case.
QList<TParadoxTableFile> FindParadoxTables(const QString &folder);
bool HasParadoxTables(const QString &folder);

// The companions Paradox keeps beside a table (primary and secondary indexes, memo,
// validity and form files), with the same base name: they belong to the table and move
// with it.
QStringList ParadoxCompanionFiles(const QString &tablePath);

// Message for a data folder that holds Paradox tables: the files, and what to do.
QString ParadoxFolderMessage(const QString &folder, const QList<TParadoxTableFile> &files);
