#include "measure/uKelmo4Line.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

#include <QHash>
#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kLineTable(u"Kel4Line"_s,
                           {{u"KID"_s, TFieldType::LongInt},
                            {u"LNO"_s, TFieldType::LongInt},
                            {u"SOKUTEN"_s, TFieldType::Alpha, 16, u"測点"_s},
                            {u"ITI"_s, TFieldType::Alpha, 8, u"位置"_s},
                            {u"L0"_s, TFieldType::Alpha, 10, u"左設計"_s},
                            {u"L1"_s, TFieldType::Alpha, 10, u"左測定"_s},
                            {u"L2"_s, TFieldType::Alpha, 10, u"左差"_s},
                            {u"C0"_s, TFieldType::Alpha, 10, u"中設計"_s},
                            {u"C1"_s, TFieldType::Alpha, 10, u"中測定"_s},
                            {u"C2"_s, TFieldType::Alpha, 10, u"中差"_s},
                            {u"R0"_s, TFieldType::Alpha, 10, u"右設計"_s},
                            {u"R1"_s, TFieldType::Alpha, 10, u"右測定"_s},
                            {u"R2"_s, TFieldType::Alpha, 10, u"右差"_s},
                            {u"BIKO"_s, TFieldType::Alpha, 20, u"摘要"_s}});

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
    const int lno = q.FieldIndex(u"LNO"_s);
    for (; !q.Eof(); q.Next()) {
        TKel4LineRow row;
        row.LNO = q.FieldIntAt(lno);
        for (int i = 0; i < TKel4LineRow::CellCount; ++i)
            row.Cells[size_t(i)] = q.FieldTextAt(columns[size_t(i)]);
        rows.append(std::move(row));
    }
    return rows;
}

namespace {
// True when the stored value is what writing Text stores: NULL for a null text, else that text.
bool StoresAs(const QVariant &stored, const QString &text)
{
    if (text.isNull())
        return stored.isNull();
    return !stored.isNull() && stored.typeId() == QMetaType::QString
        && *static_cast<const QString *>(stored.constData()) == text;
}

QString InsertStatement()
{
    const QStringList &fields = Kel4LineCellFields();
    QString sql = u"insert into Kel4Line (KID,LNO,"_s + fields.join(u',') + u") values (:KID,:LNO"_s;
    for (const QString &f : fields)
        sql += u",:"_s + f;
    return sql + u')';
}

QString UpdateStatement()
{
    QStringList sets;
    for (const QString &f : Kel4LineCellFields())
        sets.append(f + u"=:"_s + f);
    return u"update Kel4Line set "_s + sets.join(u',') + u" where rowid=:RowKey"_s;
}
} // namespace

bool TKelmo4Line::WriteChangedLines(int kid, const QList<TKel4LineRow> &rows)
{
    QHash<int, const TKel4LineRow *> wanted;
    wanted.reserve(rows.size());
    for (const TKel4LineRow &row : rows) {
        if (wanted.contains(row.LNO))
            return false;
        wanted.insert(row.LNO, &row);
    }

    TQuery stored(u"select rowid as RowKey, * from Kel4Line where KID=:KID"_s);
    stored.SetParam(u"KID"_s, kid);
    stored.Open();
    // Only a table of exactly the known columns, with one whole-number line number per
    // line, can be matched line by line.
    const QList<TFieldDef> &defs = kLineTable.Fields();
    if (!stored.Eof()) {
        // RowKey and the table's columns, nothing else (a server's table declares the
        // key as a column of its own).
        if (stored.FieldCount() != defs.size() + 1 + (stored.HasField(u"rowid"_s) ? 1 : 0))
            return false;
        for (const TFieldDef &f : defs) {
            if (!stored.HasField(f.Name))
                return false;
        }
    }
    const QStringList &fields = Kel4LineCellFields();
    std::array<int, TKel4LineRow::CellCount> columns{};
    int lnoColumn = 0;
    if (!stored.Eof()) {
        for (int i = 0; i < TKel4LineRow::CellCount; ++i)
            columns[size_t(i)] = stored.FieldIndex(fields[i]);
        lnoColumn = stored.FieldIndex(u"LNO"_s);
    }

    QList<qint64> removed;
    QList<QPair<qint64, const TKel4LineRow *>> changed;
    QSet<int> seen;
    for (; !stored.Eof(); stored.Next()) {
        const QVariant lno = stored.FieldValueAt(lnoColumn);
        if (lno.typeId() != QMetaType::LongLong || lno.toLongLong() != int(lno.toLongLong()))
            return false;
        const int number = int(lno.toLongLong());
        if (seen.contains(number))
            return false;
        seen.insert(number);
        const qint64 key = stored.FieldValueAt(0).toLongLong();
        const TKel4LineRow *row = wanted.value(number, nullptr);
        if (!row) {
            removed.append(key);
            continue;
        }
        for (int i = 0; i < TKel4LineRow::CellCount; ++i) {
            if (!StoresAs(stored.FieldValueAt(columns[size_t(i)]), row->Cells[size_t(i)])) {
                changed.append({key, row});
                break;
            }
        }
    }

    if (!removed.isEmpty()) {
        TPreparedQuery remove(u"delete from Kel4Line where rowid=:RowKey"_s);
        for (const qint64 key : std::as_const(removed)) {
            remove.SetParam(u"RowKey"_s, key);
            remove.ExecSQL();
        }
    }
    if (!changed.isEmpty()) {
        TPreparedQuery update(UpdateStatement());
        for (const auto &[key, row] : std::as_const(changed)) {
            for (int i = 0; i < TKel4LineRow::CellCount; ++i)
                update.SetParam(fields[i], row->Cells[size_t(i)]);
            update.SetParam(u"RowKey"_s, key);
            update.ExecSQL();
        }
    }
    bool inserting = false;
    for (const TKel4LineRow &row : rows) {
        if (!seen.contains(row.LNO)) {
            inserting = true;
            break;
        }
    }
    if (inserting) {
        TPreparedQuery insert(InsertStatement());
        for (const TKel4LineRow &row : rows) {
            if (seen.contains(row.LNO))
                continue;
            insert.SetParam(u"KID"_s, kid);
            insert.SetParam(u"LNO"_s, row.LNO);
            for (int i = 0; i < TKel4LineRow::CellCount; ++i)
                insert.SetParam(fields[i], row.Cells[size_t(i)]);
            insert.ExecSQL();
        }
    }
    return true;
}

void TKelmo4Line::ReplaceLines(int kid, const QList<TKel4LineRow> &rows)
{
    const QStringList &fields = Kel4LineCellFields();
    std::array<const TFieldDef *, TKel4LineRow::CellCount> defs{};
    for (int i = 0; i < TKel4LineRow::CellCount; ++i)
        defs[size_t(i)] = kLineTable.Field(fields[i]);
    // Refuse an over-long or unstorable text before the old lines are touched.
    for (const TKel4LineRow &row : rows) {
        for (int i = 0; i < TKel4LineRow::CellCount; ++i) {
            try {
                kLineTable.CheckText(*defs[size_t(i)], row.Cells[size_t(i)]);
            } catch (const EDatabaseError &e) {
                throw EDatabaseError(u"%1 行目: "_s.arg(row.LNO) + e.Message());
            }
        }
    }

    TTransaction transaction;
    // Lines that stay as they are stay unwritten: registering a record again after a few
    // edits writes those edits. Stored lines that cannot be matched one to one (a line
    // number twice) are all replaced.
    if (!WriteChangedLines(kid, rows)) {
        DeleteLines(kid);
        TPreparedQuery q(InsertStatement());
        for (const TKel4LineRow &row : rows) {
            q.SetParam(u"KID"_s, kid);
            q.SetParam(u"LNO"_s, row.LNO);
            for (int i = 0; i < TKel4LineRow::CellCount; ++i)
                q.SetParam(fields[i], row.Cells[size_t(i)]);
            q.ExecSQL();
        }
    }
    transaction.Commit();
}
