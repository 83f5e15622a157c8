#include "charts/uSummaryFigure.h"

#include "app/uCommon.h"
#include "charts/uChartDraw.h"
#include "charts/uuPrintDekigata.h"
#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr float kAxisLeft = 3.3f;
constexpr float kAxisRight = 14.9f;
constexpr float kAxisTop = 8.9f;
constexpr float kBase = 20.0f;
// Where a label may move to: right of the count axis, inside the frame, above the footer.
const QRectF kFrame(QPointF(kAxisLeft, kAxisTop), QPointF(17.1, 21.8));

constexpr const char16_t *kNotes[] = {
    u"イ　路床・路盤・舗装体各層の設計値と測定値とのずれの差を記入する。",
    u"ロ　この図は、受注者測定の最終結果を整理したもののみを記入する。",
    u"ハ　下の図には、算術平均値を記入する。",
};

void DrawFixedParts(TPageCanvas *c, const TKelmo4Head &Head)
{
    c->Pen().SetWidth(3);
    DrawBox(c, 0, 0, 17.1f, 25.2f);
    c->Font().SetSize(20);
    DrawBoxText(c, u"でき形測定取りまとめ図"_s, 3, 4.5f, 1.9f, 12.6f, 2.5f, 0);
    c->Font().SetSize(11);
    if (!NotesOmitted()) {
        DrawBoxText(c, u"記入要領"_s, 3, 2.2f, 3.4f, 4.3f, 3.8f, 0);
        for (int n = 1; n <= 3; ++n) {
            const float top = 3.4f + 0.65f * n;
            DrawBoxText(c, QString::fromUtf16(kNotes[n - 1]), 0, 2.4f, top, 17.1f, top + 0.4f, 0);
        }
    }
    c->Pen().SetWidth(1);
    DrawBox(c, 3.3f, 6.5f, 9.4f, 7.95f);
    DrawLine(c, 4.8f, 6.5f, 4.8f, 7.95f);
    DrawBoxText(c, u"工種名"_s, 4, 3.3f, 6.5f, 4.8f, 7.95f, 0);
    QString kosyu = Head.Kosyu->Kosyumei;
    // The section stands on a second line, in brackets.
    if (HasSection(Head.Kouku->Koukumei))
        kosyu += u"\\\\("_s + Head.Kouku->Koukumei.trimmed() + u')';
    DrawBoxText(c, kosyu, 4, 4.8f, 6.5f, 9.4f, 7.95f, 0);
    DrawBoxText(c, Head.SokuteiKoumoku + u"のでき形測定"_s, 0, 10, 6.5f, 17.1f, 7.95f, 0);
    DrawLine(c, kAxisLeft, kAxisTop, kAxisLeft, kBase);
    DrawLine(c, kAxisLeft, kBase, kAxisRight, kBase);
    DrawBoxText(c, u"回数"_s, 3, 1.8f, 12.3f, 2.3f, 16.1f, 1);
}

void DrawFooter(TPageCanvas *c, const TKelmo4Head &Head, const QList<TKel4LineRow> &lines)
{
    SetPenAndFont(c, clBlack);
    const int count = RecordFigures::DiffCount(lines);
    const QString sum = ShortText(RoundTo(1, RecordFigures::DiffSum(lines)));
    const QString average = RecordFigures::AverageDiffText(lines, Head.Units());
    DrawBoxText(c, u"設計値とのずれの差（"_s + Head.SaTanni + u"）"_s, 0, 5.1f, 21.8f, 11, 22.3f, 0);
    DrawBoxText(c, u"測定数 "_s + QString::number(count), 0, 5.1f, 22.6f, 7.5f, 23.1f, 0);
    DrawBoxText(c, u"差     "_s + sum, 0, 5.1f, 23.4f, 7.5f, 23.9f, 0);
    DrawBoxText(c, u"∴ずれの差の平均＝"_s, 0, 7.5f, 23.4f, 12, 23.9f, 0);
    DrawBoxText(c, sum, 1, 11, 23.15f, 12.2f, 23.65f, 0);
    DrawLine(c, 11, 23.65f, 12.1f, 23.65f);
    DrawBoxText(c, QString::number(count), 1, 11, 23.65f, 12.2f, 24.15f, 0);
    DrawBoxText(c, average + u' ' + Head.SaTanni, 0, 12.2f, 23.4f, 16, 23.9f, 0);
}
} // namespace

void DrawSummaryFigure(TPrevX *Prev, const TKelmo4Head &Head)
{
    PrintOffsetX = -1.95f;
    PrintOffsetY = -2.25f;
    TPageCanvas *c = Prev->Canvas();
    StartChartPage(c);
    const QList<TKel4LineRow> lines = Head.Lines();

    DrawFixedParts(c, Head);
    const QString message = PlotMessage(Head.Bunpu, HasNumericDifference(lines, Head.Yosiki != 0));
    if (!message.isEmpty()) {
        DrawPlotMessage(c, message, kAxisLeft, kAxisTop, kAxisRight, kBase);
        DrawFooter(c, Head, lines);
        return;
    }

    const double f = UnitFactor(Head.SaTanni);
    const double width = Head.Bunpu.trimmed().toDouble();
    THistogramCounts counts = CountClasses(lines, Head.Yosiki, f, width);
    // The classes of the standard values belong to the drawn range, without a bar.
    for (const QString *limit : {&Head.Kikakuti->KikakutiU1, &Head.Kikakuti->KikakutiD1, &Head.Kikakuti->KikakutiU2,
                                 &Head.Kikakuti->KikakutiD2}) {
        const int k = ClassOf(TextToFloat(*limit), width);
        if (counts[k] == 0)
            counts[k] = -1;
    }
    int first = 18;
    int last = -18;
    int top = 0;
    for (int k = -18; k <= 18; ++k) {
        if (counts[k] != 0) {
            first = std::min(first, k);
            last = std::max(last, k);
        }
        top = std::max(top, counts[k]);
    }
    const int n = last - first + 1;
    const double g = std::min(10.0 / top, 1.0);
    const double h = std::min(10.0 / n, 1.0);
    const double left = (11.6 - n * h) / 2 + 3.3;
    auto classX = [&](int k) { return float((k - first) * h + left); };
    auto valueX = [&](double mm) { return float((mm / width - first) * h + left + h / 2); };

    c->Pen().SetColor(clBlack);
    c->Brush().SetStyle(TBrushStyle::Solid);
    for (int k = first; k <= last; ++k) {
        if (counts[k] <= 0)
            continue;
        const float x = classX(k);
        const float y = float(kBase - counts[k] * g);
        c->Brush().SetColor(ClassColor(k));
        FillBox(c, x, y, x + float(h), kBase);
        DrawBox(c, x, y, x + float(h), kBase);
        DrawBoxText(c, ShortText(width * k / f), 1, x - 0.5f, kBase, x + float(h) + 0.5f, kBase + 0.5f, 0);
        DrawBoxText(c, QString::number(counts[k]), 1, x - 0.5f, y - 0.5f, x + float(h) + 0.5f, y, 0);
    }
    c->Brush().SetColor(clWhite);

    const int step = int(std::trunc(RoundTo(0, 1 / g)));
    for (int j = 0;; j += step) {
        const float y = float(kBase - j * g);
        DrawLine(c, 3.2f, y, kAxisLeft, y);
        DrawBoxText(c, QString::number(j), 2, 2.3f, y - 0.5f, 3.1f, y + 0.5f, 0);
        if (y < 10)
            break;
    }

    const double a = TextToFloat(RecordFigures::AverageDiffText(lines, Head.Units()));
    // An average beyond the drawn classes stands at the end, as the standard lines do.
    const float ax = std::clamp(valueX(a * f), 3.8f, 14.4f);
    SetPenAndFont(c, LineColor(TLineColor::Average));
    DrawLine(c, ax, kBase, ax, 9.5f);
    DrawLine(c, ax, 9.5f, ax + 2, 9.5f);
    // Its text stays inside the frame.
    const QString averageText = QChar(kAverageSign) + u'=' + ShortText(a) + u'(' + Head.SaTanni + u')';
    const float shift = std::max(0.0f, ax + TextWidthCm(c, averageText) + 0.05f - 17.1f);
    DrawBoxText(c, averageText, 0, ax - shift, 9, ax + 3 - shift, 9.5f, 0);

    TWrittenOnce written;
    for (const TChartLine &line : StandardLines(*Head.Kikakuti, TLineForm::SummaryFigure)) {
        if (!line.Drawn())
            continue;
        const float x = std::clamp(valueX(line.Mm()), 3.8f, 14.4f);
        SetPenAndFont(c, LineColor(line.Color));
        DrawLine(c, x, kBase, x, 10);
        if (line.No % 2 == 0)
            DrawClearOf(c, {line.Label, 4, x, 11, x + 0.5f, 19, 1, 0}, kFrame, true, false);
        else
            DrawClearOf(c, {line.Label, 4, x - 0.5f, 11, x, 19, 1, 0}, kFrame, true, false);
        // Two lines of one value write it once.
        const TChartText value{ShortText(line.Mm() / f), 1, x - 1, 20.5f, x + 1, 21, 0, 0};
        if (written.First(value))
            DrawClearOf(c, value, kFrame);
    }

    DrawFooter(c, Head, lines);
}
