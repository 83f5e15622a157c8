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
// Makes Folder the data folder of the run (the alias "tomaruk").
void UseFolder(const QString &folder);
// The folder of the helper programs (beside kelmo4-bench).
QString ProgramFolder();
