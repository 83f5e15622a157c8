#include "measure/uRecordPrint.h"
#include "printing/PrevError.h"
#include "printing/uPrintView.h"
#include "sheets/SheetTestData.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace SheetTest;

class TestDataSheetCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void previewShowsTheChosenLayout_data();
    void previewShowsTheChosenLayout();
    void noPrinter();
    void mainWindowHook();
    void exportUnknownRecord();

private:
    std::unique_ptr<TTestEnv> m_env;
};

namespace {

struct TSeen
{
    bool Shown = false;
    int Pages = 0;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QString FormNumber;
};

// Answers the modal preview: notes what it holds, then closes it.
void WatchPreview(TSeen &seen)
{
    QTimer::singleShot(0, [&seen] {
        auto *preview = qobject_cast<TfrmPreView *>(QApplication::activeModalWidget());
        if (!preview)
            return;
        seen.Shown = true;
        seen.Pages = preview->PrevX1->PageCount();
        seen.Orientation = preview->PrevX1->Page(1).Caps().Layout.orientation();
        seen.FormNumber = TextIn(preview->PrevX1->Page(1), 0, 0, 3, 0.7f);
        preview->reject();
    });
}

} // namespace

void TestDataSheetCommand::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
}

void TestDataSheetCommand::cleanup()
{
    m_env.reset();
}

void TestDataSheetCommand::previewShowsTheChosenLayout_data()
{
    QTest::addColumn<int>("yoshiki");
    QTest::addColumn<int>("yosiki");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("height 支庁") << 2 << 0 << 18 << 2 << true;
    QTest::newRow("width 土木現業所") << 1 << 2 << 16 << 1 << false;
    QTest::newRow("thickness 支庁") << 2 << 1 << 25 << 2 << true;
}

void TestDataSheetCommand::previewShowsTheChosenLayout()
{
    QFETCH(int, yoshiki);
    QFETCH(int, yosiki);
    QFETCH(int, lines);
    TRecordSetup setup;
    setup.Yoshiki = yoshiki;
    setup.Yosiki = yosiki;
    TKelmo4Head head;
    head.LoadByID(SaveRecord(setup, NumberedLines(lines)));
    TSeen seen;
    WatchPreview(seen);
    ShowDataSheet(head, false, nullptr);
    QVERIFY(seen.Shown);
    QTEST(seen.Pages, "pages");
    QFETCH(bool, landscape);
    QCOMPARE(seen.Orientation, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestDataSheetCommand::noPrinter()
{
    TKelmo4Head head;
    head.LoadByID(SaveRecord(TRecordSetup(), NumberedLines(3)));
    NkPrinter().SetSource(TPrinterSource::None);
    TSeen seen;
    WatchPreview(seen);
    try {
        ShowDataSheet(head, false, nullptr);
        QFAIL("no error without a printer");
    } catch (const EPrevError &e) {
        QCOMPARE(e.Message(), u"プリンタが登録されていません"_s);
    }
    QCoreApplication::processEvents();
    QVERIFY(!seen.Shown);
    QVERIFY(QApplication::topLevelWidgets().isEmpty() || !qobject_cast<TfrmPreView *>(QApplication::activeModalWidget()));
}

void TestDataSheetCommand::mainWindowHook()
{
    SetRecordPrintRoutine(TRecordForm::DataSheet, {});
    PlugInDataSheet();
    const TRecordPrintRoutine &print = RecordPrintRoutine(TRecordForm::DataSheet);
    QVERIFY(bool(print));
    TRecordSetup setup;
    setup.Yosiki = 1;
    setup.Yoshiki = 0;
    TKelmo4Head head;
    head.LoadByID(SaveRecord(setup, NumberedLines(18)));
    TSeen seen;
    WatchPreview(seen);
    QWidget parent;
    print(&parent, head, false);
    QVERIFY(seen.Shown);
    QCOMPARE(seen.Pages, 2);
    QCOMPARE(seen.FormNumber, u"様式（２）"_s);
    SetRecordPrintRoutine(TRecordForm::DataSheet, {});
}

void TestDataSheetCommand::exportUnknownRecord()
{
    const int id = SaveRecord(TRecordSetup(), NumberedLines(1));
    TPrevX prev;
    QVERIFY_THROWS_EXCEPTION(EKelmoError, ExportDataSheet(id + 1, false, &prev));
    QCOMPARE(prev.PageCount(), 0);
    ExportDataSheet(id, false, &prev);
    QCOMPARE(prev.PageCount(), 1);
    QVERIFY(!prev.Canvas());
}

QTEST_MAIN(TestDataSheetCommand)
#include "tst_DataSheetCommand.moc"
