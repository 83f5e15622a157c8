#pragma once

#include "charts/uuPrintDekigata.h"

#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

#include <array>
#include <optional>

class TPageCanvas;

// Drawing pieces the chart forms share.

// Font "ＭＳ 明朝", pen black, solid, brush solid: what every chart page starts from, since
// a new page's canvas starts from the toolkit's defaults.
void StartChartPage(TPageCanvas *Canvas);
void SetPenAndFont(TPageCanvas *Canvas, quint32 Color);

// The message that stands in the plot area instead of points or bars.
void DrawPlotMessage(TPageCanvas *Canvas, const QString &Text, float Left, float Top, float Right, float Bottom);
inline constexpr char16_t kNoClassWidthMessage[] = u"分布の単位が設定されていません";
inline constexpr char16_t kNoValuesMessage[] = u"測定値がありません";

// The message a record needs instead of its plot, empty when it can be drawn: a class
// width that cannot be used, or no numeric difference.
QString PlotMessage(const QString &ClassWidth, bool HasData);

// Short ticks and their labels at the left of a control chart's plot area.
void DrawChartTicks(TPageCanvas *Canvas, const TChartScale &Scale, const QString &ClassWidth,
                    const TChartConstants &Constants);

// The points of the left, centre and right series of one page, joined by patterned lines;
// a non-numeric difference breaks its series.
class TSeriesPlotter
{
public:
    explicit TSeriesPlotter(const TChartScale &Scale)
        : m_scale(Scale)
    {
    }
    // Forgets the previous points (a new page).
    void Restart();
    void Plot(TPageCanvas *Canvas, float X, const TKel4LineRow &Line);
    // Redraws in black the points of the column just drawn.
    void RedrawLastPoints(TPageCanvas *Canvas, float X);

private:
    TChartScale m_scale;
    std::array<std::optional<float>, 3> m_previous;
    std::array<std::optional<float>, 3> m_last;
};

// Work type name, with "(section)" when the record has a section.
QString WithSection(const QString &Name, const QString &Section);
bool HasSection(const QString &Section);

class TKelmo4Head;

// The header frame the control chart table and the frequency table share: the double rule
// under the title, the rules and labels "工事名", "工種名", "受注会社名", "測定者", the seal.
void DrawNameHeaderFrame(TPageCanvas *Canvas);
// Project name and contractor in that frame, on two lines when they need the room.
void DrawProjectAndContractor(TPageCanvas *Canvas, const TKelmo4Head &Head);

// ---- Labels that keep clear of the texts already on their page ----

// A text as DrawBoxText would draw it, or, with a WidthPercent, as DrawScaledText would
// draw it from (Left, Top).
struct TChartText
{
    QString Text;
    int Align = 0;
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Vertical = 0;
    int WidthPercent = 0;

    void Shift(float Across, float Down);
};

// The printer-pixel boxes the text gets in the canvas's font; nothing is drawn.
QList<QRect> ChartTextBoxes(TPageCanvas *Canvas, const TChartText &Text);
void DrawChartText(TPageCanvas *Canvas, const TChartText &Text);
// Remembers the texts of one page by content and wanted place: a value or a label two
// lines share is written once, wherever the first was moved to.
class TWrittenOnce
{
public:
    // True the first time this text is asked for at this place.
    bool First(const TChartText &Text);

private:
    QList<TChartText> m_seen;
};

// Where two texts would meet, the later one moves aside. The text moved by the least
// distance, across (Across) or down (Down), that keeps it clear of every text already on
// the page and inside Bounds (form cm); unmoved when it is clear already, or when no place
// inside Bounds is.
TChartText KeepClear(TPageCanvas *Canvas, TChartText Text, const QRectF &Bounds, bool Across = true,
                     bool Down = true);
// KeepClear, then drawn.
void DrawClearOf(TPageCanvas *Canvas, const TChartText &Text, const QRectF &Bounds, bool Across = true,
                 bool Down = true);
