#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uToleranceShares.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
void AddProject(const QString &code, const QString &name, int yoshiki)
{
    TKoji koji;
    koji.Code = code;
    koji.Kojimei = name;
    koji.Yoshiki = yoshiki;
    koji.Save();
}

// A header as the window fills it before a save.
void Fill(TKelmo4Head &head, const QString &code, const QString &kosyu, const QString &kouku,
          const QString &item)
{
    head.Koji->LoadByCode(code);
    head.Kosyu->LoadByName(kosyu);
    head.Kouku->Koukumei = kouku;
    head.SokuteiKoumoku = item;
    head.Simei->LoadByName(u"山田"_s);
    head.Hiduke = QDateTime(QDate(2003, 5, 7), QTime(14, 30));
    head.SokutenKyori = 20;
    head.SekkeiTanni = u"ｍ"_s;
    head.SaTanni = u"㎜"_s;
    head.Yukou = u"1"_s;
    head.Heikin = u"0.1"_s;
    head.Bunpu = u"5"_s;
    head.Yosiki = 0;
    head.Kikakuti->Kubun = head.Koji->Yoshiki;
    head.Kikakuti->Kosyu->LoadByName(kosyu);
    head.Kikakuti->Koumokumei = item;
    head.Kikakuti->KikakutiU1 = u"+50"_s;
    head.Kikakuti->KikakutiD1 = u"-30"_s;
    head.Kikakuti->KikakutiU2 = u"40"_s;
    head.Kikakuti->KikakutiD2 = u"-20"_s;
}

int Count(const QString &sql)
{
    TQuery q(sql);
    q.Open();
    return q.RecordCount();
}

TKel4LineRow Line(int lno, const QStringList &cells)
{
    TKel4LineRow row;
    row.LNO = lno;
    for (int i = 0; i < cells.size(); ++i)
        row.Cells[size_t(i)] = cells[i];
    return row;
}
} // namespace

class TestKelmo4Head : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void createdEmpty();
    void firstHeaderGetsOne();
    void secondSaveOfOneKeyUpdates();
    void itemsMakeSeparateRecords();
    void sectionHashIsItsOwnKey();
    void storedLimitsWinOverRegister();
    void saveRegistersLimitsAndSection();
    void refusedTextWritesNothing_data();
    void refusedTextWritesNothing();
    void deleteRemovesExactlyItsLines();
    void unknownIdKeepsObject();
    void lists();
    void figuresOverStoredLines();
    void toleranceBands_data();
    void toleranceBands();

private:
    TTestEnv *m_env = nullptr;
};

void TestKelmo4Head::init()
{
    m_env = new TTestEnv;
    TKelmo4Head head;
    head.CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"路盤工"_s, u"表層工"_s});
    AddProject(u"0001"_s, u"道路改良"_s, 1);
    AddProject(u"0002"_s, u"舗装"_s, 2);
}

void TestKelmo4Head::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestKelmo4Head::createdEmpty()
{
    TKelmo4Head head;
    QCOMPARE(head.ID, 0);
    QVERIFY(head.Hiduke.isValid());
    QCOMPARE(head.Hiduke.date(), QDate::currentDate());
    QVERIFY(!head.Sagari);
    QVERIFY(head.SokuteiKoumoku.isEmpty() && head.SekkeiTanni.isEmpty() && head.Koji->Code.isEmpty());
}

void TestKelmo4Head::firstHeaderGetsOne()
{
    TKelmo4Head head;
    QCOMPARE(head.NextID(), 1);
    Fill(head, u"0001"_s, u"路盤工"_s, u"第1工区"_s, u"高さ"_s);
    head.Save();
    QCOMPARE(head.ID, 1);
    QCOMPARE(head.NextID(), 2);
}

void TestKelmo4Head::secondSaveOfOneKeyUpdates()
{
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, u"第1工区"_s, u"高さ"_s);
    head.Save();
    TKelmo4Head other;
    Fill(other, u"0002"_s, u"路盤工"_s, u"第1工区"_s, u"高さ"_s);
    other.Save();

    TKelmo4Head again;
    Fill(again, u"0001"_s, u"路盤工"_s, u"第1工区"_s, u"高さ"_s);
    again.Yukou = u"0.1"_s;
    again.Sagari = true;
    again.Save();
    QCOMPARE(again.ID, head.ID);
    QCOMPARE(Count(u"select * from Kel4Head"_s), 2);

    TKelmo4Head read;
    read.LoadByID(head.ID);
    QCOMPARE(read.Yukou, u"0.1"_s);
    QVERIFY(read.Sagari);
    QCOMPARE(read.Koji->Kojimei, u"道路改良"_s);
    QCOMPARE(read.Simei->Simei, u"山田"_s);
    QCOMPARE(read.SokutenKyori, 20);
    // Only the day is kept.
    QCOMPARE(read.Hiduke, QDateTime(QDate(2003, 5, 7), QTime(0, 0)));
}

void TestKelmo4Head::itemsMakeSeparateRecords()
{
    TKelmo4Head height;
    Fill(height, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    height.Save();
    TKelmo4Head thickness;
    Fill(thickness, u"0001"_s, u"路盤工"_s, u"A"_s, u"厚さ"_s);
    thickness.Yosiki = 1;
    thickness.Save();
    QVERIFY(thickness.ID != height.ID);

    TKelmo4Head find;
    Fill(find, u"0001"_s, u"路盤工"_s, u"A"_s, u"厚さ"_s);
    find.Yosiki = 0;
    QVERIFY(find.FindByKey());
    QCOMPARE(find.ID, thickness.ID);
    QCOMPARE(find.Yosiki, 1);

    TKelmo4Head anyItem;
    Fill(anyItem, u"0001"_s, u"路盤工"_s, u"A"_s, QString());
    QVERIFY(anyItem.FindByKey());
    QVERIFY(anyItem.ID == height.ID || anyItem.ID == thickness.ID);
    QVERIFY(!anyItem.SokuteiKoumoku.isEmpty());

    TKelmo4Head missing;
    Fill(missing, u"0001"_s, u"路盤工"_s, u"A"_s, u"幅"_s);
    missing.ID = 77;
    QVERIFY(!missing.FindByKey());
    QCOMPARE(missing.ID, 77);
    QCOMPARE(missing.SokuteiKoumoku, u"幅"_s);
}

void TestKelmo4Head::sectionHashIsItsOwnKey()
{
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, QString::fromUtf16(NoSectionName), u"高さ"_s);
    head.Save();
    TKelmo4Head empty;
    Fill(empty, u"0001"_s, u"路盤工"_s, QString(), u"高さ"_s);
    QVERIFY(!empty.FindByKey());
    TKelmo4Head hash;
    Fill(hash, u"0001"_s, u"路盤工"_s, u"#"_s, u"高さ"_s);
    QVERIFY(hash.FindByKey());
    QCOMPARE(hash.ID, head.ID);
    QCOMPARE(hash.Kouku->Koukumei, u"#"_s);
}

void TestKelmo4Head::storedLimitsWinOverRegister()
{
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    head.Save();
    // The register is changed afterwards; the header keeps the limits it was saved with.
    TKikakuti4 standard;
    standard.Kubun = 1;
    standard.Kosyu->LoadByName(u"路盤工"_s);
    standard.Koumokumei = u"高さ"_s;
    standard.LoadByKey();
    standard.KikakutiU1 = u"+99"_s;
    standard.GokakuHantei = true;
    standard.Save();

    TKelmo4Head read;
    read.LoadByID(head.ID);
    QCOMPARE(read.Kikakuti->KikakutiU1, u"+50"_s);
    QCOMPARE(read.Kikakuti->KikakutiD2, u"-20"_s);
    QVERIFY(read.Kikakuti->GokakuHantei); // the rest of the standard comes from the register
    QCOMPARE(read.Kikakuti->Kubun, 1);
}

void TestKelmo4Head::saveRegistersLimitsAndSection()
{
    TKelmo4Head head;
    Fill(head, u"0002"_s, u"表層工"_s, u"第2工区"_s, u"厚さ"_s);
    head.Save();
    TKikakuti4 standard;
    standard.Kubun = 2;
    standard.Kosyu->LoadByName(u"表層工"_s);
    standard.Koumokumei = u"厚さ"_s;
    standard.LoadByKey();
    QCOMPARE(standard.KikakutiU1, u"+50"_s);
    QCOMPARE(standard.KikakutiD1, u"-30"_s);

    TKouku sections;
    sections.Koji->LoadByCode(u"0002"_s);
    QStringList list;
    sections.GetList(list);
    QCOMPARE(list, QStringList{u"第2工区"_s});
}

void TestKelmo4Head::refusedTextWritesNothing_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("item over 16 bytes") << u"item"_s;
    QTest::newRow("limit over 8 bytes") << u"limit"_s;
    QTest::newRow("unit over 8 bytes") << u"unit"_s;
}

void TestKelmo4Head::refusedTextWritesNothing()
{
    QFETCH(QString, what);
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, u"新工区"_s, u"高さ"_s);
    QString field;
    if (what == u"item"_s) {
        head.SokuteiKoumoku = head.Kikakuti->Koumokumei = u"基準高さの測定結果"_s;
        field = u"SOKUTEIKOUMOKU"_s;
    } else if (what == u"limit"_s) {
        head.Kikakuti->KikakutiU1 = u"+123.4567"_s;
        field = u"JOGENKIKAKU"_s;
    } else {
        head.SekkeiTanni = u"ミリメートル"_s;
        field = u"SEKKEITANNI"_s;
    }
    try {
        head.Save();
        QFAIL("the text was stored");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(field), qPrintable(e.Message()));
    }
    QCOMPARE(Count(u"select * from Kel4Head"_s), 0);
    QCOMPARE(Count(u"select * from Kikakuti4"_s), 0);
    QCOMPARE(Count(u"select * from Kouku"_s), 0);
}

void TestKelmo4Head::deleteRemovesExactlyItsLines()
{
    TKelmo4Head a;
    Fill(a, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    a.Save();
    TKelmo4Head b;
    Fill(b, u"0001"_s, u"路盤工"_s, u"B"_s, u"高さ"_s);
    b.Save();
    TKelmo4Line lines;
    lines.ReplaceLines(a.ID, {Line(1, {u"No.0"_s}), Line(2, {u"No.20"_s})});
    lines.ReplaceLines(b.ID, {Line(1, {u"No.0"_s})});
    QCOMPARE(a.LineCount(), 2);
    a.Delete();
    QCOMPARE(Count(u"select * from Kel4Head"_s), 1);
    QCOMPARE(a.LineCount(), 0);
    QCOMPARE(b.LineCount(), 1);
    TKelmo4Head gone;
    Fill(gone, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    QVERIFY(!gone.FindByKey());
}

void TestKelmo4Head::unknownIdKeepsObject()
{
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    head.Save();
    head.LoadByID(99);
    QCOMPARE(head.ID, 1);
    QCOMPARE(head.SokuteiKoumoku, u"高さ"_s);
}

void TestKelmo4Head::lists()
{
    TKelmo4Head a;
    Fill(a, u"0001"_s, u"路盤工"_s, u"#"_s, u"高さ"_s);
    a.Save();
    TKelmo4Head b;
    Fill(b, u"0001"_s, u"表層工"_s, u"A"_s, u"厚さ"_s);
    b.Hiduke = QDateTime(QDate(2003, 4, 1), QTime(9, 0));
    b.Save();
    TKelmo4Head c;
    Fill(c, u"0002"_s, u"表層工"_s, u"A"_s, u"幅"_s);
    c.Hiduke = QDateTime();
    c.Save();
    TKelmo4Head d;
    Fill(d, u"0001"_s, u"表層工"_s, u"B"_s, u"厚さ"_s);
    d.Save();

    QStringList list;
    a.ListForProject(list);
    list.sort();
    QCOMPARE(list, (QStringList{u"1:路盤工;:高さ"_s, u"2:表層工;A:厚さ"_s, u"4:表層工;B:厚さ"_s}));
    QCOMPARE(ItemCode(list[1]), u"2"_s);
    a.ListMeasureItems(list);
    // Items of every project, each once, in code order.
    QCOMPARE(list, (QStringList{u"厚さ"_s, u"幅"_s, u"高さ"_s}));
    a.ListDates(list);
    QCOMPARE(list, (QStringList{u"2003/04/01"_s, u"2003/05/07"_s}));
    c.ListDates(list);
    QVERIFY(list.isEmpty()); // a record without date lists no date
}

void TestKelmo4Head::figuresOverStoredLines()
{
    TKelmo4Head head;
    Fill(head, u"0001"_s, u"路盤工"_s, u"A"_s, u"高さ"_s);
    head.Save();
    QCOMPARE(head.GetAverageDiffText(), u"0.0"_s);
    QCOMPARE(head.GetMaxDiffText(), u"-1000000000000"_s);
    QCOMPARE(head.GetDateRangeText(), u":"_s);
    TKelmo4Line().ReplaceLines(head.ID, {Line(1, {u"No.0"_s, {}, u"10.500"_s, u"10.512"_s, u"12"_s, {}, {}, {}, {}, {}, {}, u"2003/5/7"_s}),
                                         Line(2, {u"No.20"_s, {}, u"10.500"_s, u"10.497"_s, u"-3"_s, {}, {}, {}, {}, {}, {}, u"2003/6/12"_s})});
    QCOMPARE(head.DiffCount(), 2);
    QCOMPARE(head.DiffSum(), 9.0);
    QCOMPARE(head.GetAverageDiffText(), u"4.5"_s);
    QCOMPARE(head.GetMaxDiffText(), u"12"_s);
    QCOMPARE(head.GetMinDiffText(), u"-3"_s);
    QCOMPARE(head.GetMaxDesignText(), u"10.500"_s);
    QCOMPARE(head.GetDateRangeText(), u"5月7日:6月12日"_s);
}

void TestKelmo4Head::toleranceBands_data()
{
    // Limits upper, lower, own upper, own lower (mm); the differences in their unit; then
    // the counts 50 %, 80 %, standard, outside, outside own, and the two shares.
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("limits");
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QStringList>("shares");
    QTest::newRow("exactly on 50, 80, 100 %") << u"㎜"_s << QStringList{u"10"_s, u"-10"_s, {}, {}}
        << QStringList{u"5"_s, u"-5"_s, u"5.001"_s, u"8"_s, u"-8"_s, u"10"_s, u"-10"_s, u"10.1"_s}
        << QList<int>{8, 2, 5, 7, 1, 0} << QStringList{u"25.0"_s, u"62.5"_s};
    QTest::newRow("㎝ differences") << u"㎝"_s << QStringList{u"25"_s, u"-25"_s, {}, {}}
        << QStringList{u"1.25"_s, u"2"_s, u"2.5"_s, u"2.51"_s} << QList<int>{4, 1, 2, 3, 1, 0}
        << QStringList{u"25.0"_s, u"50.0"_s};
    // 0.015 × 1000 is 15.000000000000002 in binary.
    QTest::newRow("ｍ differences") << u"ｍ"_s << QStringList{u"30"_s, u"-30"_s, {}, {}}
        << QStringList{u"0.015"_s, u"0.024"_s, u"0.0151"_s, u"-0.0301"_s} << QList<int>{4, 1, 3, 3, 1, 0}
        << QStringList{u"25.0"_s, u"75.0"_s};
    QTest::newRow("blank lower side") << u"㎜"_s << QStringList{u"+20"_s, u" "_s, {}, {}}
        << QStringList{u"-100"_s, u"10"_s, u"16"_s, u"21"_s} << QList<int>{4, 2, 3, 3, 1, 0}
        << QStringList{u"50.0"_s, u"75.0"_s};
    // Half of a negative upper standard lies above it: the bands still end at the standard.
    QTest::newRow("negative upper") << u"㎜"_s << QStringList{u"-5"_s, u"-20"_s, {}, {}}
        << QStringList{u"-4"_s, u"-5"_s, u"-12"_s, u"-19"_s} << QList<int>{4, 1, 2, 3, 1, 0}
        << QStringList{u"25.0"_s, u"50.0"_s};
    QTest::newRow("texts not counted") << u"㎜"_s << QStringList{u"10"_s, u"-10"_s, {}, {}}
        << QStringList{u"欠測"_s, {}, u" 3 "_s, u"1,5"_s} << QList<int>{1, 1, 1, 1, 0, 0}
        << QStringList{u"100.0"_s, u"100.0"_s};
    QTest::newRow("own standard") << u"㎜"_s << QStringList{u"50"_s, u"-50"_s, u"40"_s, u"-40"_s}
        << QStringList{u"41"_s, u"-40"_s, u"45"_s, u"60"_s} << QList<int>{4, 0, 1, 3, 1, 3}
        << QStringList{u"0.0"_s, u"25.0"_s};
    QTest::newRow("no standard") << u"㎜"_s << QStringList{{}, {}, {}, {}} << QStringList{u"5"_s, u"500"_s}
        << QList<int>{2, 0, 0, 0, 0, 0} << QStringList{u"0.0"_s, u"0.0"_s};
    // 1 of 16 is 6.25 %, 13 of 16 is 81.25 %: half up.
    QStringList sixteen(16, u"0"_s);
    for (int i = 13; i < 16; ++i)
        sixteen[i] = u"9"_s;
    for (int i = 1; i < 13; ++i)
        sixteen[i] = u"7"_s;
    QTest::newRow("shares half up") << u"㎜"_s << QStringList{u"10"_s, u"-10"_s, {}, {}} << sixteen
        << QList<int>{16, 1, 13, 16, 0, 0} << QStringList{u"6.3"_s, u"81.3"_s};
}

void TestKelmo4Head::toleranceBands()
{
    QFETCH(QString, unit);
    QFETCH(QStringList, limits);
    QFETCH(QStringList, diffs);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, shares);
    TToleranceShares shares0(unit, limits[0], limits[1], limits[2], limits[3]);
    for (const QString &d : diffs)
        shares0.Add(d);
    QCOMPARE(shares0.HasStandard(), !limits[0].trimmed().isEmpty() || !limits[1].trimmed().isEmpty());
    QCOMPARE((QList<int>{shares0.Count(), shares0.Within50(), shares0.Within80(), shares0.WithinStandard(),
                         shares0.Outside(), shares0.OutsideOwn()}),
             counts);
    QCOMPARE((QStringList{TToleranceShares::ShareText(shares0.Within50(), shares0.Count()),
                          TToleranceShares::ShareText(shares0.Within80(), shares0.Count())}),
             shares);
}

QTEST_GUILESS_MAIN(TestKelmo4Head)
#include "tst_Kelmo4Head.moc"
