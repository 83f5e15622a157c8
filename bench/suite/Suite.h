#pragma once

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
// The folder of the helper programs (beside kelmo4-bench).
QString ProgramFolder();
