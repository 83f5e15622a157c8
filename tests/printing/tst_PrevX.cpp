#include "app/uApplication.h"
#include "printing/NkPrinter.h"
#include "printing/PageExport.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "support/PdfTools.h"
#include "support/TestEnv.h"

#include <QImage>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

// A document of Count pages, each with the text "PAGE-n".
static void DrawPages(TPrevX &prev, int count)
{
    prev.BeginDoc();
    for (int n = 1; n <= count; ++n) {
        if (n > 1)
            prev.NewPage();
        prev.Canvas()->Font().SetSize(20);
        DrawBoxText(prev.Canvas(), u"PAGE-"_s + QString::number(n), 0, 2, 2, 10, 3, 0);
    }
    prev.EndDoc();
}

class TestPrevX : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void zoomAcceptsOnly25To200_data();
    void zoomAcceptsOnly25To200();
    void documentOfThreePages();
    void showPageIgnoresOutOfRange();
    void printRanges_data();
    void printRanges();
    void layoutAtZoom50();
    void paintingSizesTheControl();
    void withoutPrinterNothingChanges();
    void beginDocDiscardsThePreviousDocument();
    void pdfKeepsEachPagesOrientation();
    void printingToPdfWithoutFileNameAsks();

private:
    QString Pdf(const QString &name) const { return m_env->Root() + u'/' + name; }
    std::unique_ptr<TTestEnv> m_env;
};

void TestPrevX::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestPrevX::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    NkPrinter().SetPdfFileName(QString());
    SetPaper(u"A4"_s, u"PORT"_s);
}

void TestPrevX::cleanup()
{
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    NkPrinter().SetPdfFileName(QString());
    m_env.reset();
}

void TestPrevX::zoomAcceptsOnly25To200_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("24") << 24 << 25;
    QTest::newRow("201") << 201 << 25;
    QTest::newRow("200") << 200 << 200;
    QTest::newRow("25 after 100") << -25 << 25;
}

void TestPrevX::zoomAcceptsOnly25To200()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    TPrevX prev;
    QCOMPARE(prev.ZoomScale(), 25);
    if (value < 0) {
        prev.SetZoomScale(100);
        value = -value;
    }
    prev.SetZoomScale(value);
    QCOMPARE(prev.ZoomScale(), expected);
}

void TestPrevX::documentOfThreePages()
{
    TPrevX prev;
    QCOMPARE(prev.PageCount(), 0);
    QVERIFY(prev.Canvas() == nullptr);
    prev.BeginDoc();
    QVERIFY(prev.Canvas() != nullptr);
    QCOMPARE(prev.PageCount(), 1);
    prev.NewPage();
    QVERIFY(prev.Canvas()->Page() == &prev.Page(2));
    prev.NewPage();
    prev.EndDoc();
    QVERIFY(prev.Canvas() == nullptr);
    QCOMPARE(prev.PageCount(), 3);
    QCOMPARE(prev.CurrentPage(), 1);
    QCOMPARE(prev.PrintFrom(), 1);
    QCOMPARE(prev.PrintTo(), 9999);
}

void TestPrevX::showPageIgnoresOutOfRange()
{
    TPrevX prev;
    DrawPages(prev, 3);
    prev.ShowPage(0);
    QCOMPARE(prev.CurrentPage(), 1);
    prev.ShowPage(4);
    QCOMPARE(prev.CurrentPage(), 1);
    prev.ShowPage(3);
    QCOMPARE(prev.CurrentPage(), 3);
    prev.SetPrintFrom(0);
    prev.SetPrintFrom(4);
    QCOMPARE(prev.PrintFrom(), 1);
    prev.SetPrintTo(0);
    QCOMPARE(prev.PrintTo(), 9999);
}

void TestPrevX::printRanges_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("storedTo");
    QTest::addColumn<QList<int>>("printed");
    QTest::newRow("whole document") << 3 << 0 << 0 << 9999 << QList<int>{1, 2, 3};
    QTest::newRow("from 3 with to 2") << 3 << 3 << 2 << 2 << QList<int>{3};
    QTest::newRow("to 50 of two pages") << 2 << 0 << 50 << 50 << QList<int>{1, 2};
    QTest::newRow("second page only") << 3 << 2 << 2 << 2 << QList<int>{2};
}

void TestPrevX::printRanges()
{
    QFETCH(int, pages);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, storedTo);
    QFETCH(QList<int>, printed);
    if (!HavePdfTools())
        QSKIP("pdfinfo and pdftotext are not installed");
    TPrevX prev;
    prev.SetTitle(u"範囲"_s);
    DrawPages(prev, pages);
    if (to)
        prev.SetPrintTo(to);
    if (from)
        prev.SetPrintFrom(from);
    QCOMPARE(prev.PrintTo(), storedTo);
    const QString file = Pdf(u"range.pdf"_s);
    NkPrinter().SetPdfFileName(file);
    QVERIFY(prev.Print());
    const TPdfInfo info = ReadPdfInfo(file);
    QVERIFY(info.Read);
    QCOMPARE(info.Pages, int(printed.size()));
    for (int i = 0; i < printed.size(); ++i)
        QCOMPARE(PdfPageText(file, i + 1), u"PAGE-"_s + QString::number(printed.at(i)));
}

void TestPrevX::layoutAtZoom50()
{
    TPrevX prev;
    prev.SetZoomScale(50);
    prev.CalcLayout();
    QCOMPARE(prev.PrinterDpiX(), 600);
    QCOMPARE(prev.PrinterDpiY(), 600);
    // k = 96 / 600 × 0.5 = 0.08; the built-in A4 sheet is 4958 × 7017 printer pixels.
    QCOMPARE(prev.PaperWidth(), 397);
    QCOMPARE(prev.PaperHeight(), 561);
    QCOMPARE(prev.AreaLeft(), 0);
    QCOMPARE(prev.AreaWidth(), 397);
    prev.FitSizeToLayout();
    QCOMPARE(prev.size(), QSize(417, 581));
}

void TestPrevX::paintingSizesTheControl()
{
    TPrevX prev;
    DrawPages(prev, 1);
    prev.Canvas();
    prev.SetZoomScale(50);
    prev.resize(814, 1143);
    const QImage shot = prev.grab().toImage();
    QCOMPARE(prev.size(), QSize(417, 581));
    // Sheet outline at 10 pixels, the page's text inside it.
    QCOMPARE(qGray(shot.pixel(10, 200)), 0);
    QVERIFY(qGray(shot.pixel(9, 200)) > 128);
    bool ink = false;
    for (int y = 50; y < 80 && !ink; ++y)
        for (int x = 50; x < 150 && !ink; ++x)
            ink = qGray(shot.pixel(x, y)) < 128;
    QVERIFY(ink);
}

void TestPrevX::withoutPrinterNothingChanges()
{
    TPrevX prev;
    DrawPages(prev, 2);
    NkPrinter().SetSource(TPrinterSource::None);
    try {
        prev.BeginDoc();
        QFAIL("no EPrevError");
    } catch (const EPrevError &e) {
        QCOMPARE(e.Message(), u"プリンタが登録されていません"_s);
    }
    QCOMPARE(prev.PageCount(), 2);
    QVERIFY(prev.Canvas() == nullptr);
    QVERIFY_THROWS_EXCEPTION(EPrevError, prev.Print());
    QVERIFY_THROWS_EXCEPTION(EPrevError, prev.CalcLayout());
    QVERIFY_THROWS_EXCEPTION(EPrevError, TPrevX::CheckPrinter());
    // Painting shows no error box of its own.
    prev.grab();
}

void TestPrevX::beginDocDiscardsThePreviousDocument()
{
    TPrevX prev;
    DrawPages(prev, 3);
    prev.ShowPage(3);
    prev.SetPrintFrom(2);
    prev.SetPrintTo(2);
    prev.BeginDoc();
    QCOMPARE(prev.PageCount(), 1);
    QCOMPARE(prev.CurrentPage(), 1);
    QCOMPARE(prev.PrintFrom(), 1);
    QCOMPARE(prev.PrintTo(), 9999);
    QVERIFY(prev.Page(1).Commands().isEmpty());
}

void TestPrevX::pdfKeepsEachPagesOrientation()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo is not installed");
    TPrevX prev;
    prev.BeginDoc();
    DrawBox(prev.Canvas(), 1, 1, 5, 5);
    SetPaper(u"A4"_s, u"LAND"_s);
    prev.NewPage();
    DrawBox(prev.Canvas(), 1, 1, 25, 5);
    SetPaper(u"A3"_s, u"PORT"_s);
    prev.NewPage();
    prev.EndDoc();
    QVERIFY(prev.Page(2).Caps().HorzRes > prev.Page(2).Caps().VertRes);
    const QString file = Pdf(u"mixed.pdf"_s);
    SavePagesAsPdf(prev.PagesInRange(1, 3), file, u"混在"_s);
    const TPdfInfo info = ReadPdfInfo(file);
    QCOMPARE(info.Pages, 3);
    QCOMPARE(info.PageSizes.at(0), QSizeF(595, 842));
    QCOMPARE(info.PageSizes.at(1), QSizeF(842, 595));
    QCOMPARE(info.PageSizes.at(2), QSizeF(842, 1191));

    // Printing sends them the same way.
    NkPrinter().SetPdfFileName(Pdf(u"printed.pdf"_s));
    QVERIFY(prev.Print());
    const TPdfInfo printed = ReadPdfInfo(Pdf(u"printed.pdf"_s));
    QCOMPARE(printed.PageSizes, info.PageSizes);
    // and the printer keeps its own settings afterwards.
    QCOMPARE(NkPrinter().PaperSizeNumber(), 8);
    QCOMPARE(NkPrinter().Orientation(), QPageLayout::Portrait);
}

void TestPrevX::printingToPdfWithoutFileNameAsks()
{
    TPrevX prev;
    DrawPages(prev, 1);
    bool asked = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        asked = dialog != nullptr;
        if (dialog)
            dialog->close(); // cancelled
    });
    QVERIFY(!prev.Print());
    QVERIFY(asked);
}

QTEST_MAIN(TestPrevX)
#include "tst_PrevX.moc"
