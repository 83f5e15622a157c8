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
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"Koukumei"_s));
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
    if (!look.Eof())
        return;

    if (ID == 0)
        ID = NextID();
    TQuery q(u"insert into Kouku (KojiCode,ID,Koukumei) values (:KojiCode,:ID,:Koukumei)"_s);
    q.SetParam(u"KojiCode"_s, TextValue(Koji->Code));
    q.SetParam(u"ID"_s, ID);
    q.SetParam(u"Koukumei"_s, TextValue(Koukumei));
    q.ExecSQL();
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
    DeleteForProject();
    for (qsizetype i = 0; i < names.size(); ++i) {
        ID = int(i + 1);
        Koukumei = names.at(i);
        AddIfMissing();
    }
    transaction.Commit();
}
