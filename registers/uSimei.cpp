#include "registers/uSimei.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kSimei(u"Simei"_s, {
    {u"FURIGANA"_s, TFieldType::Alpha, 16, u"ふりがな"_s},
    {u"SIMEI"_s, TFieldType::Alpha, 16, u"氏名"_s},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kSimei), true);
} // namespace

TSimei::TSimei(QObject *owner)
    : QObject(owner)
{
    CreateTableIfMissing();
}

const TTableDef &TSimei::TableDef()
{
    return kSimei;
}

bool TSimei::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kSimei);
}

void TSimei::Clear()
{
    Furigana.clear();
    Simei.clear();
    Version.Forget();
}

void TSimei::GetList(QStringList &list) const
{
    list.clear();
    TQuery q(u"select * from Simei order by Furigana"_s);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"SIMEI"_s));
}

void TSimei::LoadByName(const QString &name)
{
    TQuery q(u"select * from Simei where Simei=:Simei"_s);
    q.SetParam(u"Simei"_s, TextValue(name));
    q.Open();
    if (!q.Eof()) {
        ReadFromQuery(q);
    } else {
        Clear();
        Simei = name;
        Version.Loaded(name, -1);
    }
}

void TSimei::ReadFromQuery(const TQuery &query)
{
    Furigana = query.FieldText(u"FURIGANA"_s);
    Simei = query.FieldText(u"SIMEI"_s);
    Version.Loaded(Simei, LoadedRowVersion(query));
}

void TSimei::Save()
{
    Simei = Simei.trimmed();
    Furigana = Furigana.trimmed();
    if (Simei.isEmpty())
        return;
    if (Furigana.isEmpty())
        Furigana = Simei;

    TTransaction transaction;
    TQuery look(u"select * from Simei where Simei=:Simei"_s);
    look.SetParam(u"Simei"_s, TextValue(Simei));
    look.Open();
    const int now = StoredRowVersion(look);
    // Nothing to write (a project save passes its site agent on unchanged): nothing refused.
    if (!look.Eof() && look.FieldText(u"FURIGANA"_s) == Furigana) {
        transaction.Commit();
        Version.Loaded(Simei, now);
        return;
    }
    const int counter = Version.Check(Simei, now);

    TQuery q;
    if (look.Eof())
        q.Add(u"insert into Simei (Furigana, Simei, KOUSIN) values (:Furigana,:Simei,:KOUSIN)"_s);
    else
        q.Add(u"update Simei set Furigana=:Furigana,Simei=:Simei,KOUSIN=:KOUSIN where Simei=:Simei"_s);
    q.SetParam(u"Furigana"_s, TextValue(Furigana));
    q.SetParam(u"Simei"_s, TextValue(Simei));
    q.SetParam(u"KOUSIN"_s, counter);
    q.ExecSQL();
    transaction.Commit();
    Version.Saved(Simei, counter);
}

void TSimei::Delete()
{
    // Only the person shown: another person who shares the reading is not the one the user
    // asked to delete.
    TQuery q(u"delete from Simei where Furigana=:Furigana and Simei=:Simei"_s);
    q.SetParam(u"Furigana"_s, TextValue(Furigana));
    q.SetParam(u"Simei"_s, TextValue(Simei));
    q.ExecSQL();
    Version.Forget();
}
