#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <array>

class TKelmo4Head;
class TKikakuti4;
struct TKel4LineRow;

// Rules every chart of a measurement record shares: the vertical scale of the control
// charts, their ticks and horizontal lines, the label placement, the series, the colours
// of the defaults record, the era date. Nothing here draws.

// ---- Colours of the defaults record (0x00BBGGRR) ----

enum class TLineColor { LLine = 0, CLine, RLine, Kikaku1, Kikaku2, Average, Grid, Fifty, Eighty };
quint32 LineColor(TLineColor which);
// Histogram colour of class k (-20 … 20); classes outside get the nearest end.
quint32 ClassColor(int k);

// The notes flag "印刷時に注意書きを印刷しない".
bool NotesOmitted();

// ---- Series ----

struct TChartSeries
{
    int Column;       // grid column of the difference (TKel4LineRow::Cell)
    TLineColor Color;
    int Pattern;      // DrawPatternLine
    const char16_t *Legend;
};
// Left, centre, right.
const std::array<TChartSeries, 3> &ChartSeries();

// ---- Scale of the control charts ----

enum class TChartKind { XChart, TableChart };

struct TChartConstants
{
    double DefaultMax;
    double DefaultMin;
    QList<std::pair<double, double>> Steps; // D below the bound -> Step
    double Top;                             // upper edge of the plot area, cm
    bool WholeStep;                         // a computed step above the table is truncated
    double TickLeft;                        // the short tick of a class
    double TickRight;
    double LabelLeft;                       // box of the tick label
    double LabelRight;
    bool DecimalLabels;                     // "%1.1f" instead of whole numbers
};
const TChartConstants &ChartConstants(TChartKind kind);

// Height of the plot area, cm.
constexpr double kPlotHeight = 6.7;

struct TValueRange
{
    double Max = 0; // mm
    double Min = 0;
    bool HasData = false; // at least one numeric difference
};

// Extent of the differences and the standard values in millimetres. When nothing gives an
// extent (all equal, or neither numeric differences nor standard values), the chart's
// defaults.
TValueRange ValueRange(const TKelmo4Head &Head, const QList<TKel4LineRow> &Lines, const TChartConstants &Constants);

struct TChartScale
{
    double Max = 0;    // mm, with the margin
    double Min = 0;
    double Step = 1;   // difference units per cm
    double ZeroY = 0;  // cm, the value 0
    double Factor = 1; // mm per difference unit

    double YOfDifference(double d) const { return ZeroY - d / Step; }
    double YOfMm(double v) const { return ZeroY - v / Factor / Step; }
};
TChartScale ChartScale(double Max, double Min, double Factor, const TChartConstants &Constants);

// ---- Ticks ----

struct TChartTick
{
    double Y = 0;
    QString Label; // empty: a tick without label
};
// One tick per whole class from Min to Max; labels where the value is a whole multiple of
// Step. When the classes would give a thousand ticks or more, the ticks stand every 2, 5,
// 10, 20, … classes instead, at least 1 mm apart, and the whole steps keep their labels. Empty for a class width
// that is not a positive number.
QList<TChartTick> ChartTicks(const TChartScale &Scale, const QString &ClassWidth, const TChartConstants &Constants);

// A class width "分布" the histograms and ticks can use: a positive number.
bool IsUsableClassWidth(const QString &ClassWidth);

// ---- Horizontal lines of the standard values ----

enum class TLineForm { XChart, TableChart, SummaryFigure, FrequencyTable };

struct TChartLine
{
    int No = 0;        // 0 … 7; 8 the average of the table chart
    QString Value;     // millimetres; empty or not numeric: not drawn
    QString Label;
    TLineColor Color = TLineColor::Kikaku1;
    bool Shown = true; // settings and colour rules allow it

    bool Drawn() const;
    double Mm() const;
};

// Name of the own-company standard, "自社規格" when the setting is empty.
QString JisyaKikakumei();

// Lines 0 … 7 (standard values, own-company values, 80 % and 50 %) as the form labels,
// formats and shows them.
QList<TChartLine> StandardLines(const TKikakuti4 &Kikakuti, TLineForm Form);

// ---- Label placement ----

// Keeps labels of lines close to each other from overlapping: every interval placed since
// Clear stays taken.
class TLabelPlacer
{
public:
    void Clear();
    // The interval as wanted when it meets none placed before; else moved up or down by the
    // least distance that clears all of them (down when both are as near).
    std::pair<float, float> Place(float Start, float End);

private:
    QList<std::pair<float, float>> m_placed;
};

// ---- Texts ----

// The year within its Japanese era (令和 from 2019-05-01, 平成 from 1989-01-08, …), "年",
// month, "月", day, "日", without era name and without leading zeros.
QString FormatEraDate(const QDate &Date);
// Month/day "m/d" of a remark that reads as a date; empty otherwise.
QString StationDateText(const QString &Biko);
// Shortest decimal text of a number.
QString ShortText(double Value);

// The counts of the histograms: 41 classes -20 … 20; differences go into -18 … 18.
struct THistogramCounts
{
    std::array<int, 41> Counts{};
    int &operator[](int k) { return Counts[std::size_t(k + 20)]; }
    int operator[](int k) const { return Counts[std::size_t(k + 20)]; }
};
// Class of a value in millimetres: trunc(RoundTo(v / width, 0)), clamped to -18 … 18.
int ClassOf(double Mm, double ClassWidth);
// Counts the differences of the series the form type counts: all three for 高さ, the
// centre only otherwise.
THistogramCounts CountClasses(const QList<TKel4LineRow> &Lines, int Yosiki, double Factor, double ClassWidth);
// True when a series holds a numeric difference: any of the three, or the centre only.
bool HasNumericDifference(const QList<TKel4LineRow> &Lines, bool CentreOnly = false);
