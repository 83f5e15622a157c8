#pragma once

#include "measure/uToleranceShares.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QWidget;
class TPrevX;

// "出来形ばらつき集計表": how the differences of each record of a project sit in its
// standard values, one row per record in the summary table's order and a total row; A4
// portrait, the heading on every page. Computed from the stored records at each print.

struct TToleranceRow
{
    int ID = 0;
    QString Kosyumei;
    QString Koukumei; // empty for a record without section
    QString SokuteiKoumoku;
    QString Upper; // official standard, millimetres as stored
    QString Lower;
    QString SaTanni;
    QString StandardText; // as the summary table writes it
    TToleranceShares Shares{{}, {}, {}, {}, {}};
};

// The project's rows; a standard value that is not a number raises the summary table's
// error for it.
QList<TToleranceRow> ToleranceRows(const QString &KojiCode);

// Every page onto a document open on Prev.
void PrintToleranceSheet(TPrevX *Prev, const QString &KojiCode);
// The whole document: paper, BeginDoc, pages, EndDoc.
void DrawToleranceDocument(TPrevX *Prev, const QString &KojiCode);
// The document for the exporter: an unknown project is an error, not an empty table.
void ExportToleranceSheet(TPrevX *Prev, const QString &KojiCode);
void PreviewToleranceSheet(QWidget *Owner, const QString &KojiCode);

// The rows as CSV, UTF-8 with BOM, one line per record under the heading line; a record
// without standard leaves its band fields empty.
QByteArray ToleranceCsv(const QString &KojiCode);
