#pragma once

#include <QList>
#include <QString>

#include <functional>

class TfrmEditDekigata;
class TGridCells;

// The hidden "Simulation": random differences for the measurement grid whose classes follow
// a histogram of eleven percentages, P(-5) … P(+5).
namespace Simulation {

constexpr int ClassCount = 11;

// Quotas of the classes for N groups: each P·N/100 rounded, the class with the largest
// quota (the first from -5 when tied) taking what rounding left over, so they add up to N.
QList<int> Quotas(const QList<int> &percents, int n);

struct TCellValue
{
    int Column = 0;
    int Row = 0;
    QString Text; // the difference in the difference unit, general format
};

struct TInput
{
    QList<int> Percents; // eleven, truncated
    QString Bunpu;       // class width, mm
    QString Yukou;       // significant output unit, mm
    QString DiffUnit;
};

// Uniform numbers in [0, 1).
using TUniform = std::function<double()>;

// The difference cells to write, in the order drawn. Refuses, with a message and before
// anything is drawn, a width or output unit that is empty or not positive, a histogram
// without a positive percentage, a grid without a station whose design value is a number,
// and an output unit too coarse to put a value into a class that needs one; so the drawing
// always ends.
QList<TCellValue> Plan(const TGridCells &grid, const TInput &input, const TUniform &uniform);

// Fills the main window's grid: each difference cell written, then the grid's change
// handling run for it. Nothing is written when the plan is refused.
void Run(TfrmEditDekigata &window, const QList<int> &percents, const TUniform &uniform = {});

} // namespace Simulation
