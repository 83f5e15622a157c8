#pragma once

#include "measure/uKelmo4Line.h"

#include <QList>
#include <QString>

// The figures every printed form shows for one stored record, computed from its lines and
// the header's units. TKelmo4Head offers them over its own stored lines.
struct TRecordUnits
{
    QString SekkeiTanni; // design and measured values
    QString SaTanni;     // differences
    QString Yukou;       // significant output unit, mm
    QString Heikin;      // output unit of the average, mm
};

// The difference figures of one record gathered cell by cell in one pass, for lines read
// straight from a result; the same figures as the functions below give over the lines.
class TDiffFigures
{
public:
    TDiffFigures();

    // One difference cell; the lines in LNO order, each line's columns left to right.
    void Add(const QString &diff);
    void AddLine(const TKel4LineRow &line);

    int Count() const { return m_count; }
    double Sum() const { return m_sum; }
    // Whether the extremes took a difference (one that reads strictly as a number).
    bool HasNumber() const { return m_hasNumber; }
    QString AverageText(const TRecordUnits &units) const;
    QString MaxText(const TRecordUnits &units) const;
    QString MinText(const TRecordUnits &units) const;

private:
    int m_count = 0;
    double m_sum = 0;
    double m_max;
    double m_min;
    bool m_hasNumber = false;
};

namespace RecordFigures {

// Sum of the differences that are numbers; a text such as "欠測" is no measured difference.
double DiffSum(const QList<TKel4LineRow> &lines);
// Number of those differences (not the count under the grid, which needs all three).
int DiffCount(const QList<TKel4LineRow> &lines);
QString AverageDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units);
QString MaxDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units);
QString MinDiffText(const QList<TKel4LineRow> &lines, const TRecordUnits &units);
QString MaxDesignText(const QList<TKel4LineRow> &lines, const TRecordUnits &units);
QString MinDesignText(const QList<TKel4LineRow> &lines, const TRecordUnits &units);
// "5月7日:6月12日" from the remarks that read as dates; ":" when none does.
QString DateRangeText(const QList<TKel4LineRow> &lines);

// Decimals of the average: the average's output unit, or the significant unit when the
// average's is empty or zero.
int AverageDecimals(const TRecordUnits &units);

} // namespace RecordFigures
