#pragma once

#include "measure/uKelmo4Line.h"

#include <QList>
#include <QString>

// Data folders as a site office has them, written through the record classes: projects,
// work types, sections, people, standard values, measurement headers and their lines.
namespace BenchData {

// One project of Records measurement records of LinesPerRecord lines each. Records run
// over sections, then work types, then items, so every record has its own key.
struct TProjectShape
{
    QString Code;
    QString Name;
    int Yoshiki = 0; // print style of the project
    int Records = 0;
    int LinesPerRecord = 0;
};

// 5 records × 30 lines, 200 records × 100 lines, the large one ten times (2000 × 100), and
// the 50 records of a batch print.
TProjectShape SmallProject();
TProjectShape LargeProject();
TProjectShape HugeProject();
TProjectShape BatchProject();

// Every table of the current data folder (the alias "tomaruk"), created when missing, and
// the defaults' units.
void PrepareFolder();

// Writes the project into the current data folder; returns the header IDs in the order
// made. The work types, the people and the standard values are shared by all projects.
QList<int> MakeProject(const TProjectShape &shape);

// The full record: a height record of 1000 lines with left, centre and right, in project
// Code. Returns its ID.
int MakeFullRecord(const QString &code);

// Lines as the grid leaves them: stations No.0, No.20, …, values formatted to the output
// unit, a measurement date or a note in some remarks. Seed varies the measured values.
// FormType 0 fills all three places, 1 and 2 the centre only.
QList<TKel4LineRow> MakeLines(int count, int formType, int seed);

// Fills Folder (which must exist) with one kind of data: "small", "large", "huge", "full"
// or "batch", and leaves the alias pointing at it for this run.
void MakeFolder(const QString &folder, const QString &kind);

} // namespace BenchData
