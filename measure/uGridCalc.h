#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The measurement grid's computations, apart from any window: 12 columns (station,
// position, three groups of design / measured / difference, remarks) and 1000 rows, all
// texts. Columns and rows count from 1 as on screen.

namespace GridLayout {
constexpr int ColumnCount = 12;
constexpr int RowCount = 1000;
constexpr int StationColumn = 1;
constexpr int PositionColumn = 2;
constexpr int RemarksColumn = 12;
// Group g = 0, 1, 2 (left, centre, right).
constexpr int DesignColumn(int g) { return 3 * g + 3; }
constexpr int MeasuredColumn(int g) { return 3 * g + 4; }
constexpr int DiffColumn(int g) { return 3 * g + 5; }
// -1 for the station, position and remarks columns.
constexpr int GroupOf(int column) { return column >= 3 && column <= 11 ? (column - 3) / 3 : -1; }
// The grid's column headings ("測点" … "摘要"), also the column names of exchanged files.
QString ColumnHeading(int column);
} // namespace GridLayout

// Cell access the computations work through: the window's grid, or a plain buffer.
class TGridCells
{
public:
    virtual ~TGridCells() = default;
    virtual int Rows() const = 0;
    virtual QString Cell(int column, int row) const = 0;
    // A write by the program: it raises no change handling.
    virtual void SetCell(int column, int row, const QString &text) = 0;
};

class TGridBuffer final : public TGridCells
{
public:
    explicit TGridBuffer(int rows = GridLayout::RowCount);
    int Rows() const override { return m_rows; }
    QString Cell(int column, int row) const override;
    void SetCell(int column, int row, const QString &text) override;
    void Clear();
    // Cells written since the last call; lets tests see that settled texts stay untouched.
    int TakeWriteCount();

private:
    int m_rows;
    QList<QString> m_cells;
    int m_writes = 0;
};

// What the computations take from the window, already read.
struct TGridUnits
{
    double UI = 1;   // millimetres per input unit
    double UD = 1;   // millimetres per difference unit
    double E = 0;    // significant output unit, mm, as typed (0 when empty)
    bool Sagari = false;

    static TGridUnits From(const QString &inputUnit, const QString &diffUnit, const QString &yukou,
                           bool sagari);
};

// Texts for some cells of one grid row: (column, text).
struct TGridRowTexts
{
    int Row = 0;
    QList<QPair<int, QString>> Cells;
};

struct TGridTotals
{
    QString Sum;     // "差の合計"
    QString Count;   // "測点数"
    QString Average; // "平均値", empty without any counted group
};

// The computations of a grid the user keeps editing. It remembers the texts each group
// was last formatted to, so a settled group costs a comparison instead of a parse and a
// format; a group whose texts changed in any way (typed, pasted, written by the program)
// no longer matches and is formatted again.
class TGridCalc
{
public:
    // The user changed the cell: when its text is a number, computes the third value of
    // its group and reformats the grid. False when the text is not a number (nothing done).
    bool CellChanged(TGridCells &cells, const TGridUnits &units, int column, int row);
    void Reformat(TGridCells &cells, const TGridUnits &units);
    // Totals over rows 1..999 of the groups whose three cells are filled.
    TGridTotals Totals(const TGridCells &cells, const QString &diffUnit, const QString &yukou,
                       const QString &heikin);

private:
    struct TSettled
    {
        QString Design, Measured, Diff;
        double DiffValue = 0;
        bool Counted = false; // design, measured and difference are all numbers
        bool Valid = false;
    };
    struct TFormat
    {
        double UI = 0, UD = 0;
        int K1 = -1, K2 = -1;
        bool Sagari = false;
        bool operator==(const TFormat &) const = default;
    };
    TSettled &Settled(int row, int group);

    QList<TSettled> m_settled; // (row - 1) * 3 + group
    TFormat m_format;
};

namespace GridCalc {

// One-off forms of TGridCalc's operations.
bool CellChanged(TGridCells &cells, const TGridUnits &units, int column, int row);
void Reformat(TGridCells &cells, const TGridUnits &units);
TGridTotals Totals(const TGridCells &cells, const QString &diffUnit, const QString &yukou,
                   const QString &heikin);

// Computes the third value of the changed cell's group, without reformatting.
void ComputeGroup(TGridCells &cells, const TGridUnits &units, int column, int row);

// Writes the rows' texts and, in each group given a value, computes the third value as
// typing that group's cells would (from the measured value when it is given, else from the
// difference, else from the design value), without reformatting.
void EnterRows(TGridCells &cells, const TGridUnits &units, const QList<TGridRowTexts> &rows);

// The text the program proposes for an empty cell the cursor moves into, or a null text.
// FormType 0 "高さ", 1 "厚さ", 2 "幅".
QString Proposal(const TGridCells &cells, int column, int row, const QString &interval, int formType);

// Decimals of the numeric display of the design and measured columns.
int DisplayDecimals(const QString &inputUnit, const QString &yukou);

// "有効" after the rule that it is never coarser than one difference unit: the unit's
// millimetres in general format when it is, else Yukou unchanged.
QString LimitYukou(const QString &yukou, const QString &diffUnit);

} // namespace GridCalc
