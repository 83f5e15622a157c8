#include "measure/uRecordFigures.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"

#include <QDate>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kNone = 1e12;
// Grid columns of the differences and of the design values.
constexpr int kDiffColumns[] = {5, 8, 11};
constexpr int kDesignColumns[] = {3, 6, 9};

template <typename Pick>
double Extreme(const QList<TKel4LineRow> &lines, const int (&columns)[3], double start, Pick pick)
{
    double result = start;
    for (const TKel4LineRow &line : lines) {
        for (int c : columns) {
            const QString &text = line.Cell(c);
            if (IsFloatText(text))
                result = pick(result, TextToFloat(text));
        }
    }
    return result;
}

// A difference the figures take: a number, spaces around it allowed. A text such as "欠測"
// is no measured difference; it is left out of the sum and the count as the extremes and
// the charts leave it out.
bool ReadDifference(const QString &text, double *value)
{
    const QString trimmed = text.trimmed();
    if (!IsFloatText(trimmed))
        return false;
    *value = StrToFloat(trimmed);
    return true;
}

QString MonthDay(const QDate &d)
{
    return u"%1月%2日"_s.arg(d.month()).arg(d.day());
}
} // namespace

TDiffFigures::TDiffFigures()
    : m_max(-kNone)
    , m_min(kNone)
{
}

void TDiffFigures::Add(const QString &diff)
{
    // The sum and the count take every number, the extremes only the bare ones.
    double v = 0;
    if (ReadDifference(diff, &v)) {
        ++m_count;
        m_sum += v;
    }
    if (IsFloatText(diff)) {
        const double v = TextToFloat(diff);
        m_max = std::max(m_max, v);
        m_min = std::min(m_min, v);
        m_hasNumber = true;
    }
}

void TDiffFigures::AddLine(const TKel4LineRow &line)
{
    for (int c : kDiffColumns)
        Add(line.Cell(c));
}

QString TDiffFigures::AverageText(const TRecordUnits &units) const
{
    const double average = m_count == 0 ? 0.0 : m_sum / m_count;
    return FormatFixed(average, RecordFigures::AverageDecimals(units));
}

QString TDiffFigures::MaxText(const TRecordUnits &units) const
{
    return FormatFixed(m_max, Dec(units.SaTanni, units.Yukou));
}

QString TDiffFigures::MinText(const TRecordUnits &units) const
{
    return FormatFixed(m_min, Dec(units.SaTanni, units.Yukou));
}

namespace RecordFigures {

double DiffSum(const QList<TKel4LineRow> &lines)
{
    double sum = 0;
    for (const TKel4LineRow &line : lines) {
        for (int c : kDiffColumns) {
            double v = 0;
            if (ReadDifference(line.Cell(c), &v))
                sum += v;
        }
    }
    return sum;
}

int DiffCount(const QList<TKel4LineRow> &lines)
{
    int count = 0;
    for (const TKel4LineRow &line : lines) {
        for (int c : kDiffColumns) {
            double v = 0;
            if (ReadDifference(line.Cell(c), &v))
                ++count;
        }
    }
    return count;
}

int AverageDecimals(const TRecordUnits &units)
{
    if (TextToFloat(units.Heikin) > 0)
        return Dec(units.SaTanni, units.Heikin);
    return Dec(units.SaTanni, units.Yukou);
}

QString AverageDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units)
{
    const int count = DiffCount(lines);
    const double average = count == 0 ? 0.0 : DiffSum(lines) / count;
    return FormatFixed(average, AverageDecimals(units));
}

QString MaxDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units)
{
    const double v = Extreme(lines, kDiffColumns, -kNone, [](double a, double b) { return std::max(a, b); });
    return FormatFixed(v, Dec(units.SaTanni, units.Yukou));
}

QString MinDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units)
{
    const double v = Extreme(lines, kDiffColumns, kNone, [](double a, double b) { return std::min(a, b); });
    return FormatFixed(v, Dec(units.SaTanni, units.Yukou));
}

QString MaxDesignText(const QList<TKel4LineRow> &lines, const TRecordUnits &units)
{
    const double v = Extreme(lines, kDesignColumns, -kNone, [](double a, double b) { return std::max(a, b); });
    return FormatFixed(v, Dec(units.SekkeiTanni, units.Yukou));
}

QString MinDesignText(const QList<TKel4LineRow> &lines, const TRecordUnits &units)
{
    const double v = Extreme(lines, kDesignColumns, kNone, [](double a, double b) { return std::min(a, b); });
    return FormatFixed(v, Dec(units.SekkeiTanni, units.Yukou));
}

QString DateRangeText(const QList<TKel4LineRow> &lines)
{
    QDate first, last;
    for (const TKel4LineRow &line : lines) {
        const QDate d = TextToDate(line.Cell(12));
        if (!d.isValid())
            continue;
        if (!first.isValid() || d < first)
            first = d;
        if (!last.isValid() || d > last)
            last = d;
    }
    if (!first.isValid())
        return u":"_s;
    return MonthDay(first) + u':' + MonthDay(last);
}

} // namespace RecordFigures
