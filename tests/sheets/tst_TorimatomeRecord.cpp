// The summary table rows: standard-value texts, generation from the measurement records,
// and the all-or-nothing replacement of a project's rows.
#include "app/Errors.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "sheets/uDekigataTorimatome.h"
#include "support/TestEnv.h"
#include "TorimatomeFixture.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

using namespace TorimatomeFixture;

namespace {
void StoreRow(TDekigataTorimatome &t, int lno, const QString &kosyu, const QString &biko)
{
    t.LNo = lno;
    t.Kosyumei = kosyu;
    t.Komoku = u"高さ"_s;
    t.Koukumei = u"A工区"_s;
    t.Kijun.clear();
    t.Kikakuti = u"±20"_s;
    t.SaTanni = u"㎜"_s;
    t.Kaisu = u"3"_s;
    t.MaxValue = u"5"_s;
    t.MinValue = u"-5"_s;
    t.AvgValue = u"0.0"_s;
    t.Biko = biko;
    t.Save();
}
} // namespace

class TestTorimatomeRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void limitRangeText_data();
    void limitRangeText();
    void limitRangeTextRefusesANonNumber_data();
    void limitRangeTextRefusesANonNumber();
    void saveInsertsThenUpdates();
    void buildOrdersBySectionWorkTypeItem();
    void buildEmptiesRemarksAndReportsProgress();
    void buildLeavesTheTableAsItWasOnANonNumericStandard();
    void buildRefusesAFigureTooWideAndKeepsTheRows();
    void buildShowsTheWorkTypeAsTheRegisterLoadsIt();

private:
    TTestEnv *m_env = nullptr;
};

void TestTorimatomeRecord::init()
{
    m_env = new TTestEnv;
    TDekigataTorimatome t;
    QCOMPARE(t.CreateTableIfMissing(), false);
    QCOMPARE(t.CreateTableIfMissing(), true);
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKikakuti4().CreateTableIfMissing();
    TKoji().CreateTableIfMissing();
    TKouku().CreateTableIfMissing();
}

void TestTorimatomeRecord::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestTorimatomeRecord::limitRangeText_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("same size mm") << u"20"_s << u"-20"_s << u"㎜"_s << u"±20"_s;
    QTest::newRow("same size cm") << u"20"_s << u"-20"_s << u"㎝"_s << u"±2"_s;
    QTest::newRow("different sizes") << u"15"_s << u"-10"_s << u"㎜"_s << u"-10 ～ 15"_s;
    QTest::newRow("lower blank") << u"30"_s << QString() << u"㎜"_s << u" ～ 30"_s;
    QTest::newRow("upper blank") << QString() << u"-10"_s << u"㎜"_s << u"-10 ～ "_s;
    QTest::newRow("both blank") << QString() << QString() << u"㎜"_s << QString();
    QTest::newRow("both only spaces") << u"  "_s << u" "_s << u"㎜"_s << QString();
    QTest::newRow("both zero") << u"0"_s << u"0"_s << u"㎜"_s << u"±0"_s;
    QTest::newRow("both negative") << u"-10"_s << u"-10"_s << u"㎜"_s << u"±10"_s;
    QTest::newRow("plus sign") << u"+10"_s << u"-10"_s << u"㎜"_s << u"±10"_s;
    QTest::newRow("metres, fractions") << u"15"_s << u"-10"_s << u"ｍ"_s << u"-0.01 ～ 0.015"_s;
    QTest::newRow("cm, fraction") << u"+15"_s << u"-10"_s << u"㎝"_s << u"-1 ～ 1.5"_s;
    QTest::newRow("unknown unit counts as mm") << u"7"_s << u"-7"_s << u"mm"_s << u"±7"_s;
    // The size test is lenient: a text that reads as the same size never reaches the
    // strict conversion.
    QTest::newRow("letters read as the same size") << u"abc"_s << u"0"_s << u"㎜"_s << u"±0"_s;
}

void TestTorimatomeRecord::limitRangeText()
{
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QString, unit);
    QFETCH(QString, expected);
    QCOMPARE(TDekigataTorimatome::LimitRangeText(upper, lower, unit), expected);
}

void TestTorimatomeRecord::limitRangeTextRefusesANonNumber_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("offending");
    QTest::newRow("lower with a letter") << u"20"_s << u"-1O"_s << u"-1O"_s;
    QTest::newRow("upper with a unit") << u"15mm"_s << u"-10"_s << u"15mm"_s;
    QTest::newRow("both bad, lower first") << u"1x5"_s << u"-1y0"_s << u"-1y0"_s;
}

void TestTorimatomeRecord::limitRangeTextRefusesANonNumber()
{
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QString, offending);
    try {
        TDekigataTorimatome::LimitRangeText(upper, lower, u"㎜"_s);
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"'%1' は浮動小数点数ではありません"_s.arg(offending));
    }
}

void TestTorimatomeRecord::saveInsertsThenUpdates()
{
    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    StoreRow(t, 7, u"路盤"_s, u"一回目"_s);
    StoreRow(t, 7, u"舗装"_s, u"二回目"_s);
    StoreRow(t, 2, u"路盤"_s, QString());
    t.Koji->LoadByCode(u"K2"_s);
    StoreRow(t, 7, u"別工事"_s, QString());
    QCOMPARE(StoredRows(u"K1"_s), (QStringList{u"2|路盤|高さ|A工区|±20|㎜|3|5|-5|0.0|"_s,
                                               u"7|舗装|高さ|A工区|±20|㎜|3|5|-5|0.0|二回目"_s}));
    t.Koji->LoadByCode(u"K1"_s);
    t.DeleteRows();
    QVERIFY(StoredRows(u"K1"_s).isEmpty());
    QCOMPARE(StoredRows(u"K2"_s).size(), 1);

    // A remark too long for its column is refused, not cut.
    t.Biko = QString(17, u'備');
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, t.Save());
}

void TestTorimatomeRecord::buildOrdersBySectionWorkTypeItem()
{
    AddProject(u"K1"_s, 0);
    AddProject(u"K2"_s, 0);
    TKosyu().RewriteList({u"路盤"_s, u"舗装"_s});
    SetSections(u"K1"_s, {u"A工区"_s, u"B工区"_s});

    AddRecord(u"K1"_s, {u"路盤"_s, u"B工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"5"_s, u"-3"_s, u"10"_s}});
    AddRecord(u"K1"_s, {u"舗装"_s, u"A工区"_s, u"厚さ"_s, u"15"_s, u"-10"_s, u"㎜"_s, {u"2"_s}});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎝"_s, {u"1"_s, u"2"_s}});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"厚さ"_s, QString(), QString(), u"㎜"_s, {}});
    // Not in the work type register: no row.
    AddRecord(u"K1"_s, {u"区画線"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    // A record without section registers "#" as the project's last section.
    AddRecord(u"K1"_s, {u"舗装"_s, u"#"_s, u"高さ"_s, u"30"_s, QString(), u"㎜"_s, {u"4"_s}});
    // Another project's record.
    AddRecord(u"K2"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    // A section that is no longer registered leaves its records out.
    SetSections(u"K1"_s, {u"A工区"_s, u"B工区"_s, u"#"_s});
    AddRecord(u"K1"_s, {u"舗装"_s, u"C工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    SetSections(u"K1"_s, {u"A工区"_s, u"B工区"_s, u"#"_s});

    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    t.BuildFromMeasurements();
    QCOMPARE(StoredRows(u"K1"_s), (QStringList{
                                      u"1|路盤|厚さ|A工区||㎜|0|||0.0|"_s,
                                      u"2|路盤|幅|A工区|±2|㎝|2|2.0|1.0|1.50|"_s,
                                      u"3|舗装|厚さ|A工区|-10 ～ 15|㎜|1|2|2|2.0|"_s,
                                      u"4|路盤|高さ|B工区|±20|㎜|3|10|-3|4.0|"_s,
                                      u"5|舗装|高さ|#| ～ 30|㎜|1|4|4|4.0|"_s,
                                  }));
    QVERIFY(StoredRows(u"K2"_s).isEmpty());
}

void TestTorimatomeRecord::buildEmptiesRemarksAndReportsProgress()
{
    AddProject(u"K1"_s, 1);
    TKosyu().RewriteList({u"路盤"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});

    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    // Old rows, more of them than the build makes, with remarks.
    for (int lno = 1; lno <= 4; ++lno)
        StoreRow(t, lno, u"旧"_s, u"備考%1"_s.arg(lno));

    QList<QPair<int, int>> calls;
    t.BuildFromMeasurements([&calls](int position, int maximum) { calls.append({position, maximum}); });
    QCOMPARE(calls, (QList<QPair<int, int>>{{1, 2}, {2, 2}}));
    QCOMPARE(StoredRows(u"K1"_s), (QStringList{u"1|路盤|幅|A工区|±20|㎜|1|1|1|1.0|"_s,
                                               u"2|路盤|高さ|A工区|±20|㎜|1|1|1|1.0|"_s}));
}

void TestTorimatomeRecord::buildLeavesTheTableAsItWasOnANonNumericStandard()
{
    AddProject(u"K1"_s, 0);
    TKosyu().RewriteList({u"路盤"_s, u"舗装"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    AddRecord(u"K1"_s, {u"舗装"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-1O"_s, u"㎜"_s, {u"1"_s}});

    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    StoreRow(t, 1, u"編集済み"_s, u"手で直した"_s);
    StoreRow(t, 5, u"編集済み"_s, u"残す"_s);
    const QStringList before = StoredRows(u"K1"_s);

    int calls = 0;
    try {
        t.BuildFromMeasurements([&calls](int, int) { ++calls; });
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"'-1O' は浮動小数点数ではありません"_s);
    }
    QCOMPARE(calls, 2); // the first record had been written before the second failed
    QCOMPARE(StoredRows(u"K1"_s), before);

    // The connection is usable afterwards: a good build goes through.
    TKelmo4Head head;
    head.Koji->LoadByCode(u"K1"_s);
    head.Kosyu->LoadByName(u"舗装"_s);
    head.Kouku->Koukumei = u"A工区"_s;
    head.SokuteiKoumoku = u"高さ"_s;
    QVERIFY(head.FindByKey());
    head.Kikakuti->KikakutiD1 = u"-10"_s;
    head.Save();
    t.BuildFromMeasurements();
    QCOMPARE(StoredRows(u"K1"_s).size(), 2);
}

void TestTorimatomeRecord::buildRefusesAFigureTooWideAndKeepsTheRows()
{
    AddProject(u"K1"_s, 0);
    TKosyu().RewriteList({u"路盤"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    // An average of 123456.5 with one decimal needs 8 characters and fits; 1234567.5 does not.
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1234567"_s, u"1234568"_s}});

    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    StoreRow(t, 3, u"編集済み"_s, u"残す"_s);
    const QStringList before = StoredRows(u"K1"_s);
    try {
        t.BuildFromMeasurements();
        QFAIL("no error");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(u"路盤"_s) && e.Message().contains(u"AVGVALUE"_s, Qt::CaseInsensitive),
                 qPrintable(e.Message()));
    }
    QCOMPARE(StoredRows(u"K1"_s), before);
}

void TestTorimatomeRecord::buildShowsTheWorkTypeAsTheRegisterLoadsIt()
{
    AddProject(u"K1"_s, 0);
    TKosyu().RewriteList({u"路盤"_s, u"舗装"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    const int padded = AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    const int alone = AddRecord(u"K1"_s, {u"舗装"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"2"_s}});
    // Names with a trailing space, registered as they are: one whose trimmed form is also
    // registered, one whose is not.
    TQuery(u"insert into Kosyu4 (KOSYUMEI,ID) values ('路盤 ',3),('舗装工 ',4)"_s).ExecSQL();
    TQuery(u"update Kel4Head set KOSYUMEI='路盤 ' where ID=:A"_s).SetParam(u"A"_s, padded).ExecSQL();
    TQuery(u"update Kel4Head set KOSYUMEI='舗装工 ' where ID=:A"_s).SetParam(u"A"_s, alone).ExecSQL();

    TDekigataTorimatome t;
    t.Koji->LoadByCode(u"K1"_s);
    t.BuildFromMeasurements();
    QCOMPARE(StoredRows(u"K1"_s), (QStringList{u"1|路盤|高さ|A工区|±20|㎜|1|1|1|1.0|"_s,
                                               u"2|舗装工 |高さ|A工区|±20|㎜|1|2|2|2.0|"_s}));
}

QTEST_GUILESS_MAIN(TestTorimatomeRecord)
#include "tst_TorimatomeRecord.moc"
