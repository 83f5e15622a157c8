#pragma once

#include <QList>
#include <QString>
#include <functional>

class TKelmo4Head;
class TPageSink;
class TPrevX;

// Batch printing without a window: the records of a project as the batch list shows them,
// and the documents of the ticked forms, record after record, each form its own job.

struct TBatchRow
{
    int ID = 0;
    QString Kosyumei;
    QString SokuteiKoumoku;
    QString Koukumei; // "#" for none
    bool DataSheet = true;
    bool Histogram = true;
    bool Chart = true;
};

// The project's records of registered work types and sections, in section order, work
// type order, then item; every form ticked.
QList<TBatchRow> BatchRowsOfProject(const QString &KojiCode);

enum class TBatchForm { DataSheet, Histogram, Chart };

// The document of one form of one record on Prev: paper, BeginDoc, pages, EndDoc. The data
// sheet takes the orientation of its layout; the histogram is landscape for print style 2
// (the frequency table), portrait otherwise; the control chart is landscape.
void DrawBatchForm(TBatchForm Form, TPrevX *Prev, const TKelmo4Head &Head, bool Weight);

// Makes one job of one form of the loaded record; false stops the batch.
using TBatchFormPrinter = std::function<bool(TBatchForm Form, const TKelmo4Head &Head)>;

// Loads the record of each row in turn (rows whose record is gone, empty rows included,
// are skipped) and has Print make its ticked forms, in the order data sheet, histogram,
// control chart. Returns the number of forms made.
int RunBatch(const QList<TBatchRow> &Rows, const TBatchFormPrinter &Print);

// The file name a saved batch proposes: "<KojiCode>_一括印刷".
QString BatchFileTitle(const QString &KojiCode);

// The ticked forms of Rows, in the order RunBatch makes them, and with Tolerance the
// project's ばらつき集計表 once after them, onto Sink as one document whose pages keep their
// orientation. Each form is drawn, handed over and freed before the next one is drawn, so a
// batch takes the memory of its largest form, however long it is. Returns the number of
// pages written (0: nothing to print); stops early when the sink stops.
int WriteBatchRows(TPageSink &Sink, const QList<TBatchRow> &Rows, bool Weight, const QString &KojiCode,
                   bool Tolerance);

// The exporter's "batch": every form of every listed record and the ばらつき集計表, the same
// pages in the same order as the batch print with everything ticked, onto Sink. Raises
// EKelmoError when the project has no printable record.
void WriteBatchDocument(TPageSink &Sink, const QString &KojiCode, bool Weight);
