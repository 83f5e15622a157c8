// Projects and the three name registers a project refers to.
#include "app/Errors.h"
#include "app/uDatabase.h"
#include "registers/uHacchusya.h"
#include "registers/uKoji.h"
#include "registers/uSimei.h"
#include "registers/uUkeoisya.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QStringList Rows(const QString &sql, const QStringList &columns)
{
    TQuery q(sql);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells;
        for (const QString &c : columns)
            cells.append(q.FieldText(c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QStringList KojiRows()
{
    return Rows(u"select * from Koji1 order by Code"_s,
                {u"CODE"_s, u"KOJIMEI"_s, u"HACCHUSYA"_s, u"UKEOISYA"_s, u"DAIRININ"_s, u"YOSHIKI"_s});
}

QString Wide(int chars)
{
    return QString(chars, QChar(u'あ'));
}
} // namespace

class TestNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void simeiSaveTrims_data();
    void simeiSaveTrims();
    void simeiListByReadingAndDeleteOnlyThePerson();
    void unknownNameKeepsTypedName();
    void contractorAndClientKeyIsTheNameAsHeld();
    void kojiCodeTrimmedExceptForDelete();
    void kojiUnknownCodeKeepsStyleAndCode();
    void kojiListOrder();
    void kojiSaveRegistersNames();
    void kojiRefusesOverlongTextBeforeWriting_data();
    void kojiRefusesOverlongTextBeforeWriting();
};

void TestNames::simeiSaveTrims_data()
{
    QTest::addColumn<QString>("furigana");
    QTest::addColumn<QString>("simei");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("both trimmed") << u" やまだ "_s << u"　山田 "_s << QStringList{u"やまだ|山田"_s};
    QTest::newRow("empty reading takes the name") << u"  "_s << u"山田"_s << QStringList{u"山田|山田"_s};
    QTest::newRow("blank name never saved") << u"やまだ"_s << u"  "_s << QStringList{};
}

void TestNames::simeiSaveTrims()
{
    QFETCH(QString, furigana);
    QFETCH(QString, simei);
    QFETCH(QStringList, rows);
    TTestEnv env;
    TSimei person; // makes sure of its table
    person.Furigana = furigana;
    person.Simei = simei;
    person.Save();
    QCOMPARE(Rows(u"select * from Simei"_s, {u"FURIGANA"_s, u"SIMEI"_s}), rows);
    QCOMPARE(person.Simei, simei.trimmed());
}

void TestNames::simeiListByReadingAndDeleteOnlyThePerson()
{
    TTestEnv env;
    TSimei person;
    const QList<QPair<QString, QString>> people = {
        {u"たなか"_s, u"田中"_s}, {u""_s, u"阿部"_s}, {u"いとう"_s, u"伊藤"_s}, {u"たなか"_s, u"田仲"_s}};
    for (const auto &p : people) {
        person.Furigana = p.first;
        person.Simei = p.second;
        person.Save();
    }
    // Re-saving an existing name updates its reading, no second row.
    person.Furigana = u"いとう"_s;
    person.Simei = u"伊藤"_s;
    person.Save();

    QStringList list;
    person.GetList(list);
    QCOMPARE(list.size(), 4);
    QCOMPARE(list.mid(0, 1), QStringList{u"伊藤"_s});
    QCOMPARE(QSet<QString>(list.begin() + 1, list.begin() + 3), (QSet<QString>{u"田中"_s, u"田仲"_s}));
    QCOMPARE(list.at(3), u"阿部"_s); // sorted by its own characters, after the kana

    person.LoadByName(u"田中"_s);
    QCOMPARE(person.Furigana, u"たなか"_s);
    person.Delete();
    person.GetList(list);
    // 田仲 shares the reading but is another person: kept.
    QCOMPARE(list, (QStringList{u"伊藤"_s, u"田仲"_s, u"阿部"_s}));
}

void TestNames::unknownNameKeepsTypedName()
{
    TTestEnv env;
    TKoji koji; // makes sure of the three tables
    TUkeoisya contractor;
    contractor.Ukeoisyamei = u"北海建設"_s;
    contractor.Jusyo = u"札幌市"_s;
    contractor.Kaisya = u"北海建設株式会社"_s;
    contractor.Daihyosya = u"社長"_s;
    contractor.JVFlag = true;
    contractor.Save();

    contractor.LoadByName(u"新しい会社"_s);
    QCOMPARE(contractor.Ukeoisyamei, u"新しい会社"_s);
    QVERIFY(contractor.Jusyo.isEmpty() && contractor.Kaisya.isEmpty() && contractor.Daihyosya.isEmpty());
    QVERIFY(!contractor.JVFlag);
    contractor.Save();

    contractor.LoadByName(u"北海建設"_s);
    QCOMPARE(contractor.Kaisya, u"北海建設株式会社"_s);
    QVERIFY(contractor.JVFlag);
    QStringList list;
    contractor.GetList(list);
    QCOMPARE(QSet<QString>(list.begin(), list.end()), (QSet<QString>{u"北海建設"_s, u"新しい会社"_s}));

    THacchusya client;
    client.Hacchusyamei = u"札幌開発建設部"_s;
    client.SyokuSimei = u"所長"_s;
    client.Save();
    client.LoadByName(u"旭川"_s);
    QCOMPARE(client.Hacchusyamei, u"旭川"_s);
    QVERIFY(client.SyokuSimei.isEmpty());
    client.LoadByName(u"札幌開発建設部"_s);
    QCOMPARE(client.SyokuSimei, u"所長"_s);
}

void TestNames::contractorAndClientKeyIsTheNameAsHeld()
{
    TTestEnv env;
    TKoji koji;
    THacchusya client;
    client.Hacchusyamei = u"A局"_s;
    client.SyokuSimei = u"一"_s;
    client.Save();
    client.SyokuSimei = u"二"_s;
    client.Save(); // same name: update
    client.Hacchusyamei = u" A局"_s;
    client.SyokuSimei = u"三"_s;
    client.Save(); // a leading blank makes another name
    client.Hacchusyamei = u"   "_s;
    client.Save(); // blank: nothing
    QCOMPARE(Rows(u"select * from Hacchusya order by SyokuSimei"_s, {u"HACCHUSYAMEI"_s, u"SYOKUSIMEI"_s}),
             (QStringList{u" A局|三"_s, u"A局|二"_s}));
    client.Hacchusyamei = u"A局"_s;
    client.Delete();
    QCOMPARE(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s}), QStringList{u" A局"_s});

    TUkeoisya contractor;
    contractor.Ukeoisyamei = u"建設"_s;
    contractor.Save();
    contractor.Jusyo = u"函館"_s;
    contractor.Save();
    contractor.Ukeoisyamei = u"建設 "_s;
    contractor.Save();
    QCOMPARE(Rows(u"select * from Ukeoisya order by Jusyo"_s, {u"UKEOISYAMEI"_s, u"JUSYO"_s}),
             (QStringList{u"建設|函館"_s, u"建設 |函館"_s}));
    contractor.Ukeoisyamei = u"建設"_s;
    contractor.Delete();
    QCOMPARE(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s}), QStringList{u"建設 "_s});
}

void TestNames::kojiCodeTrimmedExceptForDelete()
{
    TTestEnv env;
    TKoji koji;
    QCOMPARE(koji.CreateTableIfMissing(), false);
    koji.Code = u"  0001 "_s;
    koji.Kojimei = u" 国道改良 "_s;
    koji.Yoshiki = 2;
    koji.Save();
    QCOMPARE(KojiRows(), QStringList{u"0001| 国道改良 ||||2"_s});

    TKoji other;
    other.LoadByCode(u" 0001"_s);
    QCOMPARE(other.Code, u"0001"_s);
    QCOMPARE(other.Kojimei, u" 国道改良 "_s);
    QCOMPARE(other.Yoshiki, 2);

    // Saving again under the blank-padded code updates the one row.
    koji.Kojimei = u"国道改良"_s;
    koji.Save();
    QCOMPARE(KojiRows(), QStringList{u"0001|国道改良||||2"_s});

    // Delete takes the code as held: with a blank in front it matches nothing.
    koji.Code = u" 0001"_s;
    koji.Delete();
    QCOMPARE(KojiRows().size(), 1);
    koji.Code = u"0001"_s;
    koji.Delete();
    QVERIFY(KojiRows().isEmpty());

    // A code of blanks writes nothing.
    koji.Code = u"   "_s;
    koji.Save();
    QVERIFY(KojiRows().isEmpty());
}

void TestNames::kojiUnknownCodeKeepsStyleAndCode()
{
    TTestEnv env;
    TKoji koji;
    koji.CreateTableIfMissing();
    koji.Code = u"0001"_s;
    koji.Kojimei = u"工事"_s;
    koji.Hacchusya->Hacchusyamei = u"局"_s;
    koji.Ukeoisya->Ukeoisyamei = u"建設"_s;
    koji.Dairinin->Simei = u"山田"_s;
    koji.Yoshiki = 1;
    koji.Save();

    koji.LoadByCode(u" 9999"_s);
    QCOMPARE(koji.Code, u" 9999"_s);
    QVERIFY(koji.Kojimei.isEmpty());
    QVERIFY(koji.Hacchusya->Hacchusyamei.isEmpty());
    QVERIFY(koji.Ukeoisya->Ukeoisyamei.isEmpty());
    QVERIFY(koji.Dairinin->Simei.isEmpty());
    QCOMPARE(koji.Yoshiki, 1);

    koji.LoadByCode(u"0001"_s);
    QCOMPARE(koji.Dairinin->Simei, u"山田"_s);
    QCOMPARE(koji.Dairinin->Furigana, u"山田"_s);
    koji.Clear();
    QVERIFY(koji.Code.isEmpty() && koji.Ukeoisya->Ukeoisyamei.isEmpty());
    QCOMPARE(koji.Yoshiki, 1);
}

void TestNames::kojiListOrder()
{
    TTestEnv env;
    TKoji koji;
    koji.CreateTableIfMissing();
    for (const QString &code : {u"0002"_s, u"0010"_s, u"0001"_s}) {
        koji.Code = code;
        koji.Kojimei = u"工事"_s + code;
        koji.Save();
    }
    TQuery(u"insert into Koji1 (Code,Kojimei,Yoshiki) values ('  ','空のコード',0)"_s).ExecSQL();
    QStringList list{u"stale"_s};
    koji.GetList(list);
    QCOMPARE(list, (QStringList{u"0010:工事0010"_s, u"0002:工事0002"_s, u"0001:工事0001"_s}));
}

void TestNames::kojiSaveRegistersNames()
{
    TTestEnv env;
    TKoji koji;
    koji.CreateTableIfMissing();
    THacchusya client;
    client.Hacchusyamei = u"網走開発建設部"_s;
    client.SyokuSimei = u"所長 佐藤"_s;
    client.Save();

    // An existing client keeps its details; new names are registered with empty ones.
    koji.Code = u"0001"_s;
    koji.Hacchusya->LoadByName(u"網走開発建設部"_s);
    koji.Ukeoisya->LoadByName(u"道東建設"_s);
    koji.Dairinin->LoadByName(u" 鈴木 "_s);
    koji.Save();
    QCOMPARE(KojiRows(), QStringList{u"0001||網走開発建設部|道東建設|鈴木|0"_s});
    QCOMPARE(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s, u"SYOKUSIMEI"_s}),
             QStringList{u"網走開発建設部|所長 佐藤"_s});
    QCOMPARE(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s, u"JUSYO"_s, u"JVFLAG"_s}),
             QStringList{u"道東建設||0"_s});
    QCOMPARE(Rows(u"select * from Simei"_s, {u"FURIGANA"_s, u"SIMEI"_s}), QStringList{u"鈴木|鈴木"_s});

    // Loading the project fetches the register details by name.
    TKoji loaded;
    loaded.LoadByCode(u"0001"_s);
    QCOMPARE(loaded.Hacchusya->SyokuSimei, u"所長 佐藤"_s);

    // Blank names register nothing.
    koji.Code = u"0002"_s;
    koji.Hacchusya->LoadByName(u" "_s);
    koji.Ukeoisya->LoadByName(QString());
    koji.Dairinin->LoadByName(QString());
    koji.Save();
    QCOMPARE(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s}).size(), 1);
    QCOMPARE(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s}).size(), 1);
    QCOMPARE(KojiRows().size(), 2);
}

void TestNames::kojiRefusesOverlongTextBeforeWriting_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("column");
    // Fits the client register (32 bytes) but not the project's column (20).
    QTest::newRow("client 22 bytes") << u"client"_s << Wide(11) << u"発注者名"_s << u"HACCHUSYA"_s;
    QTest::newRow("client 40 bytes") << u"client"_s << Wide(20) << u"発注者名"_s << u"HACCHUSYA"_s;
    QTest::newRow("contractor 42 bytes") << u"contractor"_s << Wide(21) << u"請負者名"_s << u"UKEOISYA"_s;
    QTest::newRow("agent 18 bytes") << u"agent"_s << Wide(9) << u"現場代理人"_s << u"DAIRININ"_s;
    QTest::newRow("agent reading 18 bytes") << u"reading"_s << Wide(9) << u"ふりがな"_s << u"FURIGANA"_s;
    QTest::newRow("address 50 bytes") << u"address"_s << Wide(25) << u"住所"_s << u"JUSYO"_s;
    QTest::newRow("project name 130 bytes") << u"name"_s << Wide(65) << u"工事名"_s << u"KOJIMEI"_s;
    QTest::newRow("code 9 bytes") << u"code"_s << u"123456789"_s << u"工事コード"_s << u"CODE"_s;
}

void TestNames::kojiRefusesOverlongTextBeforeWriting()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, label);
    QFETCH(QString, column);
    TTestEnv env;
    TKoji koji;
    koji.CreateTableIfMissing();
    koji.Code = u"0001"_s;
    koji.Kojimei = u"工事"_s;
    koji.Hacchusya->Hacchusyamei = u"局"_s;
    koji.Ukeoisya->Ukeoisyamei = u"建設"_s;
    koji.Dairinin->Simei = u"山田"_s;
    if (field == u"client"_s) koji.Hacchusya->Hacchusyamei = value;
    if (field == u"contractor"_s) koji.Ukeoisya->Ukeoisyamei = value;
    if (field == u"agent"_s) koji.Dairinin->Simei = value;
    if (field == u"reading"_s) koji.Dairinin->Furigana = value;
    if (field == u"address"_s) koji.Ukeoisya->Jusyo = value;
    if (field == u"name"_s) koji.Kojimei = value;
    if (field == u"code"_s) koji.Code = value;
    try {
        koji.Save();
        QFAIL("the over-long text was accepted");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(label) && e.Message().contains(column), qPrintable(e.Message()));
    }
    QVERIFY(KojiRows().isEmpty());
    QVERIFY(Rows(u"select * from Hacchusya"_s, {u"HACCHUSYAMEI"_s}).isEmpty());
    QVERIFY(Rows(u"select * from Ukeoisya"_s, {u"UKEOISYAMEI"_s}).isEmpty());
    QVERIFY(Rows(u"select * from Simei"_s, {u"SIMEI"_s}).isEmpty());
}

QTEST_GUILESS_MAIN(TestNames)
#include "tst_Names.moc"
