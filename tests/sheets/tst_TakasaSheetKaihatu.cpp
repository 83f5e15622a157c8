#include "app/uDekigataDef.h"
#include "sheets/SheetTestData.h"
#include "sheets/uDataSheet.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestTakasaSheetKaihatu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pageCount_data();
    void pageCount();
    void everyPageHasFrameAndHeader();
    void rulings();
    void itemBox_data();
    void itemBox();
    void summary_data();
    void summary();
    void noNumericDifference();
    void remarks();
    void textDesignValueRunsAcrossGroup();
    void notesSwitch();

private:
    std::unique_ptr<TPrevX> Draw(const TRecordSetup &setup, const QList<TKel4LineRow> &lines);
    std::unique_ptr<TTestEnv> m_env;
};

void TestTakasaSheetKaihatu::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestTakasaSheetKaihatu::cleanup()
{
    m_env.reset();
}

std::unique_ptr<TPrevX> TestTakasaSheetKaihatu::Draw(const TRecordSetup &setup, const QList<TKel4LineRow> &lines)
{
    TKelmo4Head head;
    head.LoadByID(SaveRecord(setup, lines));
    auto prev = std::make_unique<TPrevX>();
    DrawDataSheetDocument(prev.get(), head, false);
    return prev;
}

void TestTakasaSheetKaihatu::pageCount_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("no lines") << 0 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("a full page") << 21 << 1;
    QTest::newRow("one more") << 22 << 2;
    QTest::newRow("two full pages") << 42 << 2;
    QTest::newRow("43") << 43 << 3;
}

void TestTakasaSheetKaihatu::pageCount()
{
    QFETCH(int, lines);
    auto prev = Draw(TRecordSetup(), NumberedLines(lines));
    QTEST(prev->PageCount(), "pages");
    QCOMPARE(prev->Page(1).Caps().Layout.orientation(), QPageLayout::Portrait);
    if (lines == 0)
        QVERIFY(prev->Page(1).Commands().isEmpty());
    // The last line is on the last page, in its slot.
    if (lines > 0) {
        const int slot = (lines - 1) % 21;
        const float y = 6.12f + 0.56f * float(slot);
        QCOMPARE(TextIn(prev->Page(prev->PageCount()), 0.4f, y, 2, y + 0.56f), u"No."_s + QString::number(lines));
    }
}

void TestTakasaSheetKaihatu::everyPageHasFrameAndHeader()
{
    auto prev = Draw(TRecordSetup(), NumberedLines(22));
    QCOMPARE(prev->PageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const TRecordedPage &page = prev->Page(n);
        QCOMPARE(page.TextsEqual(u"様式（３）"_s).size(), 1);
        QCOMPARE(TextIn(page, 1.6f, 1.5f, 14.7f, 2.2f), u"舗装工測定結果表"_s);
        QCOMPARE(TextIn(page, 12.2f, 3.7f, 14.9f, 4.2f), u"山田太郎"_s);
        QCOMPARE(page.Ellipses().size(), 1);
        // The summary describes the whole record on every page: 22 lines × 3 places.
        QCOMPARE(TextIn(page, 6, 19.07f, 7.5f, 19.94f), u"66"_s);
        for (const TPageCommand &t : page.Texts())
            QCOMPARE(t.Font.Name, u"ＭＳ 明朝"_s);
    }
    const TRecordedPage &second = prev->Page(2);
    QCOMPARE(TextIn(second, 0.4f, 6.12f, 2, 6.68f), u"No.22"_s);
    QVERIFY(TextIn(second, 0.4f, 6.68f, 2, 7.24f).isEmpty());
}

void TestTakasaSheetKaihatu::rulings()
{
    auto prev = Draw(TRecordSetup(), NumberedLines(3));
    const TRecordedPage &page = prev->Page(1);
    // Between heading and table bottom: 22 rulings plus the tops of the three measured-value
    // columns on the heading's lower rule.
    QCOMPARE(HorizontalLines(page, 5.3f, 17.6f), 25);
    // The lower heading rule alone is short: it starts at x 2.
    InitPrintScale();
    int shortRules = 0;
    for (const TPageCommand &l : page.Lines()) {
        if (l.From.y() == l.To.y() && l.From.y() == PrintPixelY(5.56f) && l.From.x() == PrintPixelX(2)
            && l.To.x() == PrintPixelX(14.3f))
            ++shortRules;
    }
    QCOMPARE(shortRules, 1);
    // Outer frame drawn with pen width 3, the table with 1.
    QCOMPARE(page.Lines().first().Pen.Width, 3);
    QCOMPARE(page.Lines().last().Pen.Width, 1);
    for (const QString &caption : {u"左側"_s, u"中央"_s, u"右側"_s})
        QVERIFY2(page.AllText().contains(caption.at(0)), qPrintable(caption));
    QCOMPARE(TextIn(page, 2, 5, 6.1f, 5.56f), u"左側"_s);
    QCOMPARE(TextIn(page, 6.1f, 5, 10.2f, 5.56f), u"中央"_s);
    QCOMPARE(TextIn(page, 9.1f, 5.56f, 10.2f, 6.12f), u"差"_s);
    QCOMPARE(TextIn(page, 14.3f, 5, 16.1f, 5.56f), u"監督員"_s);
    QCOMPARE(TextIn(page, 14.3f, 5.56f, 16.1f, 6.12f), u"記事"_s);
    QCOMPARE(TextIn(page, 0.3f, 18.2f, 1.4f, 20.81f), u"記事"_s);
}

void TestTakasaSheetKaihatu::itemBox_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("no section") << u"#"_s << QString() << u"高さ"_s;
    QTest::newRow("section") << u"A工区"_s << u"高さ"_s << u"(A工区)"_s;
}

void TestTakasaSheetKaihatu::itemBox()
{
    QFETCH(QString, section);
    TRecordSetup setup;
    setup.Koukumei = section;
    setup.Item = u"高さ"_s;
    auto prev = Draw(setup, NumberedLines(1));
    const TRecordedPage &page = prev->Page(1);
    QTEST(TextIn(page, 2.9f, 3.2f, 6.9f, 3.69f), "upper");
    QTEST(TextIn(page, 2.9f, 3.7f, 6.9f, 4.2f), "lower");
}

void TestTakasaSheetKaihatu::summary_data()
{
    QTest::addColumn<QString>("saTanni");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("range");

    QTest::newRow("mm") << u"㎜"_s << u"20"_s << u"-20"_s << QStringList{u"-1"_s, u"1"_s}
                        << u"-20 ～ +20(㎜)"_s << u"+0.0(㎜)"_s << u"-1 ～ +1(㎜)"_s;
    QTest::newRow("cm") << u"㎝"_s << u"25"_s << u"-25"_s << QStringList{u"0.3"_s, u"0.5"_s}
                        << u"-2.5 ～ +2.5(㎝)"_s << u"+0.4(㎝)"_s << u"+0.3 ～ +0.5(㎝)"_s;
    QTest::newRow("range -3 to 5") << u"㎜"_s << u"15"_s << QString() << QStringList{u"-3"_s, u"5"_s, u"1"_s}
                                   << u" ～ +15(㎜)"_s << u"+1.0(㎜)"_s << u"-3 ～ +5(㎜)"_s;
    QTest::newRow("no limits") << u"㎜"_s << QString() << QString() << QStringList{u"2"_s}
                               << u" ～ (㎜)"_s << u"+2.0(㎜)"_s << u"+2 ～ +2(㎜)"_s;
}

void TestTakasaSheetKaihatu::summary()
{
    QFETCH(QString, saTanni);
    QFETCH(QStringList, diffs);
    TRecordSetup setup;
    setup.SaTanni = saTanni;
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    setup.Upper = upper;
    setup.Lower = lower;
    setup.Heikin = saTanni == u"㎝"_s ? u"1"_s : u"0.1"_s;
    QList<TKel4LineRow> lines;
    for (int i = 0; i < diffs.size(); ++i)
        lines.append(Line(i + 1, {u"No."_s + QString::number(i), QString(), QString(), QString(), QString(),
                                  u"100"_s, QString(), diffs[i]}));
    auto prev = Draw(setup, lines);
    const TRecordedPage &page = prev->Page(1);
    QTEST(TextIn(page, 7, 18.2f, 15.3f, 19.07f), "standard");
    QTEST(TextIn(page, 6, 19.94f, 8, 20.81f), "average");
    QTEST(TextIn(page, 12, 19.07f, 15.3f, 20.81f), "range");
    QCOMPARE(TextIn(page, 6, 19.07f, 7.5f, 19.94f), QString::number(diffs.size()));
}

void TestTakasaSheetKaihatu::noNumericDifference()
{
    // Design values only: no difference to take extremes of; the range stays empty
    // instead of printing the starting values ±1e12.
    QList<TKel4LineRow> lines{Line(1, {u"No.1"_s, QString(), u"100"_s, QString(), QString()})};
    auto prev = Draw(TRecordSetup(), lines);
    const TRecordedPage &page = prev->Page(1);
    QCOMPARE(TextIn(page, 12, 19.07f, 15.3f, 20.81f), u" ～ (㎜)"_s);
    QVERIFY(!page.AllText().contains(u"1000000000000"_s));
    QCOMPARE(TextIn(page, 6, 19.07f, 7.5f, 19.94f), u"0"_s);
}

void TestTakasaSheetKaihatu::remarks()
{
    QList<TKel4LineRow> lines = NumberedLines(2);
    lines[0].Cells[11] = u"2001/05/12"_s;
    lines[1].Cells[11] = u"工事中"_s;
    auto prev = Draw(TRecordSetup(), lines);
    const TRecordedPage &page = prev->Page(1);
    QVERIFY(TextIn(page, 14.4f, 6.12f, 17, 6.68f).isEmpty());
    QCOMPARE(TextIn(page, 14.4f, 6.68f, 17, 7.24f), u"工事中"_s);
    QVERIFY(!page.AllText().contains(u"2001/05/12"_s));
}

void TestTakasaSheetKaihatu::textDesignValueRunsAcrossGroup()
{
    QList<TKel4LineRow> lines{Line(1, {u"No.1"_s, QString(), u"150"_s, u"151"_s, u"1"_s, u"中止"_s, u"12"_s, QString(),
                                       u"150"_s, u"149"_s, u"-1"_s})};
    auto prev = Draw(TRecordSetup(), lines);
    const TRecordedPage &page = prev->Page(1);
    const QList<TPageCommand> centre = TextCommandsIn(page, 6.1f, 6.12f, 10.2f, 6.68f);
    QCOMPARE(centre.size(), 1);
    QCOMPARE(centre.first().Text, u"中止12"_s);
    InitPrintScale();
    QCOMPARE(centre.first().Box.left(), PrintPixelX(6.2f));
    // The left place is numeric: three right-aligned texts, the last ending at x 6.05.
    const QList<TPageCommand> left = TextCommandsIn(page, 2, 6.12f, 6.09f, 6.68f);
    QCOMPARE(left.size(), 3);
    QVERIFY(qAbs(left.last().Box.right() + 1 - PrintPixelX(6.05f)) <= 1);
}

void TestTakasaSheetKaihatu::notesSwitch()
{
    DekigataDef().SetNoNotes(false);
    {
        auto prev = Draw(TRecordSetup(), NumberedLines(1));
        QVERIFY(DrawsBelow(prev->Page(1), 21.6f));
        QCOMPARE(prev->Page(1).TextsEqual(u"　　ハ．差の欄には測定値－設計値を記入すること。"_s).size(), 1);
    }
    DekigataDef().SetNoNotes(true);
    auto prev = Draw(TRecordSetup(), NumberedLines(1));
    QVERIFY(!DrawsBelow(prev->Page(1), 21.6f));
}

QTEST_MAIN(TestTakasaSheetKaihatu)
#include "tst_TakasaSheetKaihatu.moc"
