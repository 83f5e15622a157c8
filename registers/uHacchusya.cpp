#include "registers/uHacchusya.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kHacchusya(u"Hacchusya"_s, {
    {u"HACCHUSYAMEI"_s, TFieldType::Alpha, 32, u"発注者名"_s},
    {u"SYOKUSIMEI"_s, TFieldType::Alpha, 32, u"職氏名"_s},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kHacchusya), true);
} // namespace

THacchusya::THacchusya(QObject *owner)
    : QObject(owner)
{
}

const TTableDef &THacchusya::TableDef()
{
    return kHacchusya;
}

bool THacchusya::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kHacchusya);
}

void THacchusya::Clear()
{
    Hacchusyamei.clear();
    SyokuSimei.clear();
    Version.Forget();
}

void THacchusya::GetList(QStringList &list) const
{
    list.clear();
    TQuery q(u"select * from Hacchusya order by Hacchusyamei"_s);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"HACCHUSYAMEI"_s));
}

void THacchusya::LoadByName(const QString &name)
{
    TQuery q(u"select * from Hacchusya where Hacchusyamei=:Hacchusyamei"_s);
    q.SetParam(u"Hacchusyamei"_s, TextValue(name));
    q.Open();
    if (!q.Eof()) {
        ReadFromQuery(q);
    } else {
        Clear();
        Hacchusyamei = name;
        Version.Loaded(name, -1);
    }
}

void THacchusya::ReadFromQuery(const TQuery &query)
{
    Hacchusyamei = query.FieldText(u"HACCHUSYAMEI"_s);
    SyokuSimei = query.FieldText(u"SYOKUSIMEI"_s);
    Version.Loaded(Hacchusyamei, LoadedRowVersion(query));
}

void THacchusya::Save()
{
    if (Hacchusyamei.trimmed().isEmpty())
        return;
    TTransaction transaction;
    TQuery look(u"select * from Hacchusya where Hacchusyamei=:Hacchusyamei"_s);
    look.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    look.Open();
    const int now = StoredRowVersion(look);
    // Nothing to write (a project save passes its client on unchanged): nothing refused.
    if (!look.Eof() && look.FieldText(u"SYOKUSIMEI"_s) == SyokuSimei) {
        transaction.Commit();
        Version.Loaded(Hacchusyamei, now);
        return;
    }
    const int counter = Version.Check(Hacchusyamei, now);

    TQuery q;
    if (look.Eof())
        q.Add(u"insert into Hacchusya (Hacchusyamei,SyokuSimei,KOUSIN) values (:Hacchusyamei,:SyokuSimei,:KOUSIN)"_s);
    else
        q.Add(u"update Hacchusya set Hacchusyamei=:Hacchusyamei,SyokuSimei=:SyokuSimei,KOUSIN=:KOUSIN where Hacchusyamei=:Hacchusyamei"_s);
    q.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    q.SetParam(u"SyokuSimei"_s, TextValue(SyokuSimei));
    q.SetParam(u"KOUSIN"_s, counter);
    q.ExecSQL();
    transaction.Commit();
    Version.Saved(Hacchusyamei, counter);
}

void THacchusya::Delete()
{
    TQuery q(u"delete from Hacchusya where Hacchusyamei=:Hacchusyamei"_s);
    q.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    q.ExecSQL();
    Version.Forget();
}
