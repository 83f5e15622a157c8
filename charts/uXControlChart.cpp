#include "charts/uXControlChart.h"

#include "app/uCommon.h"
#include "charts/uChartDraw.h"
#include "charts/uuPrintDekigata.h"
#include "measure/uKelmo4Head.h"
#include "printing/PageCanvas.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kColumnsPerPage = 20;
constexpr float kPlotLeft = 3.1f;
constexpr float kPlotRight = 23.9f;
constexpr float kPlotTop = 3.8f;
constexpr float kPlotBottom = 11.2f;
// Where labels of the lines may move to: the column left of the plot, and the plot.
const QRectF kLabelColumn(QPointF(0.2, kPlotTop), QPointF(kPlotLeft, kPlotBottom));
const QRectF kPlotArea(QPointF(kPlotLeft, kPlotTop), QPointF(kPlotRight, kPlotBottom));

struct TRule
{
    float X1, Y1, X2, Y2;
};

constexpr TRule kRules[] = {
    {0.2f, 1.7f, 17.2f, 1.7f}, {19, 1.7f, 23.9f, 1.7f},   {0.2f, 2.4f, 23.9f, 2.4f},  {1.8f, 3.1f, 8.8f, 3.1f},
    {9.5f, 3.1f, 17.2f, 3.1f}, {0.2f, 3.8f, 23.9f, 3.8f}, {1.8f, 2.4f, 1.8f, 3.8f},   {3.1f, 1, 3.1f, 13.3f},
    {8.8f, 1.7f, 8.8f, 3.8f},  {9.5f, 2.4f, 9.5f, 3.8f},  {11.2f, 1.7f, 11.2f, 3.8f}, {17.2f, 1, 17.2f, 3.8f},
    {19, 1, 19, 2.4f},         {20, 1, 20, 3.8f},         {0.2f, 11.2f, 23.9f, 11.2f}, {0.2f, 11.9f, 23.9f, 11.9f},
    {0.2f, 12.6f, 23.9f, 12.6f},
};

struct TFixedText
{
    const char16_t *Text;
    int Size;
    int Align;
    float Left, Right, Top, Bottom;
    int Vertical;
};

constexpr TFixedText kTexts[] = {
    {u"名称", 11, 4, 0.2f, 3.1f, 1, 1.7f, 0},
    {u"品質特性", 11, 4, 0.2f, 3.1f, 1.7f, 2.4f, 0},
    {u"規格\\\\限界", 11, 4, 0.2f, 1.8f, 2.4f, 3.8f, 0},
    {u"最大\\\\最小", 11, 4, 1.8f, 3.1f, 2.4f, 3.8f, 0},
    {u"測定単位", 11, 4, 8.8f, 11.2f, 1.7f, 2.4f, 0},
    {u"試料", 11, 4, 8.8f, 9.5f, 2.4f, 3.8f, 1},
    {u"大きさ\\\\間隔", 11, 4, 9.5f, 11.2f, 2.4f, 3.8f, 0},
    {u"期間", 11, 4, 17.2f, 19, 1, 2.4f, 0},
    {u"自\\\\至", 11, 1, 19, 20, 1, 2.4f, 0},
    {u"測定者", 11, 4, 17.2f, 20, 2.4f, 3.8f, 0},
    {u"測点", 11, 4, 0.2f, 3.1f, 11.2f, 11.9f, 0},
    {u"月日", 11, 4, 0.2f, 3.1f, 11.9f, 12.6f, 0},
    {u"記事", 11, 4, 0.2f, 3.1f, 12.6f, 13.3f, 0},
};

bool IsMultiple(int k, int of)
{
    return k % of == 0;
}

void SetGridPen(TPageCanvas *Canvas, int k)
{
    SetPenWidthMm(Canvas, IsMultiple(k, 10) ? 0.3f : IsMultiple(k, 5) ? 0.2f : 0.1f);
}

// Where a label of the left column may end: at 2.5, or short of a tick label beside it.
float LabelColumnEnd(TPageCanvas *c, const QList<TChartTick> &ticks, float top, float bottom)
{
    const TChartConstants &constants = ChartConstants(TChartKind::XChart);
    float end = 2.5f;
    for (const TChartTick &tick : ticks) {
        if (tick.Label.isEmpty())
            continue;
        const float h = TextHeightCm(c, tick.Label);
        const float y = float(tick.Y);
        if (y + h / 2 <= top || y - h / 2 >= bottom)
            continue;
        end = std::min(end, float(constants.LabelRight) - TextWidthCm(c, tick.Label) - 0.05f);
    }
    return end;
}

// Header values, ticks and the horizontal lines of one page.
void DrawPageHeader(TPageCanvas *c, const TKelmo4Head &Head, const TChartScale &Scale, const QString &Period,
                    const QString &AverageText, bool Plot, TLabelPlacer &Placer)
{
    const double f = UnitFactor(Head.SaTanni);
    c->Font().SetSize(11);
    const QString name = Head.Kosyu->Kosyumei + u"の出来形"_s;
    const float width = TextWidthCm(c, name);
    if (width <= 13.1f)
        DrawBoxText(c, name, 0, 4.1f, 1, 17.2f, 1.7f, 0);
    else
        DrawScaledText(c, 0, int(std::trunc(13.1 / width * 100)), 4.1f, 1.35f - TextHeightCm(c, name) / 2, name);
    DrawBoxText(c, WithSection(Head.SokuteiKoumoku, Head.Kouku->Koukumei), 0, 4.1f, 1.7f, 8.8f, 2.4f, 0);
    if (IsFloatText(Head.Kikakuti->KikakutiU1))
        DrawBoxText(c, ShortText(Head.Kikakuti->KikakutiU1.toDouble() / f), 1, 3.1f, 2.4f, 8.8f, 3.1f, 0);
    if (IsFloatText(Head.Kikakuti->KikakutiD1))
        DrawBoxText(c, ShortText(Head.Kikakuti->KikakutiD1.toDouble() / f), 1, 3.1f, 3.1f, 8.8f, 3.8f, 0);
    DrawBoxText(c, Head.SaTanni, 1, 11.2f, 1.7f, 17.2f, 2.4f, 0);
    DrawBoxText(c, Head.Simei->Simei, 4, 20, 2.4f, 23.9f, 3.8f, 0);
    const qsizetype colon = Period.indexOf(u':');
    DrawBoxText(c, colon < 0 ? Period : Period.left(colon), 1, 20, 1, 23.9f, 1.7f, 0);
    DrawBoxText(c, colon < 0 ? QString() : Period.mid(colon + 1), 1, 20, 1.7f, 23.9f, 2.4f, 0);

    c->Font().SetSize(10);
    if (Plot) {
        DrawChartTicks(c, Scale, Head.Bunpu, ChartConstants(TChartKind::XChart));
        const QList<TChartTick> ticks = ChartTicks(Scale, Head.Bunpu, ChartConstants(TChartKind::XChart));
        c->Pen().SetWidth(5);
        for (const TChartLine &line : StandardLines(*Head.Kikakuti, TLineForm::XChart)) {
            if (!line.Drawn())
                continue;
            const float y = float(Scale.YOfMm(line.Mm()));
            // A mirrored line may lie beyond the range the scale was made for.
            if (y < kPlotTop || y > kPlotBottom)
                continue;
            SetPenAndFont(c, LineColor(line.Color));
            DrawLine(c, kPlotLeft, y, kPlotRight, y);
            const QString label = line.Label + u' ' + ShortText(line.Mm() / f);
            if (line.No <= 3) {
                // Only the labels of the left column take room there.
                const float h = TextHeightCm(c, label);
                const auto [top, bottom] = Placer.Place(y - h / 2, y + h / 2);
                const float w = TextWidthCm(c, label);
                const float end = LabelColumnEnd(c, ticks, top, bottom);
                TChartText text{label, 2, 0.2f, top, end, bottom, 0, 0};
                if (!(w < end - 0.2f))
                    text.WidthPercent = int(std::trunc((end - 0.2) / w * 100));
                DrawClearOf(c, text, kLabelColumn);
            } else {
                DrawClearOf(c, {label, 2, 0.2f, y - 0.25f, 23.8f, y + 0.25f, 0, 0}, kPlotArea);
            }
        }
        const float y = float(Scale.YOfDifference(TextToFloat(AverageText)));
        SetPenAndFont(c, LineColor(TLineColor::Average));
        DrawLine(c, kPlotLeft, y, kPlotRight, y);
        const QString label = u"平均値 "_s + AverageText;
        const float h = TextHeightCm(c, label);
        const auto [top, bottom] = Placer.Place(y - h / 2, y + h / 2);
        // Centred in the column, moved left just as far as a tick label beside it needs, and
        // no further than the column's left edge.
        const float w = TextWidthCm(c, label);
        const float overlap = std::clamp(1.35f + w / 2 - LabelColumnEnd(c, ticks, top, bottom), 0.0f,
                                         std::max(0.0f, 1.35f - w / 2 - 0.25f));
        DrawClearOf(c, {label, 1, 0.2f - overlap, top, 2.5f - overlap, bottom, 0, 0}, kLabelColumn);
    }
    c->Pen().SetWidth(3);
    c->Font().SetColor(clBlack);
    if (Head.Yosiki == 0) {
        const auto &series = ChartSeries();
        for (int n = 0; n < 3; ++n) {
            const float x = 3.0f * n + 4;
            c->Pen().SetColor(LineColor(series[std::size_t(n)].Color));
            DrawPatternLine(c, series[std::size_t(n)].Pattern, x, 12.95f, x + 1, 12.95f);
            DrawBoxText(c, QString::fromUtf16(series[std::size_t(n)].Legend), 1, x + 1, 12.6f, x + 2, 13.3f, 0);
        }
    }
    c->Pen().SetColor(clBlack);
}
} // namespace

void DrawXChartFrame(TPageCanvas *Canvas, double ZeroY)
{
    TPageCanvas *c = Canvas;
    c->Pen().SetStyle(TPenStyle::Solid);
    c->Brush().SetStyle(TBrushStyle::Solid);
    const double zeroY = (ZeroY < 3.8 || ZeroY > 11.2) ? 7.5 : ZeroY;
    c->Pen().SetColor(LineColor(TLineColor::Grid));
    for (int i = 38; i <= 112; ++i) {
        SetGridPen(c, int(std::trunc(i - RoundTo(1, zeroY * 10))));
        DrawLine(c, kPlotLeft, i / 10.0f, kPlotRight, i / 10.0f);
    }
    for (int i = 31; i <= 239; ++i) {
        SetGridPen(c, i);
        DrawLine(c, i / 10.0f, kPlotTop, i / 10.0f, kPlotBottom);
    }

    c->Pen().SetColor(clBlack);
    c->Pen().SetWidth(4);
    DrawBox(c, 0, 0, 24.1f, 13.5f);
    c->Pen().SetWidth(2);
    DrawBox(c, 0.2f, 1, 23.9f, 13.3f);
    c->Pen().SetWidth(1);
    for (const TRule &r : kRules)
        DrawLine(c, r.X1, r.Y1, r.X2, r.Y2);

    c->Font().SetColor(clBlack);
    c->Font().SetSize(17);
    DrawBoxText(c, u"Ｘ管理図"_s, 1, 0, 0, 24.1f, 1, 0);
    for (const TFixedText &t : kTexts) {
        c->Font().SetSize(t.Size);
        DrawBoxText(c, QString::fromUtf16(t.Text), t.Align, t.Left, t.Top, t.Right, t.Bottom, t.Vertical);
    }
    DrawCircle(c, 23.65f, 3.45f, 0.2f);
    c->Font().SetSize(8);
    DrawBoxText(c, u"印"_s, 1, 23.4f, 3.1f, 23.9f, 3.8f, 0);

    if (!NotesOmitted()) {
        c->Font().SetSize(11);
        DrawBoxText(c, u"注）イ．記事欄には、施工管理基準に定められた事項、異常原因、その他必要事項を記入する。"_s, 0,
                    0.5f, 13.6f, 24.1f, 14.2f, 0);
        DrawBoxText(c, u"　　ロ．管理図は、仕様書による規格限界線を朱書きで記入する。"_s, 0, 0.5f, 14.2f, 24.1f, 14.8f,
                    0);
    }
}

void DrawXControlChart(TPrevX *Prev, const TKelmo4Head &Head)
{
    PrintOffsetX = -2.8f;
    PrintOffsetY = -3.1f;
    TPageCanvas *c = Prev->Canvas();
    StartChartPage(c);
    TLabelPlacer placer;

    const QList<TKel4LineRow> lines = Head.Lines();
    if (lines.isEmpty())
        return;
    const TChartConstants &constants = ChartConstants(TChartKind::XChart);
    const TValueRange range = ValueRange(Head, lines, constants);
    const QString period = RecordFigures::DateRangeText(lines);
    const QString average = RecordFigures::AverageDiffText(lines, Head.Units());
    const TChartScale scale = ChartScale(range.Max, range.Min, UnitFactor(Head.SaTanni), constants);
    const QString message = PlotMessage(Head.Bunpu, range.HasData);
    TSeriesPlotter plotter(scale);

    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int i = int(n % kColumnsPerPage);
        const TKel4LineRow &line = lines[n];
        if (i == 0) {
            if (n > 0) {
                Prev->NewPage();
                c = Prev->Canvas();
                StartChartPage(c);
            }
            DrawXChartFrame(c, scale.ZeroY);
            plotter.Restart();
            // Labels meet only labels of their own page.
            placer.Clear();
            DrawPageHeader(c, Head, scale, period, average, message.isEmpty(), placer);
            if (!message.isEmpty())
                DrawPlotMessage(c, message, kPlotLeft, kPlotTop, kPlotRight, kPlotBottom);
        }
        const float x = float(i + 4);
        c->Font().SetColor(clBlack);
        QString station = line.Cell(1);
        if (!line.Cell(2).isEmpty())
            station += u'(' + line.Cell(2) + u')';
        const int size = c->Font().Size();
        if (TextWidthCm(c, station) > 2)
            c->Font().SetSize(8);
        const float y0 = i % 2 == 0 ? 11.2f : 11.55f;
        DrawFitText(c, station, 1, x - 1, y0, x + 1, y0 + 0.35f, 0);
        c->Font().SetSize(size);
        if (message.isEmpty())
            plotter.Plot(c, x, line);
        const QString date = StationDateText(line.Cell(12));
        if (!date.isEmpty())
            DrawBoxText(c, date, 1, x - 1, 11.9f, x + 1, 12.6f, 0);
        if (i == kColumnsPerPage - 1 && message.isEmpty())
            plotter.RedrawLastPoints(c, x);
    }
}
