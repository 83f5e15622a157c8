#include "roadplan/uFormationHeight.h"

#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

namespace {
const TTableDef kTakasaFormation(u"TakasaFormation"_s, {
    {u"KCODE"_s, TFieldType::Alpha, 8, u"工事コード"_s},
    {u"LNO"_s, TFieldType::LongInt},
    {u"SOKUTEN"_s, TFieldType::Alpha, 10, u"測点"_s},
    {u"H00"_s, TFieldType::Float},
    {u"H01"_s, TFieldType::Float},
    {u"H02"_s, TFieldType::Float},
    {u"H03"_s, TFieldType::Float},
    {u"H04"_s, TFieldType::Float},
    {u"H05"_s, TFieldType::Float},
    {u"H06"_s, TFieldType::Float},
    {u"H07"_s, TFieldType::Float},
    {u"H08"_s, TFieldType::Float},
    {u"H09"_s, TFieldType::Float},
    {u"H10"_s, TFieldType::Float},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kTakasaFormation), true);

// H00 … H10 hold grid columns 3 … 13.
QString ValueField(int column)
{
    return u"H%1"_s.arg(column - DistanceColumn, 2, 10, QChar(u'0'));
}

QString Trimmed(const TGridCells &cells, int column, int row)
{
    return cells.Cell(column, row).trimmed();
}

double Number(const TGridCells &cells, int column, int row)
{
    return TextToFloat(cells.Cell(column, row));
}

} // namespace

TPlanCells::TPlanCells(int rows)
    : m_rows(rows)
    , m_cells(qsizetype(rows) * ColumnCount)
{
}

QString TPlanCells::Cell(int column, int row) const
{
    if (column < 1 || column > ColumnCount || row < 1 || row > m_rows)
        return QString();
    return m_cells[qsizetype(row - 1) * ColumnCount + (column - 1)];
}

void TPlanCells::SetCell(int column, int row, const QString &text)
{
    if (column < 1 || column > ColumnCount || row < 1 || row > m_rows)
        return;
    m_cells[qsizetype(row - 1) * ColumnCount + (column - 1)] = text;
}

TFormationHeight::TFormationHeight(QObject *owner)
    : QObject(owner)
{
}

const TTableDef &TFormationHeight::TableDef()
{
    return kTakasaFormation;
}

bool TFormationHeight::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kTakasaFormation);
}

namespace FormationPlan {

bool RowInUse(const TGridCells &cells, int row)
{
    return !Trimmed(cells, StationColumn, row).isEmpty();
}

void RecalcRow(TGridCells &cells, int row)
{
    if (row < 1 || row > cells.Rows())
        return;
    const QString wl = Trimmed(cells, LeftWidthColumn, row);
    const QString sl = Trimmed(cells, LeftSlopeColumn, row);
    const QString sr = Trimmed(cells, RightSlopeColumn, row);
    const QString wr = Trimmed(cells, RightWidthColumn, row);
    const double hc = Number(cells, CentreHeightColumn, row);

    if (!wl.isEmpty() && !sl.isEmpty()) {
        const double slope = TextToFloat(sl);
        cells.SetCell(LeftHeightColumn, row, FormatFixed(hc - TextToFloat(wl) * slope / 100, 3));
        // The left crossfall carried on through the centre to the right width.
        cells.SetCell(RightSightColumn, row, FormatFixed(hc + TextToFloat(wr) * slope / 100, 3));
    }
    if (!wr.isEmpty() && !sr.isEmpty()) {
        const double slope = TextToFloat(sr);
        cells.SetCell(RightHeightColumn, row, FormatFixed(hc - TextToFloat(wr) * slope / 100, 3));
        cells.SetCell(LeftSightColumn, row, FormatFixed(hc + TextToFloat(wl) * slope / 100, 3));
    }

    // A changed centre height changes the gradient into this row and into the next one;
    // row 1 has no row above it.
    const int first = row == 1 ? 2 : row;
    for (int q = first; q <= first + 1 && q <= cells.Rows(); ++q) {
        const double distance = Number(cells, DistanceColumn, q);
        if (distance == 0)
            break;
        const double rise = Number(cells, CentreHeightColumn, q) - Number(cells, CentreHeightColumn, q - 1);
        cells.SetCell(GradientColumn, q, FormatFixed(rise / distance * 100, 4));
    }
}

QString StationProposal(const TGridCells &cells, int newRow, const QString &interval)
{
    if (newRow < 2 || newRow > cells.Rows() || RowInUse(cells, newRow))
        return QString();
    return AddToStationText(cells.Cell(StationColumn, newRow - 1), interval);
}

void SetStationDistances(TGridCells &cells)
{
    cells.SetCell(DistanceColumn, 1, u"0.00"_s);
    for (int r = 2; r <= cells.Rows() && RowInUse(cells, r); ++r) {
        const double d = Number(cells, StationColumn, r) - Number(cells, StationColumn, r - 1);
        cells.SetCell(DistanceColumn, r, FormatFixed(d, 2));
    }
}

bool InterpolateDesign(TGridCells &cells, const TSpreadBlock &block)
{
    if (!block.IsValid() || block.Row2 <= block.Row1 || block.Row2 > cells.Rows())
        return false;
    const int col2 = qMin(block.Col2, ColumnCount);

    for (int r = 1; r <= cells.Rows() && RowInUse(cells, r); ++r) {
        if (Trimmed(cells, DistanceColumn, r).isEmpty()) {
            SetStationDistances(cells);
            break;
        }
    }

    // Single precision, as the plan has always been computed.
    float total = 0;
    for (int r = block.Row1 + 1; r <= block.Row2; ++r)
        total += float(Number(cells, DistanceColumn, r));

    for (int c = qMax(block.Col1, StationColumn); c <= col2; ++c) {
        const bool threeDecimals = c == LeftSlopeColumn || c == CentreHeightColumn || c == RightSlopeColumn;
        const int decimals = threeDecimals ? 3 : 2;
        if (c == LeftWidthColumn || c == RightWidthColumn) {
            for (int r = block.Row1; r <= block.Row2; ++r)
                RecalcRow(cells, r);
        }
        const float begin = float(Number(cells, c, block.Row1));
        const float end = float(Number(cells, c, block.Row2));
        const float delta = end - begin;
        float along = 0;
        for (int r = block.Row1; r <= block.Row2; ++r) {
            if (r > block.Row1)
                along += float(Number(cells, DistanceColumn, r));
            if (total > 0) {
                const float value = delta * along / total + begin;
                cells.SetCell(c, r, FormatFixed(double(value), decimals));
            }
            RecalcRow(cells, r);
        }
    }
    return true;
}

int TransferPlan(const TGridCells &plan, TGridCells &measure)
{
    int n = 0;
    for (int r = 1; r <= plan.Rows() && RowInUse(plan, r); ++r) {
        if (plan.Cell(PlanLayout::CheckColumn, r) != u"1"_s)
            continue;
        ++n;
        if (n > measure.Rows())
            break;
        measure.SetCell(GridLayout::StationColumn, n, plan.Cell(StationColumn, r));
        measure.SetCell(GridLayout::DesignColumn(0), n, plan.Cell(LeftHeightColumn, r));
        measure.SetCell(GridLayout::DesignColumn(1), n, plan.Cell(CentreHeightColumn, r));
        measure.SetCell(GridLayout::DesignColumn(2), n, plan.Cell(RightHeightColumn, r));
    }
    return qMin(n, measure.Rows());
}

void SetAllChecks(TGridCells &cells, bool on)
{
    for (int r = 1; r <= cells.Rows(); ++r) {
        if (RowInUse(cells, r))
            cells.SetCell(PlanLayout::CheckColumn, r, on ? u"1"_s : QString());
    }
}

void SavePlan(const QString &code, const TGridCells &cells, TRowVersion *version)
{
    // A station too long for its column is refused by the insert; the transaction then
    // brings the deleted rows back.
    TTransaction transaction;
    TQuery stored(u"select * from TakasaFormation where KCODE=:KCODE"_s);
    stored.SetParam(u"KCODE"_s, TextValue(code));
    stored.Open();
    const int now = StoredSetVersion(stored);
    const int counter = version ? version->Check(code, now) : NextRowVersion(now);
    TQuery remove(u"delete from TakasaFormation where KCODE=:KCODE"_s);
    remove.SetParam(u"KCODE"_s, TextValue(code));
    remove.ExecSQL();

    QString sql = u"insert into TakasaFormation (KCODE,LNO,KOUSIN,SOKUTEN"_s;
    QString values = u"values (:KCODE,:LNO,:KOUSIN,:SOKUTEN"_s;
    for (int c = DistanceColumn; c <= ColumnCount; ++c) {
        sql += u","_s + ValueField(c);
        values += u",:"_s + ValueField(c);
    }
    TPreparedQuery insert(sql + u") "_s + values + u")"_s);
    for (int r = 1; r <= cells.Rows(); ++r) {
        if (!RowInUse(cells, r))
            continue;
        insert.SetParam(u"KCODE"_s, TextValue(code));
        insert.SetParam(u"LNO"_s, r);
        insert.SetParam(u"KOUSIN"_s, counter);
        insert.SetParam(u"SOKUTEN"_s, TextValue(cells.Cell(StationColumn, r)));
        for (int c = DistanceColumn; c <= ColumnCount; ++c)
            insert.SetParam(ValueField(c), Number(cells, c, r));
        insert.ExecSQL();
    }
    transaction.Commit();
    if (version)
        version->Saved(code, counter);
}

int LoadPlan(const QString &code, TGridCells &cells, TRowVersion *version)
{
    TQuery q(u"select * from TakasaFormation where KCODE=:KCODE"_s);
    q.SetParam(u"KCODE"_s, TextValue(code));
    q.Open();
    int n = 0;
    int counter = -1;
    for (; !q.Eof(); q.Next()) {
        counter = qMax(counter, LoadedRowVersion(q));
        const int row = q.FieldInt(u"LNO"_s);
        if (row < 1 || row > cells.Rows())
            continue;
        cells.SetCell(StationColumn, row, q.FieldText(u"SOKUTEN"_s));
        for (int c = DistanceColumn; c <= ColumnCount; ++c)
            cells.SetCell(c, row, FormatGeneral(q.FieldFloat(ValueField(c))));
        ++n;
    }
    if (version)
        version->Loaded(code, counter);
    return n;
}

void DeletePlan(const QString &code, TRowVersion *version)
{
    TQuery q(u"delete from TakasaFormation where KCODE=:KCODE"_s);
    q.SetParam(u"KCODE"_s, TextValue(code));
    q.ExecSQL();
    if (version)
        version->Loaded(code, -1);
}

int StoredRowCount(const QString &code)
{
    TQuery q(u"select * from TakasaFormation where KCODE=:KCODE"_s);
    q.SetParam(u"KCODE"_s, TextValue(code));
    q.Open();
    return q.RecordCount();
}

} // namespace FormationPlan
