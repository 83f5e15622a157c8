#include "app/uDekigataDef.h"
#include "sheets/SheetTestData.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestAtusaSheetDoboku : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pages_data();
    void pages();
    void header();
    void rows();
    void notesSwitch_data();
    void notesSwitch();

private:
    std::unique_ptr<TTestEnv> m_env;
};

void TestAtusaSheetDoboku::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestAtusaSheetDoboku::cleanup()
{
    m_env.reset();
}

static TRecordSetup Setup()
{
    TRecordSetup setup;
    setup.Yoshiki = 1;
    setup.Yosiki = 2;
    setup.Item = u"幅"_s;
    setup.SekkeiTanni = u"㎝"_s;
    setup.SaTanni = u"㎝"_s;
    return setup;
}

void TestAtusaSheetDoboku::pages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("16") << 16 << 1;
    QTest::newRow("17") << 17 << 2;
    QTest::newRow("32") << 32 << 2;
}

void TestAtusaSheetDoboku::pages()
{
    QFETCH(int, lines);
    auto prev = DrawRecord(Setup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    QCOMPARE(prev->Page(1).Caps().Layout.orientation(), QPageLayout::Portrait);
    if (lines == 17)
        QCOMPARE(TextIn(prev->Page(2), 0.6f, 4.6f, 2.4f, 5.8f), u"No.17"_s);
}

void TestAtusaSheetDoboku::header()
{
    TRecordSetup setup = Setup();
    setup.Koukumei = u"A工区"_s;
    auto prev = DrawRecord(setup, NumberedLines(2));
    const TRecordedPage &page = prev->Page(1);
    QCOMPARE(page.TextsEqual(u"様式－３"_s).size(), 1);
    QCOMPARE(TextIn(page, 2.4f, 2, 7.5f, 2.69f), u"舗装工"_s);
    QCOMPARE(TextIn(page, 2.4f, 2.7f, 7.5f, 3.4f), u"(A工区)"_s);
    QCOMPARE(TextIn(page, 12.5f, 2.6f, 16, 3.1f), u"山田太郎"_s);
    // The title is the only Gothic text; the rows after it are in Mincho.
    QString gothic;
    for (const TPageCommand &t : page.Texts()) {
        if (t.Font.Name == u"ＭＳ ゴシック"_s)
            gothic += t.Text;
        else
            QCOMPARE(t.Font.Name, u"ＭＳ 明朝"_s);
    }
    QCOMPARE(gothic, u"幅のでき形測定表"_s);
    // The rulings below the heading row, frame edges left out.
    QCOMPARE(HorizontalLines(page, 3.5f, 23.7f), 16);
    // Six column rulings, the table frame's left edge and the work type box's three.
    QCOMPARE(VerticalLines(page, 0.4f, 10.1f), 6 + 1 + 3);
}

void TestAtusaSheetDoboku::rows()
{
    QList<TKel4LineRow> lines{Line(1, {u"No.1"_s, u"CL"_s, QString(), QString(), QString(), u"350"_s, u"352"_s, u"2"_s,
                                       QString(), QString(), QString(), u"2001/05/12"_s}),
                              Line(2, {u"No.2"_s, u"L"_s, QString(), QString(), QString(), u"中止"_s, QString(), QString(),
                                       QString(), QString(), QString(), u"確認"_s})};
    auto prev = DrawRecord(Setup(), lines);
    const TRecordedPage &page = prev->Page(1);
    const QList<TPageCommand> position = TextCommandsIn(page, 2.4f, 4.6f, 3.9f, 5.8f);
    QCOMPARE(position.size(), 1);
    InitPrintScale();
    const int centre = (PrintPixelX(2.4f) + PrintPixelX(3.9f)) / 2;
    QVERIFY(qAbs(position.first().Box.center().x() - centre) <= 2);
    QCOMPARE(TextIn(page, 3.9f, 4.6f, 6.1f, 5.8f), u"350"_s);
    QCOMPARE(TextIn(page, 8.5f, 4.6f, 9.9f, 5.8f), u"2"_s);
    QVERIFY(TextIn(page, 10.1f, 4.6f, 16.5f, 5.8f).isEmpty());
    QCOMPARE(TextIn(page, 3.9f, 5.8f, 9.9f, 7.0f), u"中止"_s);
    QCOMPARE(TextCommandsIn(page, 3.9f, 5.8f, 9.9f, 7.0f).first().Box.left(), PrintPixelX(4));
    QCOMPARE(TextIn(page, 10.1f, 5.8f, 16.5f, 7.0f), u"確認"_s);
}

void TestAtusaSheetDoboku::notesSwitch_data()
{
    QTest::addColumn<bool>("noNotes");
    QTest::addColumn<int>("texts");
    QTest::newRow("notes printed") << false << 3;
    QTest::newRow("no notes") << true << 0;
}

void TestAtusaSheetDoboku::notesSwitch()
{
    QFETCH(bool, noNotes);
    DekigataDef().SetNoNotes(noNotes);
    auto prev = DrawRecord(Setup(), NumberedLines(16));
    QTEST(TextsBelow(prev->Page(1), 23.8f), "texts");
}

QTEST_MAIN(TestAtusaSheetDoboku)
#include "tst_AtusaSheetDoboku.moc"
