#include "registers/uUkeoisya.h"

#include "app/uDatabase.h"
#include "registers/uRegisterCommon.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kUkeoisya(u"Ukeoisya"_s, {
    {u"UKEOISYAMEI"_s, TFieldType::Alpha, 48, u"請負者名"_s},
    {u"JUSYO"_s, TFieldType::Alpha, 48, u"住所"_s},
    {u"KAISYA"_s, TFieldType::Alpha, 48, u"会社名"_s},
    {u"DAIHYOSYA"_s, TFieldType::Alpha, 48, u"代表者"_s},
    {u"JVFLAG"_s, TFieldType::Logical},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kUkeoisya), true);
} // namespace

TUkeoisya::TUkeoisya(QObject *owner)
    : QObject(owner)
{
}

const TTableDef &TUkeoisya::TableDef()
{
    return kUkeoisya;
}

bool TUkeoisya::CreateTableIfMissing()
{
    return ::CreateTableIfMissing(kUkeoisya);
}

void TUkeoisya::Clear()
{
    Ukeoisyamei.clear();
    Jusyo.clear();
    Kaisya.clear();
    Daihyosya.clear();
    JVFlag = false;
    Version.Forget();
}

void TUkeoisya::GetList(QStringList &list) const
{
    list.clear();
    TQuery q(u"select * from Ukeoisya order by Ukeoisyamei"_s);
    q.Open();
    for (; !q.Eof(); q.Next())
        list.append(q.FieldText(u"UKEOISYAMEI"_s));
}

void TUkeoisya::LoadByName(const QString &name)
{
    TQuery q(u"select * from Ukeoisya where Ukeoisyamei=:Ukeoisyamei"_s);
    q.SetParam(u"Ukeoisyamei"_s, TextValue(name));
    q.Open();
    if (!q.Eof()) {
        ReadFromQuery(q);
    } else {
        Clear();
        Ukeoisyamei = name;
        Version.Loaded(name, -1);
    }
}

void TUkeoisya::ReadFromQuery(const TQuery &query)
{
    Ukeoisyamei = query.FieldText(u"UKEOISYAMEI"_s);
    Jusyo = query.FieldText(u"JUSYO"_s);
    Kaisya = query.FieldText(u"KAISYA"_s);
    Daihyosya = query.FieldText(u"DAIHYOSYA"_s);
    JVFlag = query.FieldBool(u"JVFLAG"_s);
    Version.Loaded(Ukeoisyamei, LoadedRowVersion(query));
}

void TUkeoisya::Save()
{
    if (Ukeoisyamei.trimmed().isEmpty())
        return;
    TTransaction transaction;
    TQuery look(u"select * from Ukeoisya where Ukeoisyamei=:Ukeoisyamei"_s);
    look.SetParam(u"Ukeoisyamei"_s, TextValue(Ukeoisyamei));
    look.Open();
    const int now = StoredRowVersion(look);
    // Nothing to write (a project save passes its contractor on unchanged): nothing refused.
    if (!look.Eof() && look.FieldText(u"JUSYO"_s) == Jusyo && look.FieldText(u"KAISYA"_s) == Kaisya
        && look.FieldText(u"DAIHYOSYA"_s) == Daihyosya && look.FieldBool(u"JVFLAG"_s) == JVFlag) {
        transaction.Commit();
        Version.Loaded(Ukeoisyamei, now);
        return;
    }
    const int counter = Version.Check(Ukeoisyamei, now);

    TQuery q;
    if (look.Eof()) {
        q.Add(u"insert into Ukeoisya (UKEOISYAMEI,JUSYO,KAISYA,Daihyosya,"_s)
            .Add(u"JVFlag,KOUSIN) values (:Ukeoisyamei,:Jusyo,:Kaisya,:Daihyosya,:JVFlag,:KOUSIN)"_s);
    } else {
        q.Add(u"update Ukeoisya set UKEOISYAMEI=:Ukeoisyamei,Jusyo=:Jusyo,Kaisya=:Kaisya,"_s)
            .Add(u"Daihyosya=:Daihyosya,JVFlag=:JVFlag,KOUSIN=:KOUSIN where Ukeoisyamei=:Ukeoisyamei"_s);
    }
    q.SetParam(u"KOUSIN"_s, counter);
    q.SetParam(u"Ukeoisyamei"_s, TextValue(Ukeoisyamei));
    q.SetParam(u"Jusyo"_s, TextValue(Jusyo));
    q.SetParam(u"Kaisya"_s, TextValue(Kaisya));
    q.SetParam(u"Daihyosya"_s, TextValue(Daihyosya));
    q.SetParam(u"JVFlag"_s, JVFlag);
    q.ExecSQL();
    transaction.Commit();
    Version.Saved(Ukeoisyamei, counter);
}

void TUkeoisya::Delete()
{
    TQuery q(u"delete from Ukeoisya where Ukeoisyamei=:Ukeoisyamei"_s);
    q.SetParam(u"Ukeoisyamei"_s, TextValue(Ukeoisyamei));
    q.ExecSQL();
    Version.Forget();
}
