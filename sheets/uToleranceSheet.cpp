#include "sheets/uToleranceSheet.h"

#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPdfFileName.h"
#include "printing/uPrintView.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uUkeoisya.h"
#include "registers/ukouku.h"
#include "sheets/uDataSheetCommon.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uTorimatomePrint.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kRowsPerPage = 22;
constexpr float kRight = 17.6f;
constexpr float kTableTop = 1.6f;
constexpr float kFirstRowTop = 2.6f;
constexpr float kRowHeight = 1.0f;
constexpr float kTableBottom = kFirstRowTop + kRowHeight * kRowsPerPage;

// Left edges of the columns 工種, 工区, 測定項目, 規格値, 測定数 and the four bands.
constexpr float kColumns[] = {0.0f, 2.4f, 4.4f, 6.2f, 8.8f, 10.0f, 11.9f, 13.8f, 15.7f, kRight};

using namespace Form;
constexpr TFormItem kFrame[] = {
    Font(16),
    Text(u"出来形ばらつき集計表", 1, 0, kRight, 0, 0.65f),
    Pen(3),
    Box(0, kTableTop, kRight, kTableBottom),
    Line(0, kFirstRowTop, kRight, kFirstRowTop),
    Pen(1),
    Rulings(0, kRight, kFirstRowTop + kRowHeight, kRowHeight, kRowsPerPage - 1),
    Line(2.4f, kTableTop, 2.4f, kTableBottom),
    Line(4.4f, kTableTop, 4.4f, kTableBottom),
    Line(6.2f, kTableTop, 6.2f, kTableBottom),
    Line(8.8f, kTableTop, 8.8f, kTableBottom),
    Line(10.0f, kTableTop, 10.0f, kTableBottom),
    Line(11.9f, kTableTop, 11.9f, kTableBottom),
    Line(13.8f, kTableTop, 13.8f, kTableBottom),
    Line(15.7f, kTableTop, 15.7f, kTableBottom),
    Font(10),
    Text(u"工種", 4, 0.0f, 2.4f, kTableTop, kFirstRowTop),
    Text(u"工区", 4, 2.4f, 4.4f, kTableTop, kFirstRowTop),
    Text(u"測定項目", 4, 4.4f, 6.2f, kTableTop, kFirstRowTop),
    Text(u"規格値\\\\(単位)", 4, 6.2f, 8.8f, kTableTop, kFirstRowTop),
    Text(u"測定数", 4, 8.8f, 10.0f, kTableTop, kFirstRowTop),
    Text(u"50%以内\\\\数(率)", 1, 10.0f, 11.9f, kTableTop, kFirstRowTop),
    Text(u"80%以内\\\\数(率)", 1, 11.9f, 13.8f, kTableTop, kFirstRowTop),
    Text(u"規格値以内\\\\数(率)", 1, 13.8f, 15.7f, kTableTop, kFirstRowTop),
    Text(u"規格値外\\\\数(率)", 1, 15.7f, kRight, kTableTop, kFirstRowTop),
};

// What a row prints in the count columns: the measured differences and the four bands.
struct TFigures
{
    int Count = 0;
    int Bands[4] = {};
    bool HasStandard = true;
};

TFigures FiguresOf(const TToleranceShares &s)
{
    return {s.Count(), {s.Within50(), s.Within80(), s.WithinStandard(), s.Outside()}, s.HasStandard()};
}

void DrawFigures(TPageCanvas *Canvas, const TFigures &f, float y)
{
    const float middle = y + kRowHeight / 2, bottom = y + kRowHeight;
    DrawBoxText(Canvas, QString::number(f.Count), 1, kColumns[4], y, kColumns[5], bottom, 0);
    if (!f.HasStandard)
        return;
    for (int b = 0; b < 4; ++b) {
        const float left = kColumns[5 + b], right = kColumns[6 + b] - 0.15f;
        DrawBoxText(Canvas, QString::number(f.Bands[b]), 2, left, y, right, middle, 0);
        const QString share = TToleranceShares::ShareText(f.Bands[b], f.Count);
        if (!share.isEmpty())
            DrawBoxText(Canvas, u'(' + share + u"%)"_s, 2, left, middle, right, bottom, 0);
    }
}

void DrawRecordRow(TPageCanvas *Canvas, const TToleranceRow &row, float y)
{
    const float middle = y + kRowHeight / 2, bottom = y + kRowHeight;
    DrawFitText(Canvas, row.Kosyumei.trimmed(), 0, kColumns[0] + 0.1f, y, kColumns[1] - 0.05f, bottom, 0);
    DrawFitText(Canvas, row.Koukumei.trimmed(), 0, kColumns[1] + 0.1f, y, kColumns[2] - 0.05f, bottom, 0);
    DrawFitText(Canvas, row.SokuteiKoumoku.trimmed(), 1, kColumns[2] + 0.05f, y, kColumns[3] - 0.05f, bottom, 0);
    if (row.Shares.HasStandard()) {
        DrawFitText(Canvas, row.StandardText.trimmed(), 1, kColumns[3] + 0.05f, y, kColumns[4] - 0.05f, middle, 0);
        DrawBoxText(Canvas, u'(' + row.SaTanni.trimmed() + u')', 1, kColumns[3], middle, kColumns[4], bottom, 0);
    } else {
        DrawBoxText(Canvas, u"規格値なし"_s, 1, kColumns[3], y, kColumns[4], bottom, 0);
    }
    DrawFigures(Canvas, FiguresOf(row.Shares), y);
}

QString CsvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}
} // namespace

QList<TToleranceRow> ToleranceRows(const QString &KojiCode)
{
    QList<TToleranceRow> rows;
    // A data folder may hold headers before its first line was written.
    TKelmo4Line().CreateTableIfMissing();
    TKelmo4Head head;
    for (const int id : TorimatomeRecordIds(KojiCode)) {
        head.LoadByID(id);
        const TKikakuti4 &k = *head.Kikakuti;
        TToleranceRow row;
        row.ID = head.ID;
        row.Kosyumei = head.Kosyu->Kosyumei;
        row.Koukumei = RecordHasSection(head.Kouku->Koukumei) ? head.Kouku->Koukumei : QString();
        row.SokuteiKoumoku = head.SokuteiKoumoku;
        row.Upper = k.KikakutiU1.trimmed();
        row.Lower = k.KikakutiD1.trimmed();
        row.SaTanni = head.SaTanni;
        row.StandardText = TDekigataTorimatome::LimitRangeText(k.KikakutiU1, k.KikakutiD1, head.SaTanni);
        row.Shares = TToleranceShares(head.SaTanni, k.KikakutiU1, k.KikakutiD1, k.KikakutiU2, k.KikakutiD2);
        for (const TKel4LineRow &line : head.Lines())
            row.Shares.AddLine(line);
        rows.append(row);
    }
    return rows;
}

void PrintToleranceSheet(TPrevX *Prev, const QString &KojiCode)
{
    PrintOffsetX = -1.7f;
    PrintOffsetY = -2.3f;
    SetPaper(u"A4"_s, u"PORT"_s);
    TKoji koji;
    koji.LoadByCode(KojiCode);
    const QList<TToleranceRow> rows = ToleranceRows(KojiCode);

    // The total takes the records that have a standard: the others have no bands.
    TFigures total;
    int withoutStandard = 0;
    for (const TToleranceRow &row : rows) {
        if (!row.Shares.HasStandard()) {
            ++withoutStandard;
            continue;
        }
        const TFigures f = FiguresOf(row.Shares);
        total.Count += f.Count;
        for (int b = 0; b < 4; ++b)
            total.Bands[b] += f.Bands[b];
    }

    const auto startPage = [&] {
        TPageCanvas *Canvas = Prev->Canvas();
        DrawFormItems(Canvas, kFrame);
        Canvas->Font().SetSize(10);
        DrawFitText(Canvas, u"工事名　"_s + koji.Kojimei, 0, 0, 0.8f, 11.0f, 1.4f, 0);
        DrawFitText(Canvas, u"請負者　"_s + koji.Ukeoisya->Ukeoisyamei, 2, 11.2f, 0.8f, kRight, 1.4f, 0);
        if (withoutStandard > 0)
            DrawBoxText(Canvas, u"合計は規格値のある記録の差を数えています（規格値なし %1 件を除く）。"_s.arg(withoutStandard),
                        0, 0, kTableBottom + 0.1f, kRight, kTableBottom + 0.6f, 0);
    };
    RunPages(Prev, int(rows.size()) + 1, kRowsPerPage, startPage, [&](int index, int slot) {
        TPageCanvas *Canvas = Prev->Canvas();
        const float y = kFirstRowTop + kRowHeight * float(slot);
        if (index < rows.size()) {
            DrawRecordRow(Canvas, rows.at(index), y);
            return;
        }
        Canvas->Pen().SetWidth(3);
        DrawLine(Canvas, 0, y, kRight, y);
        Canvas->Pen().SetWidth(1);
        DrawBoxText(Canvas, u"合計"_s, 1, kColumns[0], y, kColumns[1], y + kRowHeight, 0);
        DrawFigures(Canvas, total, y);
    });
}

void DrawToleranceDocument(TPrevX *Prev, const QString &KojiCode)
{
    SetPaper(u"A4"_s, u"PORT"_s);
    Prev->SetFileTitle(DocumentFileTitle({KojiCode, u"ばらつき集計表"_s}));
    Prev->BeginDoc();
    PrintToleranceSheet(Prev, KojiCode);
    Prev->EndDoc();
}

void ExportToleranceSheet(TPrevX *Prev, const QString &KojiCode)
{
    CheckProjectRegistered(KojiCode);
    DrawToleranceDocument(Prev, KojiCode);
}

void PreviewToleranceSheet(QWidget *Owner, const QString &KojiCode)
{
    TfrmPreView preview(Owner);
    DrawToleranceDocument(preview.PrevX1, KojiCode);
    preview.exec();
}

QByteArray ToleranceCsv(const QString &KojiCode)
{
    QString text = u"ID,工種,工区,測定項目,上限規格値,下限規格値,測定数,50%以内,80%以内,規格値以内,規格値外,50%以内率,80%以内率\r\n"_s;
    for (const TToleranceRow &row : ToleranceRows(KojiCode)) {
        const TToleranceShares &s = row.Shares;
        QStringList fields = {QString::number(row.ID), CsvField(row.Kosyumei.trimmed()), CsvField(row.Koukumei.trimmed()),
                              CsvField(row.SokuteiKoumoku.trimmed()), CsvField(row.Upper), CsvField(row.Lower),
                              QString::number(s.Count())};
        if (s.HasStandard()) {
            fields << QString::number(s.Within50()) << QString::number(s.Within80())
                   << QString::number(s.WithinStandard()) << QString::number(s.Outside())
                   << TToleranceShares::ShareText(s.Within50(), s.Count())
                   << TToleranceShares::ShareText(s.Within80(), s.Count());
        } else {
            fields << QString() << QString() << QString() << QString() << QString() << QString();
        }
        text += fields.join(u',') + u"\r\n"_s;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
