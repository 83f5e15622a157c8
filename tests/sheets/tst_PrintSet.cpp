// Batch printing: the list and its ticks, the jobs in order with their orientations, the
// print dialog, and the exporter's one document.
#include "app/Errors.h"
#include "app/uApplication.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "printing/NkPrinter.h"
#include "printing/PageSink.h"
#include "printing/PrevX.h"
#include "sheets/uBatchPrint.h"
#include "sheets/uPrintSet.h"
#include "sheets/uToleranceSheet.h"
#include "support/ModalAnswer.h"
#include "support/PdfTools.h"
#include "support/TestEnv.h"
#include "TorimatomeFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace TorimatomeFixture;

namespace {

QString Orientation(const TRecordedPage &page)
{
    return page.Caps().Layout.orientation() == QPageLayout::Landscape ? u"LAND"_s : u"PORT"_s;
}

QString FormName(TBatchForm form)
{
    switch (form) {
    case TBatchForm::DataSheet:
        return u"datasheet"_s;
    case TBatchForm::Histogram:
        return u"histogram"_s;
    case TBatchForm::Chart:
        return u"chart"_s;
    }
    return QString();
}

// "ID form" per job that RunBatch asks for.
QStringList JobsOf(const QList<TBatchRow> &rows)
{
    QStringList jobs;
    RunBatch(rows, [&jobs](TBatchForm form, const TKelmo4Head &head) {
        jobs.append(QString::number(head.ID) + u' ' + FormName(form));
        return true;
    });
    return jobs;
}

QString Orientation(const QSizeF &pageSize)
{
    return pageSize.width() > pageSize.height() ? u"LAND"_s : u"PORT"_s;
}

// What reaches a sink, page by page, while the pages given to it are still alive.
class TPageNotes final : public TPageSink
{
public:
    bool AddPage(const TRecordedPage &page) override
    {
        Orientations.append(Orientation(page));
        Commands.append(int(page.Commands().size()));
        return Orientations.size() < StopAfter; // refuses page StopAfter
    }
    QStringList Orientations;
    QList<int> Commands;
    qsizetype StopAfter = 1 << 30;
};
} // namespace

class TestPrintSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void listOfTheProject();
    void firstColumnTicksTheThree();
    void smallerProjectLeavesNoOldRows();
    void jobsInRowOrder_data();
    void jobsInRowOrder();
    void orientations_data();
    void orientations();
    void batchToThePdfPrinterIsOneFile();
    void cancelledDialogPrintsNothing();
    void exportPutsTheSamePagesInOneDocument();
    void openedFromTheMainWindowMenu();

private:
    void AddFiveRecords();
    std::unique_ptr<TTestEnv> m_env;
};

void TestPrintSet::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestPrintSet::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    NkPrinter().SetOrientation(QPageLayout::Portrait);
    NkPrinter().ApplySettings();
    CreateTables();
}

void TestPrintSet::cleanup()
{
    NkPrinter().SetPdfFileName(QString());
    m_env.reset();
}

void TestPrintSet::AddFiveRecords()
{
    AddSampleProject(1);
    AddRecord(u"K1"_s, {u"舗装"_s, u"B工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s, u"3"_s}, 2});
    AddRecord(u"K1"_s, {u"舗装"_s, u"#"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"2"_s}, 0});
    // Not listed: a work type that is not registered.
    AddRecord(u"K1"_s, {u"区画線"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}, 2});
}

void TestPrintSet::listOfTheProject()
{
    AddFiveRecords();
    TfrmPrintSet w;
    QCOMPARE(w.windowTitle(), u"印刷データ選択"_s);
    QCOMPARE(w.BitBtn1->text(), u"一括印刷"_s);
    QCOMPARE(w.BitBtn3->text(), u"印刷の設定"_s);
    QCOMPARE(w.BitBtn2->text(), u"閉じる(&C)"_s);
    QStringList headings;
    for (int c = 1; c <= 8; ++c)
        headings.append(w.vaSpread1->CellText(c, 0));
    QCOMPARE(headings, (QStringList{u"　"_s, u"工種"_s, u"測定項目"_s, u"工区名"_s, u"ﾃﾞｰﾀｼｰﾄ"_s, u"ﾋｽﾄｸﾞﾗﾑ"_s,
                                    u"管理図"_s, u"ID"_s}));
    w.OpenForProject(u"K1:工事K1"_s, false);
    QStringList rows;
    for (int r = 1; r <= 6; ++r) {
        QStringList cells;
        for (int c = 1; c <= 8; ++c)
            cells.append(c == 8 ? (w.vaSpread1->CellText(c, r).isEmpty() ? QString() : u"id"_s)
                                : w.vaSpread1->CellText(c, r));
        rows.append(cells.join(u'|'));
    }
    QCOMPARE(rows, (QStringList{
                       u"1|路盤|幅|A工区|1|1|1|id"_s,
                       u"1|舗装|厚さ|A工区|1|1|1|id"_s,
                       u"1|路盤|高さ|B工区|1|1|1|id"_s,
                       u"1|舗装|幅|B工区|1|1|1|id"_s,
                       u"1|舗装|高さ|#|1|1|1|id"_s,
                       u"|||||||"_s,
                   }));
    // Column 8 holds the record's ID.
    TKelmo4Head head;
    head.LoadByID(w.vaSpread1->CellText(8, 4).toInt());
    QCOMPARE(head.SokuteiKoumoku, u"幅"_s);
    QCOMPARE(head.Kouku->Koukumei, u"B工区"_s);
}

void TestPrintSet::firstColumnTicksTheThree()
{
    AddFiveRecords();
    TfrmPrintSet w;
    w.OpenForProject(u"K1:工事K1"_s, false);
    QAbstractItemModel *model = w.vaSpread1->Model();
    auto click = [model](int col, int row) {
        const QModelIndex index = model->index(row - 1, col - 1);
        const bool ticked = model->data(index, Qt::CheckStateRole).toInt() == Qt::Checked;
        model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    };
    auto row = [&w](int r) {
        QStringList cells;
        for (int c : {1, 5, 6, 7})
            cells.append(w.vaSpread1->CellText(c, r));
        return cells.join(u'|');
    };
    click(1, 2);
    QCOMPARE(row(2), u"|||"_s);
    QCOMPARE(row(1), u"1|1|1|1"_s);
    click(6, 2); // another column changes only itself
    QCOMPARE(row(2), u"||1|"_s);
    click(1, 2);
    QCOMPARE(row(2), u"1|1|1|1"_s);
    click(7, 3);
    QCOMPARE(row(3), u"1|1|1|"_s);
    // The names and IDs are not for editing.
    QVERIFY(!model->setData(model->index(0, 1), u"別"_s, Qt::EditRole));
    QCOMPARE(w.vaSpread1->CellText(2, 1), u"路盤"_s);

    // Activated again: the list is rebuilt and every tick is back.
    w.hide();
    w.show();
    QCOMPARE(row(2), u"1|1|1|1"_s);
    QCOMPARE(row(3), u"1|1|1|1"_s);
}

void TestPrintSet::smallerProjectLeavesNoOldRows()
{
    AddFiveRecords();
    AddProject(u"K2"_s, 0);
    SetSections(u"K2"_s, {u"本線"_s});
    for (const QString &item : {u"高さ"_s, u"厚さ"_s, u"幅"_s})
        AddRecord(u"K2"_s, {u"表層"_s, u"本線"_s, item, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s}});
    TKosyu().RewriteList({u"路盤"_s, u"舗装"_s, u"表層"_s});
    TfrmPrintSet w;
    w.OpenForProject(u"K1:工事K1"_s, false);
    QCOMPARE(w.vaSpread1->CellText(2, 5), u"舗装"_s);
    w.OpenForProject(u"K2:工事K2"_s, false);
    QCOMPARE(w.vaSpread1->CellText(2, 3), u"表層"_s);
    for (int r = 4; r <= 8; ++r)
        for (int c = 1; c <= 8; ++c)
            QVERIFY(w.vaSpread1->CellText(c, r).isEmpty());
}

void TestPrintSet::jobsInRowOrder_data()
{
    QTest::addColumn<QList<TBatchRow>>("rows");
    QTest::addColumn<QStringList>("jobs");
    const TBatchRow none{0, {}, {}, {}, false, false, false};
    TBatchRow histogramOnly = none;
    histogramOnly.Histogram = true;
    TBatchRow all{0, {}, {}, {}, true, true, true};
    auto with = [](TBatchRow row, int id) {
        row.ID = id;
        return row;
    };
    QTest::newRow("histograms of rows 1 and 3")
        << QList<TBatchRow>{with(histogramOnly, 1), with(none, 2), with(histogramOnly, 3)}
        << QStringList{u"1 histogram"_s, u"3 histogram"_s};
    QTest::newRow("three forms a record, record after record")
        << QList<TBatchRow>{with(all, 3), with(all, 1)}
        << QStringList{u"3 datasheet"_s, u"3 histogram"_s, u"3 chart"_s, u"1 datasheet"_s, u"1 histogram"_s,
                       u"1 chart"_s};
    QTest::newRow("empty and vanished rows print nothing")
        << QList<TBatchRow>{with(all, 0), with(all, 99), with(none, 2)} << QStringList{};
}

void TestPrintSet::jobsInRowOrder()
{
    QFETCH(QList<TBatchRow>, rows);
    QFETCH(QStringList, jobs);
    AddSampleProject(0);
    QCOMPARE(JobsOf(rows), jobs);
}

void TestPrintSet::orientations_data()
{
    QTest::addColumn<int>("yoshiki");
    QTest::addColumn<int>("yosiki");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("height of 支庁") << 2 << 0 << QStringList{u"LAND"_s, u"LAND"_s, u"LAND"_s};
    QTest::newRow("width of 土木現業所") << 1 << 2 << QStringList{u"PORT"_s, u"PORT"_s, u"LAND"_s};
    QTest::newRow("thickness of 開発局") << 0 << 1 << QStringList{u"PORT"_s, u"PORT"_s, u"LAND"_s};
}

void TestPrintSet::orientations()
{
    QFETCH(int, yoshiki);
    QFETCH(int, yosiki);
    QFETCH(QStringList, expected);
    AddProject(u"K1"_s, yoshiki);
    TKosyu().RewriteList({u"路盤"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    const int id = AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"測定"_s, u"20"_s, u"-20"_s, u"㎜"_s,
                                       {u"1"_s, u"-2"_s, u"3"_s}, yosiki});
    TKelmo4Head head;
    head.LoadByID(id);
    QStringList got;
    for (TBatchForm form : {TBatchForm::DataSheet, TBatchForm::Histogram, TBatchForm::Chart}) {
        TPrevX job;
        DrawBatchForm(form, &job, head, false);
        QVERIFY(job.PageCount() >= 1);
        QStringList pages;
        for (int n = 1; n <= job.PageCount(); ++n)
            pages.append(Orientation(job.Page(n)));
        pages.removeDuplicates();
        got.append(pages.join(u','));
    }
    QCOMPARE(got, expected);
}

void TestPrintSet::batchToThePdfPrinterIsOneFile()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo is not installed");
    AddProject(u"K1"_s, 1);
    TKosyu().RewriteList({u"路盤"_s});
    SetSections(u"K1"_s, {u"A工区"_s});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"高さ"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s, u"2"_s}, 0});
    AddRecord(u"K1"_s, {u"路盤"_s, u"A工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s, u"2"_s}, 2});
    TfrmPrintSet w;
    w.OpenForProject(u"K1:工事K1"_s, false);
    w.vaSpread1->SetCellText(6, 2, QString()); // no histogram for the second record

    // The pages each ticked form has on its own, in batch order.
    QList<TBatchRow> rows = BatchRowsOfProject(u"K1"_s);
    QCOMPARE(rows.size(), 2);
    rows[1].Histogram = false;
    QStringList expected;
    RunBatch(rows, [&](TBatchForm form, const TKelmo4Head &head) {
        TPrevX job;
        DrawBatchForm(form, &job, head, false);
        for (int n = 1; n <= job.PageCount(); ++n)
            expected.append(Orientation(job.Page(n)));
        return true;
    });
    QVERIFY(expected.contains(u"PORT"_s) && expected.contains(u"LAND"_s));
    // The project's ばらつき集計表, ticked with the list, once after the records.
    QVERIFY(w.CheckBox1->isChecked());
    expected.append(u"PORT"_s);

    // The name the file dialog would be answered with.
    const QString file = QDir(m_env->Root()).filePath(u"一括.pdf"_s);
    NkPrinter().SetPdfFileName(file);
    QStringList printers;
    WhenModal("TfrmBatchPrintDialog", [&](QWidget *modal) {
        auto *dialog = static_cast<TfrmBatchPrintDialog *>(modal);
        for (int i = 0; i < dialog->PrinterBox->count(); ++i)
            printers.append(dialog->PrinterBox->itemText(i));
        dialog->CopiesBox->setValue(2);
        dialog->OkButton->click();
    });
    w.BitBtn1->click();
    QCOMPARE(printers, QStringList{TNkPrinter::PdfPrinterName()});
    QCOMPARE(QDir(m_env->Root()).entryList({u"*.pdf"_s}, QDir::Files), QStringList{u"一括.pdf"_s});
    const TPdfInfo info = ReadPdfInfo(file);
    QCOMPARE(info.Pages, int(expected.size()));
    QStringList got;
    for (const QSizeF &size : info.PageSizes)
        got.append(Orientation(size));
    QCOMPARE(got, expected);
    // The batch leaves the printer's copy count as it was.
    QCOMPARE(NkPrinter().Printer()->copyCount(), 1);
}

void TestPrintSet::cancelledDialogPrintsNothing()
{
    AddSampleProject(0);
    TfrmPrintSet w;
    w.OpenForProject(u"K1:工事K1"_s, false);
    // A job on the PDF printer would write this file without asking.
    const QString file = QDir(m_env->Root()).filePath(u"取消.pdf"_s);
    NkPrinter().SetPdfFileName(file);
    WhenModal("TfrmBatchPrintDialog", [&](QWidget *modal) {
        static_cast<TfrmBatchPrintDialog *>(modal)->CancelButton->click();
    });
    w.BitBtn1->click();
    QVERIFY(!QFileInfo::exists(file));
}

void TestPrintSet::exportPutsTheSamePagesInOneDocument()
{
    AddSampleProject(1);
    AddRecord(u"K1"_s, {u"舗装"_s, u"B工区"_s, u"幅"_s, u"20"_s, u"-20"_s, u"㎜"_s, {u"1"_s, u"3"_s}, 2});
    QStringList expected;
    QList<int> commands;
    RunBatch(BatchRowsOfProject(u"K1"_s), [&](TBatchForm form, const TKelmo4Head &head) {
        TPrevX job;
        DrawBatchForm(form, &job, head, false);
        for (int n = 1; n <= job.PageCount(); ++n) {
            expected.append(Orientation(job.Page(n)));
            commands.append(int(job.Page(n).Commands().size()));
        }
        return true;
    });
    QVERIFY(expected.contains(u"PORT"_s) && expected.contains(u"LAND"_s));
    // The ばらつき集計表 closes the batch, as the window's choice prints it.
    TPrevX tolerance;
    DrawToleranceDocument(&tolerance, u"K1"_s);
    QCOMPARE(tolerance.PageCount(), 1);
    expected.append(Orientation(tolerance.Page(1)));
    commands.append(int(tolerance.Page(1).Commands().size()));

    TPageNotes all;
    WriteBatchDocument(all, u"K1"_s, false);
    QCOMPARE(all.Orientations, expected);
    QCOMPARE(all.Commands, commands);
    QCOMPARE(BatchFileTitle(u"K1"_s), u"K1_一括印刷"_s); // what the PDF printer proposes

    // A sink that stops (a cancelled file name) gets no further page.
    TPageNotes stopping;
    stopping.StopAfter = 2;
    QCOMPARE(WriteBatchRows(stopping, BatchRowsOfProject(u"K1"_s), false, u"K1"_s, true), 1);
    QCOMPARE(stopping.Orientations.size(), 2);

    // A project without printable records is an error, not an empty document.
    TPageNotes none;
    QVERIFY_THROWS_EXCEPTION(EKelmoError, WriteBatchDocument(none, u"K9"_s, false));
    QVERIFY(none.Orientations.isEmpty());
}

void TestPrintSet::openedFromTheMainWindowMenu()
{
    AddSampleProject(0);
    TfrmPrintSet w;
    frmPrintSet = &w;
    {
        TfrmEditDekigata main;
        main.ComboBox1->SetText(u"K1:工事K1"_s);
        main.CheckBox2->setChecked(true);
        TfrmPrintSet::ConnectMenu(main);
        QVERIFY(main.actPrint->isEnabled());
        main.actPrint->trigger();
    }
    frmPrintSet = nullptr;
    QVERIFY(w.isVisible());
    QCOMPARE(w.Edit1->text(), u"K1:工事K1"_s);
    QCOMPARE(w.vaSpread1->CellText(2, 3), u"路盤"_s);
}

QTEST_MAIN(TestPrintSet)
#include "tst_PrintSet.moc"
