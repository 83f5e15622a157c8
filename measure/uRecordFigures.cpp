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

QString MonthDay(const QDate &d)
{
    return u"%1月%2日"_s.arg(d.month()).arg(d.day());
}
} // namespace

namespace RecordFigures {

double DiffSum(const QList<TKel4LineRow> &lines)
{
    double sum = 0;
    for (const TKel4LineRow &line : lines) {
        for (int c : kDiffColumns) {
            if (!line.Cell(c).isEmpty())
                sum += StrToFloat(line.Cell(c));
        }
    }
    return sum;
}

int DiffCount(const QList<TKel4LineRow> &lines)
{
    int count = 0;
    for (const TKel4LineRow &line : lines) {
        for (int c : kDiffColumns) {
            if (!line.Cell(c).isEmpty())
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
