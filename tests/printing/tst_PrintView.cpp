#include "app/RegistryUtility.h"
#include "app/uApplication.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/UpDown.h"
#include "printing/fPrinterSetup.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPdfFileName.h"
#include "printing/uPrintView.h"
#include "support/PdfTools.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestPrintView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void controlsAndCaptions();
    void firstActivationFitsTheSheet_data();
    void firstActivationFitsTheSheet();
    void pageButtons_data();
    void pageButtons();
    void nextPageKeepsTheZoom();
    void printThisPageNarrowsTheRange();
    void spinnerStepsAndCentres();
    void wheelScrollsByTheIncrement();
    void shrinkingSpringsBack();
    void escapeCloses();
    void pdfSaveWritesTheWholeDocument();
    void documentFileTitle_data();
    void documentFileTitle();
    void pdfNameProposedInTheLastFolder_data();
    void pdfNameProposedInTheLastFolder();
    void printerSetupAppliesTheChoices();

private:
    // A window on a 1024 × 738 work area with a document of Pages pages.
    std::unique_ptr<TfrmPreView> MakeWindow(int pages);
    void Activate(QWidget *w);

    std::unique_ptr<TTestEnv> m_env;
};

void TestPrintView::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestPrintView::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    NkPrinter().SetPdfFileName(QString());
    SetPaper(u"A4"_s, u"PORT"_s);
}

void TestPrintView::cleanup()
{
    NkPrinter().SetPdfFileName(QString());
    m_env.reset();
}

std::unique_ptr<TfrmPreView> TestPrintView::MakeWindow(int pages)
{
    auto w = std::make_unique<TfrmPreView>();
    w->PlaceInWorkArea(QRect(0, 0, 1024, 738));
    TPrevX *prev = w->PrevX1;
    prev->BeginDoc();
    for (int n = 1; n <= pages; ++n) {
        if (n > 1)
            prev->NewPage();
        prev->Canvas()->Font().SetSize(20);
        DrawBoxText(prev->Canvas(), u"PAGE-"_s + QString::number(n), 0, 2, 2, 10, 3, 0);
    }
    prev->EndDoc();
    return w;
}

void TestPrintView::Activate(QWidget *w)
{
    if (!w->isActiveWindow()) {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    } else {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(w, &activate);
    }
    QCoreApplication::processEvents();
}

void TestPrintView::controlsAndCaptions()
{
    auto w = MakeWindow(1);
    QCOMPARE(w->windowTitle(), u"印刷プレビュー"_s);
    QCOMPARE(w->Label1->text(), u"倍率"_s);
    QCOMPARE(w->Button3->text(), u"前ページ"_s);
    QCOMPARE(w->Button4->text(), u"次ページ"_s);
    QCOMPARE(w->Button5->text(), u"このページを印刷"_s);
    QCOMPARE(w->Button1->text(), u"印刷(&P)"_s);
    QCOMPARE(w->Button2->text(), u"閉じる"_s);
    QCOMPARE(w->ButtonPdf->text(), u"PDF保存"_s);
    QCOMPARE(w->PrevX1->ZoomScale(), 100);
    QCOMPARE(w->PrevX1->size(), QSize(814, 1143));
    QCOMPARE(w->geometry(), QRect(0, 0, 1024, 738));
}

void TestPrintView::firstActivationFitsTheSheet_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("zoom");
    QTest::newRow("portrait") << u"PORT"_s << 50;
    QTest::newRow("landscape") << u"LAND"_s << 75;
}

void TestPrintView::firstActivationFitsTheSheet()
{
    QFETCH(QString, orientation);
    QFETCH(int, zoom);
    SetPaper(u"A4"_s, orientation);
    auto w = MakeWindow(1);
    w->show();
    QCOMPARE(w->ScrollBox1->size(), QSize(1015, 618));
    Activate(w.get());
    QCOMPARE(w->PrevX1->ZoomScale(), zoom);
    QCOMPARE(w->MaskEdit1->text(), QString::number(zoom));
    QCOMPARE(w->UpDown1->Position(), zoom);
    // Coming back to the window fits the same again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.get(), &activate);
    QCOMPARE(w->PrevX1->ZoomScale(), zoom);
}

void TestPrintView::pageButtons_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<bool>("next");
    QTest::newRow("one page") << 1 << 1 << false << false;
    QTest::newRow("page 1 of 3") << 3 << 1 << false << true;
    QTest::newRow("page 2 of 3") << 3 << 2 << true << true;
    QTest::newRow("page 3 of 3") << 3 << 3 << true << false;
}

void TestPrintView::pageButtons()
{
    QFETCH(int, pages);
    QFETCH(int, shown);
    QFETCH(bool, previous);
    QFETCH(bool, next);
    auto w = MakeWindow(pages);
    w->show();
    Activate(w.get());
    for (int i = 1; i < shown; ++i)
        QTest::mouseClick(w->Button4, Qt::LeftButton);
    QCOMPARE(w->PrevX1->CurrentPage(), shown);
    QCOMPARE(w->Button3->isEnabled(), previous);
    QCOMPARE(w->Button4->isEnabled(), next);
    if (previous) {
        QTest::mouseClick(w->Button3, Qt::LeftButton);
        QCOMPARE(w->PrevX1->CurrentPage(), shown - 1);
    }
}

void TestPrintView::nextPageKeepsTheZoom()
{
    auto w = MakeWindow(3);
    w->show();
    Activate(w.get());
    QCOMPARE(w->PrevX1->ZoomScale(), 50);
    QTest::mouseClick(w->UpDown1->UpButton(), Qt::LeftButton);
    QCOMPARE(w->PrevX1->ZoomScale(), 55);
    QTest::mouseClick(w->Button4, Qt::LeftButton);
    QCOMPARE(w->PrevX1->CurrentPage(), 2);
    QCOMPARE(w->PrevX1->ZoomScale(), 55);
    QCOMPARE(w->MaskEdit1->text(), u"55"_s);
}

void TestPrintView::printThisPageNarrowsTheRange()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo and pdftotext are not installed");
    auto w = MakeWindow(3);
    w->show();
    Activate(w.get());
    QTest::mouseClick(w->Button4, Qt::LeftButton);
    const QString single = m_env->Root() + u"/single.pdf"_s;
    NkPrinter().SetPdfFileName(single);
    QTest::mouseClick(w->Button5, Qt::LeftButton);
    QCOMPARE(w->PrevX1->PrintFrom(), 2);
    QCOMPARE(w->PrevX1->PrintTo(), 2);
    QCOMPARE(ReadPdfInfo(single).Pages, 1);

    const QString again = m_env->Root() + u"/again.pdf"_s;
    NkPrinter().SetPdfFileName(again);
    QTest::mouseClick(w->Button1, Qt::LeftButton);
    QCOMPARE(ReadPdfInfo(again).Pages, 1);
    QCOMPARE(PdfPageText(again, 1), u"PAGE-2"_s);
    QVERIFY(w->isVisible()); // the print buttons leave the window open
}

void TestPrintView::spinnerStepsAndCentres()
{
    auto w = MakeWindow(1);
    w->show();
    Activate(w.get());
    QCOMPARE(w->PrevX1->ZoomScale(), 50);
    QTest::mouseClick(w->UpDown1->DownButton(), Qt::LeftButton);
    QCOMPARE(w->PrevX1->ZoomScale(), 45);
    QCOMPARE(w->MaskEdit1->text(), u"45"_s);
    QCoreApplication::processEvents();
    // Smaller than the scrolling area: centred in it.
    const QSize size = w->PrevX1->size();
    QCOMPARE(size, w->PrevX1->SizeAtZoom(45));
    const QSize viewport = w->ScrollBox1->viewport()->size();
    QVERIFY(qAbs(w->PrevX1->x() - (viewport.width() - size.width()) / 2) <= 1);
    QVERIFY(qAbs(w->PrevX1->y() - (viewport.height() - size.height()) / 2) <= 1);

    // At the ends the spinner stops.
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(w->UpDown1->DownButton(), Qt::LeftButton);
    QCOMPARE(w->PrevX1->ZoomScale(), 25);
    for (int i = 0; i < 40; ++i)
        QTest::mouseClick(w->UpDown1->UpButton(), Qt::LeftButton);
    QCOMPARE(w->PrevX1->ZoomScale(), 200);
    QCoreApplication::processEvents();
    QCOMPARE(w->PrevX1->pos().y() <= 0, true); // larger: from the corner, scrolled
    // Typing into the zoom field changes nothing.
    w->MaskEdit1->setFocus();
    QTest::keyClicks(w->MaskEdit1, u"80"_s);
    QCOMPARE(w->PrevX1->ZoomScale(), 200);
}

void TestPrintView::wheelScrollsByTheIncrement()
{
    auto w = MakeWindow(1);
    w->show();
    Activate(w.get());
    w->PrevX1->SetZoomScale(150);
    w->PrevX1->FitSizeToLayout();
    QCoreApplication::processEvents();
    QScrollBar *bar = w->ScrollBox1->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    const int step = bar->singleStep();
    const QPoint at(100, 100);
    QWheelEvent down(at, w->PrevX1->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->PrevX1, &down);
    QCOMPARE(bar->value(), step);
    QApplication::sendEvent(w->PrevX1, &down);
    QCOMPARE(bar->value(), 2 * step);
    QWheelEvent up(at, w->PrevX1->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->PrevX1, &up);
    QCOMPARE(bar->value(), step);
}

void TestPrintView::shrinkingSpringsBack()
{
    auto w = MakeWindow(1);
    w->show();
    w->resize(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(w->frameGeometry().size(), QSize(640, 480));
    QCOMPARE(w->ScrollBox1->size(), QSize(631, 360));
    QCOMPARE(w->Button2->pos(), QPoint(640 - 93, 480 - 68));
    QCOMPARE(w->Button1->pos(), QPoint(640 - 173, 480 - 68));
    QCOMPARE(w->Button5->pos(), QPoint(640 - 285, 480 - 68));
}

void TestPrintView::escapeCloses()
{
    auto w = MakeWindow(1);
    QTimer::singleShot(0, w.get(), [&] { QTest::keyClick(w.get(), Qt::Key_Escape); });
    QCOMPARE(w->exec(), int(QDialog::Rejected));
    QTimer::singleShot(0, w.get(), [&] { QTest::mouseClick(w->Button2, Qt::LeftButton); });
    QCOMPARE(w->exec(), int(QDialog::Rejected));
}

void TestPrintView::pdfSaveWritesTheWholeDocument()
{
    if (!HavePdfTools())
        QSKIP("pdfinfo is not installed");
    auto w = MakeWindow(3);
    w->show();
    w->PrevX1->SetPrintFrom(2);
    w->PrevX1->SetPrintTo(2);
    const QString file = m_env->Root() + u"/saved"_s; // the suffix is added
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(w->ButtonPdf, Qt::LeftButton);
    const TPdfInfo info = ReadPdfInfo(file + u".pdf"_s);
    QCOMPARE(info.Pages, 3);
    QCOMPARE(PdfPageText(file + u".pdf"_s, 3), u"PAGE-3"_s);
}

void TestPrintView::documentFileTitle_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("title");
    QTest::newRow("every part") << QStringList{u"0001"_s, u"下層路盤"_s, u"第1工区"_s, u"基準高"_s, u"データシート"_s}
                                << u"0001_下層路盤_第1工区_基準高_データシート"_s;
    QTest::newRow("no section") << QStringList{u"0001"_s, u"下層路盤"_s, u"#"_s, u"基準高"_s, u"管理図"_s}
                                << u"0001_下層路盤_基準高_管理図"_s;
    QTest::newRow("empty and blank parts") << QStringList{u" 0002 "_s, QString(), u"　"_s, u"幅"_s}
                                           << u"0002_幅"_s;
    QTest::newRow("characters no file name holds")
        << QStringList{u"A/B"_s, u"路盤\\上:層"_s, u"a*b?c\"d<e>f|g"_s, u"x\ty"_s}
        << u"A_B_路盤_上_層_a_b_c_d_e_f_g_x_y"_s;
    QTest::newRow("trailing dots") << QStringList{u"0003"_s, u"幅..."_s, u"."_s} << u"0003_幅"_s;
}

void TestPrintView::documentFileTitle()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, title);
    QCOMPARE(DocumentFileTitle(parts), title);
}

void TestPrintView::pdfNameProposedInTheLastFolder_data()
{
    QTest::addColumn<bool>("pdfPrinter");
    QTest::newRow("PDF保存") << false;
    QTest::newRow("built-in PDF printer") << true;
}

void TestPrintView::pdfNameProposedInTheLastFolder()
{
    QFETCH(bool, pdfPrinter);
    const QString first = m_env->Root() + u"/first"_s;
    const QString second = m_env->Root() + u"/second"_s;
    QVERIFY(QDir().mkpath(first));
    QVERIFY(QDir().mkpath(second));
    WriteSetting(LastPdfFolderSetting(), first);

    auto w = MakeWindow(1);
    w->PrevX1->SetTitle(u"Ｘ管理図"_s);
    w->PrevX1->SetFileTitle(u"0001_下層路盤_基準高_管理図"_s);
    w->show();
    QPushButton *button = pdfPrinter ? w->Button1 : w->ButtonPdf;
    auto saveAs = [&](const QString &folder, const QString &name, QString *proposed) {
        QTimer::singleShot(0, this, [&, folder, name, proposed] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            *proposed = dialog->selectedFiles().value(0);
            dialog->selectFile(folder + u'/' + name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QTest::mouseClick(button, Qt::LeftButton);
    };

    QString proposed;
    saveAs(second, u"控え.pdf"_s, &proposed);
    QCOMPARE(proposed, first + u"/0001_下層路盤_基準高_管理図.pdf"_s);
    QVERIFY(QFileInfo(second + u"/控え.pdf"_s).size() > 0);
    QCOMPARE(w->LabelSaved->text(), u"PDFを保存しました: "_s + second + u"/控え.pdf"_s);

    // The folder just used is proposed next time; it is kept in the settings.
    QCOMPARE(ReadSetting(LastPdfFolderSetting()), second);
    saveAs(first, u"again.pdf"_s, &proposed);
    QCOMPARE(proposed, second + u"/0001_下層路盤_基準高_管理図.pdf"_s);

    // A folder that has gone is not proposed.
    QVERIFY(QDir(second).removeRecursively());
    QVERIFY(QDir(first).removeRecursively());
    QVERIFY(!ProposedPdfPath(u"x"_s).startsWith(first));
    QCOMPARE(QFileInfo(ProposedPdfPath(u"x"_s)).fileName(), u"x.pdf"_s);
}

void TestPrintView::printerSetupAppliesTheChoices()
{
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<TfrmPrinterSetup *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), u"プリンタの設定"_s);
        QCOMPARE(dialog->PrinterBox->currentText(), TNkPrinter::PdfPrinterName());
        dialog->PaperBox->setCurrentIndex(dialog->PaperBox->findText(u"A3"_s));
        dialog->LandscapeButton->setChecked(true);
        dialog->accept();
    });
    QVERIFY(ShowPrinterSetupDialog(nullptr));
    QCOMPARE(NkPrinter().PaperSizeNumber(), 8);
    QCOMPARE(NkPrinter().Orientation(), QPageLayout::Landscape);
    // Pages begun afterwards get the new sheet.
    TPrevX prev;
    prev.BeginDoc();
    QVERIFY(prev.Canvas()->Width() > prev.Canvas()->Height());
    QVERIFY(prev.Canvas()->Width() > 9000);

    NkPrinter().SetSource(TPrinterSource::None);
    QVERIFY_THROWS_EXCEPTION(EPrevError, ShowPrinterSetupDialog(nullptr));
}

QTEST_MAIN(TestPrintView)
#include "tst_PrintView.moc"
