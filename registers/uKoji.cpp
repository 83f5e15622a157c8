#include "registers/uKoji.h"

#include "app/uDatabase.h"
#include "registers/uHacchusya.h"
#include "registers/uRegisterCommon.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kKoji1(u"Koji1"_s, {
    {u"CODE"_s, TFieldType::Alpha, 8, u"工事コード"_s},
    {u"KOJIMEI"_s, TFieldType::Alpha, 128, u"工事名"_s},
    {u"HACCHUSYA"_s, TFieldType::Alpha, 20, u"発注者名"_s},
    {u"UKEOISYA"_s, TFieldType::Alpha, 40, u"請負者名"_s},
    {u"DAIRININ"_s, TFieldType::Alpha, 16, u"現場代理人"_s},
    {u"YOSHIKI"_s, TFieldType::LongInt},
    {u"KOUSIN"_s, TFieldType::LongInt, 0, u"更新回数"_s, true},
});
[[maybe_unused]] const bool kRegistered = (RegisterTableDef(&kKoji1), true);
} // namespace

TKoji::TKoji(QObject *owner)
    : QObject(owner)
    , Hacchusya(new THacchusya(this))
    , Ukeoisya(new TUkeoisya(this))
    , Dairinin(new TSimei(this))
{
    Hacchusya->CreateTableIfMissing();
    Ukeoisya->CreateTableIfMissing();
}

const TTableDef &TKoji::TableDef()
{
    return kKoji1;
}

bool TKoji::CreateTableIfMissing()
{
    const bool existed = ::CreateTableIfMissing(kKoji1);
    Hacchusya->CreateTableIfMissing();
    Ukeoisya->CreateTableIfMissing();
    Dairinin->CreateTableIfMissing();
    return existed;
}

void TKoji::Clear()
{
    Code.clear();
    Kojimei.clear();
    Version.Forget();
    Hacchusya->LoadByName(QString());
    Ukeoisya->LoadByName(QString());
    Dairinin->LoadByName(QString());
}

void TKoji::LoadByCode(const QString &code)
{
    TQuery q(u"select * from Koji1 where Code=:Code"_s);
    q.SetParam(u"Code"_s, TextValue(code.trimmed()));
    q.Open();
    if (!q.Eof()) {
        ReadFromQuery(q);
    } else {
        Clear();
        Code = code;
        Version.Loaded(code.trimmed(), -1);
    }
}

void TKoji::ReadFromQuery(const TQuery &query)
{
    Code = query.FieldText(u"CODE"_s);
    Kojimei = query.FieldText(u"KOJIMEI"_s);
    Hacchusya->LoadByName(query.FieldText(u"HACCHUSYA"_s));
    Ukeoisya->LoadByName(query.FieldText(u"UKEOISYA"_s));
    Dairinin->LoadByName(query.FieldText(u"DAIRININ"_s));
    Yoshiki = query.FieldInt(u"YOSHIKI"_s);
    Version.Loaded(Code.trimmed(), LoadedRowVersion(query));
}

void TKoji::CheckTexts() const
{
    // The texts as the saves below will write them.
    const QString agent = Dairinin->Simei.trimmed();
    CheckColumn(kKoji1, u"CODE"_s, Code.trimmed(), u"工事コード"_s);
    CheckColumn(kKoji1, u"KOJIMEI"_s, Kojimei, u"工事名"_s);
    CheckColumn(kKoji1, u"HACCHUSYA"_s, Hacchusya->Hacchusyamei, u"発注者名"_s);
    CheckColumn(kKoji1, u"UKEOISYA"_s, Ukeoisya->Ukeoisyamei, u"請負者名"_s);
    CheckColumn(kKoji1, u"DAIRININ"_s, agent, u"現場代理人"_s);

    const TTableDef &client = THacchusya::TableDef();
    if (!Hacchusya->Hacchusyamei.trimmed().isEmpty()) {
        CheckColumn(client, u"HACCHUSYAMEI"_s, Hacchusya->Hacchusyamei, u"発注者名"_s);
        CheckColumn(client, u"SYOKUSIMEI"_s, Hacchusya->SyokuSimei, u"職氏名"_s);
    }
    const TTableDef &contractor = TUkeoisya::TableDef();
    if (!Ukeoisya->Ukeoisyamei.trimmed().isEmpty()) {
        CheckColumn(contractor, u"UKEOISYAMEI"_s, Ukeoisya->Ukeoisyamei, u"請負者名"_s);
        CheckColumn(contractor, u"JUSYO"_s, Ukeoisya->Jusyo, u"住所"_s);
        CheckColumn(contractor, u"KAISYA"_s, Ukeoisya->Kaisya, u"会社名"_s);
        CheckColumn(contractor, u"DAIHYOSYA"_s, Ukeoisya->Daihyosya, u"代表者"_s);
    }
    const TTableDef &person = TSimei::TableDef();
    if (!agent.isEmpty()) {
        const QString reading = Dairinin->Furigana.trimmed();
        CheckColumn(person, u"SIMEI"_s, agent, u"現場代理人"_s);
        CheckColumn(person, u"FURIGANA"_s, reading.isEmpty() ? agent : reading, u"現場代理人のふりがな"_s);
    }
}

void TKoji::Save()
{
    const QString code = Code.trimmed();
    if (code.isEmpty())
        return;
    CheckTexts();

    TVersionsUntilCommit versions({&Hacchusya->Version, &Ukeoisya->Version, &Dairinin->Version});
    TTransaction transaction;
    const int counter = WriteRow(code);
    transaction.Commit();
    Version.Saved(code, counter);
    versions.Committed();
}

int TKoji::WriteRow(const QString &code)
{
    TQuery look(u"select * from Koji1 where Code=:Code"_s);
    look.SetParam(u"Code"_s, TextValue(code));
    look.Open();
    const int counter = Version.Check(code, StoredRowVersion(look));

    TQuery q;
    if (look.Eof()) {
        q.Add(u"insert into Koji1 (Code,Kojimei,Hacchusya,Ukeoisya,Dairinin,Yoshiki,KOUSIN)"_s)
            .Add(u"values (:Code,:Kojimei,:Hacchusya,:Ukeoisya,:Dairinin,:Yoshiki,:KOUSIN)"_s);
    } else {
        q.Add(u"update Koji1 set Code=:Code,Kojimei=:Kojimei,Hacchusya=:Hacchusya,Ukeoisya=:Ukeoisya,"_s)
            .Add(u"Dairinin=:Dairinin,Yoshiki=:Yoshiki,KOUSIN=:KOUSIN"_s)
            .Add(u"where Code=:Code"_s);
    }
    q.SetParam(u"KOUSIN"_s, counter);
    q.SetParam(u"Code"_s, TextValue(code));
    q.SetParam(u"Kojimei"_s, TextValue(Kojimei));
    // The registers first, so that every name the project row holds is registered.
    Hacchusya->Save();
    q.SetParam(u"Hacchusya"_s, TextValue(Hacchusya->Hacchusyamei));
    Ukeoisya->Save();
    q.SetParam(u"Ukeoisya"_s, TextValue(Ukeoisya->Ukeoisyamei));
    Dairinin->Save();
    q.SetParam(u"Dairinin"_s, TextValue(Dairinin->Simei));
    q.SetParam(u"Yoshiki"_s, Yoshiki);
    q.ExecSQL();
    return counter;
}

void TKoji::GetList(QStringList &list) const
{
    list.clear();
    TQuery q(u"select * from Koji1 order by Code Desc"_s);
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const QString code = q.FieldText(u"CODE"_s);
        if (!code.trimmed().isEmpty())
            list.append(code + u':' + q.FieldText(u"KOJIMEI"_s));
    }
}

void TKoji::Delete()
{
    TQuery q(u"delete from Koji1 where Code=:Code"_s);
    q.SetParam(u"Code"_s, TextValue(Code));
    q.ExecSQL();
    Version.Forget();
}
