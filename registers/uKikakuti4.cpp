#include "registers/uKikakuti4.h"

#include "app/uDatabase.h"
#include "registers/uKosyu.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kKikakuti4(u"Kikakuti4"_s, {
    {u"ID"_s, TFieldType::LongInt},
    {u"KUBUN"_s, TFieldType::LongInt},
    {u"KOSYUMEI"_s, TFieldType::Alpha, 32, u"工種名"_s},
    {u"KOUMOKUMEI"_s, TFieldType::Alpha, 16, u"項目名"_s},
    {u"KIKAKUTIU1"_s, TFieldType::Alpha, 16, u"規格値 上限値"_s},
    {u"KIKAKUTID1"_s, TFieldType::Alpha, 16, u"規格値 下限値"_s},
    {u"KIKAKUTIU2"_s, TFieldType::Alpha, 16, u"自社規格値 上限値"_s},
    {u"KIKAKUTID2"_s, TFieldType::Alpha, 16, u"自社規格値 下限値"_s},
    {u"GOKAKUHANTEI"_s, TFieldType::Logical},
    {u"JOKEN"_s, TFieldType::Alpha, 16, u"条件"_s},
    {u"SOKUTEIKIJUN"_s, TFieldType::Alpha, 32, u"測定基準"_s},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kKikakuti4), true);

const QString kKeyCondition =
    u"where Kubun=:Kubun and Kosyumei=:Kosyumei and Koumokumei=:Koumokumei"_s;
} // namespace

TKikakuti4::TKikakuti4(QObject *owner)
    : QObject(owner)
    , Kosyu(new TKosyu(this))
{
}

const TTableDef &TKikakuti4::TableDef()
{
    return kKikakuti4;
}

bool TKikakuti4::CreateTableIfMissing()
{
    const bool existed = ::CreateTableIfMissing(kKikakuti4);
    Kosyu->CreateTableIfMissing();
    return existed;
}

void TKikakuti4::ClearLimits()
{
    KikakutiU1.clear();
    KikakutiU2.clear();
    KikakutiD1.clear();
    KikakutiD2.clear();
}

void TKikakuti4::LoadByKey()
{
    TQuery q;
    q.Add(u"select * from Kikakuti4"_s).Add(kKeyCondition);
    q.SetParam(u"Kubun"_s, Kubun);
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    q.SetParam(u"Koumokumei"_s, TextValue(Koumokumei));
    q.Open();
    if (!q.Eof()) {
        ReadFromQuery(q);
    } else {
        ClearLimits();
        Version.Loaded(Key(), -1);
    }
}

QString TKikakuti4::Key() const
{
    return RowVersionKey({QString::number(Kubun), Kosyu->Kosyumei, Koumokumei});
}

void TKikakuti4::ReadFromQuery(const TQuery &query)
{
    ID = query.FieldInt(u"ID"_s);
    Kubun = query.FieldInt(u"KUBUN"_s);
    Kosyu->LoadByName(query.FieldText(u"KOSYUMEI"_s));
    Koumokumei = query.FieldText(u"KOUMOKUMEI"_s);
    KikakutiU1 = query.FieldText(u"KIKAKUTIU1"_s);
    KikakutiD1 = query.FieldText(u"KIKAKUTID1"_s);
    GokakuHantei = query.FieldBool(u"GOKAKUHANTEI"_s);
    Joken = query.FieldText(u"JOKEN"_s);
    KikakutiU2 = query.FieldText(u"KIKAKUTIU2"_s);
    KikakutiD2 = query.FieldText(u"KIKAKUTID2"_s);
    Version.Loaded(Key(), LoadedRowVersion(query));
}

int TKikakuti4::NextID() const
{
    TQuery q(u"select Max(ID) as MaxID from Kikakuti4"_s);
    q.Open();
    return q.FieldInt(u"MaxID"_s) + 1;
}

void TKikakuti4::Save()
{
    TTransaction transaction;
    TQuery look;
    look.Add(u"select * from Kikakuti4"_s).Add(kKeyCondition);
    look.SetParam(u"Kubun"_s, Kubun);
    look.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    look.SetParam(u"Koumokumei"_s, TextValue(Koumokumei));
    look.Open();
    const QString key = Key();
    const int counter = Version.Check(key, StoredRowVersion(look));

    TQuery q;
    if (look.Eof()) {
        ID = NextID();
        q.Add(u"insert into Kikakuti4 (ID,Kubun,Kosyumei,Koumokumei,KikakutiU1,"_s)
            .Add(u"KikakutiD1,KikakutiU2,KikakutiD2,GokakuHantei,Joken,SokuteiKijun,KOUSIN)"_s)
            .Add(u"values (:ID,:Kubun,:Kosyumei,:Koumokumei,:KikakutiU1,"_s)
            .Add(u":KikakutiD1,:KikakutiU2,:KikakutiD2,:GokakuHantei,:Joken,:SokuteiKijun,:KOUSIN)"_s);
    } else {
        // The row keeps its own number: an ID carried over from the standard loaded before
        // would make two standards share it. A number that is 0 or shared already (older
        // folders) is replaced by a new one.
        ID = look.FieldInt(u"ID"_s);
        if (ID == 0 || IDTakenByOtherKey())
            ID = NextID();
        q.Add(u"update Kikakuti4 Set ID=:ID,Kubun=:Kubun,Kosyumei=:Kosyumei,"_s)
            .Add(u"Koumokumei=:Koumokumei,KikakutiU1=:KikakutiU1,"_s)
            .Add(u"KikakutiD1=:KikakutiD1,KikakutiU2=:KikakutiU2,"_s)
            .Add(u"KikakutiD2=:KikakutiD2,GokakuHantei=:GokakuHantei,Joken=:Joken,SokuteiKijun=:SokuteiKijun,"_s)
            .Add(u"KOUSIN=:KOUSIN"_s)
            .Add(kKeyCondition);
    }
    q.SetParam(u"KOUSIN"_s, counter);
    q.SetParam(u"ID"_s, ID);
    q.SetParam(u"Kubun"_s, Kubun);
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    q.SetParam(u"Koumokumei"_s, TextValue(Koumokumei));
    q.SetParam(u"KikakutiU1"_s, TextValue(KikakutiU1));
    q.SetParam(u"KikakutiD1"_s, TextValue(KikakutiD1));
    q.SetParam(u"KikakutiU2"_s, TextValue(KikakutiU2));
    q.SetParam(u"KikakutiD2"_s, TextValue(KikakutiD2));
    q.SetParam(u"GokakuHantei"_s, GokakuHantei);
    q.SetParam(u"Joken"_s, TextValue(Joken));
    q.SetParam(u"SokuteiKijun"_s, TextValue(SokuteiKijun));
    q.ExecSQL();
    transaction.Commit();
    Version.Saved(key, counter);
}

bool TKikakuti4::IDTakenByOtherKey() const
{
    TQuery q;
    q.Add(u"select count(*) as N from Kikakuti4"_s)
        .Add(u"where ID=:ID and not (Kubun=:Kubun and Kosyumei=:Kosyumei and Koumokumei=:Koumokumei)"_s);
    q.SetParam(u"ID"_s, ID);
    q.SetParam(u"Kubun"_s, Kubun);
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyu->Kosyumei));
    q.SetParam(u"Koumokumei"_s, TextValue(Koumokumei));
    q.Open();
    return q.FieldInt(u"N"_s) > 0;
}

void TKikakuti4::Delete()
{
    TQuery q;
    q.Add(u"delete from Kikakuti4"_s).Add(u"where ID=:ID"_s);
    q.SetParam(u"ID"_s, ID);
    q.ExecSQL();
    Version.Forget();
}

void TKikakuti4::GetItemList(QStringList &list) const
{
    list.clear();
    TQuery q;
    q.Add(u"select distinct Koumokumei from Kikakuti4"_s).Add(u"where Kubun=:Kubun"_s).Add(u"order by Koumokumei"_s);
    q.SetParam(u"Kubun"_s, Kubun);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"KOUMOKUMEI"_s));
}

void TKikakuti4::GetList(QStringList &list) const
{
    list.clear();
    TQuery q;
    q.Add(u"select Kosyu4.ID,Kikakuti4.Kosyumei,Kikakuti4.Koumokumei from Kikakuti4"_s)
        .Add(u"inner join Kosyu4 on Kosyu4.Kosyumei=Kikakuti4.Kosyumei"_s)
        .Add(u"where Kubun=:Kubun"_s)
        .Add(u"order by Kosyu4.ID,Kikakuti4.Koumokumei"_s);
    q.SetParam(u"Kubun"_s, Kubun);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"KOSYUMEI"_s) + u':' + q.FieldText(u"KOUMOKUMEI"_s));
}
