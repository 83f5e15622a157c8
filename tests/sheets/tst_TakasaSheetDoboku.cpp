#include "app/uDekigataDef.h"
#include "sheets/SheetTestData.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestTakasaSheetDoboku : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pages_data();
    void pages();
    void frameAndHeaderOnEveryPage();
    void unitsLineWhateverTheNotes_data();
    void unitsLineWhateverTheNotes();
    void stationAndPosition();
    void trimmedTextGroup();

private:
    std::unique_ptr<TTestEnv> m_env;
};

void TestTakasaSheetDoboku::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestTakasaSheetDoboku::cleanup()
{
    m_env.reset();
}

static TRecordSetup Setup()
{
    TRecordSetup setup;
    setup.Yoshiki = 1;
    setup.SekkeiTanni = u"ｍ"_s;
    return setup;
}

void TestTakasaSheetDoboku::pages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("17") << 17 << 1;
    QTest::newRow("18") << 18 << 2;
    QTest::newRow("34") << 34 << 2;
}

void TestTakasaSheetDoboku::pages()
{
    QFETCH(int, lines);
    auto prev = DrawRecord(Setup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    QCOMPARE(prev->Page(1).Caps().Layout.orientation(), QPageLayout::Landscape);
}

void TestTakasaSheetDoboku::frameAndHeaderOnEveryPage()
{
    TRecordSetup setup = Setup();
    setup.Koukumei = u"A工区"_s;
    auto prev = DrawRecord(setup, NumberedLines(18));
    for (int n = 1; n <= 2; ++n) {
        const TRecordedPage &page = prev->Page(n);
        QCOMPARE(TextIn(page, 8.6f, 0, 17, 0.7f), u"基準高のでき形測定表"_s);
        QCOMPARE(TextIn(page, 2.12f, 0, 7.8f, 0.69f), u"舗装工"_s);
        QCOMPARE(TextIn(page, 2.12f, 0.7f, 7.8f, 1.4f), u"(A工区)"_s);
        QCOMPARE(TextIn(page, 20.25f, 0.62f, 22.8f, 1.12f), u"山田太郎"_s);
        QCOMPARE(TextIn(page, 7.8f, 1.4f, 13.48f, 2.1f), u"中心"_s);
        QCOMPARE(TextIn(page, 19.09f, 1.4f, 24.3f, 2.8f), u"監督員記事"_s);
        // 18 rulings from the heading's lower rule to the last row's top.
        QCOMPARE(HorizontalLines(page, 2.0f, 14.6f), 18);
        // Four vertical rulings per place group, plus the work type box's divider and right edge.
        QCOMPARE(VerticalLines(page, 2.0f, 19.2f), 12 + 2);
    }
    const TRecordedPage &second = prev->Page(2);
    QCOMPARE(TextIn(second, 0.1f, 2.8f, 1.0f, 3.5f), u"No.18"_s);
    // The rows stay at the title's 12 pt.
    const QList<TPageCommand> station = TextCommandsIn(second, 0.1f, 2.8f, 1.0f, 3.5f);
    QCOMPARE(station.first().Font.Size, 12);
}

void TestTakasaSheetDoboku::unitsLineWhateverTheNotes_data()
{
    QTest::addColumn<bool>("noNotes");
    QTest::newRow("notes on") << false;
    QTest::newRow("notes off") << true;
}

void TestTakasaSheetDoboku::unitsLineWhateverTheNotes()
{
    QFETCH(bool, noNotes);
    DekigataDef().SetNoNotes(noNotes);
    TRecordSetup setup = Setup();
    setup.SekkeiTanni = u"ｍ "_s;
    auto prev = DrawRecord(setup, NumberedLines(1));
    QCOMPARE(prev->Page(1).TextsEqual(u"（記入要領）設計値・測定値の単位はｍ、差の単位は㎜とする"_s).size(), 1);
}

void TestTakasaSheetDoboku::stationAndPosition()
{
    QList<TKel4LineRow> lines{Line(1, {u" No.5 "_s, u"+10"_s, u"12.345"_s, u"12.350"_s, u"5"_s})};
    lines[0].Cells[11] = u"2001/05/12"_s;
    auto prev = DrawRecord(Setup(), lines);
    const TRecordedPage &page = prev->Page(1);
    const QList<TPageCommand> cell = TextCommandsIn(page, 0, 2.8f, 2.12f, 3.5f);
    QCOMPARE(cell.size(), 2);
    InitPrintScale();
    QCOMPARE(cell[0].Text, u"No.5"_s);
    QCOMPARE(cell[0].Box.left(), PrintPixelX(0.1f));
    QCOMPARE(cell[1].Text, u"+10"_s);
    QVERIFY(qAbs(cell[1].Box.left() + cell[1].Box.width() - PrintPixelX(2.02f)) <= 1);
    QVERIFY(TextIn(page, 19.27f, 2.8f, 24.3f, 3.5f).isEmpty());
}

void TestTakasaSheetDoboku::trimmedTextGroup()
{
    QList<TKel4LineRow> lines{Line(1, {u"No.1"_s, QString(), u"1"_s, u"2"_s, u"1"_s, u" 中止 "_s, u" 12"_s})};
    auto prev = DrawRecord(Setup(), lines);
    const QList<TPageCommand> centre = TextCommandsIn(prev->Page(1), 7.8f, 2.8f, 13.4f, 3.5f);
    QCOMPARE(centre.size(), 1);
    QCOMPARE(centre.first().Text, u"中止12"_s);
    InitPrintScale();
    QCOMPARE(centre.first().Box.left(), PrintPixelX(7.8f));
}

QTEST_MAIN(TestTakasaSheetDoboku)
#include "tst_TakasaSheetDoboku.moc"
