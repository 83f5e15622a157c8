#include "registers/uHacchusya.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kHacchusya(u"Hacchusya"_s, {
    {u"HACCHUSYAMEI"_s, TFieldType::Alpha, 32, u"発注者名"_s},
    {u"SYOKUSIMEI"_s, TFieldType::Alpha, 32, u"職氏名"_s},
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
    }
}

void THacchusya::ReadFromQuery(const TQuery &query)
{
    Hacchusyamei = query.FieldText(u"HACCHUSYAMEI"_s);
    SyokuSimei = query.FieldText(u"SYOKUSIMEI"_s);
}

void THacchusya::Save()
{
    if (Hacchusyamei.trimmed().isEmpty())
        return;
    TQuery look(u"select * from Hacchusya where Hacchusyamei=:Hacchusyamei"_s);
    look.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    look.Open();

    TQuery q;
    if (look.Eof())
        q.Add(u"insert into Hacchusya (Hacchusyamei,SyokuSimei) values (:Hacchusyamei,:SyokuSimei)"_s);
    else
        q.Add(u"update Hacchusya set Hacchusyamei=:Hacchusyamei,SyokuSimei=:SyokuSimei where Hacchusyamei=:Hacchusyamei"_s);
    q.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    q.SetParam(u"SyokuSimei"_s, TextValue(SyokuSimei));
    q.ExecSQL();
}

void THacchusya::Delete()
{
    TQuery q(u"delete from Hacchusya where Hacchusyamei=:Hacchusyamei"_s);
    q.SetParam(u"Hacchusyamei"_s, TextValue(Hacchusyamei));
    q.ExecSQL();
}
