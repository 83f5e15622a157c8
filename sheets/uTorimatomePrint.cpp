#include "sheets/uTorimatomePrint.h"

#include "app/Errors.h"
#include "app/uDatabase.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPdfFileName.h"
#include "printing/uPrintView.h"
#include "registers/uKoji.h"
#include "sheets/uDekigataTorimatome.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kRowsPerPage = 20;
constexpr float kFirstRowTop = 3.2f;
constexpr float kRowHeight = 1.095f;
constexpr float kTableBottom = 25.1f;
constexpr float kTableRight = 17.6f;

struct THeading
{
    const char16_t *Text;
    int Align;
    float Left, Top, Right, Bottom;
};

constexpr THeading kHeadings[] = {
    {u"工種名", 4, 0.0f, 0.8f, 2.2f, 3.2f},
    {u"測定項目", 4, 2.2f, 0.8f, 4.6f, 3.2f},
    {u"工区", 4, 4.6f, 0.8f, 6.8f, 3.2f},
    {u"規格値\\\\(単位)", 4, 6.8f, 0.8f, 9.6f, 3.2f},
    {u"測定結果", 4, 9.6f, 0.8f, 15.3f, 1.6f},
    {u"測定値", 4, 10.9f, 1.6f, 15.3f, 2.4f},
    {u"最大", 4, 10.9f, 2.4f, 12.4f, 3.2f},
    {u"最小", 4, 12.4f, 2.4f, 13.9f, 3.2f},
    {u"平均", 4, 13.9f, 2.4f, 15.3f, 3.2f},
    {u"備考", 4, 15.3f, 0.8f, 17.6f, 3.2f},
    {u"測 定\\\\回 数", 1, 9.6f, 1.6f, 10.9f, 3.2f},
};

struct TRuling
{
    float X1, Y1, X2, Y2;
};

constexpr TRuling kRulings[] = {
    // under "測定結果" and "測定値"
    {9.6f, 1.6f, 15.3f, 1.6f},
    {10.9f, 2.4f, 15.3f, 2.4f},
    // columns
    {2.2f, 0.8f, 2.2f, kTableBottom},
    {4.6f, 0.8f, 4.6f, kTableBottom},
    {6.8f, 0.8f, 6.8f, kTableBottom},
    {9.6f, 0.8f, 9.6f, kTableBottom},
    {15.3f, 0.8f, 15.3f, kTableBottom},
    {10.9f, 1.6f, 10.9f, kTableBottom},
    {12.4f, 2.4f, 12.4f, kTableBottom},
    {13.9f, 2.4f, 13.9f, kTableBottom},
};

const QString kDitto = u"    〃"_s;
} // namespace

void DrawTorimatomeFrame(TPageCanvas *Canvas)
{
    Canvas->Font().SetSize(16);
    DrawBoxText(Canvas, u"出　来　形　管　理　総　括　表"_s, 1, 0, 0, kTableRight, 0.65f, 0);

    Canvas->Font().SetSize(11);
    Canvas->Pen().SetWidth(3);
    DrawBox(Canvas, 0, 0.8f, kTableRight, kTableBottom);
    DrawLine(Canvas, 0, kFirstRowTop, kTableRight, kFirstRowTop);

    Canvas->Pen().SetWidth(1);
    for (int i = 1; i < kRowsPerPage; ++i) {
        const float y = kFirstRowTop + kRowHeight * float(i);
        DrawLine(Canvas, 0, y, kTableRight, y);
    }
    for (const THeading &h : kHeadings)
        DrawBoxText(Canvas, QString::fromUtf16(h.Text), h.Align, h.Left, h.Top, h.Right, h.Bottom, 0);
    for (const TRuling &r : kRulings)
        DrawLine(Canvas, r.X1, r.Y1, r.X2, r.Y2);
}

void PrintTorimatome(TPrevX *Prev, const QString &KojiCode)
{
    PrintOffsetX = -1.7f;
    PrintOffsetY = -2.3f;
    SetPaper(u"A4"_s, u"PORT"_s);

    TQuery q(u"select * from DekigataTorimatome4 where KojiCode=:A order by LNO"_s);
    q.SetParam(u"A"_s, KojiCode);
    q.Open();

    // The work type of the previous row; kept over a page break, so a page may begin with
    // the ditto mark.
    QString previous;
    int k = 0;
    while (!q.Eof()) {
        TPageCanvas *Canvas = Prev->Canvas();
        if (k == 0) {
            Canvas->Font().SetName(u"ＭＳ 明朝"_s);
            DrawTorimatomeFrame(Canvas);
        }
        const float y = kFirstRowTop + kRowHeight * float(k);
        const float bottom = y + kRowHeight;
        const float middle = y + kRowHeight / 2;

        const QString kosyu = q.FieldText(u"KOSYUMEI"_s);
        DrawBoxText(Canvas, kosyu != previous ? kosyu : kDitto, 0, 0.1f, y, 2.2f, bottom, 0);
        previous = kosyu;
        DrawBoxText(Canvas, q.FieldText(u"KOMOKU"_s).trimmed(), 1, 2.3f, y, 4.6f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"KOUKUMEI"_s).trimmed(), 0, 4.7f, y, 6.8f, bottom, 0);
        const QString kikakuti = q.FieldText(u"KIKAKUTI"_s);
        if (kikakuti != u"～"_s)
            DrawBoxText(Canvas, kikakuti.trimmed(), 1, 6.9f, y, 9.5f, middle, 0);
        DrawBoxText(Canvas, u'(' + q.FieldText(u"SATANNI"_s).trimmed() + u')', 1, 6.9f, middle, 9.5f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"KAISU"_s).trimmed(), 1, 9.6f, y, 10.9f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"MAXVALUE"_s).trimmed(), 2, 10.9f, y, 12.3f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"MINVALUE"_s).trimmed(), 2, 12.4f, y, 13.8f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"AVGVALUE"_s).trimmed(), 2, 13.9f, y, 15.2f, bottom, 0);
        DrawBoxText(Canvas, q.FieldText(u"BIKO"_s).trimmed(), 0, 15.3f, y, 17.6f, bottom, 0);

        q.Next();
        if (++k == kRowsPerPage) {
            k = 0;
            if (!q.Eof())
                Prev->NewPage();
        }
    }
}

void DrawTorimatomeDocument(TPrevX *Prev, const QString &KojiCode)
{
    SetPaper(u"A4"_s, u"PORT"_s);
    Prev->SetFileTitle(DocumentFileTitle({KojiCode, u"取りまとめ表"_s}));
    Prev->BeginDoc();
    PrintTorimatome(Prev, KojiCode);
    Prev->EndDoc();
}

void CheckProjectRegistered(const QString &KojiCode)
{
    TKoji koji;
    koji.CreateTableIfMissing();
    TQuery q(u"select * from Koji1 where Code=:CODE"_s);
    q.SetParam(u"CODE"_s, KojiCode.trimmed());
    q.Open();
    if (q.Eof())
        throw EKelmoError(u"工事コード「%1」の工事は登録されていません。"_s.arg(KojiCode));
}

void CheckTorimatomeForExport(const QString &KojiCode)
{
    CheckProjectRegistered(KojiCode);
    TDekigataTorimatome().CreateTableIfMissing();
    // A table never built would come out as an empty frame, which reads as "no records".
    TQuery rows(u"select count(*) from DekigataTorimatome4 where KojiCode=:A"_s);
    rows.SetParam(u"A"_s, KojiCode);
    rows.Open();
    if (rows.FieldIntAt(0) > 0)
        return;
    bool anyRecord = false;
    if (TableExists(u"Kel4Head"_s)) {
        TQuery records(u"select count(*) from Kel4Head where KojiCode=:A"_s);
        records.SetParam(u"A"_s, KojiCode);
        records.Open();
        anyRecord = records.FieldIntAt(0) > 0;
    }
    if (!anyRecord)
        throw EKelmoError(u"工事コード「%1」には測定記録がないため、とりまとめ表はありません。"_s.arg(KojiCode));
    throw EKelmoError(u"工事コード「%1」のとりまとめ表はまだ作られていません。ケルモ４のメイン画面でこの工事を選び、"
                      "メニュー「ファイル」－「取りまとめ表の作成」で「初期化」を押すと、表が作られて保存されます。"_s
                          .arg(KojiCode));
}

void ExportTorimatome(TPrevX *Prev, const QString &KojiCode)
{
    CheckTorimatomeForExport(KojiCode);
    DrawTorimatomeDocument(Prev, KojiCode);
}

void PreviewTorimatome(QWidget *Owner, const QString &KojiCode)
{
    TfrmPreView preview(Owner);
    DrawTorimatomeDocument(preview.PrevX1, KojiCode);
    preview.exec();
}
