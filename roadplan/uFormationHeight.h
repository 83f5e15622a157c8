#pragma once

#include "app/uRowVersion.h"
#include "app/uSpread.h"
#include "measure/uGridCalc.h"

#include <QList>
#include <QObject>
#include <QString>

class TTableDef;

// The road surface plan of a project: one row per station with the planned cross-section.
// Columns and rows count from 1 as on screen.
namespace PlanLayout {
constexpr int RowCount = 500;
constexpr int ColumnCount = 13;
constexpr int CheckColumn = 1;    // "転送", "1" when ticked
constexpr int StationColumn = 2;  // "測点"
constexpr int DistanceColumn = 3; // "距離" from the previous station
constexpr int LeftHeightColumn = 4;   // HL, computed
constexpr int LeftWidthColumn = 5;    // WL
constexpr int LeftSlopeColumn = 6;    // SL, percent
constexpr int CentreHeightColumn = 7; // HC
constexpr int RightSlopeColumn = 8;   // SR, percent
constexpr int RightWidthColumn = 9;   // WR
constexpr int RightHeightColumn = 10; // HR, computed
constexpr int GradientColumn = 11;    // G, percent, computed
constexpr int LeftSightColumn = 12;   // TL, computed
constexpr int RightSightColumn = 13;  // TR, computed
// The print rows: the page holds the first 35 grid rows.
constexpr int PrintedRows = 35;
} // namespace PlanLayout

// A plan grid in memory (13 columns), for the exporter and for computations away from the
// window.
class TPlanCells final : public TGridCells
{
public:
    explicit TPlanCells(int rows = PlanLayout::RowCount);
    int Rows() const override { return m_rows; }
    QString Cell(int column, int row) const override;
    void SetCell(int column, int row, const QString &text) override;

private:
    int m_rows;
    QList<QString> m_cells;
};

// Owner of the table TakasaFormation.
class TFormationHeight final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFormationHeight)

public:
    explicit TFormationHeight(QObject *owner = nullptr);

    static const TTableDef &TableDef();

    // True when the table exists; otherwise creates it and returns false.
    bool CreateTableIfMissing();

    // Of the plan the window last read or saved, by project code.
    TRowVersion Version;
};

namespace FormationPlan {

// A row is in use when its station, without surrounding blanks, is not empty.
bool RowInUse(const TGridCells &cells, int row);

// Edge heights, sighting heights and the gradients of this row and the next.
void RecalcRow(TGridCells &cells, int row);

// The station written into row NewRow when the cursor leaves a station cell for it, or a
// null text when nothing is to be filled (row 1, or a station already there).
QString StationProposal(const TGridCells &cells, int newRow, const QString &interval);

// Distance of row 1 "0.00", then each row's station minus the one above, while stations last.
void SetStationDistances(TGridCells &cells);

// Distributes each column of the block linearly over the distances between its first and
// last row. False, with nothing changed, when the block does not span at least two rows.
// The check column is never written.
bool InterpolateDesign(TGridCells &cells, const TSpreadBlock &block);

// Rows in use whose check is "1" go, one after another from row 1, into the measurement
// grid as station and left / centre / right design values. Returns the rows written.
int TransferPlan(const TGridCells &plan, TGridCells &measure);

// Ticks (or clears) the check of every row with a station; rows without one are skipped.
void SetAllChecks(TGridCells &cells, bool on);

// Replaces the project's stored plan by the rows with a station, in one transaction: a
// refused text or a failure keeps the stored plan as it was. Every row carries the plan's
// one counter. With Version: EConflictError, writing nothing, when another program saved
// or deleted the plan since Version was noted; afterwards Version holds the new counter.
void SavePlan(const QString &code, const TGridCells &cells, TRowVersion *version = nullptr);
// Writes the project's stored rows into their grid rows (station and columns 3 … 13);
// other rows keep what they hold. Returns the rows read; Version, when given, notes their
// counter.
int LoadPlan(const QString &code, TGridCells &cells, TRowVersion *version = nullptr);
// Version, when given, notes that no plan is stored.
void DeletePlan(const QString &code, TRowVersion *version = nullptr);
// Number of stored rows of the project.
int StoredRowCount(const QString &code);

} // namespace FormationPlan
