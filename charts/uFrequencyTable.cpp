#include "charts/uFrequencyTable.h"

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
constexpr float kGridLeft = 1.35f;
constexpr float kGridRight = 22.95f;
constexpr float kGridTop = 4.9f;
constexpr float kBase = 14.0f;
constexpr float kClassWidthCm = 0.6f;
constexpr float kRowHeight = 0.65f;

float ClassLeft(int k)
{
    return (k + 18) * kClassWidthCm + kGridLeft;
}

// A value's place on the class axis, centred in its bar. Values beyond the outer classes
// stand on the outer classes, where their counts go too.
float ValueX(double mm, double classWidth)
{
    const double x = (mm / classWidth + 18) * kClassWidthCm + 1.65;
    return float(std::clamp(x, 1.65, 22.65));
}

void DrawFixedParts(TPageCanvas *c, const TKelmo4Head &Head)
{
    c->Pen().SetWidth(1);
    c->Pen().SetColor(LineColor(TLineColor::Grid));
    for (int i = 0; i <= 36; ++i)
        DrawLine(c, i * kClassWidthCm + kGridLeft, kGridTop, i * kClassWidthCm + kGridLeft, kBase);
    for (int i = 0; i <= 14; ++i)
        DrawLine(c, kGridLeft, i * kRowHeight + kGridTop, kGridRight, i * kRowHeight + kGridTop);
    c->Pen().SetColor(clBlack);
    c->Pen().SetWidth(3);
    DrawBox(c, 0, 4.9f, 24.3f, 15.4f);
    c->Pen().SetWidth(1);

    c->Font().SetSize(16);
    DrawBoxText(c, u"度数表"_s, 4, 8.7f, 0.2f, 15.5f, 1.2f, 0);
    DrawNameHeaderFrame(c);
    c->Font().SetSize(11);
    if (Head.Hiduke.isValid())
        DrawBoxText(c, FormatEraDate(Head.Hiduke.date()) + u"現在"_s, 4, 1.2f, 4.2f, 7.2f, 4.7f, 0);
    DrawLine(c, 1.2f, 4.7f, 7.2f, 4.7f);
    DrawProjectAndContractor(c, Head);
    DrawBoxText(c, WithSection(Head.Kosyu->Kosyumei, Head.Kouku->Koukumei) + u" の "_s + Head.SokuteiKoumoku.trimmed(),
                0, 3.3f, 3.5f, 12.4f, 4, 0);
    DrawBoxText(c, Head.Simei->Simei.trimmed(), 4, 19.7f, 3.5f, 23.5f, 4, 0);

    DrawLine(c, 0.7f, 6.7f, 0.7f, 12.1f);
    DrawArrowHead(c, u"UP"_s, 0.7f, 6.7f, 0.2f);
    const QString axis = u"度　　数"_s + QChar(kVerticalOpenParen) + u"回"_s + QChar(kVerticalCloseParen);
    DrawBoxText(c, axis, 4, 0, 6.7f, 0.7f, 12.1f, 1);
    if (!NotesOmitted())
        DrawBoxText(c, u"注：出来形管理で２０点以上の場合使用する。"_s, 0, 0, 15.7f, 15.4f, 16.2f, 0);
    DrawBoxText(c, u"設計値との差"_s, 3, 9.6f, 14.5f, 14.4f, 15.4f, 0);
    DrawLine(c, 7.5f, 14.95f, 9.5f, 14.95f);
    DrawArrowHead(c, u"left"_s, 7.5f, 14.95f, 0.2f);
    DrawLine(c, 14.5f, 14.95f, 16.5f, 14.95f);
    DrawArrowHead(c, u"right"_s, 16.5f, 14.95f, 0.2f);
    DrawBoxText(c, u"(-)"_s, 1, 6.5f, 14.5f, 7.5f, 15.4f, 0);
    DrawBoxText(c, u"(+)"_s, 1, 16.5f, 14.5f, 17.5f, 15.4f, 0);
}

// The grid, where the labels of the lines may move to.
const QRectF kGrid(QPointF(0.7, kGridTop), QPointF(24.3, 15.4));

// Where the label of a line stands, its text and alignment.
void DrawLineLabel(TPageCanvas *c, const TChartLine &line, float x)
{
    switch (line.No) {
    case 0:
    case 2:
        x = std::max(x, 1.7f);
        DrawClearOf(c, {line.Label, 4, x, kGridTop, x + 0.5f, kBase, 1, 0}, kGrid, true, false);
        break;
    case 1:
    case 3:
        x = std::min(x, 22.8f);
        DrawClearOf(c, {line.Label, 4, x - 0.5f, kGridTop, x, kBase, 1, 0}, kGrid, true, false);
        break;
    default:
        DrawClearOf(c, {line.Label, 1, x - 0.5f, kGridTop, x, kBase, 1, 0}, kGrid, true, false);
        break;
    }
}
} // namespace

void DrawFrequencyTable(TPrevX *Prev, const TKelmo4Head &Head, bool Weight)
{
    PrintOffsetX = -2.7f;
    PrintOffsetY = -2.0f;
    TPageCanvas *c = Prev->Canvas();
    StartChartPage(c);
    const QString unitText = Weight ? u"t"_s : Head.SaTanni;
    const QList<TKel4LineRow> lines = Head.Lines();

    DrawFixedParts(c, Head);
    const QString message = PlotMessage(Head.Bunpu, HasNumericDifference(lines, Head.Yosiki != 0));
    if (!message.isEmpty()) {
        DrawPlotMessage(c, message, kGridLeft, kGridTop, kGridRight, kBase);
        return;
    }

    const double f = UnitFactor(Head.SaTanni);
    const double width = Head.Bunpu.trimmed().toDouble();
    const THistogramCounts counts = CountClasses(lines, Head.Yosiki, f, width);
    int first = 18;
    int last = -18;
    int top = 0;
    for (int k = -18; k <= 18; ++k) {
        if (counts[k] > 0) {
            first = std::min(first, k);
            last = std::max(last, k);
            top = std::max(top, counts[k]);
        }
    }
    const int per = int(std::trunc(top / 13.0 + 0.99));

    c->Font().SetSize(11);
    for (int j = 0; j <= top / per; ++j) {
        const float y = kBase - j * kRowHeight;
        DrawBoxText(c, QString::number(j * per), 2, 0.7f, y - 0.5f, 1.25f, y + 0.5f, 0);
    }

    c->Brush().SetStyle(TBrushStyle::Solid);
    c->Pen().SetColor(clBlack);
    for (int k = first; k <= last; ++k) {
        const float x = ClassLeft(k);
        DrawBoxText(c, ShortText(width * k / f), 1, x - 0.1f, kBase, x + 0.7f, kBase + 0.5f, 0);
        if (counts[k] > 0) {
            const float y = kBase - float(counts[k]) / per * kRowHeight;
            c->Brush().SetColor(ClassColor(k));
            FillBox(c, x, y, x + kClassWidthCm, kBase);
            DrawBox(c, x, y, x + kClassWidthCm, kBase);
        }
    }
    c->Brush().SetColor(clWhite);

    c->Pen().SetWidth(1);
    TWrittenOnce written;
    for (const TChartLine &line : StandardLines(*Head.Kikakuti, TLineForm::FrequencyTable)) {
        if (!line.Drawn())
            continue;
        const float x = ValueX(line.Mm(), width);
        SetPenAndFont(c, LineColor(line.Color));
        DrawLine(c, x, kGridTop, x, kBase);
        // Two lines of one value write it once.
        const TChartText value{ShortText(line.Mm() / f), 1, x - 0.5f, 14.4f, x + 0.5f, 14.9f, 0, 0};
        if (written.First(value))
            DrawClearOf(c, value, kGrid);
        DrawLineLabel(c, line, x);
    }

    const QString average = RecordFigures::AverageDiffText(lines, Head.Units());
    const double a = TextToFloat(average) * f;
    const float x = ValueX(a, width);
    SetPenAndFont(c, LineColor(TLineColor::Average));
    DrawLine(c, x, 5.9f, x, kBase);
    DrawLine(c, x, 5.9f, x + 2, 5.9f);
    // Right-aligned at the end of its arm; a text longer than the arm reaches out to the
    // left instead of wrapping onto the line.
    const QString text = QChar(kAverageSign) + u"= "_s + ShortText(TextToFloat(average)) + u' ' + unitText;
    const float left = std::min(x, x + 2 - TextWidthCm(c, text) - 0.05f);
    DrawClearOf(c, {text, 2, left, 5.4f, x + 2, 5.9f, 0, 0}, kGrid);
    SetPenAndFont(c, clBlack);
}
