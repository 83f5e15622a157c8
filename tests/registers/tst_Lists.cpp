// The two ordered lists: work types (shared) and work sections (per project).
#include "app/Errors.h"
#include "app/uDatabase.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Rows of a select as "a|b|…".
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

QStringList KosyuRows()
{
    return Rows(u"select * from Kosyu4 order by ID, Kosyumei"_s, {u"KOSYUMEI"_s, u"ID"_s});
}

QStringList KoukuRows(const QString &code)
{
    return Rows(u"select * from Kouku where KojiCode='%1' order by ID, Koukumei"_s.arg(code),
                {u"Koukumei"_s, u"ID"_s});
}

const QString kTooLong = QString(17, QChar(u'長')); // 34 bytes
} // namespace

class TestLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kosyuRewrite_data();
    void kosyuRewrite();
    void kosyuEmptyTable();
    void kosyuSaveAndLookUp();
    void kosyuFailingRewriteKeepsOldList();
    void koukuRewrite_data();
    void koukuRewrite();
    void koukuAddIfMissing();
    void koukuWithoutProject();
    void koukuFailingRewriteKeepsOldList();
};

void TestLists::kosyuRewrite_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("repeated name stays at its first place")
        << QStringList{u"A"_s, u"B"_s, u"A"_s, u"C"_s}
        << QStringList{u"A|1"_s, u"B|2"_s, u"C|4"_s} << QStringList{u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("blank entries dropped, their numbers unused")
        << QStringList{u"表層"_s, u""_s, u"  "_s, u"基層"_s}
        << QStringList{u"表層|1"_s, u"基層|4"_s} << QStringList{u"表層"_s, u"基層"_s};
    QTest::newRow("order follows the list, not the names")
        << QStringList{u"路盤"_s, u"基層"_s, u"表層"_s}
        << QStringList{u"路盤|1"_s, u"基層|2"_s, u"表層|3"_s}
        << QStringList{u"路盤"_s, u"基層"_s, u"表層"_s};
    QTest::newRow("empty list empties the table") << QStringList{} << QStringList{} << QStringList{};
}

void TestLists::kosyuRewrite()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, list);
    TTestEnv env;
    TKosyu kosyu;
    QCOMPARE(kosyu.CreateTableIfMissing(), false);
    QCOMPARE(kosyu.CreateTableIfMissing(), true);
    kosyu.RewriteList({u"古い"_s, u"B"_s});
    kosyu.RewriteList(names);
    QCOMPARE(KosyuRows(), rows);
    QStringList got{u"stale"_s};
    kosyu.GetList(got);
    QCOMPARE(got, list);
}

void TestLists::kosyuEmptyTable()
{
    TTestEnv env;
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    QStringList list{u"x"_s};
    kosyu.GetList(list);
    QVERIFY(list.isEmpty());
    QCOMPARE(kosyu.NextID(), 1);
}

void TestLists::kosyuSaveAndLookUp()
{
    TTestEnv env;
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"表層"_s, u"基層"_s});

    // A new name with ID 0 goes to the end.
    kosyu.ID = 0;
    kosyu.Kosyumei = u"路盤"_s;
    kosyu.Save();
    QCOMPARE(kosyu.ID, 3);

    // The look-up trims; a miss keeps the ID and takes the name as given.
    kosyu.ID = 9;
    kosyu.LoadByName(u" 基層 "_s);
    QCOMPARE(kosyu.Kosyumei, u"基層"_s);
    QCOMPARE(kosyu.ID, 2);
    kosyu.ID = 7;
    kosyu.LoadByName(u" 新工種"_s);
    QCOMPARE(kosyu.Kosyumei, u" 新工種"_s);
    QCOMPARE(kosyu.ID, 7);

    // A blank name is never saved.
    kosyu.ID = 0;
    kosyu.Kosyumei = u"   "_s;
    kosyu.Save();
    QCOMPARE(kosyu.ID, 0);
    kosyu.Clear();
    QVERIFY(kosyu.Kosyumei.isEmpty());
    kosyu.Save();
    QCOMPARE(KosyuRows(), (QStringList{u"表層|1"_s, u"基層|2"_s, u"路盤|3"_s}));

    kosyu.DeleteAll();
    QVERIFY(KosyuRows().isEmpty());
}

void TestLists::kosyuFailingRewriteKeepsOldList()
{
    TTestEnv env;
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"表層"_s, u"基層"_s});
    try {
        kosyu.RewriteList({u"路盤"_s, kTooLong, u"表層"_s});
        QFAIL("an over-long name was stored");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(u"KOSYUMEI"_s), qPrintable(e.Message()));
    }
    QCOMPARE(KosyuRows(), (QStringList{u"表層|1"_s, u"基層|2"_s}));
    // The connection is usable afterwards, outside any transaction.
    kosyu.RewriteList({u"路盤"_s});
    QCOMPARE(KosyuRows(), QStringList{u"路盤|1"_s});
}

void TestLists::koukuRewrite_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("A B A C") << QStringList{u"A"_s, u"B"_s, u"A"_s, u"C"_s}
                             << QStringList{u"A|1"_s, u"B|2"_s, u"C|4"_s};
    QTest::newRow("empty name is a section")
        << QStringList{u"第1工区"_s, u""_s, u"第2工区"_s, u""_s}
        << QStringList{u"第1工区|1"_s, u"|2"_s, u"第2工区|3"_s};
    QTest::newRow("names are not trimmed")
        << QStringList{u"A"_s, u" A"_s} << QStringList{u"A|1"_s, u" A|2"_s};
}

void TestLists::koukuRewrite()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, rows);
    TTestEnv env;
    TKouku kouku;
    QCOMPARE(kouku.CreateTableIfMissing(), false);
    QVERIFY(TableExists(u"Koji1"_s));
    kouku.Koji->LoadByCode(u"0002"_s);
    kouku.RewriteList({u"別工事"_s});
    kouku.Koji->LoadByCode(u"0001"_s);
    kouku.RewriteList({u"古い工区"_s});
    kouku.RewriteList(names);
    QCOMPARE(KoukuRows(u"0001"_s), rows);
    QCOMPARE(KoukuRows(u"0002"_s), QStringList{u"別工事|1"_s});

    QStringList list;
    kouku.GetList(list);
    QCOMPARE(list.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        QCOMPARE(list.at(i), rows.at(i).section(u'|', 0, 0));
}

void TestLists::koukuAddIfMissing()
{
    TTestEnv env;
    TKouku kouku;
    kouku.CreateTableIfMissing();
    kouku.Koji->LoadByCode(u"K1"_s);
    QStringList list{u"x"_s};
    kouku.GetList(list);
    QVERIFY(list.isEmpty());
    QCOMPARE(kouku.NextID(), 1);

    kouku.Koukumei = u"北工区"_s;
    kouku.AddIfMissing();
    QCOMPARE(kouku.ID, 1);
    // The ID is not reset: the next new name shares it.
    kouku.Koukumei = u"南工区"_s;
    kouku.AddIfMissing();
    QCOMPARE(kouku.ID, 1);
    // A name the project has already is left alone, whatever ID holds.
    kouku.ID = 5;
    kouku.Koukumei = u"北工区"_s;
    kouku.AddIfMissing();
    kouku.Koukumei = QString();
    kouku.AddIfMissing();
    kouku.AddIfMissing();
    QCOMPARE(KoukuRows(u"K1"_s), (QStringList{u"北工区|1"_s, u"南工区|1"_s, u"|5"_s}));
    QCOMPARE(kouku.NextID(), 6);

    kouku.DeleteForProject();
    QVERIFY(KoukuRows(u"K1"_s).isEmpty());
}

void TestLists::koukuWithoutProject()
{
    TTestEnv env;
    TKouku kouku;
    kouku.CreateTableIfMissing();
    TQuery(u"insert into Kouku (KojiCode,ID,Koukumei) values ('',1,'迷子')"_s).ExecSQL();
    kouku.Koji->LoadByCode(QString());
    kouku.RewriteList({u"A"_s, u"B"_s});
    QCOMPARE(Rows(u"select * from Kouku"_s, {u"Koukumei"_s}), QStringList{});
}

void TestLists::koukuFailingRewriteKeepsOldList()
{
    TTestEnv env;
    TKouku kouku;
    kouku.CreateTableIfMissing();
    kouku.Koji->LoadByCode(u"K1"_s);
    kouku.RewriteList({u"北"_s, u"南"_s});
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, kouku.RewriteList({u"東"_s, kTooLong}));
    QCOMPARE(KoukuRows(u"K1"_s), (QStringList{u"北|1"_s, u"南|2"_s}));
}

QTEST_GUILESS_MAIN(TestLists)
#include "tst_Lists.moc"
