#include "measure/uGridCalc.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {
// A value cell as the computations read it: false for an empty cell and for a text that
// is not a number, which then takes no part. The grid's usual texts ("-12.345") go a short
// way: at most 15 digits make an exact whole number, and its quotient by an exact power of
// ten is the correctly rounded value, the same double the full conversion gives.
bool ValueOf(const QString &text, double *value)
{
    constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (text.isEmpty())
        return false;
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    const bool negative = *p == u'-';
    if (negative)
        ++p;
    qint64 mantissa = 0;
    int digits = 0;
    int decimals = -1; // digits after the point; -1 without a point
    for (; p != end; ++p) {
        const char16_t c = p->unicode();
        if (c >= u'0' && c <= u'9') {
            if (++digits > 15)
                return ReadDecimalText(text, value);
            mantissa = mantissa * 10 + (c - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if (c == u'.' && decimals < 0 && digits > 0) {
            decimals = 0;
        } else {
            return ReadDecimalText(text, value);
        }
    }
    if (digits == 0 || decimals == 0)
        return ReadDecimalText(text, value);
    double v = double(mantissa);
    if (decimals > 0)
        v /= kPowers[decimals];
    *value = negative ? -v : v;
    return true;
}

// The difference of two values as written with K1 decimals, from their scaled whole
// numbers, so that the stored difference is exactly stored measured minus stored design.
double DifferenceOf(double design, double measured, const TGridUnits &units, int k1)
{
    const double scale = std::pow(10.0, k1);
    const double steps = std::round(measured * scale) - std::round(design * scale);
    const double x = steps * units.UI / scale / units.UD;
    return units.Sagari ? -x : x;
}
} // namespace

QString GridLayout::ColumnHeading(int column)
{
    static const char16_t *const headings[] = {u"測点", u"位置", u"左設計", u"左測定", u"左差", u"中設計",
                                               u"中測定", u"中差", u"右設計", u"右測定", u"右差", u"摘要"};
    return column >= 1 && column <= ColumnCount ? QString::fromUtf16(headings[column - 1]) : QString();
}

TGridBuffer::TGridBuffer(int rows)
    : m_rows(rows)
    , m_cells(qsizetype(rows) * ColumnCount)
{
}

QString TGridBuffer::Cell(int column, int row) const
{
    if (column < 1 || column > ColumnCount || row < 1 || row > m_rows)
        return QString();
    return m_cells[qsizetype(row - 1) * ColumnCount + (column - 1)];
}

void TGridBuffer::SetCell(int column, int row, const QString &text)
{
    if (column < 1 || column > ColumnCount || row < 1 || row > m_rows)
        return;
    m_cells[qsizetype(row - 1) * ColumnCount + (column - 1)] = text;
    ++m_writes;
}

void TGridBuffer::Clear()
{
    for (QString &c : m_cells)
        c.clear();
}

int TGridBuffer::TakeWriteCount()
{
    const int n = m_writes;
    m_writes = 0;
    return n;
}

TGridUnits TGridUnits::From(const QString &inputUnit, const QString &diffUnit, const QString &yukou,
                            bool sagari)
{
    TGridUnits u;
    u.UI = UnitFactor(inputUnit);
    u.UD = UnitFactor(diffUnit);
    u.E = TextToFloat(yukou);
    u.Sagari = sagari;
    return u;
}

TGridCalc::TSettled &TGridCalc::Settled(int row, int group)
{
    return m_settled[qsizetype(row - 1) * 3 + group];
}

void TGridCalc::Reformat(TGridCells &cells, const TGridUnits &units)
{
    // An empty "有効" would divide by zero; it counts as 1 mm, as for the display.
    const TFormat format{units.UI, units.UD, DecimalsFor(units.UI, units.E), DecimalsFor(units.UD, units.E),
                         units.Sagari};
    const int rows = cells.Rows();
    if (!(format == m_format) || m_settled.size() != qsizetype(rows) * 3) {
        m_format = format;
        m_settled = QList<TSettled>(qsizetype(rows) * 3);
    }
    for (int r = 1; r <= rows; ++r) {
        for (int g = 0; g < 3; ++g) {
            const QString design = cells.Cell(DesignColumn(g), r);
            if (design.isEmpty())
                continue;
            const QString measured = cells.Cell(MeasuredColumn(g), r);
            const QString diff = cells.Cell(DiffColumn(g), r);
            TSettled &settled = Settled(r, g);
            if (settled.Valid && settled.Design == design && settled.Measured == measured && settled.Diff == diff)
                continue;
            double dv = 0, mv = 0, xv = 0;
            const bool hasD = ValueOf(design, &dv);
            const bool hasM = ValueOf(measured, &mv);
            const bool hasX = ValueOf(diff, &xv);
            settled.Valid = true;
            // Texts that are not numbers stay as typed; empty cells stay empty.
            if (dv * units.UI + mv * units.UI + xv * units.UD == 0) {
                settled.Design = design;
                settled.Measured = measured;
                settled.Diff = diff;
            } else {
                settled.Design = hasD ? FormatFixed(dv, format.K1) : design;
                settled.Measured = hasM ? FormatFixed(mv, format.K1) : measured;
                double shownD = 0, shownM = 0;
                if (hasD && hasM && (hasX || diff.isEmpty()) && ValueOf(settled.Design, &shownD)
                    && ValueOf(settled.Measured, &shownM))
                    settled.Diff = FormatFixed(DifferenceOf(shownD, shownM, units, format.K1), format.K2);
                else
                    settled.Diff = hasX ? FormatFixed(xv, format.K2) : diff;
            }
            settled.Counted = hasD && hasM && ValueOf(settled.Diff, &settled.DiffValue);
            if (design != settled.Design)
                cells.SetCell(DesignColumn(g), r, settled.Design);
            if (measured != settled.Measured)
                cells.SetCell(MeasuredColumn(g), r, settled.Measured);
            if (diff != settled.Diff)
                cells.SetCell(DiffColumn(g), r, settled.Diff);
        }
    }
}

bool TGridCalc::CellChanged(TGridCells &cells, const TGridUnits &units, int column, int row)
{
    if (!IsDecimalText(cells.Cell(column, row)))
        return false;
    GridCalc::ComputeGroup(cells, units, column, row);
    Reformat(cells, units);
    return true;
}

TGridTotals TGridCalc::Totals(const TGridCells &cells, const QString &diffUnit, const QString &yukou,
                              const QString &heikin)
{
    double sum = 0;
    int count = 0;
    const bool cached = m_settled.size() == qsizetype(cells.Rows()) * 3;
    // The last row is left out of the totals.
    const int last = qMin(cells.Rows(), RowCount - 1);
    for (int r = 1; r <= last; ++r) {
        for (int g = 0; g < 3; ++g) {
            const QString diff = cells.Cell(DiffColumn(g), r);
            if (diff.isEmpty())
                continue;
            const QString design = cells.Cell(DesignColumn(g), r);
            const QString measured = cells.Cell(MeasuredColumn(g), r);
            if (design.isEmpty() || measured.isEmpty())
                continue;
            // Only numbers count: a text such as "欠測" in any of the three leaves the group out.
            double value = 0;
            if (cached && Settled(r, g).Valid && Settled(r, g).Diff == diff && Settled(r, g).Design == design
                && Settled(r, g).Measured == measured) {
                if (!Settled(r, g).Counted)
                    continue;
                value = Settled(r, g).DiffValue;
            } else {
                double unused = 0;
                if (!ValueOf(diff, &value) || !ValueOf(design, &unused) || !ValueOf(measured, &unused))
                    continue;
            }
            sum += value;
            ++count;
        }
    }
    const int sumDecimals = TextToFloat(yukou) != 0 ? Dec(diffUnit, yukou) : 0;
    const int averageDecimals = TextToFloat(heikin) != 0 ? Dec(diffUnit, heikin) : sumDecimals;
    TGridTotals t;
    t.Sum = FormatFixed(sum, sumDecimals);
    t.Count = FormatGeneral(count);
    if (count > 0)
        t.Average = FormatFixed(sum / count, averageDecimals);
    return t;
}

namespace GridCalc {

void ComputeGroup(TGridCells &cells, const TGridUnits &units, int column, int row)
{
    const int g = GroupOf(column);
    if (g < 0)
        return;
    // The third value needs the other two as numbers: a design value alone, or a value
    // beside a text, computes nothing.
    double design = 0;
    if (!ValueOf(cells.Cell(DesignColumn(g), row), &design))
        return;
    const double d = design * units.UI;
    if (column == DiffColumn(g)) {
        double diff = 0;
        if (!ValueOf(cells.Cell(DiffColumn(g), row), &diff))
            return;
        const double x = diff * units.UD;
        const double m = units.Sagari ? d - x : d + x;
        cells.SetCell(MeasuredColumn(g), row, FormatGeneral(m / units.UI));
        return;
    }
    double measured = 0;
    if (!ValueOf(cells.Cell(MeasuredColumn(g), row), &measured))
        return;
    const double m = measured * units.UI;
    const double x = units.Sagari ? d - m : m - d;
    cells.SetCell(DiffColumn(g), row, FormatGeneral(x / units.UD));
}

void EnterRows(TGridCells &cells, const TGridUnits &units, const QList<TGridRowTexts> &rows)
{
    for (const TGridRowTexts &row : rows) {
        bool given[ColumnCount + 1] = {};
        for (const auto &[column, text] : row.Cells) {
            cells.SetCell(column, row.Row, text);
            if (column >= 1 && column <= ColumnCount)
                given[column] = !text.isEmpty();
        }
        for (int g = 0; g < 3; ++g) {
            if (given[MeasuredColumn(g)])
                ComputeGroup(cells, units, MeasuredColumn(g), row.Row);
            else if (given[DiffColumn(g)])
                ComputeGroup(cells, units, DiffColumn(g), row.Row);
            else if (given[DesignColumn(g)])
                ComputeGroup(cells, units, DesignColumn(g), row.Row);
        }
    }
}

bool CellChanged(TGridCells &cells, const TGridUnits &units, int column, int row)
{
    return TGridCalc().CellChanged(cells, units, column, row);
}

void Reformat(TGridCells &cells, const TGridUnits &units)
{
    TGridCalc().Reformat(cells, units);
}

TGridTotals Totals(const TGridCells &cells, const QString &diffUnit, const QString &yukou,
                   const QString &heikin)
{
    return TGridCalc().Totals(cells, diffUnit, yukou, heikin);
}

QString Proposal(const TGridCells &cells, int column, int row, const QString &interval, int formType)
{
    if (row <= 1 || !cells.Cell(column, row).isEmpty())
        return QString();
    // Only from a station above: a number made up from nothing would start a wrong chain.
    if (column == StationColumn) {
        const QString above = cells.Cell(StationColumn, row - 1);
        return above.trimmed().isEmpty() ? QString() : AddToStationText(above, interval);
    }
    if (column == DesignColumn(1) && (formType == 1 || formType == 2))
        return cells.Cell(DesignColumn(1), row - 1);
    return QString();
}

int DisplayDecimals(const QString &inputUnit, const QString &yukou)
{
    return Dec(inputUnit, yukou);
}

QString LimitYukou(const QString &yukou, const QString &diffUnit)
{
    const double ud = UnitFactor(diffUnit);
    if (TextToFloat(yukou) > ud)
        return FormatGeneral(ud);
    return yukou;
}

} // namespace GridCalc
