#include "measure/uKelmo4Head.h"

#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uRegisterCommon.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kHeadTable(u"Kel4Head"_s,
                           {{u"ID"_s, TFieldType::LongInt},
                            {u"KOJICODE"_s, TFieldType::Alpha, 8, u"工事コード"_s},
                            {u"KOSYUMEI"_s, TFieldType::Alpha, 32, u"工種名"_s},
                            {u"KOUKUMEI"_s, TFieldType::Alpha, 32, u"工区名"_s},
                            {u"SOKUTEIKOUMOKU"_s, TFieldType::Alpha, 16, u"測定項目"_s},
                            {u"SOKUTEISYA"_s, TFieldType::Alpha, 16, u"測定者"_s},
                            {u"HIDUKE"_s, TFieldType::Date},
                            {u"SOKUTENKYORI"_s, TFieldType::LongInt},
                            {u"SEKKEITANNI"_s, TFieldType::Alpha, 8, u"入力単位"_s},
                            {u"SATANNI"_s, TFieldType::Alpha, 8, u"差の単位"_s},
                            {u"YUKOU"_s, TFieldType::Alpha, 8, u"有効"_s},
                            {u"HEIKIN"_s, TFieldType::Alpha, 8, u"平均"_s},
                            {u"BUNPU"_s, TFieldType::Alpha, 8, u"分布"_s},
                            {u"YOSIKI"_s, TFieldType::LongInt},
                            {u"JOGENKIKAKU"_s, TFieldType::Alpha, 8, u"規格値の上限"_s},
                            {u"KAGENKIKAKU"_s, TFieldType::Alpha, 8, u"規格値の下限"_s},
                            {u"JOGENKIKAKU2"_s, TFieldType::Alpha, 8, u"規格値２の上限"_s},
                            {u"KAGENKIKAKU2"_s, TFieldType::Alpha, 8, u"規格値２の下限"_s},
                            {u"SAGARI"_s, TFieldType::Logical},
                            {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true}});

const bool kRegistered = (RegisterTableDef(&kHeadTable), true);

const QString kKeyCondition =
    u"where KojiCode=:KojiCode and Kosyumei=:Kosyumei and Koukumei=:Koukumei and SokuteiKoumoku=:SokuteiKoumoku"_s;
} // namespace

TKelmo4Head::TKelmo4Head(QObject *owner)
    : QObject(owner)
    , Koji(new TKoji(this))
    , Kosyu(new TKosyu(this))
    , Kouku(new TKouku(this))
    , Simei(new TSimei(this))
    , Kikakuti(new TKikakuti4(this))
    , Hiduke(QDateTime::currentDateTime())
{
}

const TTableDef &TKelmo4Head::TableDef()
{
    Q_UNUSED(kRegistered);
    return kHeadTable;
}

bool TKelmo4Head::CreateTableIfMissing()
{
    // The registers a header reads through must be there too, also on a fresh data folder
    // whose register windows have not run yet.
    Koji->CreateTableIfMissing();
    Kosyu->CreateTableIfMissing();
    Kouku->CreateTableIfMissing();
    Simei->CreateTableIfMissing();
    Kikakuti->CreateTableIfMissing();
    return ::CreateTableIfMissing(TableDef());
}

void TKelmo4Head::LoadByID(int id)
{
    TQuery q(u"select * from Kel4Head where ID=:ID"_s);
    q.SetParam(u"ID"_s, id);
    q.Open();
    if (!q.Eof())
        ReadFromQuery(q);
}

bool TKelmo4Head::FindByKey()
{
    TQuery q;
    q.Add(u"select * from Kel4Head"_s);
    q.Add(u"where KojiCode=:KojiCode and Kosyumei=:Kosyumei and Koukumei=:Koukumei"_s);
    if (!SokuteiKoumoku.isEmpty()) {
        q.Add(u"and SokuteiKoumoku=:SokuteiKoumoku"_s);
        q.SetParam(u"SokuteiKoumoku"_s, SokuteiKoumoku);
    }
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    q.SetParam(u"Koukumei"_s, TextValue(Kouku->Koukumei));
    q.Open();
    if (q.Eof()) {
        Version.Loaded(Key(), -1);
        return false;
    }
    ReadFromQuery(q);
    return true;
}

QString TKelmo4Head::Key() const
{
    return RowVersionKey({Koji->Code, Kosyu->Kosyumei, Kouku->Koukumei, SokuteiKoumoku});
}

void TKelmo4Head::ReadFromQuery(const TQuery &query)
{
    ID = query.FieldInt(u"ID"_s);
    Koji->LoadByCode(query.FieldText(u"KOJICODE"_s));
    Kosyu->LoadByName(query.FieldText(u"KOSYUMEI"_s));
    Kouku->Koukumei = query.FieldText(u"KOUKUMEI"_s);
    SokuteiKoumoku = query.FieldText(u"SOKUTEIKOUMOKU"_s);
    Simei->LoadByName(query.FieldText(u"SOKUTEISYA"_s));
    const QDate date = query.FieldDate(u"HIDUKE"_s);
    Hiduke = date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
    SokutenKyori = query.FieldInt(u"SOKUTENKYORI"_s);
    SekkeiTanni = query.FieldText(u"SEKKEITANNI"_s);
    SaTanni = query.FieldText(u"SATANNI"_s);
    Yukou = query.FieldText(u"YUKOU"_s);
    Heikin = query.FieldText(u"HEIKIN"_s);
    Bunpu = query.FieldText(u"BUNPU"_s);
    Yosiki = query.FieldInt(u"YOSIKI"_s);

    Kikakuti->Kubun = Koji->Yoshiki;
    Kikakuti->Kosyu->LoadByName(Kosyu->Kosyumei);
    Kikakuti->Koumokumei = SokuteiKoumoku;
    Kikakuti->LoadByKey();
    // The limits stored with the header win over the register's.
    Kikakuti->KikakutiU1 = query.FieldText(u"JOGENKIKAKU"_s);
    Kikakuti->KikakutiD1 = query.FieldText(u"KAGENKIKAKU"_s);
    Kikakuti->KikakutiU2 = query.FieldText(u"JOGENKIKAKU2"_s);
    Kikakuti->KikakutiD2 = query.FieldText(u"KAGENKIKAKU2"_s);
    Sagari = query.FieldBool(u"SAGARI"_s);
    Version.Loaded(Key(), LoadedRowVersion(query));
}

void TKelmo4Head::CheckTexts() const
{
    const struct
    {
        const char16_t *Field;
        QString Value;
        const char16_t *Label;
    } texts[] = {
        {u"KOJICODE", Koji->Code, u"工事コード"},
        {u"KOSYUMEI", Kosyu->Kosyumei, u"工種名"},
        {u"KOUKUMEI", Kouku->Koukumei, u"工区名"},
        {u"SOKUTEIKOUMOKU", SokuteiKoumoku, u"測定項目"},
        {u"SOKUTEISYA", Simei->Simei, u"測定者"},
        {u"SEKKEITANNI", SekkeiTanni, u"入力単位"},
        {u"SATANNI", SaTanni, u"差の単位"},
        {u"YUKOU", Yukou, u"有効"},
        {u"HEIKIN", Heikin, u"平均"},
        {u"BUNPU", Bunpu, u"分布"},
        {u"JOGENKIKAKU", Kikakuti->KikakutiU1, u"規格値の上限"},
        {u"KAGENKIKAKU", Kikakuti->KikakutiD1, u"規格値の下限"},
        {u"JOGENKIKAKU2", Kikakuti->KikakutiU2, u"規格値２の上限"},
        {u"KAGENKIKAKU2", Kikakuti->KikakutiD2, u"規格値２の下限"},
    };
    for (const auto &t : texts)
        CheckColumn(kHeadTable, QString::fromUtf16(t.Field), t.Value, QString::fromUtf16(t.Label));
}

void TKelmo4Head::Save()
{
    CheckTexts();
    TTransaction transaction;
    Kikakuti->Version.Forget();
    Kikakuti->Save();
    Kouku->Koji->LoadByCode(Koji->Code);
    Kouku->AddIfMissing();

    TQuery find;
    find.Add(u"select * from Kel4Head"_s).Add(kKeyCondition);
    find.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    find.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    find.SetParam(u"Koukumei"_s, TextValue(Kouku->Koukumei));
    find.SetParam(u"SokuteiKoumoku"_s, TextValue(SokuteiKoumoku));
    find.Open();
    const QString key = Key();
    const int counter = Version.Check(key, StoredRowVersion(find));

    TQuery write;
    if (find.Eof()) {
        ID = NextID();
        write.Add(u"insert into Kel4Head (ID,KOJICODE,KOSYUMEI,KOUKUMEI,SOKUTEIKOUMOKU,SOKUTEISYA,HIDUKE,"_s)
            .Add(u"SOKUTENKYORI,SEKKEITANNI,SATANNI,YUKOU,HEIKIN,BUNPU,YOSIKI,"_s)
            .Add(u"JOGENKIKAKU,KAGENKIKAKU,JOGENKIKAKU2,KAGENKIKAKU2,SAGARI,KOUSIN)"_s)
            .Add(u"values (:ID,:KOJICODE,:KOSYUMEI,:KOUKUMEI,:SOKUTEIKOUMOKU,:SOKUTEISYA,:HIDUKE,"_s)
            .Add(u":SOKUTENKYORI,:SEKKEITANNI,:SATANNI,:YUKOU,:HEIKIN,:BUNPU,:YOSIKI,"_s)
            .Add(u":JOGENKIKAKU,:KAGENKIKAKU,:JOGENKIKAKU2,:KAGENKIKAKU2,:SAGARI,:KOUSIN)"_s);
    } else {
        ID = find.FieldInt(u"ID"_s);
        write.Add(u"update Kel4Head set ID=:ID,KOJICODE=:KOJICODE,KOSYUMEI=:KOSYUMEI,KOUKUMEI=:KOUKUMEI,"_s)
            .Add(u"SOKUTEIKOUMOKU=:SOKUTEIKOUMOKU,SOKUTEISYA=:SOKUTEISYA,HIDUKE=:HIDUKE,"_s)
            .Add(u"SOKUTENKYORI=:SOKUTENKYORI,SEKKEITANNI=:SEKKEITANNI,SATANNI=:SATANNI,YUKOU=:YUKOU,"_s)
            .Add(u"HEIKIN=:HEIKIN,BUNPU=:BUNPU,YOSIKI=:YOSIKI,JOGENKIKAKU=:JOGENKIKAKU,"_s)
            .Add(u"KAGENKIKAKU=:KAGENKIKAKU,JOGENKIKAKU2=:JOGENKIKAKU2,KAGENKIKAKU2=:KAGENKIKAKU2,SAGARI=:SAGARI,KOUSIN=:KOUSIN"_s)
            .Add(u"where KOJICODE=:KOJICODE and KOSYUMEI=:KOSYUMEI and KOUKUMEI=:KOUKUMEI"_s)
            .Add(u"and SOKUTEIKOUMOKU=:SOKUTEIKOUMOKU"_s);
    }
    write.SetParam(u"ID"_s, ID);
    write.SetParam(u"KOJICODE"_s, TextValue(Koji->Code));
    write.SetParam(u"KOSYUMEI"_s, TextValue(Kosyu->Kosyumei));
    write.SetParam(u"KOUKUMEI"_s, TextValue(Kouku->Koukumei));
    write.SetParam(u"SOKUTEIKOUMOKU"_s, TextValue(SokuteiKoumoku));
    write.SetParam(u"SOKUTEISYA"_s, TextValue(Simei->Simei));
    write.SetParam(u"HIDUKE"_s, Hiduke.isValid() ? Hiduke.date() : QDate());
    write.SetParam(u"SOKUTENKYORI"_s, SokutenKyori);
    write.SetParam(u"SEKKEITANNI"_s, TextValue(SekkeiTanni));
    write.SetParam(u"SATANNI"_s, TextValue(SaTanni));
    write.SetParam(u"YUKOU"_s, TextValue(Yukou));
    write.SetParam(u"HEIKIN"_s, TextValue(Heikin));
    write.SetParam(u"BUNPU"_s, TextValue(Bunpu));
    write.SetParam(u"YOSIKI"_s, Yosiki);
    write.SetParam(u"JOGENKIKAKU"_s, TextValue(Kikakuti->KikakutiU1));
    write.SetParam(u"KAGENKIKAKU"_s, TextValue(Kikakuti->KikakutiD1));
    write.SetParam(u"JOGENKIKAKU2"_s, TextValue(Kikakuti->KikakutiU2));
    write.SetParam(u"KAGENKIKAKU2"_s, TextValue(Kikakuti->KikakutiD2));
    write.SetParam(u"SAGARI"_s, Sagari);
    write.SetParam(u"KOUSIN"_s, counter);
    write.ExecSQL();
    transaction.Commit();
    Version.Saved(key, counter);
}

int TKelmo4Head::NextID() const
{
    TQuery q(u"select Max(ID) as MaxID from Kel4Head"_s);
    q.Open();
    return q.FieldInt(u"MaxID"_s) + 1;
}

void TKelmo4Head::Delete()
{
    TTransaction transaction;
    TQuery q(u"delete from Kel4Head where ID=:ID"_s);
    q.SetParam(u"ID"_s, ID);
    q.ExecSQL();
    TKelmo4Line().DeleteLines(ID);
    transaction.Commit();
    Version.Forget();
}

void TKelmo4Head::ListForProject(QStringList &list) const
{
    list.clear();
    TQuery q(u"select * from Kel4Head where KojiCode=:KojiCode"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        QString section = q.FieldText(u"KOUKUMEI"_s);
        if (section == QStringView(NoSectionName))
            section.clear();
        list.append(q.FieldText(u"ID"_s) + u':' + q.FieldText(u"KOSYUMEI"_s) + u';' + section + u':'
                    + q.FieldText(u"SOKUTEIKOUMOKU"_s));
    }
}

void TKelmo4Head::ListMeasureItems(QStringList &list) const
{
    list.clear();
    TQuery q(u"select distinct SokuteiKoumoku from Kel4Head order by SokuteiKoumoku"_s);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"SOKUTEIKOUMOKU"_s));
}

void TKelmo4Head::ListDates(QStringList &list) const
{
    list.clear();
    TQuery q(u"select distinct Hiduke from Kel4Head where KojiCode=:KojiCode order by Hiduke"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const QString date = q.FieldText(u"HIDUKE"_s);
        if (!date.isEmpty())
            list.append(date);
    }
}

int TKelmo4Head::LineCount() const
{
    TQuery q(u"select count(*) as N from Kel4Line where KID=:KID"_s);
    q.SetParam(u"KID"_s, ID);
    q.Open();
    return q.FieldInt(u"N"_s);
}

QList<TKel4LineRow> TKelmo4Head::Lines() const
{
    return TKelmo4Line().LoadLines(ID);
}

TRecordUnits TKelmo4Head::Units() const
{
    return TRecordUnits{SekkeiTanni, SaTanni, Yukou, Heikin};
}

double TKelmo4Head::DiffSum() const { return RecordFigures::DiffSum(Lines()); }
int TKelmo4Head::DiffCount() const { return RecordFigures::DiffCount(Lines()); }
QString TKelmo4Head::GetAverageDiffText() const { return RecordFigures::AverageDiffText(Lines(), Units()); }
QString TKelmo4Head::GetMaxDiffText() const { return RecordFigures::MaxDiffText(Lines(), Units()); }
QString TKelmo4Head::GetMinDiffText() const { return RecordFigures::MinDiffText(Lines(), Units()); }
QString TKelmo4Head::GetMaxDesignText() const { return RecordFigures::MaxDesignText(Lines(), Units()); }
QString TKelmo4Head::GetMinDesignText() const { return RecordFigures::MinDesignText(Lines(), Units()); }
QString TKelmo4Head::GetDateRangeText() const { return RecordFigures::DateRangeText(Lines()); }
