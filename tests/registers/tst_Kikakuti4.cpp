// Standard values: one row per class + work type + item, IDs, look-ups and lists.
#include "app/Errors.h"
#include "app/uDatabase.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QStringList Rows()
{
    TQuery q(u"select * from Kikakuti4 order by ID, Kubun, Kosyumei, Koumokumei"_s);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells;
        for (const QString &c : {u"ID"_s, u"KUBUN"_s, u"KOSYUMEI"_s, u"KOUMOKUMEI"_s, u"KIKAKUTIU1"_s,
                                 u"KIKAKUTID1"_s, u"KIKAKUTIU2"_s, u"KIKAKUTID2"_s, u"GOKAKUHANTEI"_s,
                                 u"JOKEN"_s, u"SOKUTEIKIJUN"_s})
            cells.append(q.FieldText(c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

void Put(TKikakuti4 &k, int kubun, const QString &kosyu, const QString &item, const QString &u1,
         const QString &d1)
{
    k.Kubun = kubun;
    k.Kosyu->LoadByName(kosyu);
    k.Koumokumei = item;
    k.KikakutiU1 = u1;
    k.KikakutiD1 = d1;
    k.Save();
}
} // namespace

class TestKikakuti4 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void savesOneRowPerKey();
    void unknownKeyClearsOnlyLimits();
    void retypedItemKeepsItsOwnId();
    void lists();
    void emptyKeyIsAKeyLikeAnyOther();

private:
    TTestEnv *m_env = nullptr;
};

void TestKikakuti4::init()
{
    m_env = new TTestEnv;
    TKikakuti4 k;
    QCOMPARE(k.CreateTableIfMissing(), false);
    QCOMPARE(k.CreateTableIfMissing(), true);
    QVERIFY(TableExists(u"Kosyu4"_s));
}

void TestKikakuti4::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestKikakuti4::savesOneRowPerKey()
{
    TKikakuti4 k;
    k.ID = 42; // a new key gets a new number whatever ID held
    k.GokakuHantei = true;
    k.Joken = u"10個以上"_s;
    k.KikakutiU2 = u"+5"_s;
    k.SokuteiKijun = u"40mごと"_s;
    Put(k, 0, u"表層"_s, u"厚さ"_s, u"+10"_s, u"-7"_s);
    QCOMPARE(k.ID, 1);
    Put(k, 1, u"表層"_s, u"厚さ"_s, u"+12"_s, u""_s);
    QCOMPARE(k.ID, 2);
    // A registered key is updated in place and keeps its own number, whatever ID held.
    Put(k, 0, u"表層"_s, u"厚さ"_s, u"+9"_s, u"-6"_s);
    QCOMPARE(k.ID, 1);
    QCOMPARE(Rows(), (QStringList{u"1|0|表層|厚さ|+9|-6|+5||1|10個以上|40mごと"_s,
                                  u"2|1|表層|厚さ|+12||+5||1|10個以上|40mごと"_s}));
    k.ID = 0;
    Put(k, 1, u"表層"_s, u"厚さ"_s, u"+12"_s, u""_s);
    QCOMPARE(k.ID, 2);
    QCOMPARE(k.NextID(), 3);

    // SOKUTEIKIJUN is written but not read back.
    TKikakuti4 loaded;
    loaded.Kubun = 1;
    loaded.Kosyu->LoadByName(u"表層"_s);
    loaded.Koumokumei = u"厚さ"_s;
    loaded.LoadByKey();
    QCOMPARE(loaded.ID, 2);
    QCOMPARE(loaded.KikakutiU1, u"+12"_s);
    QCOMPARE(loaded.KikakutiU2, u"+5"_s);
    QVERIFY(loaded.KikakutiD1.isEmpty());
    QVERIFY(loaded.GokakuHantei);
    QVERIFY(loaded.SokuteiKijun.isEmpty());
}

void TestKikakuti4::unknownKeyClearsOnlyLimits()
{
    TKikakuti4 k;
    k.GokakuHantei = true;
    k.Joken = u"条件A"_s;
    k.KikakutiU2 = u"3"_s;
    k.KikakutiD2 = u"-3"_s;
    Put(k, 2, u"路盤"_s, u"幅"_s, u"+50"_s, u"-50"_s);

    TKikakuti4 other;
    other.Kubun = 2;
    other.Kosyu->LoadByName(u"路盤"_s);
    other.Koumokumei = u"幅"_s;
    other.LoadByKey();
    QCOMPARE(other.ID, 1);
    other.Koumokumei = u"高さ"_s;
    other.LoadByKey();
    QVERIFY(other.KikakutiU1.isEmpty() && other.KikakutiD1.isEmpty());
    QVERIFY(other.KikakutiU2.isEmpty() && other.KikakutiD2.isEmpty());
    QCOMPARE(other.ID, 1);
    QVERIFY(other.GokakuHantei);
    QCOMPARE(other.Joken, u"条件A"_s);
    QCOMPARE(other.Koumokumei, u"高さ"_s);

    // Saved now, the new key takes over flag and condition, with a new number.
    other.KikakutiU1 = u"+20"_s;
    other.Save();
    QCOMPARE(other.ID, 2);
    QCOMPARE(Rows().at(1), u"2|2|路盤|高さ|+20||||1|条件A|"_s);
}

void TestKikakuti4::retypedItemKeepsItsOwnId()
{
    TKikakuti4 k;
    Put(k, 0, u"表層"_s, u"厚さ"_s, u"+10"_s, u"-7"_s);
    Put(k, 0, u"表層"_s, u"幅"_s, u"+100"_s, u"-25"_s);
    QCOMPARE(k.ID, 2);

    TKikakuti4 w;
    w.Kubun = 0;
    w.Kosyu->LoadByName(u"表層"_s);
    w.Koumokumei = u"厚さ"_s;
    w.LoadByKey();
    QCOMPARE(w.ID, 1);
    // The item typed over, without a look-up: the typed item's row is updated and keeps
    // its number, so deleting it leaves the other standard.
    w.Koumokumei = u"幅"_s;
    w.Save();
    QCOMPARE(w.ID, 2);
    QCOMPARE(Rows(), (QStringList{u"1|0|表層|厚さ|+10|-7|||0||"_s, u"2|0|表層|幅|+10|-7|||0||"_s}));
    w.Delete();
    QCOMPARE(Rows(), QStringList{u"1|0|表層|厚さ|+10|-7|||0||"_s});

    // A folder where two standards already share a number: the one saved gets a new one.
    // (Another record: K's row of the key was deleted through W since K saved it, so K's
    // save is refused.)
    QVERIFY_THROWS_EXCEPTION(EConflictError, Put(k, 0, u"表層"_s, u"幅"_s, u"+100"_s, u"-25"_s));
    TKikakuti4 other;
    Put(other, 0, u"表層"_s, u"幅"_s, u"+100"_s, u"-25"_s);
    TQuery(u"update Kikakuti4 set ID=1"_s).ExecSQL();
    QCOMPARE(Rows().size(), 2);
    w.Koumokumei = u"幅"_s;
    w.Save();
    QCOMPARE(w.ID, 2);
    QCOMPARE(Rows(), (QStringList{u"1|0|表層|厚さ|+10|-7|||0||"_s, u"2|0|表層|幅|+10|-7|||0||"_s}));
}

void TestKikakuti4::lists()
{
    TKosyu kosyu;
    kosyu.RewriteList({u"表層"_s, u"基層"_s, u"路盤"_s});
    TKikakuti4 k;
    Put(k, 0, u"路盤"_s, u"幅"_s, u"1"_s, u"1"_s);
    Put(k, 0, u"表層"_s, u"幅"_s, u"1"_s, u"1"_s);
    Put(k, 0, u"表層"_s, u"厚さ"_s, u"1"_s, u"1"_s);
    Put(k, 0, u"未登録工種"_s, u"厚さ"_s, u"1"_s, u"1"_s);
    Put(k, 1, u"基層"_s, u"高さ"_s, u"1"_s, u"1"_s);

    k.Kubun = 0;
    QStringList list{u"stale"_s};
    k.GetList(list);
    QCOMPARE(list, (QStringList{u"表層:厚さ"_s, u"表層:幅"_s, u"路盤:幅"_s}));
    k.GetItemList(list);
    QCOMPARE(list, (QStringList{u"厚さ"_s, u"幅"_s}));

    // Reordering the work types reorders the standards.
    kosyu.RewriteList({u"路盤"_s, u"基層"_s, u"表層"_s});
    k.GetList(list);
    QCOMPARE(list, (QStringList{u"路盤:幅"_s, u"表層:厚さ"_s, u"表層:幅"_s}));

    k.Kubun = 1;
    k.GetList(list);
    QCOMPARE(list, QStringList{u"基層:高さ"_s});
    k.Kubun = 2;
    k.GetItemList(list);
    QVERIFY(list.isEmpty());
}

void TestKikakuti4::emptyKeyIsAKeyLikeAnyOther()
{
    TKikakuti4 k;
    k.Kubun = -1;
    k.Save();
    QCOMPARE(k.ID, 1);
    k.KikakutiU1 = u"5"_s;
    k.Save();
    QCOMPARE(Rows(), QStringList{u"1|-1|||5||||0||"_s});
    k.ClearLimits();
    k.LoadByKey();
    QCOMPARE(k.KikakutiU1, u"5"_s);
}

QTEST_GUILESS_MAIN(TestKikakuti4)
#include "tst_Kikakuti4.moc"
