#include "app/uDekigataDef.h"
#include "sheets/SheetTestData.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestAtusaSheetKaihatu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pages_data();
    void pages();
    void frame();
    void designRange_data();
    void designRange();
    void comparison_data();
    void comparison();
    void textDesignValue();
    void notesSwitch();

private:
    std::unique_ptr<TTestEnv> m_env;
};

void TestAtusaSheetKaihatu::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestAtusaSheetKaihatu::cleanup()
{
    m_env.reset();
}

static TRecordSetup Setup()
{
    TRecordSetup setup;
    setup.Yosiki = 1;
    setup.Item = u"厚さ"_s;
    return setup;
}

static TKel4LineRow Centre(int lno, const QString &c0, const QString &c1, const QString &c2,
                           const QString &biko = QString())
{
    return Line(lno, {u"No."_s + QString::number(lno), u"CL"_s, QString(), QString(), QString(), c0, c1, c2,
                      QString(), QString(), QString(), biko});
}

void TestAtusaSheetKaihatu::pages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("17") << 17 << 1;
    QTest::newRow("18") << 18 << 2;
}

void TestAtusaSheetKaihatu::pages()
{
    QFETCH(int, lines);
    auto prev = DrawRecord(Setup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    const TRecordedPage &last = prev->Page(prev->PageCount());
    QCOMPARE(last.Caps().Layout.orientation(), QPageLayout::Portrait);
    QCOMPARE(last.TextsEqual(u"様式（２）"_s).size(), 1);
    QCOMPARE(TextIn(last, 1.4f, 1.1f, 14.1f, 1.7f), u"舗装工測定結果表"_s);
}

void TestAtusaSheetKaihatu::frame()
{
    QList<TKel4LineRow> lines{Centre(1, u"50"_s, u"52"_s, u"2"_s, u"2001/05/12"_s), Centre(2, u"50"_s, u"49"_s, u"-1"_s, u"再測定"_s)};
    auto prev = DrawRecord(Setup(), lines);
    const TRecordedPage &page = prev->Page(1);
    // 18 rulings from y 5.6 to 17.5.
    QCOMPARE(HorizontalLines(page, 5.5f, 17.6f), 18);
    QCOMPARE(TextIn(page, 6.95f, 5.13f, 9.15f, 5.6f), u"Ｃ＝Ｂ－Ａ"_s);
    QCOMPARE(TextIn(page, 4.4f, 19.7f, 7.8f, 20.1f), u"合格判定値との対比"_s);
    // Centre values only, right-aligned in their columns; station over position.
    QCOMPARE(TextIn(page, 2.55f, 5.6f, 4.6f, 6.3f), u"50"_s);
    // 11 pt is taller than the half rows, so the cells start a little above them.
    QCOMPARE(TextIn(page, 0.45f, 5.55f, 2.2f, 5.85f), u"No.1"_s);
    QCOMPARE(TextIn(page, 0.45f, 5.86f, 2.45f, 6.25f), u"CL"_s);
    QVERIFY(TextIn(page, 9.25f, 5.6f, 15.2f, 6.3f).isEmpty());
    QCOMPARE(TextIn(page, 9.25f, 6.3f, 15.2f, 7.0f), u"再測定"_s);
    QCOMPARE(TextIn(page, 5.6f, 19.2f, 7.4f, 19.6f), u"2"_s);
    QCOMPARE(TextIn(page, 8.4f, 19.2f, 12.7f, 19.6f), u"-1 ～ +2(㎜)"_s);
    QCOMPARE(TextIn(page, 13, 19.2f, 15.2f, 19.6f), u"+0.5(㎜)"_s);
}

void TestAtusaSheetKaihatu::designRange_data()
{
    QTest::addColumn<QStringList>("designs");
    QTest::addColumn<QString>("text");
    QTest::newRow("all 150") << QStringList{u"150"_s, u"150"_s} << u"150(㎜)"_s;
    QTest::newRow("145 to 155") << QStringList{u"155"_s, u"145"_s, u"150"_s} << u"145～155(㎜)"_s;
    QTest::newRow("no numeric design") << QStringList{u"欠測"_s} << u"(㎜)"_s;
}

void TestAtusaSheetKaihatu::designRange()
{
    QFETCH(QStringList, designs);
    QList<TKel4LineRow> lines;
    for (int i = 0; i < designs.size(); ++i)
        lines.append(Centre(i + 1, designs[i], designs[i], u"0"_s));
    auto prev = DrawRecord(Setup(), lines);
    QTEST(TextIn(prev->Page(1), 5.6f, 18.3f, 9.7f, 18.7f), "text");
}

void TestAtusaSheetKaihatu::comparison_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("text");
    QTest::newRow("upper only") << u"10"_s << QString() << u" ～ +10(㎜)"_s << u"+3.2 ＜ +10"_s;
    QTest::newRow("lower only") << QString() << u"-10"_s << u"-10 ～ (㎜)"_s << u"+3.2 ＞ -10"_s;
    QTest::newRow("both") << u"20"_s << u"-10"_s << u"-10 ～ +20(㎜)"_s << u"-10<+3.2<+20"_s;
    QTest::newRow("neither") << u" "_s << QString() << u" ～ (㎜)"_s << QString();
}

void TestAtusaSheetKaihatu::comparison()
{
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    TRecordSetup setup = Setup();
    setup.Upper = upper;
    setup.Lower = lower;
    auto prev = DrawRecord(setup, {Centre(1, u"50"_s, u"53.2"_s, u"3.2"_s)});
    const TRecordedPage &page = prev->Page(1);
    QTEST(TextIn(page, 9.8f, 18.3f, 15.2f, 18.7f), "standard");
    QTEST(TextIn(page, 5.4f, 20.1f, 15.2f, 20.5f), "text");
}

void TestAtusaSheetKaihatu::textDesignValue()
{
    auto prev = DrawRecord(Setup(), {Centre(1, u"欠測"_s, u" 52"_s, QString())});
    const QList<TPageCommand> values = TextCommandsIn(prev->Page(1), 2.5f, 5.6f, 9.15f, 6.3f);
    QCOMPARE(values.size(), 1);
    QCOMPARE(values.first().Text, u"欠測 52"_s);
    InitPrintScale();
    QCOMPARE(values.first().Box.left(), PrintPixelX(2.55f));
}

void TestAtusaSheetKaihatu::notesSwitch()
{
    DekigataDef().SetNoNotes(false);
    {
        auto prev = DrawRecord(Setup(), NumberedLines(1));
        QCOMPARE(TextsBelow(prev->Page(1), 21.8f), 4);
    }
    DekigataDef().SetNoNotes(true);
    auto prev = DrawRecord(Setup(), NumberedLines(1));
    QCOMPARE(TextsBelow(prev->Page(1), 21.8f), 0);
}

QTEST_MAIN(TestAtusaSheetKaihatu)
#include "tst_AtusaSheetKaihatu.moc"
