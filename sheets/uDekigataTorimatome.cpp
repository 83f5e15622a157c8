#include "sheets/uDekigataTorimatome.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uUnits.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uRegisterCommon.h"
#include "registers/ukouku.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kTorimatome(u"DekigataTorimatome4"_s, {
    {u"KOJICODE"_s, TFieldType::Alpha, 8},
    {u"LNO"_s, TFieldType::LongInt},
    {u"KOSYUMEI"_s, TFieldType::Alpha, 32},
    {u"KOMOKU"_s, TFieldType::Alpha, 16},
    {u"KOUKUMEI"_s, TFieldType::Alpha, 32},
    {u"KIJUN"_s, TFieldType::Alpha, 32},
    {u"KIKAKUTI"_s, TFieldType::Alpha, 16},
    {u"SATANNI"_s, TFieldType::Alpha, 8},
    {u"KAISU"_s, TFieldType::Alpha, 8},
    {u"MAXVALUE"_s, TFieldType::Alpha, 8},
    {u"MINVALUE"_s, TFieldType::Alpha, 8},
    {u"AVGVALUE"_s, TFieldType::Alpha, 8},
    {u"BIKO"_s, TFieldType::Alpha, 32},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kTorimatome), true);

// The side of a standard value in Unit; a blank side stays as it is.
QString LimitSideText(const QString &limit, double factor)
{
    if (limit.trimmed().isEmpty())
        return limit;
    return FormatGeneral(StrToFloat(limit) / factor);
}

bool HasNumericDifference(const QList<TKel4LineRow> &lines)
{
    for (const TKel4LineRow &line : lines) {
        for (int column : {5, 8, 11}) {
            if (IsFloatText(line.Cell(column)))
                return true;
        }
    }
    return false;
}
} // namespace

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
    TQuery look(u"select * from DekigataTorimatome4 where KojiCode=:KOJICODE and LNo=:LNO"_s);
    look.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    look.SetParam(u"LNO"_s, LNo);
    look.Open();

    TQuery q;
    if (look.Eof()) {
        q.Add(u"insert into DekigataTorimatome4 (KOJICODE,LNO,KOSYUMEI,KOMOKU,KOUKUMEI,KIJUN,KIKAKUTI,"_s)
            .Add(u"SATANNI,KAISU,MAXVALUE,MINVALUE,AVGVALUE,BIKO)"_s)
            .Add(u"values (:KOJICODE,:LNO,:KOSYUMEI,:KOMOKU,:KOUKUMEI,:KIJUN,:KIKAKUTI,"_s)
            .Add(u":SATANNI,:KAISU,:MAXVALUE,:MINVALUE,:AVGVALUE,:BIKO)"_s);
    } else {
        q.Add(u"update DekigataTorimatome4 set KOJICODE=:KOJICODE,LNO=:LNO,KOSYUMEI=:KOSYUMEI,"_s)
            .Add(u"KOMOKU=:KOMOKU,KOUKUMEI=:KOUKUMEI,KIJUN=:KIJUN,KIKAKUTI=:KIKAKUTI,SATANNI=:SATANNI,"_s)
            .Add(u"KAISU=:KAISU,MAXVALUE=:MAXVALUE,MINVALUE=:MINVALUE,AVGVALUE=:AVGVALUE,BIKO=:BIKO"_s)
            .Add(u"where KojiCode=:KOJICODE and LNO=:LNO"_s);
    }
    q.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    q.SetParam(u"LNO"_s, LNo);
    q.SetParam(u"KOSYUMEI"_s, TextValue(Kosyumei));
    q.SetParam(u"KOMOKU"_s, TextValue(Komoku));
    q.SetParam(u"KOUKUMEI"_s, TextValue(Koukumei));
    q.SetParam(u"KIJUN"_s, TextValue(Kijun));
    q.SetParam(u"KIKAKUTI"_s, TextValue(Kikakuti));
    q.SetParam(u"SATANNI"_s, TextValue(SaTanni));
    q.SetParam(u"KAISU"_s, TextValue(Kaisu));
    q.SetParam(u"MAXVALUE"_s, TextValue(MaxValue));
    q.SetParam(u"MINVALUE"_s, TextValue(MinValue));
    q.SetParam(u"AVGVALUE"_s, TextValue(AvgValue));
    q.SetParam(u"BIKO"_s, TextValue(Biko));
    q.ExecSQL();
}

void TDekigataTorimatome::DeleteRows()
{
    TQuery q(u"delete from DekigataTorimatome4 where KojiCode=:KOJICODE"_s);
    q.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    q.ExecSQL();
}

void TDekigataTorimatome::BuildFromMeasurements(const TProgress &progress)
{
    // The joins need the registers' tables even in a fresh data folder.
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKosyu().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();

    TQuery records;
    records.Add(u"select kel4head.id,kel4head.kosyumei,kosyu4.id,kel4head.koukumei,kouku.id,kel4head.sokuteikoumoku from kel4head"_s)
        .Add(u"inner join kosyu4 on kosyu4.kosyumei=kel4head.kosyumei"_s)
        .Add(u"inner join kouku on (kouku.kojicode=kel4head.kojicode) and (kouku.koukumei=kel4head.koukumei)"_s)
        .Add(u"where kel4head.kojicode=:kojiCode"_s)
        .Add(u"order by kouku.id,kosyu4.id,kel4head.sokuteikoumoku"_s);
    records.SetParam(u"kojiCode"_s, TextValue(Koji->Code));
    records.Open();

    // The old rows go only when every new one has been written.
    TTransaction transaction;
    DeleteRows();
    const int count = records.RecordCount();
    int n = 0;
    for (; !records.Eof(); records.Next()) {
        ++n;
        if (progress)
            progress(n, count);
        head.LoadByID(records.FieldInt(u"ID"_s));
        LNo = n;
        Kosyumei = head.Kosyu->Kosyumei;
        Koukumei = head.Kouku->Koukumei;
        Komoku = head.SokuteiKoumoku;
        Kijun = head.Kikakuti->SokuteiKijun;
        Kikakuti = LimitRangeText(head.Kikakuti->KikakutiU1, head.Kikakuti->KikakutiD1, head.SaTanni);
        SaTanni = head.SaTanni;
        // The record's figures from one read of its lines (the header's own figure
        // operations would read them once each).
        const QList<TKel4LineRow> lines = head.Lines();
        const TRecordUnits units = head.Units();
        Kaisu = QString::number(RecordFigures::DiffCount(lines));
        AvgValue = RecordFigures::AverageDiffText(lines, units);
        // Without a measured difference the extremes are only their start values (±1e12),
        // which would not even fit the column: the row shows none.
        if (HasNumericDifference(lines)) {
            MaxValue = RecordFigures::MaxDiffText(lines, units);
            MinValue = RecordFigures::MinDiffText(lines, units);
        } else {
            MaxValue.clear();
            MinValue.clear();
        }
        Biko.clear();
        try {
            Save();
        } catch (const EDatabaseError &error) {
            throw EDatabaseError(u"工種「%1」工区「%2」測定項目「%3」: %4"_s
                                     .arg(Kosyumei, Koukumei, Komoku, error.Message()));
        }
    }
    transaction.Commit();
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
