#include "registers/ukouku.h"

#include "app/uDatabase.h"
#include "registers/uKoji.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kKouku(u"Kouku"_s, {
    {u"KojiCODE"_s, TFieldType::Alpha, 8, u"工事コード"_s},
    {u"ID"_s, TFieldType::LongInt},
    {u"Koukumei"_s, TFieldType::Alpha, 32, u"工区名"_s},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kKouku), true);
} // namespace

TKouku::TKouku(QObject *owner)
    : QObject(owner)
    , Koji(new TKoji(this))
{
}

const TTableDef &TKouku::TableDef()
{
    return kKouku;
}

bool TKouku::CreateTableIfMissing()
{
    const bool existed = ::CreateTableIfMissing(kKouku);
    Koji->CreateTableIfMissing();
    return existed;
}

void TKouku::GetList(QStringList &list) const
{
    TQuery q;
    q.Add(u"select * from Kouku where KojiCode=:KojiCode"_s).Add(u"order by ID"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.Open();
    list.clear();
    int counter = -1;
    for (; !q.Eof(); q.Next()) {
        list.append(q.FieldText(u"Koukumei"_s));
        counter = qMax(counter, LoadedRowVersion(q));
    }
    ListVersion.Loaded(Koji->Code, counter);
}

int TKouku::NextID() const
{
    TQuery q(u"select Max(ID) as MaxID from Kouku where KojiCode=:KojiCode"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.Open();
    return q.FieldInt(u"MaxID"_s) + 1;
}

void TKouku::AddIfMissing()
{
    if (Koji->Code.isEmpty())
        return;
    TTransaction transaction;
    TQuery look;
    if (!Koukumei.isEmpty()) {
        look.Add(u"select * from Kouku where KojiCode=:KojiCode and Koukumei=:Koukumei"_s);
        look.SetParam(u"Koukumei"_s, Koukumei);
    } else {
        // The empty name is a section of its own.
        look.Add(u"select * from Kouku where KojiCode=:KojiCode and (Koukumei='' or Koukumei is null)"_s);
    }
    look.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    look.Open();
    if (!look.Eof()) {
        transaction.Commit();
        return;
    }

    if (ID == 0)
        ID = NextID();
    int counter = m_listCounter;
    if (counter == 0) {
        // A section added on its own: a list shown elsewhere no longer holds every section.
        TQuery rows(u"select * from Kouku where KojiCode=:KojiCode"_s);
        rows.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
        rows.Open();
        counter = NextRowVersion(StoredSetVersion(rows));
    }
    TQuery q(u"insert into Kouku (KojiCode,ID,Koukumei,KOUSIN) values (:KojiCode,:ID,:Koukumei,:KOUSIN)"_s);
    q.SetParam(u"KOUSIN"_s, counter);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.SetParam(u"ID"_s, ID);
    q.SetParam(u"Koukumei"_s, TextValue(Koukumei));
    q.ExecSQL();
    transaction.Commit();
}

void TKouku::DeleteForProject()
{
    TQuery q(u"delete from Kouku where KojiCode=:KojiCode"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.ExecSQL();
}

void TKouku::RewriteList(const QStringList &names)
{
    TTransaction transaction;
    TQuery rows(u"select * from Kouku where KojiCode=:KojiCode"_s);
    rows.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    rows.Open();
    const int counter = ListVersion.Check(Koji->Code, StoredSetVersion(rows));
    const TSetCounterScope scope(m_listCounter, counter);
    DeleteForProject();
    for (qsizetype i = 0; i < names.size(); ++i) {
        ID = int(i + 1);
        Koukumei = names.at(i);
        AddIfMissing();
    }
    transaction.Commit();
    ListVersion.Saved(Koji->Code, counter);
}
