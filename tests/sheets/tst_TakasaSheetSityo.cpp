#include "sheets/SheetTestData.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestTakasaSheetSityo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pages_data();
    void pages();
    void header();
    void workTypeLine_data();
    void workTypeLine();
    void projectName_data();
    void projectName();
    void contractor_data();
    void contractor();
    void remarksAlways();

private:
    std::unique_ptr<TTestEnv> m_env;
};

void TestTakasaSheetSityo::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestTakasaSheetSityo::cleanup()
{
    m_env.reset();
}

static TRecordSetup Setup()
{
    TRecordSetup setup;
    setup.Yoshiki = 2;
    return setup;
}

void TestTakasaSheetSityo::pages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("17") << 17 << 1;
    QTest::newRow("18") << 18 << 2;
}

void TestTakasaSheetSityo::pages()
{
    QFETCH(int, lines);
    auto prev = DrawRecord(Setup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    const TRecordedPage &last = prev->Page(prev->PageCount());
    QCOMPARE(last.TextsEqual(u"様式（２－２）"_s).size(), 1);
    QCOMPARE(last.Ellipses().size(), 1);
    // 18 rulings inside the table.
    QCOMPARE(HorizontalLines(last, 4.7f, 16.5f), 18 + 3);
}

void TestTakasaSheetSityo::header()
{
    auto prev = DrawRecord(Setup(), NumberedLines(1));
    const TRecordedPage &page = prev->Page(1);
    QCOMPARE(TextIn(page, 8.7f, 0.2f, 15.5f, 1.2f), u"測定結果一覧表"_s);
    QCOMPARE(TextIn(page, 19.5f, 3.5f, 23.5f, 4), u"山田太郎"_s);
    QCOMPARE(TextIn(page, 8.7f, 4.1f, 15, 4.78f), u"中央"_s);
    QCOMPARE(TextIn(page, 21.3f, 4.1f, 24.3f, 5.46f), u"備考"_s);
    for (const TPageCommand &t : TextCommandsIn(page, 0, 5.46f, 24.3f, 6.14f))
        QCOMPARE(t.Font.Size, 10);
}

void TestTakasaSheetSityo::workTypeLine_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("text");
    QTest::newRow("#") << u"#"_s << u"舗装工の基準高"_s;
    QTest::newRow("section") << u"A工区"_s << u"舗装工(A工区)の基準高"_s;
}

void TestTakasaSheetSityo::workTypeLine()
{
    QFETCH(QString, section);
    TRecordSetup setup = Setup();
    setup.Koukumei = section;
    auto prev = DrawRecord(setup, NumberedLines(1));
    QTEST(TextIn(prev->Page(1), 3.3f, 3.5f, 12.4f, 4), "text");
}

void TestTakasaSheetSityo::projectName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("twoLines");
    QTest::newRow("short") << u"南改良工事"_s << false;
    QTest::newRow("long") << u"一般国道２３０号　札幌市　南区定山渓温泉東外道路改良工事"_s << true;
}

void TestTakasaSheetSityo::projectName()
{
    QFETCH(QString, name);
    QFETCH(bool, twoLines);
    TRecordSetup setup = Setup();
    setup.Kojimei = name;
    auto prev = DrawRecord(setup, NumberedLines(1));
    const TRecordedPage &page = prev->Page(1);
    const QString above = TextIn(page, 3.3f, 2.3f, 12.4f, 2.79f);
    const QString onRule = TextIn(page, 3.3f, 2.8f, 12.4f, 3.3f);
    QCOMPARE(above + onRule, name);
    QCOMPARE(!above.isEmpty(), twoLines);
}

void TestTakasaSheetSityo::contractor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("short") << u"苫前建設"_s << QString() << u"苫前建設"_s;
    QTest::newRow("marker") << u"苫前建設株式会社\\\\札幌支店"_s << u"苫前建設株式会社"_s << u"札幌支店"_s;
}

void TestTakasaSheetSityo::contractor()
{
    QFETCH(QString, name);
    TRecordSetup setup = Setup();
    setup.Contractor = name;
    auto prev = DrawRecord(setup, NumberedLines(1));
    const TRecordedPage &page = prev->Page(1);
    QTEST(TextIn(page, 19.5f, 2.3f, 24, 2.79f), "upper");
    QTEST(TextIn(page, 19.5f, 2.8f, 24, 3.3f), "lower");
}

void TestTakasaSheetSityo::remarksAlways()
{
    QList<TKel4LineRow> lines = NumberedLines(1);
    lines[0].Cells[11] = u"2001/05/12"_s;
    auto prev = DrawRecord(Setup(), lines);
    QCOMPARE(TextIn(prev->Page(1), 21.4f, 5.46f, 24.2f, 6.14f), u"2001/05/12"_s);
}

QTEST_MAIN(TestTakasaSheetSityo)
#include "tst_TakasaSheetSityo.moc"
