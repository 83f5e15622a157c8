#include "measure/uGridCalc.h"

#include "app/uCommon.h"
#include "measure/uUnits.h"

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

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

namespace {
void SetIfDifferent(TGridCells &cells, int column, int row, const QString &text)
{
    if (cells.Cell(column, row) != text)
        cells.SetCell(column, row, text);
}
} // namespace

namespace GridCalc {

void ComputeGroup(TGridCells &cells, const TGridUnits &units, int column, int row)
{
    const int g = GroupOf(column);
    if (g < 0)
        return;
    const double d = TextToFloat(cells.Cell(DesignColumn(g), row)) * units.UI;
    if (column == DiffColumn(g)) {
        const double x = TextToFloat(cells.Cell(DiffColumn(g), row)) * units.UD;
        const double m = units.Sagari ? d - x : d + x;
        cells.SetCell(MeasuredColumn(g), row, FormatGeneral(m / units.UI));
        return;
    }
    const double m = TextToFloat(cells.Cell(MeasuredColumn(g), row)) * units.UI;
    const double x = units.Sagari ? d - m : m - d;
    cells.SetCell(DiffColumn(g), row, FormatGeneral(x / units.UD));
}

void Reformat(TGridCells &cells, const TGridUnits &units)
{
    // An empty "有効" would divide by zero; it counts as 1 mm, as for the display.
    const int k1 = DecimalsFor(units.UI, units.E);
    const int k2 = DecimalsFor(units.UD, units.E);
    const int rows = cells.Rows();
    for (int r = 1; r <= rows; ++r) {
        for (int g = 0; g < 3; ++g) {
            const QString design = cells.Cell(DesignColumn(g), r);
            if (design.isEmpty())
                continue;
            const double dv = TextToFloat(design);
            const double mv = TextToFloat(cells.Cell(MeasuredColumn(g), r));
            const double xv = TextToFloat(cells.Cell(DiffColumn(g), r));
            if (dv * units.UI + mv * units.UI + xv * units.UD == 0)
                continue;
            SetIfDifferent(cells, DesignColumn(g), r, FormatFixed(dv, k1));
            SetIfDifferent(cells, MeasuredColumn(g), r, FormatFixed(mv, k1));
            SetIfDifferent(cells, DiffColumn(g), r, FormatFixed(xv, k2));
        }
    }
}

bool CellChanged(TGridCells &cells, const TGridUnits &units, int column, int row)
{
    if (!IsFloatText(cells.Cell(column, row)))
        return false;
    ComputeGroup(cells, units, column, row);
    Reformat(cells, units);
    return true;
}

TGridTotals Totals(const TGridCells &cells, const QString &diffUnit, const QString &yukou,
                   const QString &heikin)
{
    double sum = 0;
    int count = 0;
    // The last row is left out of the totals.
    const int last = qMin(cells.Rows(), RowCount - 1);
    for (int r = 1; r <= last; ++r) {
        for (int g = 0; g < 3; ++g) {
            const QString diff = cells.Cell(DiffColumn(g), r);
            if (diff.isEmpty() || cells.Cell(DesignColumn(g), r).isEmpty()
                || cells.Cell(MeasuredColumn(g), r).isEmpty())
                continue;
            sum += TextToFloat(diff);
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

QString Proposal(const TGridCells &cells, int column, int row, const QString &interval, int formType)
{
    if (row <= 1 || !cells.Cell(column, row).isEmpty())
        return QString();
    if (column == StationColumn)
        return AddToStationText(cells.Cell(StationColumn, row - 1), interval);
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
