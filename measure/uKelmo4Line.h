#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class TTableDef;

// One stored station row. Cells are in grid column order: SOKUTEN, ITI, L0, L1, L2, C0,
// C1, C2, R0, R1, R2, BIKO (grid columns 1..12).
struct TKel4LineRow
{
    static constexpr int CellCount = 12;
    int LNO = 0;
    std::array<QString, CellCount> Cells;

    bool IsEmpty() const;
    const QString &Cell(int column) const { return Cells[size_t(column - 1)]; } // 1..12
};

// Field names of the cells, index 0..11 = grid columns 1..12.
const QStringList &Kel4LineCellFields();

// The line-table operations; holds no data of its own.
class TKelmo4Line
{
public:
    static const TTableDef &TableDef();

    bool CreateTableIfMissing();
    void DeleteLines(int kid);
    // Distinct non-empty positions of all lines, ordered.
    void ListPositions(QStringList &list);

    // The lines of a header, ordered by LNO.
    QList<TKel4LineRow> LoadLines(int kid) const;
    // Replaces the header's lines by Rows in one transaction. Every text is checked against
    // its column before anything is written; on any failure the old lines stay.
    void ReplaceLines(int kid, const QList<TKel4LineRow> &rows);

private:
    // Writes only the differences to the stored lines; false (nothing written) when the
    // stored lines cannot be matched to Rows line by line.
    bool WriteChangedLines(int kid, const QList<TKel4LineRow> &rows);
};
