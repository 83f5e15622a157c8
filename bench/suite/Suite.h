#pragma once

#include "app/uDataSource.h"

#include <QList>
#include <QString>

// The data folders of one benchmark run, made once before the benchmarks start, in a
// private home that the run removes at its end.
struct TSuiteData
{
    QString Root;
    QString Small;
    QString Large;
    QString Full;
    QString Batch;
    int FullRecordId = 0;
};

const TSuiteData &SuiteData();
// The large project ten times (project 0005, 2000 records × 100 lines), made on first use
// since it takes a while.
const QString &HugeFolder();
// Makes Folder the data folder of the run (the alias "tomaruk").
void UseFolder(const QString &folder);
// UseFolder when Folder is not current already; true when it was not. A new connection
// compiles its statements anew, so a timing right after a switch would count that.
bool SwitchFolder(const QString &folder);
// The tables of Folder copied into a new database of the run's server (a throw-away
// cluster started at the first call), once per folder; the same database on later calls.
// A folder source (not a server) with *Error set when the cluster or the copy failed.
TDataSource ServerCopy(const QString &folder, QString *error);
// Makes Source the tables of the run (the alias "tomaruk") until EndServer; EndServer
// ends that override, so the next UseFolder or SwitchFolder names a folder again.
void UseServer(const TDataSource &source);
void EndServer();
// The folder of the helper programs (beside kelmo4-bench).
QString ProgramFolder();
