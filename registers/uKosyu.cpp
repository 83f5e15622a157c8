#include "registers/uKosyu.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kKosyu4(u"Kosyu4"_s, {
    {u"KOSYUMEI"_s, TFieldType::Alpha, 32, u"工種名"_s},
    {u"ID"_s, TFieldType::LongInt},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
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
    // A second read: the distinct names would merge rows of different counters.
    TQuery rows(u"select * from Kosyu4"_s);
    rows.Open();
    ListVersion.Loaded(QString(), LoadedSetVersion(rows));
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
    TTransaction transaction;
    TQuery look(u"select * from Kosyu4 where KOSYUMEI=:Kosyumei"_s);
    look.SetParam(u"Kosyumei"_s, TextValue(trimmed));
    look.Open();

    int counter = m_listCounter;
    if (counter == 0) {
        // A name saved on its own: a list shown elsewhere is no longer the stored one.
        TQuery rows(u"select * from Kosyu4"_s);
        rows.Open();
        counter = NextRowVersion(StoredSetVersion(rows));
    }

    TQuery q;
    if (look.Eof()) {
        if (ID == 0)
            ID = NextID();
        q.Add(u"insert into Kosyu4 (Kosyumei,ID,KOUSIN) values (:Kosyumei,:ID,:KOUSIN)"_s);
    } else {
        q.Add(u"update Kosyu4 set Kosyumei=:Kosyumei,ID=:ID,KOUSIN=:KOUSIN where Kosyumei=:Kosyumei"_s);
    }
    q.SetParam(u"KOUSIN"_s, counter);
    q.SetParam(u"Kosyumei"_s, TextValue(Kosyumei));
    q.SetParam(u"ID"_s, ID);
    q.ExecSQL();
    transaction.Commit();
}

void TKosyu::DeleteAll()
{
    TQuery(u"delete from Kosyu4"_s).ExecSQL();
    ListVersion.Forget();
}

void TKosyu::RewriteList(const QStringList &names)
{
    TTransaction transaction;
    TQuery rows(u"select * from Kosyu4"_s);
    rows.Open();
    const int counter = ListVersion.Check(QString(), StoredSetVersion(rows));
    const TSetCounterScope scope(m_listCounter, counter);
    DeleteAll();
    for (qsizetype i = 0; i < names.size(); ++i) {
        // A name seen before is found in the rows already written and takes back its
        // first number, so it is stored once.
        ID = int(i + 1);
        LoadByName(names.at(i));
        Save();
    }
    transaction.Commit();
    ListVersion.Saved(QString(), counter);
}
