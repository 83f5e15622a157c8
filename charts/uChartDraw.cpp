#include "charts/uChartDraw.h"

#include "app/uCommon.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "printing/PageCanvas.h"
#include "printing/uDrawPrimitives.h"
#include "registers/uKoji.h"
#include "registers/uUkeoisya.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

void StartChartPage(TPageCanvas *Canvas)
{
    Canvas->Font().SetName(u"ＭＳ 明朝"_s);
    Canvas->Font().SetColor(clBlack);
    Canvas->Pen().SetColor(clBlack);
    Canvas->Pen().SetStyle(TPenStyle::Solid);
    Canvas->Pen().SetWidth(1);
    Canvas->Brush().SetStyle(TBrushStyle::Solid);
    Canvas->Brush().SetColor(clWhite);
}

void SetPenAndFont(TPageCanvas *Canvas, quint32 Color)
{
    Canvas->Pen().SetColor(Color);
    Canvas->Font().SetColor(Color);
}

void DrawPlotMessage(TPageCanvas *Canvas, const QString &Text, float Left, float Top, float Right, float Bottom)
{
    const int size = Canvas->Font().Size();
    const TColor color = Canvas->Font().Color();
    Canvas->Font().SetSize(14);
    Canvas->Font().SetColor(clBlack);
    DrawBoxText(Canvas, Text, 1, Left, Top, Right, Bottom, 0);
    Canvas->Font().SetSize(size);
    Canvas->Font().SetColor(color);
}

QString PlotMessage(const QString &ClassWidth, bool HasData)
{
    if (!IsUsableClassWidth(ClassWidth))
        return QString::fromUtf16(kNoClassWidthMessage);
    if (!HasData)
        return QString::fromUtf16(kNoValuesMessage);
    return QString();
}

void DrawChartTicks(TPageCanvas *Canvas, const TChartScale &Scale, const QString &ClassWidth,
                    const TChartConstants &Constants)
{
    const QList<TChartTick> ticks = ChartTicks(Scale, ClassWidth, Constants);
    for (const TChartTick &tick : ticks) {
        const float y = float(tick.Y);
        DrawLine(Canvas, float(Constants.TickLeft), y, float(Constants.TickRight), y);
        if (tick.Label.isEmpty())
            continue;
        // A number wider than the box reaches out to the left instead of breaking in two.
        const float right = float(Constants.LabelRight);
        const float left = std::min(float(Constants.LabelLeft), right - TextWidthCm(Canvas, tick.Label) - 0.05f);
        DrawBoxText(Canvas, tick.Label, 2, left, y - 0.5f, right, y + 0.5f, 0);
    }
}

void TSeriesPlotter::Restart()
{
    m_previous.fill(std::nullopt);
    m_last.fill(std::nullopt);
}

void TSeriesPlotter::Plot(TPageCanvas *Canvas, float X, const TKel4LineRow &Line)
{
    const auto &series = ChartSeries();
    for (std::size_t n = 0; n < series.size(); ++n) {
        const TChartSeries &s = series[n];
        const QString &text = Line.Cell(s.Column);
        m_last[n].reset();
        if (!IsFloatText(text)) {
            m_previous[n].reset();
            continue;
        }
        const float y = float(m_scale.YOfDifference(text.toDouble()));
        Canvas->Pen().SetColor(LineColor(s.Color));
        DrawCircle(Canvas, X, y, 0.05f);
        if (m_previous[n]) {
            DrawPatternLine(Canvas, s.Pattern, X - 1, *m_previous[n], X, y);
            Canvas->Pen().SetColor(clBlack);
            DrawCircle(Canvas, X - 1, *m_previous[n], 0.05f);
            DrawCircle(Canvas, X, y, 0.05f);
        }
        m_previous[n] = y;
        m_last[n] = y;
    }
}

void TSeriesPlotter::RedrawLastPoints(TPageCanvas *Canvas, float X)
{
    Canvas->Pen().SetColor(clBlack);
    for (const std::optional<float> &y : m_last) {
        if (y)
            DrawCircle(Canvas, X, *y, 0.05f);
    }
}

bool HasSection(const QString &Section)
{
    const QString s = Section.trimmed();
    return !s.isEmpty() && s != u"#"_s;
}

QString WithSection(const QString &Name, const QString &Section)
{
    if (!HasSection(Section))
        return Name;
    return Name + u'(' + Section.trimmed() + u')';
}

void DrawNameHeaderFrame(TPageCanvas *Canvas)
{
    TPageCanvas *c = Canvas;
    DrawLine(c, 8.7f, 1.2f, 15.5f, 1.2f);
    DrawLine(c, 8.7f, 1.25f, 15.5f, 1.25f);
    c->Font().SetSize(11);
    DrawLine(c, 0, 3.3f, 12.4f, 3.3f);
    DrawBoxText(c, u"工事名"_s, 3, 0, 2.8f, 2.3f, 3.3f, 0);
    DrawLine(c, 0, 4, 12.4f, 4);
    DrawBoxText(c, u"工種名"_s, 3, 0, 3.5f, 2.3f, 4, 0);
    DrawLine(c, 17.5f, 3.3f, 24, 3.3f);
    DrawBoxText(c, u"受注会社名"_s, 3, 17.5f, 2.8f, 19.5f, 3.3f, 0);
    DrawLine(c, 17.5f, 4, 24, 4);
    DrawBoxText(c, u"測定者"_s, 3, 17.5f, 3.5f, 19.5f, 4, 0);
    DrawCircle(c, 23.75f, 3.75f, 0.2f);
    c->Font().SetSize(8);
    DrawBoxText(c, u"印"_s, 1, 23.5f, 3.5f, 24, 4, 0);
    c->Font().SetSize(11);
}

void DrawProjectAndContractor(TPageCanvas *Canvas, const TKelmo4Head &Head)
{
    TPageCanvas *c = Canvas;
    const QString project = Head.Koji->Kojimei.trimmed();
    const float projectTop = TextWidthCm(c, project) <= 9.1f ? 2.8f : 2.3f;
    DrawBoxText(c, project, 0, 3.3f, projectTop, 12.4f, 3.3f, 0);
    const QString contractor = Head.Koji->Ukeoisya->Ukeoisyamei.trimmed();
    const bool oneLine = !contractor.contains(u"\\\\"_s) && TextWidthCm(c, contractor) <= 4.3f;
    DrawBoxText(c, contractor, 3, 19.7f, oneLine ? 2.8f : 2.3f, 24, 3.3f, 0);
}

void TChartText::Shift(float Across, float Down)
{
    Left += Across;
    Right += Across;
    Top += Down;
    Bottom += Down;
}

namespace {
// Kept between a moved text and the one it cleared, in printer pixels: the coordinates of
// a shifted text are truncated to pixels once more.
constexpr int kClearance = 2;

QRect Union(const QList<QRect> &boxes)
{
    QRect u;
    for (const QRect &b : boxes)
        u = u.united(b);
    return u;
}

bool Meets(const QList<QRect> &boxes, const QList<QRect> &occupied)
{
    for (const QRect &b : boxes) {
        for (const QRect &o : occupied) {
            if (b.intersects(o))
                return true;
        }
    }
    return false;
}
} // namespace

QList<QRect> ChartTextBoxes(TPageCanvas *Canvas, const TChartText &Text)
{
    TRecordedPage scratch(Canvas->Page()->Caps());
    TPageCanvas c(&scratch);
    c.Font().Assign(Canvas->Font().State());
    DrawChartText(&c, Text);
    QList<QRect> boxes;
    for (const TPageCommand &command : scratch.Texts())
        boxes.append(command.Box);
    return boxes;
}

void DrawChartText(TPageCanvas *Canvas, const TChartText &Text)
{
    if (Text.WidthPercent > 0)
        DrawScaledText(Canvas, 0, Text.WidthPercent, Text.Left, Text.Top, Text.Text);
    else
        DrawBoxText(Canvas, Text.Text, Text.Align, Text.Left, Text.Top, Text.Right, Text.Bottom, Text.Vertical);
}

bool TWrittenOnce::First(const TChartText &Text)
{
    for (const TChartText &t : m_seen) {
        if (t.Text == Text.Text && t.Left == Text.Left && t.Top == Text.Top && t.Right == Text.Right
            && t.Bottom == Text.Bottom)
            return false;
    }
    m_seen.append(Text);
    return true;
}

TChartText KeepClear(TPageCanvas *Canvas, TChartText Text, const QRectF &Bounds, bool Across, bool Down)
{
    QList<QRect> occupied;
    for (const TPageCommand &command : Canvas->Page()->Texts())
        occupied.append(command.Box);
    const QList<QRect> boxes = ChartTextBoxes(Canvas, Text);
    if (boxes.isEmpty() || !Meets(boxes, occupied))
        return Text;
    InitPrintScale();
    const QRect bounds(QPoint(PrintPixelX(float(Bounds.left())), PrintPixelY(float(Bounds.top()))),
                       QPoint(PrintPixelX(float(Bounds.right())), PrintPixelY(float(Bounds.bottom()))));
    const QRect u = Union(boxes);

    // Candidate shifts in pixels: just past each box the text meets or could meet.
    struct TCandidate
    {
        int Pixels;
        bool Across;
    };
    QList<TCandidate> candidates;
    for (const QRect &o : occupied) {
        if (Down && o.right() >= u.left() && o.left() <= u.right()) {
            candidates.append({o.bottom() + 1 + kClearance - u.top(), false});
            candidates.append({o.top() - 1 - kClearance - u.bottom(), false});
        }
        if (Across && o.bottom() >= u.top() && o.top() <= u.bottom()) {
            candidates.append({o.right() + 1 + kClearance - u.left(), true});
            candidates.append({o.left() - 1 - kClearance - u.right(), true});
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const TCandidate &a, const TCandidate &b) {
        return std::abs(a.Pixels) < std::abs(b.Pixels);
    });
    const TDeviceCaps &caps = Canvas->Page()->Caps();
    for (const TCandidate &candidate : candidates) {
        const int dpi = candidate.Across ? caps.LogPixelsX : caps.LogPixelsY;
        const float cm = float(candidate.Pixels * 2.54 / dpi);
        TChartText moved = Text;
        moved.Shift(candidate.Across ? cm : 0, candidate.Across ? 0 : cm);
        const QList<QRect> movedBoxes = ChartTextBoxes(Canvas, moved);
        if (!bounds.contains(Union(movedBoxes)) || Meets(movedBoxes, occupied))
            continue;
        return moved;
    }
    return Text;
}

void DrawClearOf(TPageCanvas *Canvas, const TChartText &Text, const QRectF &Bounds, bool Across, bool Down)
{
    DrawChartText(Canvas, KeepClear(Canvas, Text, Bounds, Across, Down));
}
