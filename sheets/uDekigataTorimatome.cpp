#include "sheets/uDekigataTorimatome.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uRecordFigures.h"
#include "measure/uUnits.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uRegisterCommon.h"
#include "registers/ukouku.h"

#include <QHash>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kTorimatome(u"DekigataTorimatome4"_s, {
    {u"KOJICODE"_s, TFieldType::Alpha, 8, u"工事コード"_s},
    {u"LNO"_s, TFieldType::LongInt},
    {u"KOSYUMEI"_s, TFieldType::Alpha, 32, u"工種名"_s},
    {u"KOMOKU"_s, TFieldType::Alpha, 16, u"測定項目"_s},
    {u"KOUKUMEI"_s, TFieldType::Alpha, 32, u"工区"_s},
    {u"KIJUN"_s, TFieldType::Alpha, 32, u"測定基準"_s},
    {u"KIKAKUTI"_s, TFieldType::Alpha, 16, u"規格値"_s},
    {u"SATANNI"_s, TFieldType::Alpha, 8, u"差単位"_s},
    {u"KAISU"_s, TFieldType::Alpha, 8, u"測定回数"_s},
    {u"MAXVALUE"_s, TFieldType::Alpha, 8, u"最大値"_s},
    {u"MINVALUE"_s, TFieldType::Alpha, 8, u"最小値"_s},
    {u"AVGVALUE"_s, TFieldType::Alpha, 8, u"平均値"_s},
    {u"BIKO"_s, TFieldType::Alpha, 32, u"備考"_s},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kTorimatome), true);

// The side of a standard value in Unit; a blank side stays as it is.
QString LimitSideText(const QString &limit, double factor)
{
    if (limit.trimmed().isEmpty())
        return limit;
    return FormatGeneral(StrToFloat(limit) / factor);
}

const QString kInsert =
    u"insert into DekigataTorimatome4 (KOJICODE,LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,KIKAKUTI,"
    "SATANNI,KAISU,MAXVALUE,MINVALUE,AVGVALUE,BIKO,KOUSIN)\n"
    "values (:KOJICODE,:LNO,:KOSYUMEI,:KOMOKU,:KOUKUMEI,:KIJUN,:KIKAKUTI,\n"
    ":SATANNI,:KAISU,:MAXVALUE,:MINVALUE,:AVGVALUE,:BIKO,:KOUSIN)"_s;

// The project's rows, for their counter.
int StoredRowsVersion(const QString &kojiCode)
{
    TQuery rows(u"select * from DekigataTorimatome4 where KojiCode=:KOJICODE"_s);
    rows.SetParam(u"KOJICODE"_s, TextValue(kojiCode));
    rows.Open();
    return StoredSetVersion(rows);
}


// What a summary row takes from a measurement header, read as TKelmo4Head::LoadByID reads it.
struct THeader
{
    int ID = 0;
    QString KojiCode;
    QString Kosyumei; // as stored
    QString Koukumei;
    QString SokuteiKoumoku;
    QString Upper;
    QString Lower;
    TRecordUnits Units;
};

// The headers of a project's records by ID. IDs are not unique in the table and LoadByID
// takes the first row of an ID, whichever project it belongs to; so does this.
QHash<int, THeader> ReadHeaders(const QString &kojiCode)
{
    TQuery q;
    q.Add(u"select ID,KOJICODE,KOSYUMEI,KOUKUMEI,SOKUTEIKOUMOKU,SEKKEITANNI,SATANNI,YUKOU,HEIKIN,"_s)
        .Add(u"JOGENKIKAKU,KAGENKIKAKU from Kel4Head"_s)
        .Add(u"where ID in (select ID from Kel4Head where KojiCode=:kojiCode)"_s)
        .Add(u"order by rowid"_s);
    q.SetParam(u"kojiCode"_s, TextValue(kojiCode));
    q.Open();
    QHash<int, THeader> headers;
    headers.reserve(q.RecordCount());
    for (; !q.Eof(); q.Next()) {
        const int id = q.FieldInt(u"ID"_s);
        if (headers.contains(id))
            continue;
        THeader &h = headers[id];
        h.ID = id;
        h.KojiCode = q.FieldText(u"KOJICODE"_s);
        h.Kosyumei = q.FieldText(u"KOSYUMEI"_s);
        h.Koukumei = q.FieldText(u"KOUKUMEI"_s);
        h.SokuteiKoumoku = q.FieldText(u"SOKUTEIKOUMOKU"_s);
        h.Upper = q.FieldText(u"JOGENKIKAKU"_s);
        h.Lower = q.FieldText(u"KAGENKIKAKU"_s);
        h.Units = TRecordUnits{q.FieldText(u"SEKKEITANNI"_s), q.FieldText(u"SATANNI"_s), q.FieldText(u"YUKOU"_s),
                               q.FieldText(u"HEIKIN"_s)};
    }
    return headers;
}

// The differences of a record's lines, in the order of TKelmo4Line::LoadLines.
TDiffFigures ReadDiffFigures(int kid)
{
    TQuery q(u"select L2,C2,R2 from Kel4Line where KID=:KID order by LNO"_s);
    q.SetParam(u"KID"_s, kid);
    q.Open();
    TDiffFigures figures;
    for (; !q.Eof(); q.Next()) {
        for (int column = 0; column < 3; ++column)
            figures.Add(q.FieldTextAt(column));
    }
    return figures;
}

// The register look-ups of one build, each key once: a project's records share a few work
// types and standards. It lives for one build, so it never outlasts a change of a register.
class TBuildRegisters
{
public:
    // The work type name a loaded header holds (TKosyu::LoadByName).
    QString WorkTypeName(const QString &stored)
    {
        const auto found = m_workTypes.constFind(stored);
        if (found != m_workTypes.cend())
            return *found;
        TKosyu kosyu;
        kosyu.LoadByName(stored);
        m_workTypes.insert(stored, kosyu.Kosyumei);
        return kosyu.Kosyumei;
    }

    // The measurement rule of the standard a loaded header holds (its TKikakuti4, keyed by
    // the project's print style, the work type and the item).
    QString RuleText(const QString &kojiCode, const QString &workType, const QString &item)
    {
        // One project record as the header keeps it: loaded again only for another code.
        if (!m_kojiLoaded || kojiCode != m_kojiCode) {
            m_koji.LoadByCode(kojiCode);
            m_kojiCode = kojiCode;
            m_kojiLoaded = true;
        }
        const QString key = QString::number(m_koji.Yoshiki) + u'\n' + workType + u'\n' + item;
        const auto found = m_rules.constFind(key);
        if (found != m_rules.cend())
            return *found;
        TKikakuti4 standard;
        standard.Kubun = m_koji.Yoshiki;
        standard.Kosyu->LoadByName(workType);
        standard.Koumokumei = item;
        standard.LoadByKey();
        m_rules.insert(key, standard.SokuteiKijun);
        return standard.SokuteiKijun;
    }

private:
    QHash<QString, QString> m_workTypes;
    TKoji m_koji;
    QString m_kojiCode;
    bool m_kojiLoaded = false;
    QHash<QString, QString> m_rules;
};
} // namespace

template <typename TStatement>
void TDekigataTorimatome::BindRow(TStatement &statement) const
{
    statement.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    statement.SetParam(u"LNO"_s, LNo);
    statement.SetParam(u"KOSYUMEI"_s, TextValue(Kosyumei));
    statement.SetParam(u"KOMOKU"_s, TextValue(Komoku));
    statement.SetParam(u"KOUKUMEI"_s, TextValue(Koukumei));
    statement.SetParam(u"KIJUN"_s, TextValue(Kijun));
    statement.SetParam(u"KIKAKUTI"_s, TextValue(Kikakuti));
    statement.SetParam(u"SATANNI"_s, TextValue(SaTanni));
    statement.SetParam(u"KAISU"_s, TextValue(Kaisu));
    statement.SetParam(u"MAXVALUE"_s, TextValue(MaxValue));
    statement.SetParam(u"MINVALUE"_s, TextValue(MinValue));
    statement.SetParam(u"AVGVALUE"_s, TextValue(AvgValue));
    statement.SetParam(u"BIKO"_s, TextValue(Biko));
    statement.SetParam(u"KOUSIN"_s, m_rowsCounter);
}

TDekigataTorimatome::TDekigataTorimatome(QObject *owner)
    : QObject(owner)
    , Koji(new TKoji(this))
{
}

const TTableDef &TDekigataTorimatome::TableDef()
{
    return kTorimatome;
}

bool TDekigataTorimatome::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kTorimatome);
}

void TDekigataTorimatome::ReadFromQuery(const TQuery &query)
{
    LNo = query.FieldInt(u"LNO"_s);
    Kosyumei = query.FieldText(u"KOSYUMEI"_s);
    Komoku = query.FieldText(u"KOMOKU"_s);
    Koukumei = query.FieldText(u"KOUKUMEI"_s);
    Kijun = query.FieldText(u"KIJUN"_s);
    Kikakuti = query.FieldText(u"KIKAKUTI"_s);
    SaTanni = query.FieldText(u"SATANNI"_s);
    Kaisu = query.FieldText(u"KAISU"_s);
    MaxValue = query.FieldText(u"MAXVALUE"_s);
    MinValue = query.FieldText(u"MINVALUE"_s);
    AvgValue = query.FieldText(u"AVGVALUE"_s);
    Biko = query.FieldText(u"BIKO"_s);
}

void TDekigataTorimatome::Save()
{
    if (m_rowsCounter == 0) {
        TTransaction transaction;
        const TSetCounterScope scope(m_rowsCounter, NextRowVersion(StoredRowsVersion(Koji->Code)));
        Save();
        transaction.Commit();
        return;
    }
    TQuery look(u"select * from DekigataTorimatome4 where KojiCode=:KOJICODE and LNo=:LNO"_s);
    look.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    look.SetParam(u"LNO"_s, LNo);
    look.Open();

    TQuery q;
    if (look.Eof()) {
        q.Add(kInsert);
    } else {
        q.Add(u"update DekigataTorimatome4 set KOJICODE=:KOJICODE,LNO=:LNO,KOSYUMEI=:KOSYUMEI,"_s)
            .Add(u"KOMOKU=:KOMOKU,KOUKUMEI=:KOUKUMEI,KIJUN=:KIJUN,KIKAKUTI=:KIKAKUTI,SATANNI=:SATANNI,"_s)
            .Add(u"KAISU=:KAISU,MAXVALUE=:MAXVALUE,MINVALUE=:MINVALUE,AVGVALUE=:AVGVALUE,BIKO=:BIKO,KOUSIN=:KOUSIN"_s)
            .Add(u"where KojiCode=:KOJICODE and LNO=:LNO"_s);
    }
    BindRow(q);
    q.ExecSQL();
}

void TDekigataTorimatome::DeleteRows()
{
    TQuery q(u"delete from DekigataTorimatome4 where KojiCode=:KOJICODE"_s);
    q.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    q.ExecSQL();
}

void TDekigataTorimatome::ReplaceRows(const std::function<void()> &writeRows)
{
    const QString code = Koji->Code;
    TTransaction transaction;
    const int counter = Version.Check(code, StoredRowsVersion(code));
    {
        const TSetCounterScope scope(m_rowsCounter, counter);
        DeleteRows();
        writeRows();
    }
    transaction.Commit();
    Version.Saved(code, counter);
}

QList<int> TorimatomeRecordIds(const QString &kojiCode)
{
    // The joins need the registers' tables even in a fresh data folder.
    TKelmo4Head().CreateTableIfMissing();
    TKosyu().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();

    TQuery records;
    records.Add(u"select kel4head.id,kel4head.kosyumei,kosyu4.id,kel4head.koukumei,kouku.id,kel4head.sokuteikoumoku from kel4head"_s)
        .Add(u"inner join kosyu4 on kosyu4.kosyumei=kel4head.kosyumei"_s)
        .Add(u"inner join kouku on (kouku.kojicode=kel4head.kojicode) and (kouku.koukumei=kel4head.koukumei)"_s)
        .Add(u"where kel4head.kojicode=:kojiCode"_s)
        .Add(u"order by kouku.id,kosyu4.id,kel4head.sokuteikoumoku"_s);
    records.SetParam(u"kojiCode"_s, TextValue(kojiCode));
    records.Open();
    QList<int> ids;
    ids.reserve(records.RecordCount());
    for (; !records.Eof(); records.Next())
        ids.append(records.FieldInt(u"ID"_s));
    return ids;
}

void TDekigataTorimatome::BuildFromMeasurements(const TProgress &progress)
{
    const QList<int> ids = TorimatomeRecordIds(Koji->Code);
    // All headers in one read instead of one record load (a dozen queries) for each.
    const QHash<int, THeader> headers = ReadHeaders(Koji->Code);
    TBuildRegisters registers;

    // The old rows go only when every new one has been written.
    TTransaction transaction;
    const QString code = Koji->Code;
    const int counter = NextRowVersion(StoredRowsVersion(code));
    const TSetCounterScope scope(m_rowsCounter, counter);
    DeleteRows();
    // The rows were just deleted, so each one is an insert (what Save would choose).
    TPreparedQuery insert(kInsert);
    const int count = int(ids.size());
    // As one reused measurement record: an ID not found keeps the header loaded before.
    THeader header;
    int n = 0;
    for (const int id : ids) {
        ++n;
        if (progress)
            progress(n, count);
        const auto found = headers.constFind(id);
        if (found != headers.cend())
            header = *found;
        LNo = n;
        Kosyumei = registers.WorkTypeName(header.Kosyumei);
        Koukumei = header.Koukumei;
        Komoku = header.SokuteiKoumoku;
        Kijun = registers.RuleText(header.KojiCode, Kosyumei, header.SokuteiKoumoku);
        Kikakuti = LimitRangeText(header.Upper, header.Lower, header.Units.SaTanni);
        SaTanni = header.Units.SaTanni;
        // The record's figures from one pass over its differences.
        const TDiffFigures figures = ReadDiffFigures(header.ID);
        Kaisu = QString::number(figures.Count());
        AvgValue = figures.AverageText(header.Units);
        // Without a measured difference the extremes are only their start values (±1e12),
        // which would not even fit the column: the row shows none.
        if (figures.HasNumber()) {
            MaxValue = figures.MaxText(header.Units);
            MinValue = figures.MinText(header.Units);
        } else {
            MaxValue.clear();
            MinValue.clear();
        }
        Biko.clear();
        try {
            BindRow(insert);
            insert.ExecSQL();
        } catch (const EDatabaseError &error) {
            throw EDatabaseError(u"工種「%1」工区「%2」測定項目「%3」: %4"_s
                                     .arg(Kosyumei, Koukumei, Komoku, error.Message()));
        }
    }
    transaction.Commit();
    Version.Saved(code, counter);
}

QString TDekigataTorimatome::LimitRangeText(const QString &upper, const QString &lower, const QString &unit)
{
    if (upper.trimmed().isEmpty() && lower.trimmed().isEmpty())
        return QString();
    const double factor = UnitFactor(unit);
    const double u = TextToFloat(upper) / factor;
    const double l = TextToFloat(lower) / factor;
    if (std::fabs(u) == std::fabs(l))
        return u"±"_s + FormatGeneral(std::fabs(u));
    const QString lowerText = LimitSideText(lower, factor);
    const QString upperText = LimitSideText(upper, factor);
    return lowerText + u" ～ "_s + upperText;
}
