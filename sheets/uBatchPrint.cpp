#include "sheets/uBatchPrint.h"

#include "app/Errors.h"
#include "app/uDatabase.h"
#include "charts/uChartPrint.h"
#include "measure/uKelmo4Head.h"
#include "printing/PageSink.h"
#include "printing/PrevX.h"
#include "printing/uPdfFileName.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"
#include "sheets/uDataSheet.h"
#include "sheets/uToleranceSheet.h"

using namespace Qt::Literals::StringLiterals;

QList<TBatchRow> BatchRowsOfProject(const QString &KojiCode)
{
    // The joins need the registers' tables even in a fresh data folder.
    TKelmo4Head().CreateTableIfMissing();
    TKosyu().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();

    TQuery q;
    q.Add(u"select Kel4Head.Kosyumei,Kel4Head.SokuteiKoumoku,Kel4Head.Koukumei,Kel4Head.ID,Kosyu4.ID,Kouku.ID from kel4head"_s)
        .Add(u"inner join kosyu4 on kosyu4.kosyumei=kel4head.kosyumei"_s)
        .Add(u"inner join kouku on (kouku.kojicode=kel4head.kojicode) and (kouku.koukumei=kel4head.koukumei)"_s)
        .Add(u"where Kel4Head.KojiCode=:KojiCode"_s)
        .Add(u"order by kouku.id,kosyu4.id,kel4head.sokuteikoumoku"_s);
    q.SetParam(u"KojiCode"_s, KojiCode);
    q.Open();
    QList<TBatchRow> rows;
    for (; !q.Eof(); q.Next()) {
        TBatchRow row;
        row.Kosyumei = q.FieldText(u"KOSYUMEI"_s);
        row.SokuteiKoumoku = q.FieldText(u"SOKUTEIKOUMOKU"_s);
        row.Koukumei = q.FieldText(u"KOUKUMEI"_s);
        row.ID = q.FieldInt(u"ID"_s); // the first ID column is the record's
        rows.append(row);
    }
    return rows;
}

void DrawBatchForm(TBatchForm Form, TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    switch (Form) {
    case TBatchForm::DataSheet:
        DrawDataSheetDocument(Prev, Head, Weight);
        break;
    case TBatchForm::Histogram:
        DrawHistogramDocument(Prev, Head, Weight);
        break;
    case TBatchForm::Chart:
        DrawChartDocument(Prev, Head, Weight);
        break;
    }
}

namespace {
bool RecordExists(int id)
{
    TQuery q(u"select ID from Kel4Head where ID=:ID"_s);
    q.SetParam(u"ID"_s, id);
    q.Open();
    return !q.Eof();
}
} // namespace

int RunBatch(const QList<TBatchRow> &Rows, const TBatchFormPrinter &Print)
{
    TKelmo4Head head;
    int jobs = 0;
    for (const TBatchRow &row : Rows) {
        if (row.ID <= 0 || !RecordExists(row.ID))
            continue;
        head.LoadByID(row.ID);
        const std::pair<bool, TBatchForm> forms[] = {
            {row.DataSheet, TBatchForm::DataSheet},
            {row.Histogram, TBatchForm::Histogram},
            {row.Chart, TBatchForm::Chart},
        };
        for (const auto &[ticked, form] : forms) {
            if (!ticked)
                continue;
            ++jobs;
            if (!Print(form, head))
                return jobs;
        }
    }
    return jobs;
}

QString BatchFileTitle(const QString &KojiCode)
{
    return DocumentFileTitle({KojiCode, u"一括印刷"_s});
}

int WriteBatchRows(TPageSink &Sink, const QList<TBatchRow> &Rows, bool Weight, const QString &KojiCode,
                   bool Tolerance)
{
    int written = 0;
    bool going = true;
    const auto send = [&](const TPrevX &job) {
        for (int n = 1; going && n <= job.PageCount(); ++n) {
            going = Sink.AddPage(job.Page(n));
            written += going ? 1 : 0;
        }
        return going;
    };
    RunBatch(Rows, [&](TBatchForm form, const TKelmo4Head &head) {
        TPrevX job;
        DrawBatchForm(form, &job, head, Weight);
        return send(job);
    });
    if (going && Tolerance) {
        TPrevX job;
        DrawToleranceDocument(&job, KojiCode);
        send(job);
    }
    return written;
}

void WriteBatchDocument(TPageSink &Sink, const QString &KojiCode, bool Weight)
{
    const QList<TBatchRow> rows = BatchRowsOfProject(KojiCode);
    // A project without printable records has no batch, not a lone empty table.
    if (rows.isEmpty() || WriteBatchRows(Sink, rows, Weight, KojiCode, true) == 0)
        throw EKelmoError(u"工事コード「%1」には印刷できる測定データがありません。"_s.arg(KojiCode));
}
