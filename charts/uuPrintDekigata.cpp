#include "charts/uuPrintDekigata.h"

#include "app/RegistryUtility.h"
#include "app/uCommon.h"
#include "app/uDekigataDef.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "measure/uUnits.h"
#include "registers/uKikakuti4.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kL2 = 5;
constexpr int kC2 = 8;
constexpr int kR2 = 11;

// More ticks than this in the 6.7 cm plot would be less than 0.07 mm apart.
constexpr int kMaxTicks = 1000;
// Ticks that had to be thinned out stand at least this far apart, cm.
constexpr double kMinTickGap = 0.1;

// Whole part of a value that is meant to be whole, forgiving the binary error of a product
// such as 30 × 0.1.
double WholePart(double v)
{
    const double r = std::round(v);
    if (std::fabs(v - r) < 1e-9 * std::max(1.0, std::fabs(v)))
        return r;
    return std::trunc(v);
}

bool IsWholeMultiple(double v, double step)
{
    if (step <= 0)
        return false;
    const double q = v / step;
    return std::fabs(q - std::round(q)) < 1e-6;
}
} // namespace

quint32 LineColor(TLineColor which)
{
    return DekigataDef().Colors(42 + int(which));
}

quint32 ClassColor(int k)
{
    return DekigataDef().Colors(std::clamp(k, -20, 20) + 21);
}

bool NotesOmitted()
{
    return DekigataDef().NoNotes();
}

const std::array<TChartSeries, 3> &ChartSeries()
{
    static const std::array<TChartSeries, 3> series{{
        {kL2, TLineColor::LLine, 0, u"左側"},
        {kC2, TLineColor::CLine, 2, u"中央"},
        {kR2, TLineColor::RLine, 1, u"右側"},
    }};
    return series;
}

const TChartConstants &ChartConstants(TChartKind kind)
{
    static const TChartConstants x{3.7, -3.7, {{1, 1}, {2, 2}, {5, 5}, {10, 10}}, 3.8, true, 3.0, 3.1, 1.9, 2.9, false};
    static const TChartConstants table{3.6, -3.7, {{0.5, 0.5}, {1, 1}, {2, 2}, {5, 5}, {10, 10}}, 6.8, false, 3.7, 3.8,
                                       2.8, 3.7, true};
    return kind == TChartKind::XChart ? x : table;
}

TValueRange ValueRange(const TKelmo4Head &Head, const QList<TKel4LineRow> &Lines, const TChartConstants &Constants)
{
    float max = -1e12f;
    float min = 1e12f;
    bool hasData = false;
    for (const TKel4LineRow &line : Lines) {
        for (const TChartSeries &s : ChartSeries()) {
            const QString &text = line.Cell(s.Column);
            if (!IsFloatText(text))
                continue;
            const float v = float(text.toDouble());
            max = std::max(max, v);
            min = std::min(min, v);
            hasData = true;
        }
    }
    const float f = float(UnitFactor(Head.SaTanni));
    if (hasData) {
        max *= f;
        min *= f;
    }
    for (const QString *text : {&Head.Kikakuti->KikakutiU1, &Head.Kikakuti->KikakutiU2}) {
        if (IsFloatText(*text))
            max = std::max(max, float(text->toDouble()));
    }
    for (const QString *text : {&Head.Kikakuti->KikakutiD1, &Head.Kikakuti->KikakutiD2}) {
        if (IsFloatText(*text))
            min = std::min(min, float(text->toDouble()));
    }
    TValueRange range;
    range.HasData = hasData;
    // Without data and with only one side of the standard there is no extent either.
    if (max <= min || max <= -1e12f || min >= 1e12f) {
        range.Max = Constants.DefaultMax;
        range.Min = Constants.DefaultMin;
    } else {
        range.Max = max;
        range.Min = min;
    }
    return range;
}

TChartScale ChartScale(double Max, double Min, double Factor, const TChartConstants &Constants)
{
    TChartScale s;
    const double f = Factor > 0 ? Factor : 1.0;
    const double span = Max - Min;
    s.Max = Max + span * 0.1;
    s.Min = Min - span * 0.1;
    s.Factor = f;
    const double d = (s.Max - s.Min) / f / kPlotHeight;
    bool found = false;
    for (const auto &[bound, step] : Constants.Steps) {
        if (d < bound) {
            s.Step = step;
            found = true;
            break;
        }
    }
    if (!found) {
        s.Step = RoundTo(0, d * 2 / 10) * 10;
        if (Constants.WholeStep)
            s.Step = std::trunc(s.Step);
    }
    s.ZeroY = RoundTo(1, s.Max / f / s.Step + ((kPlotHeight - (s.Max - s.Min) / f / s.Step) / 2 + Constants.Top));
    return s;
}

bool IsUsableClassWidth(const QString &ClassWidth)
{
    const QString text = ClassWidth.trimmed();
    return IsFloatText(text) && text.toDouble() > 0;
}

QList<TChartTick> ChartTicks(const TChartScale &Scale, const QString &ClassWidth, const TChartConstants &Constants)
{
    QList<TChartTick> ticks;
    if (!IsUsableClassWidth(ClassWidth))
        return ticks;
    const double h = ClassWidth.trimmed().toDouble();
    // A tick per class while they fit; past that the ticks stand every 2, 5, 10, 20, …
    // classes, far enough apart to be read, so that a huge range still gets a scale.
    auto fits = [&](double every) { return std::trunc(Scale.Max / every) - std::trunc(Scale.Min / every) < kMaxTicks; };
    double every = h;
    if (!fits(every)) {
        for (int n = 0;; ++n) {
            if (n > 90) // no finite range gets here
                return ticks;
            every = h * std::pow(10.0, n / 3) * std::array<double, 3>{2, 5, 10}[std::size_t(n % 3)];
            if (fits(every) && every / Scale.Factor / Scale.Step >= kMinTickGap - 1e-9)
                break;
        }
    }
    const double first = std::trunc(Scale.Min / every);
    const double last = std::trunc(Scale.Max / every);
    const double labelMm = Scale.Step * Scale.Factor;
    auto label = [&](double mm) {
        // The labels stand at whole steps of the scale, in the unit the chart is read in.
        const double units = mm / Scale.Factor;
        if (Constants.DecimalLabels)
            return QString::asprintf("%1.1f", units);
        return QString::number(qint64(WholePart(units)));
    };
    for (double o = first; o <= last; o += 1) {
        TChartTick tick;
        const double mm = o * every;
        tick.Y = Scale.YOfMm(mm);
        if (IsWholeMultiple(mm / Scale.Factor, Scale.Step))
            tick.Label = label(mm);
        ticks.append(tick);
    }
    if (every != h && labelMm > 0) {
        // The wider ticks may miss the whole steps; those keep their labelled tick.
        for (double o = std::trunc(Scale.Max / labelMm); o >= std::trunc(Scale.Min / labelMm); o -= 1) {
            const double mm = o * labelMm;
            if (IsWholeMultiple(mm, every))
                continue;
            TChartTick tick;
            tick.Y = Scale.YOfMm(mm);
            tick.Label = label(mm);
            ticks.append(tick);
        }
        std::sort(ticks.begin(), ticks.end(), [](const TChartTick &a, const TChartTick &b) { return a.Y > b.Y; });
    }
    return ticks;
}

bool TChartLine::Drawn() const
{
    return Shown && IsFloatText(Value);
}

double TChartLine::Mm() const
{
    return IsFloatText(Value) ? Value.toDouble() : 0.0;
}

QString JisyaKikakumei()
{
    const QString name = ReadSetting(u"JisyaKikakumei"_s);
    return name.isEmpty() ? u"自社規格"_s : name;
}

QList<TChartLine> StandardLines(const TKikakuti4 &Kikakuti, TLineForm Form)
{
    const bool x = Form == TLineForm::XChart;
    const bool table = Form == TLineForm::TableChart;
    const bool summary = Form == TLineForm::SummaryFigure;
    const bool frequency = Form == TLineForm::FrequencyTable;
    const QString jisya = JisyaKikakumei();
    const bool percents = SettingIsOn(u"80percent"_s);
    const bool virtualLines = SettingIsOn(u"ShichoKasouLine"_s);
    // The X chart and the summary figure leave the own-company lines out when they would
    // vanish in the grid colour.
    const bool ownShown = !(x || summary) || LineColor(TLineColor::Kikaku2) != LineColor(TLineColor::Grid);

    auto format = [&](double mm) { return (x || summary) ? Format80Percent(mm) : FormatFixed(mm, 1); };
    const QString &u1 = Kikakuti.KikakutiU1;
    const QString &d1 = Kikakuti.KikakutiD1;
    // The upper part of a percentage: of the upper value, or mirrored from the lower one.
    auto upper = [&](double part, bool wholeMirror) -> QString {
        if (!u1.trimmed().isEmpty())
            return IsFloatText(u1) ? format(part * u1.toDouble()) : QString();
        if (virtualLines && IsFloatText(d1)) {
            double v = -part * d1.toDouble();
            if (wholeMirror)
                v = std::trunc(v);
            return format(v);
        }
        return QString();
    };
    auto lower = [&](double part) { return IsFloatText(d1) ? format(part * d1.toDouble()) : QString(); };

    auto pick = [&](const QString &xl, const QString &tl, const QString &sl, const QString &fl) {
        return x ? xl : table ? tl : summary ? sl : fl;
    };
    Q_UNUSED(frequency);
    QList<TChartLine> lines;
    lines.append({0, u1, pick(u"上限規格値"_s, u"規格値"_s, u"上限規格値"_s, u"上限規格値"_s), TLineColor::Kikaku1, true});
    lines.append({1, d1, pick(u"下限規格値"_s, u"規格値"_s, u"下限規格値"_s, u"下限規格値"_s), TLineColor::Kikaku1, true});
    lines.append({2, Kikakuti.KikakutiU2, pick(jisya + u"上限"_s, jisya, jisya + u" 上限"_s, jisya + u"　上限"_s),
                  TLineColor::Kikaku2, ownShown});
    lines.append({3, Kikakuti.KikakutiD2, pick(jisya + u"下限"_s, jisya, jisya + u" 下限"_s, jisya + u"下限"_s),
                  TLineColor::Kikaku2, ownShown});
    const QString eighty = pick(u"80%"_s, u"80%"_s, u"８０％"_s, jisya + u"80%"_s);
    const QString fifty = pick(u"50%"_s, u"50%"_s, u"５０％"_s, jisya + u"50%"_s);
    lines.append({4, upper(0.8, summary), eighty, TLineColor::Eighty, percents});
    lines.append({5, lower(0.8), eighty, TLineColor::Eighty, percents});
    lines.append({6, upper(0.5, false), fifty, TLineColor::Fifty, percents});
    lines.append({7, lower(0.5), fifty, TLineColor::Fifty, percents});
    return lines;
}

void TLabelPlacer::Clear()
{
    m_placed.clear();
}

std::pair<float, float> TLabelPlacer::Place(float Start, float End)
{
    const float height = End - Start;
    auto clear = [&](float start) {
        for (const auto &[s, e] : m_placed) {
            if (s < start + height && start < e)
                return false;
        }
        return true;
    };
    std::pair<float, float> result{Start, End};
    if (!clear(Start)) {
        // Just below or just above one of the placed intervals; the nearest that is clear.
        QList<float> starts;
        for (const auto &[s, e] : m_placed) {
            starts.append(e);
            starts.append(s - height);
        }
        std::stable_sort(starts.begin(), starts.end(),
                         [&](float a, float b) { return std::fabs(a - Start) < std::fabs(b - Start); });
        for (float start : starts) {
            if (clear(start)) {
                result = {start, start + height};
                break;
            }
        }
    }
    m_placed.append(result);
    return result;
}

QString FormatEraDate(const QDate &Date)
{
    if (!Date.isValid())
        return QString();
    // First days of the eras of the modern calendar; before them the plain year.
    static const std::array<QDate, 5> eras{QDate(2019, 5, 1), QDate(1989, 1, 8), QDate(1926, 12, 25),
                                           QDate(1912, 7, 30), QDate(1868, 9, 8)};
    int year = Date.year();
    for (const QDate &start : eras) {
        if (Date >= start) {
            year = Date.year() - start.year() + 1;
            break;
        }
    }
    return QString::number(year) + u"年"_s + QString::number(Date.month()) + u"月"_s + QString::number(Date.day())
           + u"日"_s;
}

QString StationDateText(const QString &Biko)
{
    const QDate date = TextToDate(Biko);
    if (!date.isValid())
        return QString();
    return QString::number(date.month()) + u'/' + QString::number(date.day());
}

QString ShortText(double Value)
{
    return FormatGeneral(Value);
}

int ClassOf(double Mm, double ClassWidth)
{
    const int k = int(std::trunc(RoundTo(0, Mm / ClassWidth)));
    if (k < -17)
        return -18;
    if (k > 17)
        return 18;
    return k;
}

THistogramCounts CountClasses(const QList<TKel4LineRow> &Lines, int Yosiki, double Factor, double ClassWidth)
{
    THistogramCounts counts;
    for (const TKel4LineRow &line : Lines) {
        for (const TChartSeries &s : ChartSeries()) {
            if (Yosiki != 0 && s.Column != kC2)
                continue;
            const QString &text = line.Cell(s.Column);
            if (IsFloatText(text))
                ++counts[ClassOf(text.toDouble() * Factor, ClassWidth)];
        }
    }
    return counts;
}

bool HasNumericDifference(const QList<TKel4LineRow> &Lines, bool CentreOnly)
{
    for (const TKel4LineRow &line : Lines) {
        for (const TChartSeries &s : ChartSeries()) {
            if (CentreOnly && s.Column != kC2)
                continue;
            if (IsFloatText(line.Cell(s.Column)))
                return true;
        }
    }
    return false;
}
