// Time of one typed value in a full measurement grid (computation, reformat, totals) and of
// replacing a record's 1000 lines. Run by hand: build/bench/measure_bench_GridEdit
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Line.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {
void FillGrid(TGridCells &grid)
{
    for (int r = 1; r <= RowCount; ++r) {
        grid.SetCell(1, r, u"No.%1"_s.arg(r * 20));
        for (int g = 0; g < 3; ++g) {
            grid.SetCell(DesignColumn(g), r, u"10.500"_s);
            grid.SetCell(MeasuredColumn(g), r, QString::number(10.5 + (r % 17) * 0.001, 'f', 3));
        }
        grid.SetCell(12, r, u"2003/5/7"_s);
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const TGridUnits units = TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false);

    TGridBuffer grid;
    FillGrid(grid);
    TGridCalc calc;
    calc.Reformat(grid, units);
    const int edits = 200;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < edits; ++i) {
        const int row = 1 + (i * 37) % RowCount;
        grid.SetCell(7, row, QString::number(10.49 + (i % 9) * 0.003, 'f', 3));
        calc.CellChanged(grid, units, 7, row);
        calc.Totals(grid, u"㎜"_s, u"1"_s, u"0.1"_s);
    }
    std::printf("one edit in a full grid (buffer): %.3f ms\n", double(timer.nsecsElapsed()) / 1e6 / edits);

    TTestEnv env;
    TKelmo4Line lines;
    lines.CreateTableIfMissing();
    QList<TKel4LineRow> rows;
    for (int r = 1; r <= RowCount; ++r) {
        TKel4LineRow row;
        row.LNO = r;
        for (int c = 1; c <= ColumnCount; ++c)
            row.Cells[size_t(c - 1)] = grid.Cell(c, r);
        rows.append(row);
    }
    for (int round = 0; round < 3; ++round) {
        timer.restart();
        lines.ReplaceLines(1, rows);
        std::printf("replace 1000 lines: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    }
    timer.restart();
    const auto loaded = lines.LoadLines(1);
    std::printf("load %lld lines: %.1f ms\n", qlonglong(loaded.size()), double(timer.nsecsElapsed()) / 1e6);
    return 0;
}
