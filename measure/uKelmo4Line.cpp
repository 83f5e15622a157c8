#include "measure/uKelmo4Line.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kLineTable(u"Kel4Line"_s,
                           {{u"KID"_s, TFieldType::LongInt},
                            {u"LNO"_s, TFieldType::LongInt},
                            {u"SOKUTEN"_s, TFieldType::Alpha, 16},
                            {u"ITI"_s, TFieldType::Alpha, 8},
                            {u"L0"_s, TFieldType::Alpha, 10},
                            {u"L1"_s, TFieldType::Alpha, 10},
                            {u"L2"_s, TFieldType::Alpha, 10},
                            {u"C0"_s, TFieldType::Alpha, 10},
                            {u"C1"_s, TFieldType::Alpha, 10},
                            {u"C2"_s, TFieldType::Alpha, 10},
                            {u"R0"_s, TFieldType::Alpha, 10},
                            {u"R1"_s, TFieldType::Alpha, 10},
                            {u"R2"_s, TFieldType::Alpha, 10},
                            {u"BIKO"_s, TFieldType::Alpha, 20}});

const bool kRegistered = (RegisterTableDef(&kLineTable), true);
} // namespace

bool TKel4LineRow::IsEmpty() const
{
    for (const QString &c : Cells) {
        if (!c.isEmpty())
            return false;
    }
    return true;
}

const QStringList &Kel4LineCellFields()
{
    static const QStringList fields = {u"SOKUTEN"_s, u"ITI"_s, u"L0"_s, u"L1"_s,
                                       u"L2"_s,      u"C0"_s,  u"C1"_s, u"C2"_s,
                                       u"R0"_s,      u"R1"_s,  u"R2"_s, u"BIKO"_s};
    return fields;
}

const TTableDef &TKelmo4Line::TableDef()
{
    Q_UNUSED(kRegistered);
    return kLineTable;
}

bool TKelmo4Line::CreateTableIfMissing()
{
    const bool existed = ::CreateTableIfMissing(TableDef());
    // Every read and delete of a record's lines goes by KID; without an index each one reads
    // the whole table. Not unique, so nothing the table holds or refuses changes, and a
    // folder that cannot take the index (read-only) works as before, only slower.
    try {
        TQuery(u"create index if not exists \"Kel4Line\".\"Kel4LineKID\" on \"Kel4Line\" (KID)"_s).ExecSQL();
    } catch (const EDatabaseError &) {
    }
    return existed;
}

void TKelmo4Line::DeleteLines(int kid)
{
    TQuery q(u"delete from Kel4Line where KID=:KID"_s);
    q.SetParam(u"KID"_s, kid);
    q.ExecSQL();
}

void TKelmo4Line::ListPositions(QStringList &list)
{
    list.clear();
    TQuery q(u"select distinct ITI from Kel4Line where ITI<>'' order by ITI"_s);
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const QString iti = q.FieldText(u"ITI"_s);
        if (!iti.isEmpty())
            list.append(iti);
    }
}

QList<TKel4LineRow> TKelmo4Line::LoadLines(int kid) const
{
    TQuery q(u"select * from Kel4Line where KID=:KID order by LNO"_s);
    q.SetParam(u"KID"_s, kid);
    q.Open();
    const QStringList &fields = Kel4LineCellFields();
    QList<TKel4LineRow> rows;
    rows.reserve(q.RecordCount());
    if (q.Eof())
        return rows;
    // The columns are looked up once, not for each of up to 12000 cells.
    std::array<int, TKel4LineRow::CellCount> columns{};
    for (int i = 0; i < TKel4LineRow::CellCount; ++i)
        columns[size_t(i)] = q.FieldIndex(fields[i]);
    for (; !q.Eof(); q.Next()) {
        TKel4LineRow row;
        row.LNO = q.FieldInt(u"LNO"_s);
        for (int i = 0; i < TKel4LineRow::CellCount; ++i)
            row.Cells[size_t(i)] = q.FieldTextAt(columns[size_t(i)]);
        rows.append(std::move(row));
    }
    return rows;
}

void TKelmo4Line::ReplaceLines(int kid, const QList<TKel4LineRow> &rows)
{
    const QStringList &fields = Kel4LineCellFields();
    // Refuse an over-long or unstorable text before the old lines are touched.
    for (const TKel4LineRow &row : rows) {
        for (int i = 0; i < TKel4LineRow::CellCount; ++i) {
            try {
                kLineTable.CheckText(fields[i], row.Cells[size_t(i)]);
            } catch (const EDatabaseError &e) {
                throw EDatabaseError(u"%1 行目: "_s.arg(row.LNO) + e.Message());
            }
        }
    }

    TTransaction transaction;
    DeleteLines(kid);
    QString sql = u"insert into Kel4Line (KID,LNO,"_s + fields.join(u',') + u") values (:KID,:LNO"_s;
    for (const QString &f : fields)
        sql += u",:"_s + f;
    sql += u')';
    TPreparedQuery q(sql);
    for (const TKel4LineRow &row : rows) {
        q.SetParam(u"KID"_s, kid);
        q.SetParam(u"LNO"_s, row.LNO);
        for (int i = 0; i < TKel4LineRow::CellCount; ++i)
            q.SetParam(fields[i], row.Cells[size_t(i)]);
        q.ExecSQL();
    }
    transaction.Commit();
}
