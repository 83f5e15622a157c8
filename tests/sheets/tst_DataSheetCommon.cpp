#include "sheets/uAtusaSheetKaihatu.h"
#include "sheets/uAtusaSheetSityo.h"
#include "sheets/uDataSheet.h"
#include "sheets/uDataSheetCommon.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TDataSheetLayout)
Q_DECLARE_METATYPE(TSectionStyle)

class TestDataSheetCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selection_data();
    void selection();
    void sectionText_data();
    void sectionText();
    void standardValue_data();
    void standardValue();
    void remarkDates_data();
    void remarkDates();
    void joinedValues_data();
    void joinedValues();
    void comparison_data();
    void comparison();
    void standardColumn_data();
    void standardColumn();
    void designRange_data();
    void designRange();
};

void TestDataSheetCommon::selection_data()
{
    QTest::addColumn<int>("yosiki");
    QTest::addColumn<int>("yoshiki");
    QTest::addColumn<TDataSheetLayout>("layout");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("rows");

    QTest::newRow("height 開発局") << 0 << 0 << TDataSheetLayout::TakasaKaihatu << u"port"_s << 21;
    QTest::newRow("height 土木現業所") << 0 << 1 << TDataSheetLayout::TakasaDoboku << u"land"_s << 17;
    QTest::newRow("height 支庁") << 0 << 2 << TDataSheetLayout::TakasaSityo << u"land"_s << 17;
    QTest::newRow("thickness 開発局") << 1 << 0 << TDataSheetLayout::AtusaKaihatu << u"port"_s << 17;
    QTest::newRow("width 開発局") << 2 << 0 << TDataSheetLayout::AtusaKaihatu << u"port"_s << 17;
    QTest::newRow("thickness 土木現業所") << 1 << 1 << TDataSheetLayout::AtusaDoboku << u"port"_s << 16;
    QTest::newRow("width 土木現業所") << 2 << 1 << TDataSheetLayout::AtusaDoboku << u"port"_s << 16;
    QTest::newRow("thickness 支庁") << 1 << 2 << TDataSheetLayout::AtusaSityo << u"land"_s << 24;
    QTest::newRow("width 支庁") << 2 << 2 << TDataSheetLayout::AtusaSityo << u"land"_s << 24;
    QTest::newRow("unknown form type") << 3 << 2 << TDataSheetLayout::TakasaKaihatu << u"port"_s << 21;
    QTest::newRow("negative form type") << -1 << 1 << TDataSheetLayout::TakasaKaihatu << u"port"_s << 21;
    QTest::newRow("unknown print style") << 1 << 3 << TDataSheetLayout::TakasaKaihatu << u"port"_s << 21;
}

void TestDataSheetCommon::selection()
{
    QFETCH(int, yosiki);
    QFETCH(int, yoshiki);
    const TDataSheetChoice choice = ChooseDataSheet(yosiki, yoshiki);
    QTEST(choice.Layout, "layout");
    QTEST(choice.Orientation, "orientation");
    QTEST(choice.RowsPerPage, "rows");
}

void TestDataSheetCommon::sectionText_data()
{
    QTest::addColumn<TSectionStyle>("style");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("expected");

    QTest::newRow("item box, section") << TSectionStyle::ItemBox << u"A工区"_s << u"高さ\\\\(A工区)"_s;
    QTest::newRow("item box, #") << TSectionStyle::ItemBox << u"#"_s << u"高さ"_s;
    QTest::newRow("item box, # with blanks") << TSectionStyle::ItemBox << u" # "_s << u"高さ"_s;
    QTest::newRow("item box, blank") << TSectionStyle::ItemBox << u""_s << u"高さ"_s;
    QTest::newRow("work type box, section") << TSectionStyle::WorkTypeBox << u"A工区"_s << u"舗装工\\\\(A工区)"_s;
    QTest::newRow("work type box, #") << TSectionStyle::WorkTypeBox << u"#"_s << u"舗装工"_s;
    // The section goes in as stored; only the "#" test trims it.
    QTest::newRow("work type line, untrimmed section")
        << TSectionStyle::WorkTypeLine << u" A工区"_s << u"舗装工( A工区)の高さ"_s;
    QTest::newRow("work type line, #") << TSectionStyle::WorkTypeLine << u"#"_s << u"舗装工の高さ"_s;
    QTest::newRow("# inside a name is a section") << TSectionStyle::WorkTypeLine << u"#1"_s << u"舗装工(#1)の高さ"_s;
}

void TestDataSheetCommon::sectionText()
{
    QFETCH(TSectionStyle, style);
    QFETCH(QString, section);
    QTEST(SectionText(style, u"舗装工"_s, section, u"高さ"_s), "expected");
}

void TestDataSheetCommon::standardValue_data()
{
    QTest::addColumn<QString>("limit");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("signed");

    QTest::newRow("-20 mm in cm") << u"-20"_s << u"㎝"_s << u"-2"_s << u"-2"_s;
    QTest::newRow("15 mm") << u"15"_s << u"㎜"_s << u"15"_s << u"+15"_s;
    QTest::newRow("-25 mm in cm") << u"-25"_s << u"㎝"_s << u"-2.5"_s << u"-2.5"_s;
    QTest::newRow("+50 as typed") << u"+50"_s << u"㎜"_s << u"50"_s << u"+50"_s;
    QTest::newRow("zero") << u"0"_s << u"㎜"_s << u"0"_s << u"+0"_s;
    QTest::newRow("30 mm in m") << u"30"_s << u"ｍ"_s << u"0.03"_s << u"+0.03"_s;
    QTest::newRow("blank") << u"  "_s << u"㎜"_s << QString() << QString();
    QTest::newRow("empty") << QString() << u"㎝"_s << QString() << QString();
}

void TestDataSheetCommon::standardValue()
{
    QFETCH(QString, limit);
    QFETCH(QString, unit);
    QTEST(StandardValueText(limit, unit), "plain");
    QTEST(SignedStandardText(limit, unit), "signed");
}

void TestDataSheetCommon::remarkDates_data()
{
    QTest::addColumn<QString>("biko");
    QTest::addColumn<QString>("printed");
    QTest::newRow("date") << u"2001/05/12"_s << QString();
    QTest::newRow("remark") << u"工事中"_s << u"工事中"_s;
    QTest::newRow("not a day") << u"2001/13/40"_s << u"2001/13/40"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestDataSheetCommon::remarkDates()
{
    QFETCH(QString, biko);
    QTEST(RemarkUnlessDate(biko), "printed");
}

void TestDataSheetCommon::joinedValues_data()
{
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("joined");
    QTest::newRow("untrimmed") << false << u"欠測 12.5 "_s;
    QTest::newRow("trimmed") << true << u"欠測12.5"_s;
}

void TestDataSheetCommon::joinedValues()
{
    QFETCH(bool, trim);
    QTEST(JoinedValueText(u"欠測 "_s, u"12.5 "_s, QString(), trim), "joined");
}

void TestDataSheetCommon::comparison_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("text");
    QTest::newRow("upper only") << QString() << u"+10"_s << u"+3.2 ＜ +10"_s;
    QTest::newRow("lower only") << u"-10"_s << QString() << u"+3.2 ＞ -10"_s;
    QTest::newRow("both") << u"-10"_s << u"+20"_s << u"-10<+3.2<+20"_s;
    QTest::newRow("neither") << QString() << QString() << QString();
}

void TestDataSheetCommon::comparison()
{
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QTEST(ComparisonText(u"+3.2"_s, lower, upper), "text");
}

void TestDataSheetCommon::standardColumn_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("text");
    QTest::newRow("both") << u"-10"_s << u"20"_s << u"㎜"_s << u"-10～20"_s;
    QTest::newRow("upper only") << QString() << u"20"_s << u"㎜"_s << u"～20"_s;
    QTest::newRow("lower only") << u"-10"_s << u" "_s << u"㎜"_s << u"-10～"_s;
    QTest::newRow("none") << QString() << QString() << u"㎜"_s << QString();
    QTest::newRow("in cm") << u"-15"_s << u"25"_s << u"㎝"_s << u"-1.5～2.5"_s;
}

void TestDataSheetCommon::standardColumn()
{
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, unit);
    QTEST(StandardColumnText(lower, upper, unit), "text");
}

void TestDataSheetCommon::designRange_data()
{
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("text");
    QTest::newRow("all the same") << u"150"_s << u"150"_s << u"150(㎜)"_s;
    QTest::newRow("range") << u"145"_s << u"155"_s << u"145～155(㎜)"_s;
}

void TestDataSheetCommon::designRange()
{
    QFETCH(QString, low);
    QFETCH(QString, high);
    QTEST(DesignRangeText(low, high, u"㎜"_s), "text");
}

QTEST_GUILESS_MAIN(TestDataSheetCommon)
#include "tst_DataSheetCommon.moc"
