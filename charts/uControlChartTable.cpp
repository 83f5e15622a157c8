#include "charts/uControlChartTable.h"

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

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kColumnsPerPage = 20;
constexpr float kPlotLeft = 3.8f;
constexpr float kPlotRight = 24.3f;
constexpr float kPlotTop = 6.8f;
constexpr float kPlotBottom = 13.5f;

constexpr const char16_t *kNotes[4][2] = {
    {u"注１.工種名は、土工（盛土）杭工（コンクリート杭）コンクリート擁壁工等と記入する。",
     u"４.月日は当該測点番号の測定月日を記入する。"},
    {u"　２.特性は、基準高出来形管理図表、厚さ出来形管理図表、幅出来形管理図表と記入する。",
     u"５.設計値との差の単位を定め目盛に数値を記入する。"},
    {u"　３.番号は、ＳＴＡ又はロット番号をあらかじめ定め、起点から終点に向かって順序に記",
     u"６.図表には許容範囲の線を朱書きで記入する。"},
    {u"　　 入しておく。", u"７.記事には手直しの処置等を記入する。"},
};

void SetPenMm(TPageCanvas *Canvas, bool heavy, bool medium)
{
    SetPenWidthMm(Canvas, heavy ? 0.3f : medium ? 0.2f : 0.1f);
}

// Where the leader of a line turns down to its label.
float LeaderX(int no)
{
    static const float x[] = {1.2f, 1.2f, 1.6f, 1.6f, 2.0f, 2.0f, 2.4f, 2.4f, 2.8f};
    return x[no];
}

// The band under the plot that holds the labels, to the bottom of the frame.
const QRectF kLabelBand(QPointF(0, 13), QPointF(kPlotLeft, 14.4));

// A label under its leader, in a smaller size where it would run out of the frame; the
// upper and lower line of a pair share their leader and one label.
void DrawLineLabel(TPageCanvas *c, const TChartText &label, TWrittenOnce &written)
{
    if (!written.First(label))
        return;
    InitPrintScale();
    const int size = c->Font().Size();
    const int bottom = PrintPixelY(float(kLabelBand.bottom()));
    while (c->Font().Size() > 5) {
        const QList<QRect> boxes = ChartTextBoxes(c, label);
        if (boxes.isEmpty() || boxes.last().bottom() < bottom)
            break;
        c->Font().SetSize(c->Font().Size() - 1);
    }
    DrawClearOf(c, label, kLabelBand, true, false);
    c->Font().SetSize(size);
}

void DrawPageHeader(TPageCanvas *c, const TKelmo4Head &Head, const TChartScale &Scale, const QString &AverageText,
                    bool Plot)
{
    c->Font().SetSize(16);
    DrawBoxText(c, u"出来形管理図表"_s, 4, 8.7f, 0.2f, 15.5f, 1.2f, 0);
    c->Font().SetSize(11);
    DrawProjectAndContractor(c, Head);
    DrawBoxText(c, WithSection(Head.Kosyu->Kosyumei, Head.Kouku->Koukumei) + u"の"_s + Head.SokuteiKoumoku, 0, 3.3f,
                3.5f, 12.4f, 4, 0);
    DrawBoxText(c, Head.Simei->Simei.trimmed(), 4, 19.5f, 3.5f, 23.5f, 4, 0);

    c->Font().SetSize(10);
    if (Plot) {
        DrawChartTicks(c, Scale, Head.Bunpu, ChartConstants(TChartKind::TableChart));
        c->Pen().SetWidth(5);
        QList<TChartLine> lines = StandardLines(*Head.Kikakuti, TLineForm::TableChart);
        const double f = UnitFactor(Head.SaTanni);
        lines.append({8, FormatGeneral(TextToFloat(AverageText) * f), u"平均値"_s, TLineColor::Average, true});
        TWrittenOnce written;
        for (const TChartLine &line : lines) {
            if (!line.Drawn())
                continue;
            const float y = float(Scale.YOfMm(line.Mm()));
            // A mirrored line may lie beyond the range the scale was made for.
            if (y < kPlotTop || y > kPlotBottom)
                continue;
            SetPenAndFont(c, LineColor(line.Color));
            DrawLine(c, kPlotLeft, y, kPlotRight, y);
            const float r = LeaderX(line.No);
            DrawLine(c, r, y, kPlotLeft, y);
            DrawLine(c, r, y, r, 13);
            DrawLineLabel(c, {line.Label, 0, r - 0.2f, 13, r + 0.2f, 14.5f, 1, 0}, written);
        }
    }
    c->Font().SetColor(clBlack);
    c->Pen().SetWidth(3);
    if (Head.Yosiki == 0) {
        const auto &series = ChartSeries();
        for (int n = 0; n < 3; ++n) {
            const float x = 3.0f * n + 4.8f;
            c->Pen().SetColor(LineColor(series[std::size_t(n)].Color));
            DrawPatternLine(c, series[std::size_t(n)].Pattern, x, 14, x + 1, 14);
            DrawBoxText(c, QString::fromUtf16(series[std::size_t(n)].Legend), 1, x + 1, 13.5f, x + 2, 14.5f, 0);
        }
    }
    c->Pen().SetColor(clBlack);
}
} // namespace

void DrawChartTableFrame(TPageCanvas *Canvas, const QString &UnitText, double ZeroY)
{
    TPageCanvas *c = Canvas;
    c->Pen().SetWidth(1);
    c->Pen().SetColor(clBlack);
    c->Font().SetColor(clBlack);
    c->Font().SetSize(11);
    DrawBoxText(c, u"様式(2-2)"_s, 0, 0, 0, 3, 0.5f, 0);
    DrawNameHeaderFrame(c);

    c->Pen().SetColor(LineColor(TLineColor::Grid));
    const double zeroRow = RoundTo(1, ZeroY * 10);
    for (int i = 68; i <= 135; ++i) {
        const int k = int(std::trunc(i - zeroRow));
        SetPenMm(c, k % 10 == 0, k % 5 == 0);
        DrawLine(c, kPlotLeft, i / 10.0f, kPlotRight, i / 10.0f);
    }
    for (int i = 38; i <= 243; ++i) {
        SetPenMm(c, (i + 5) % 10 == 0, i % 5 == 0);
        DrawLine(c, i / 10.0f, kPlotTop, i / 10.0f, kPlotBottom);
    }

    c->Pen().SetColor(clBlack);
    c->Pen().SetWidth(3);
    DrawBox(c, 0, 4.6f, 24.3f, 14.4f);
    c->Pen().SetWidth(1);
    DrawLine(c, 3.8f, 4.6f, 3.8f, 14.4f);
    DrawBox(c, 0, 5.7f, 24.3f, 6.8f);
    DrawLine(c, 3.8f, 13.5f, 24.3f, 13.5f);

    // The row labels keep the notes' size whether or not the notes are printed.
    c->Font().SetSize(10);
    if (!NotesOmitted()) {
        for (int r = 0; r < 4; ++r) {
            const float top = 14.5f + 0.5f * r;
            DrawBoxText(c, QString::fromUtf16(kNotes[r][0]), 0, 0, top, 14.8f, top + 0.5f, 0);
            DrawBoxText(c, QString::fromUtf16(kNotes[r][1]), 0, 14.8f, top, 24.3f, top + 0.5f, 0);
        }
    }
    DrawBoxText(c, u"測点番号"_s, 4, 0, 4.6f, 3.8f, 5.7f, 0);
    DrawBoxText(c, u"月日"_s, 4, 0, 5.7f, 3.8f, 6.8f, 0);
    DrawBoxText(c, u"設計値との差"_s, 3, 0, 8, 1, 11.8f, 1);
    DrawBoxText(c, u'(' + UnitText + u')', 1, 0, 11.8f, 1, 12.8f, 0);
}

void DrawControlChartTable(TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    const QString unitText = Weight ? u"t"_s : Head.SaTanni;
    PrintOffsetX = -2.7f;
    PrintOffsetY = -2.0f;
    TPageCanvas *c = Prev->Canvas();
    StartChartPage(c);

    const QList<TKel4LineRow> lines = Head.Lines();
    if (lines.isEmpty())
        return;
    const TChartConstants &constants = ChartConstants(TChartKind::TableChart);
    const TValueRange range = ValueRange(Head, lines, constants);
    const TChartScale scale = ChartScale(range.Max, range.Min, UnitFactor(Head.SaTanni), constants);
    const QString average = RecordFigures::AverageDiffText(lines, Head.Units());
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
            DrawChartTableFrame(c, unitText, scale.ZeroY);
            plotter.Restart();
            DrawPageHeader(c, Head, scale, average, message.isEmpty());
            if (!message.isEmpty())
                DrawPlotMessage(c, message, kPlotLeft, kPlotTop, kPlotRight, kPlotBottom);
        }
        const float x = i + 4.5f;
        c->Font().SetColor(clBlack);
        const float y0 = i % 2 == 0 ? 4.6f : 5.15f;
        DrawFitText(c, line.Cell(1), 1, x - 0.7f, y0, x + 0.7f, y0 + 0.55f, 0);
        if (message.isEmpty())
            plotter.Plot(c, x, line);
        const QString date = StationDateText(line.Cell(12));
        if (!date.isEmpty())
            DrawBoxText(c, date, 1, x - 1, 5.7f, x + 1, 6.8f, 0);
        if (i == kColumnsPerPage - 1 && message.isEmpty())
            plotter.RedrawLastPoints(c, x);
    }
}
