#include "registers/uKosyu.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kKosyu4(u"Kosyu4"_s, {
    {u"KOSYUMEI"_s, TFieldType::Alpha, 32, u"工種名"_s},
    {u"ID"_s, TFieldType::LongInt},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kKosyu4), true);
} // namespace

TKosyu::TKosyu(QObject *owner)
    : QObject(owner)
{
}

const TTableDef &TKosyu::TableDef()
{
    return kKosyu4;
}

bool TKosyu::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kKosyu4);
}

void TKosyu::Clear()
{
    Kosyumei.clear();
}

void TKosyu::GetList(QStringList &list) const
{
    list.clear();
    TQuery q(u"select distinct ID,Kosyumei from Kosyu4 order by ID"_s);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"KOSYUMEI"_s));
}

void TKosyu::LoadByName(const QString &name)
{
    TQuery q(u"select * from Kosyu4 where Kosyumei=:Kosyumei"_s);
    q.SetParam(u"Kosyumei"_s, TextValue(name.trimmed()));
    q.Open();
    if (!q.Eof())
        ReadFromQuery(q);
    else
        Kosyumei = name;
}

void TKosyu::ReadFromQuery(const TQuery &query)
{
    Kosyumei = query.FieldText(u"KOSYUMEI"_s);
    ID = query.FieldInt(u"ID"_s);
}

int TKosyu::NextID() const
{
    TQuery q(u"select Max(ID) as MaxID from Kosyu4"_s);
    q.Open();
    return q.FieldInt(u"MaxID"_s) + 1;
}

void TKosyu::Save()
{
    const QString trimmed = Kosyumei.trimmed();
    if (trimmed.isEmpty())
        return;
    TQuery look(u"select * from Kosyu4 where KOSYUMEI=:Kosyumei"_s);
    look.SetParam(u"Kosyumei"_s, TextValue(trimmed));
    look.Open();

    TQuery q;
    if (look.Eof()) {
        if (ID == 0)
            ID = NextID();
        q.Add(u"insert into Kosyu4 (Kosyumei,ID) values (:Kosyumei,:ID)"_s);
    } else {
        q.Add(u"update Kosyu4 set Kosyumei=:Kosyumei,ID=:ID where Kosyumei=:Kosyumei"_s);
    }
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyumei));
    q.SetParam(u"ID"_s, ID);
    q.ExecSQL();
}

void TKosyu::DeleteAll()
{
    TQuery(u"delete from Kosyu4"_s).ExecSQL();
}

void TKosyu::RewriteList(const QStringList &names)
{
    TTransaction transaction;
    DeleteAll();
    for (qsizetype i = 0; i < names.size(); ++i) {
        // A name seen before is found in the rows already written and takes back its
        // first number, so it is stored once.
        ID = int(i + 1);
        LoadByName(names.at(i));
        Save();
    }
    transaction.Commit();
}
