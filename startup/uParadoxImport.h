#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QDateTime;
class QTextStream;
class TTableDef;

// Takes over a data folder of the earlier program: its Paradox tables (texts in Shift-JIS)
// become our SQLite table files, and its DekigataDef can become the working folder's.
//
// All or nothing: every table is first read and written into a hidden staging folder; only
// when all of them are whole are the originals moved, untouched, into a backup folder
// "paradox-backup-YYYYMMDD-hhmmss" of the data folder and the new files put in their place.
// Any failure, up to the last rename, leaves the data folder and the working folder as they
// were.

// The definitions of every table a data folder holds, in the order of KnownTableNames,
// each taken from its owner so that none is left out of the program.
const QList<const TTableDef *> &ImportTableDefs();

struct TParadoxSourceTable
{
    QString Table;   // canonical name
    QString Path;    // the Paradox file
    int Records = 0; // as its header counts them
};

// What a folder offers, and what stands in the way, before anything is changed.
struct TParadoxSurvey
{
    QString SourceFolder; // with "/"
    QString DataFolder;   // with "/"
    bool SourceIsDataFolder = false;
    QString Server; // the office server the tables go to, or empty for the data folder
    QList<TParadoxSourceTable> Tables;
    QStringList AbsentTables;  // known tables with no Paradox file in the folder
    QString DekigataDefPath;   // the folder's DekigataDef, or empty
    QString DekigataDefProblem; // why it cannot be taken over, or empty
    QStringList Refusals;      // reasons the import cannot go ahead (tables already in use)

    bool CanImport() const { return !Tables.isEmpty() && Refusals.isEmpty(); }
    qint64 TotalRecords() const;
    // The confirmation text: what will be taken over, and where the originals go.
    QString DescriptionText() const;
};

struct TParadoxTableResult
{
    QString Table;
    int Rows = 0;
    QStringList Notes; // fields left blank or not taken, texts mended
};

struct TParadoxImportResult
{
    QList<TParadoxTableResult> Tables;
    QStringList Skipped; // what was not taken over, and why
    QString BackupFolder; // empty when nothing had to be moved
    bool DekigataDefTaken = false;
    QString DekigataDefBackup; // the working folder's previous DekigataDef, or empty
    qint64 TotalRows() const;
    QString SummaryText() const;
};

// Rows read so far of all tables; returns false when the user stops the import.
using TParadoxProgress = std::function<bool(const QString &table, qint64 done, qint64 total)>;

class TParadoxImport
{
public:
    explicit TParadoxImport(const QString &sourceFolder);

    // Looks at the folder without changing anything. Raises EFileError when the folder
    // cannot be read.
    TParadoxSurvey Survey() const;

    // Takes the folder over. Raises EKelmoError naming the table and the row that failed,
    // with the folders left as they were; a refusal of the survey is raised the same way.
    TParadoxImportResult Run(bool takeDekigataDef, const TParadoxProgress &progress = {});

private:
    QString m_source;
};

// The name of a new backup folder for the given moment, "paradox-backup-YYYYMMDD-hhmmss".
QString ParadoxBackupFolderName(const QDateTime &when);

// kelmo4-export --import-paradox: takes Folder over (its DekigataDef too) into the data
// folder, writing the progress per table and the summary to Out. Raises EKelmoError.
void ImportParadoxFromCommandLine(const QString &folder, QTextStream &out);
