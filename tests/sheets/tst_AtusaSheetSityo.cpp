#include "app/uDekigataDef.h"
#include "sheets/SheetTestData.h"
#include "sheets/uAtusaSheetSityo.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestAtusaSheetSityo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void tables_data();
    void tables();
    void standardColumn_data();
    void standardColumn();
    void textDesignValueLeavesStandardEmpty();
    void firstNo();
    void weightHeadings_data();
    void weightHeadings();
    void header();
    void notesSwitch_data();
    void notesSwitch();

private:
    std::unique_ptr<TTestEnv> m_env;
};

namespace {

TRecordSetup Setup()
{
    TRecordSetup setup;
    setup.Yoshiki = 2;
    setup.Yosiki = 1;
    setup.Item = u"厚さ"_s;
    setup.Upper = u"20"_s;
    setup.Lower = u"-10"_s;
    return setup;
}

// Column Ｄ of page row c (0 … 23).
QString StandardAt(const TRecordedPage &page, int c)
{
    const float g = 13.1f * float(c / 12);
    const float y = 5.5f + 0.85f * float(c % 12);
    return TextIn(page, g + 8.5f, y, g + 10.5f, y + 0.85f);
}

QStringList StandardColumn(const TRecordedPage &page, int rows)
{
    QStringList texts;
    for (int c = 0; c < rows; ++c)
        texts.append(StandardAt(page, c));
    return texts;
}

} // namespace

void TestAtusaSheetSityo::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestAtusaSheetSityo::cleanup()
{
    m_env.reset();
}

void TestAtusaSheetSityo::tables_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("12") << 12 << 1;
    QTest::newRow("13") << 13 << 1;
    QTest::newRow("24") << 24 << 1;
    QTest::newRow("25") << 25 << 2;
}

void TestAtusaSheetSityo::tables()
{
    QFETCH(int, lines);
    auto prev = DrawRecord(Setup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    const TRecordedPage &first = prev->Page(1);
    QCOMPARE(first.Caps().Layout.orientation(), QPageLayout::Landscape);
    QCOMPARE(TextIn(first, 0.1f, 5.5f, 2.5f, 5.95f), u"No.1"_s);
    QCOMPARE(TextIn(first, 0.1f, 14.85f, 2.5f, 15.3f), lines >= 12 ? u"No.12"_s : QString());
    QCOMPARE(TextIn(first, 13.2f, 5.5f, 15.6f, 5.95f), lines >= 13 ? u"No.13"_s : QString());
    if (lines == 25) {
        QCOMPARE(TextIn(prev->Page(2), 0.1f, 5.5f, 2.5f, 5.95f), u"No.25"_s);
        QCOMPARE(TextIn(prev->Page(2), 0, 0, 2.5f, 0.4f), u"様式（２－１）"_s);
    }
    // Each table: 12 rulings from its heading's lower edge.
    QCOMPARE(HorizontalLines(first, 5.4f, 14.9f), 24);
    // Six column rulings per table, plus both edges of each table frame.
    QCOMPARE(VerticalLines(first, -0.1f, 25.7f), 12 + 4);
}

void TestAtusaSheetSityo::standardColumn_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("first");
    QTest::newRow("both") << u"20"_s << u"-10"_s << u"-10～20"_s;
    QTest::newRow("upper only") << u"20"_s << QString() << u"～20"_s;
    QTest::newRow("lower only") << QString() << u"-10"_s << u"-10～"_s;
    QTest::newRow("none") << QString() << QString() << QString();
}

void TestAtusaSheetSityo::standardColumn()
{
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QFETCH(QString, first);
    TRecordSetup setup = Setup();
    setup.Upper = upper;
    setup.Lower = lower;
    auto prev = DrawRecord(setup, NumberedLines(26));
    const QString ditto = first.isEmpty() ? QString() : u"〃"_s;
    QStringList expected;
    for (int c = 0; c < 24; ++c)
        expected.append(c % 12 == 0 ? first : ditto);
    QCOMPARE(StandardColumn(prev->Page(1), 24), expected);
    // A new page starts with the standard again.
    QCOMPARE(StandardColumn(prev->Page(2), 2), (QStringList{first, ditto}));
    // Ｅ stays empty.
    QVERIFY(TextIn(prev->Page(1), 10.5f, 5.5f, 12.5f, 15.7f).isEmpty());
}

void TestAtusaSheetSityo::textDesignValueLeavesStandardEmpty()
{
    {
        // First row of the left table: nothing written yet, so no "〃" below it either.
        QList<TKel4LineRow> lines = NumberedLines(14);
        lines[0].Cells[5] = u" 欠測 "_s;
        lines[0].Cells[6] = u" 5"_s;
        auto prev = DrawRecord(Setup(), lines);
        const TRecordedPage &page = prev->Page(1);
        QStringList expected(12, QString());
        expected << u"-10～20"_s << u"〃"_s;
        QCOMPARE(StandardColumn(page, 14), expected);
        const QList<TPageCommand> joined = TextCommandsIn(page, 2.4f, 5.5f, 8.5f, 6.35f);
        QCOMPARE(joined.size(), 1);
        QCOMPARE(joined.first().Text, u"欠測5-1"_s);
        InitPrintScale();
        QCOMPARE(joined.first().Box.left(), PrintPixelX(2.4f));
    }
    // First row of the right table: the left table wrote a standard, which "〃" repeats.
    QList<TKel4LineRow> lines = NumberedLines(14);
    lines[12].Cells[5] = u"欠測"_s;
    auto prev = DrawRecord(Setup(), lines);
    const QStringList column = StandardColumn(prev->Page(1), 14);
    QCOMPARE(column.at(0), u"-10～20"_s);
    QCOMPARE(column.at(11), u"〃"_s);
    QCOMPARE(column.at(12), QString());
    QCOMPARE(column.at(13), u"〃"_s);
}

void TestAtusaSheetSityo::firstNo()
{
    TKelmo4Head head;
    head.LoadByID(SaveRecord(Setup(), NumberedLines(24)));
    TPrevX prev;
    SetPaper(u"A4"_s, u"land"_s);
    prev.BeginDoc();
    PrintAtusaSheetSityo(&prev, head, 5, false);
    prev.EndDoc();
    const QStringList column = StandardColumn(prev.Page(1), 24);
    // The standard is written at running numbers 5 and 17; nothing before the first.
    QCOMPARE(column.mid(0, 4), (QStringList{QString(), QString(), QString(), QString()}));
    QCOMPARE(column.at(4), u"-10～20"_s);
    QCOMPARE(column.at(5), u"〃"_s);
    QCOMPARE(column.at(12), u"〃"_s);
    QCOMPARE(column.at(16), u"-10～20"_s);
}

void TestAtusaSheetSityo::weightHeadings_data()
{
    QTest::addColumn<bool>("weight");
    QTest::addColumn<QStringList>("lower");
    QTest::newRow("weight") << true << QStringList{u"Ａ(t)"_s, u"Ｂ(t)"_s, u"C=B-A(t)"_s, u"Ｄ(t)"_s};
    QTest::newRow("units") << false << QStringList{u"Ａ(ｍ)"_s, u"Ｂ(ｍ)"_s, u"C=B-A(㎜)"_s, u"Ｄ(㎜)"_s};
}

void TestAtusaSheetSityo::weightHeadings()
{
    QFETCH(bool, weight);
    QFETCH(QStringList, lower);
    TRecordSetup setup = Setup();
    setup.SekkeiTanni = u"ｍ"_s;
    auto prev = DrawRecord(setup, NumberedLines(1), weight);
    const TRecordedPage &page = prev->Page(1);
    for (const QString &text : lower)
        QCOMPARE(page.TextsEqual(text).size(), 2);
    QCOMPARE(page.TextsEqual(u"設計値との差"_s).size(), 2);
    QCOMPARE(page.TextsEqual(u"Ｅ＝Ｂ－Ｄ"_s).size(), 2);
    QCOMPARE(page.TextsEqual(u"実測値"_s).first().Font.Size, 9);
}

void TestAtusaSheetSityo::header()
{
    TRecordSetup setup = Setup();
    setup.Koukumei = u"A工区"_s;
    setup.Contractor = u"苫前建設株式会社\\\\札幌支店"_s;
    auto prev = DrawRecord(setup, NumberedLines(1));
    const TRecordedPage &page = prev->Page(1);
    QCOMPARE(TextIn(page, 1.6f, 3.5f, 6.4f, 4), u"舗装工(A工区)の厚さ"_s);
    // Under the left table's "工種名" only.
    QVERIFY(TextIn(page, 14.6f, 3.5f, 19.6f, 4).isEmpty());
    QCOMPARE(TextIn(page, 12, 2.3f, 17.7f, 2.79f), u"苫前建設株式会社"_s);
    QCOMPARE(TextIn(page, 12, 2.8f, 17.7f, 3.3f), u"札幌支店"_s);
    QCOMPARE(TextIn(page, 1.5f, 2.8f, 8.9f, 3.3f), setup.Kojimei);
    QCOMPARE(TextIn(page, 20.3f, 2.8f, 24.5f, 3.3f), u"山田太郎"_s);
    QCOMPARE(TextIn(page, 8.3f, 0.2f, 17.3f, 1.2f), u"測定結果一覧表"_s);
}

void TestAtusaSheetSityo::notesSwitch_data()
{
    QTest::addColumn<bool>("noNotes");
    QTest::addColumn<int>("texts");
    QTest::newRow("notes printed") << false << 2;
    QTest::newRow("no notes") << true << 0;
}

void TestAtusaSheetSityo::notesSwitch()
{
    QFETCH(bool, noNotes);
    DekigataDef().SetNoNotes(noNotes);
    auto prev = DrawRecord(Setup(), NumberedLines(24));
    QTEST(TextsBelow(prev->Page(1), 15.8f), "texts");
    QCOMPARE(TextIn(prev->Page(1), 13.1f, 15.8f, 25.6f, 17).isEmpty(), true);
}

QTEST_MAIN(TestAtusaSheetSityo)
#include "tst_AtusaSheetSityo.moc"
