// The summary table window driven as a user would: open, 検索, 初期化, edit, 登録.
#include "app/Errors.h"
#include "app/fListBox.h"
#include "app/fProgressBar.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "sheets/uDekigataTorimatome.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"
#include "TorimatomeFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace TorimatomeFixture;

namespace {

QStringList GridRow(const TfrmEditDekigataTorimatome &w, int row)
{
    QStringList cells;
    for (int c = 1; c <= 11; ++c)
        cells.append(w.vaSpread1->CellText(c, row));
    return cells;
}

bool AnyProgressWindowVisible()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<TfrmProgressBar *>(w) && w->isVisible())
            return true;
    }
    return false;
}
} // namespace

class TestTorimatomeWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controls();
    void initializeBuildsAndShowsTheRows();
    void registerKeepsRemarksRowNumbersAndEmptiesHash();
    void failedInitializeLeavesTableAndGrid();
    void refusedCellLeavesTheStoredRows();
    void noProjectIsRefused_data();
    void noProjectIsRefused();
    void searchChoosesAProject();
    void activationRefillsFromTheTable();
    void openedFromTheMainWindowMenu();

private:
    TTestEnv *m_env = nullptr;
};

void TestTorimatomeWindow::init()
{
    m_env = new TTestEnv;
    CreateTables();
    TDekigataTorimatome().CreateTableIfMissing();
}

void TestTorimatomeWindow::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestTorimatomeWindow::controls()
{
    TfrmEditDekigataTorimatome w;
    QCOMPARE(w.windowTitle(), u"出来形とりまとめ表"_s);
    QCOMPARE(w.Label1->text(), u"工事名"_s);
    QCOMPARE(w.Button1->text(), u"検索"_s);
    QCOMPARE(w.Button3->text(), u"初期化"_s);
    QCOMPARE(w.Button4->text(), u"プレビュー"_s);
    QCOMPARE(w.Button2->text(), u"登録"_s);
    QCOMPARE(w.BitBtn1->text(), u"閉じる(&C)"_s);
    QCOMPARE(w.vaSpread1->MaxCols(), 11);
    QCOMPARE(w.vaSpread1->MaxRows(), 500);
    QStringList headings;
    for (int c = 1; c <= 11; ++c)
        headings.append(w.vaSpread1->CellText(c, 0));
    QCOMPARE(headings, (QStringList{u"工種名"_s, u"測定項目"_s, u"工区"_s, u"測定基準"_s, u"規格値"_s, u"差単位"_s,
                                    u"測定回数"_s, u"最大値"_s, u"最小値"_s, u"平均値"_s, u"備考"_s}));
    // The table exists from the window's creation on.
    QVERIFY(TableExists(u"DekigataTorimatome4"_s));
}

void TestTorimatomeWindow::initializeBuildsAndShowsTheRows()
{
    AddSampleProject();
    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    QVERIFY(w.isVisible());
    QCOMPARE(w.vaSpread1->CellText(1, 1), QString());

    w.vaSpread1->SetCellText(11, 2, u"消える"_s);
    w.Button3->click();
    QVERIFY(!AnyProgressWindowVisible());
    QCOMPARE(GridRow(w, 1), (QStringList{u"路盤"_s, u"幅"_s, u"A工区"_s, QString(), u"±2"_s, u"㎝"_s, u"2"_s,
                                         u"2.0"_s, u"1.0"_s, u"1.50"_s, QString()}));
    QCOMPARE(GridRow(w, 2).at(0), u"舗装"_s);
    QCOMPARE(GridRow(w, 2).at(10), QString());
    QCOMPARE(GridRow(w, 3).mid(0, 3), (QStringList{u"路盤"_s, u"高さ"_s, u"B工区"_s}));
    QCOMPARE(w.vaSpread1->CellText(1, 4), QString());
    QCOMPARE(w.vaSpread1->ActiveCol(), 1);
    QCOMPARE(w.vaSpread1->ActiveRow(), 1);
    QCOMPARE(StoredRows(u"K1"_s).size(), 3);
}

void TestTorimatomeWindow::registerKeepsRemarksRowNumbersAndEmptiesHash()
{
    AddSampleProject();
    AddRecord(u"K1"_s, {u"舗装"_s, u"#"_s, u"高さ"_s, u"30"_s, QString(), u"㎜"_s, {u"4"_s}});
    {
        TfrmEditDekigataTorimatome w;
        w.OpenForProject(u"K1:工事K1"_s);
        w.Button3->click();
        // Row 4 is the record without section: its section shows empty.
        QCOMPARE(w.vaSpread1->CellText(1, 4), u"舗装"_s);
        QCOMPARE(w.vaSpread1->CellText(3, 4), QString());
        QVERIFY(StoredRows(u"K1"_s).at(3).contains(u"|#|"_s));

        w.vaSpread1->SetCellText(11, 1, u"検査済み"_s);
        w.vaSpread1->SetCellText(1, 7, u" 区画線"_s);
        w.vaSpread1->SetCellText(2, 7, u"幅 "_s);
        w.vaSpread1->SetCellText(1, 2, u"   "_s); // a blank work type drops the row
        w.Button2->click();
        w.close();
    }
    QCOMPARE(StoredRows(u"K1"_s), (QStringList{
                                      u"1|路盤|幅|A工区|±2|㎝|2|2.0|1.0|1.50|検査済み"_s,
                                      u"3|路盤|高さ|B工区|±20|㎜|3|10|-3|4.0|"_s,
                                      u"4|舗装|高さ|| ～ 30|㎜|1|4|4|4.0|"_s,
                                      u"7| 区画線|幅 ||||||||"_s,
                                  }));
    // Opened again: the remark and the row numbers are back.
    TfrmEditDekigataTorimatome again;
    again.OpenForProject(u"K1:工事K1"_s);
    QCOMPARE(again.vaSpread1->CellText(11, 1), u"検査済み"_s);
    QCOMPARE(again.vaSpread1->CellText(1, 2), QString());
    QCOMPARE(again.vaSpread1->CellText(1, 7), u" 区画線"_s);
}

void TestTorimatomeWindow::failedInitializeLeavesTableAndGrid()
{
    AddSampleProject();
    AddRecord(u"K1"_s, {u"舗装"_s, u"B工区"_s, u"高さ"_s, u"20"_s, u"-2O"_s, u"㎜"_s, {u"1"_s}});
    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    w.vaSpread1->SetCellText(1, 1, u"路盤"_s);
    w.vaSpread1->SetCellText(11, 1, u"手で書いた表"_s);
    w.vaSpread1->SetCellText(1, 9, u"舗装"_s);
    w.Button2->click();
    const QStringList before = StoredRows(u"K1"_s);
    QCOMPARE(before.size(), 2);

    try {
        w.Button3->click();
        QFAIL("no error");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), u"'-2O' は浮動小数点数ではありません"_s);
    }
    QVERIFY(!AnyProgressWindowVisible());
    QCOMPARE(StoredRows(u"K1"_s), before);
    QCOMPARE(w.vaSpread1->CellText(11, 1), u"手で書いた表"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 9), u"舗装"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 2), QString());
}

void TestTorimatomeWindow::refusedCellLeavesTheStoredRows()
{
    AddSampleProject();
    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    w.Button3->click();
    const QStringList before = StoredRows(u"K1"_s);
    w.vaSpread1->SetCellText(11, 1, u"一行目は入る"_s);
    w.vaSpread1->SetCellText(11, 3, QString(17, u'長')); // 34 bytes in a 32-byte column
    try {
        w.Button2->click();
        QFAIL("no error");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().startsWith(u"3 行目"_s), qPrintable(e.Message()));
    }
    QCOMPARE(StoredRows(u"K1"_s), before);
    QCOMPARE(w.vaSpread1->ActiveRow(), 3);
}

void TestTorimatomeWindow::noProjectIsRefused_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("初期化") << 3;
    QTest::newRow("登録") << 2;
    QTest::newRow("プレビュー") << 4;
}

void TestTorimatomeWindow::noProjectIsRefused()
{
    QFETCH(int, button);
    TfrmEditDekigataTorimatome w;
    w.show();
    w.vaSpread1->SetCellText(1, 1, u"路盤"_s);
    QString shown;
    WhenModal("QMessageBox", [&shown](QWidget *box) {
        shown = static_cast<QMessageBox *>(box)->text();
        box->close();
    });
    QPushButton *b = button == 3 ? w.Button3 : button == 2 ? w.Button2 : w.Button4;
    b->click();
    QCOMPARE(shown, u"工事が選択されていません"_s);
    QCOMPARE(StoredRows(QString()), QStringList());
}

void TestTorimatomeWindow::searchChoosesAProject()
{
    AddSampleProject();
    AddProject(u"K2"_s, 0);
    TDekigataTorimatome row;
    row.Koji->LoadByCode(u"K2"_s);
    row.LNo = 2;
    row.Kosyumei = u"舗装"_s;
    row.Save();

    TfrmEditDekigataTorimatome w;
    w.show();
    QStringList offered;
    WhenModal("TfrmListBox", [&offered](QWidget *modal) {
        auto *picker = static_cast<TfrmListBox *>(modal);
        for (int i = 0; i < picker->ListBox1->count(); ++i)
            offered.append(picker->ListBox1->item(i)->text());
        picker->ListBox1->setCurrentRow(0);
        picker->Button1->click();
    });
    w.Button1->click();
    QCOMPARE(offered, (QStringList{u"K2:工事K2"_s, u"K1:工事K1"_s}));
    QCOMPARE(w.Edit1->text(), u"K2:工事K2"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 2), u"舗装"_s);

    // OK with nothing chosen changes nothing.
    WhenModal("TfrmListBox", [](QWidget *modal) {
        auto *picker = static_cast<TfrmListBox *>(modal);
        picker->ListBox1->clearSelection();
        picker->ListBox1->setCurrentItem(nullptr);
        picker->Button1->click();
    });
    w.Button1->click();
    QCOMPARE(w.Edit1->text(), u"K2:工事K2"_s);
}

void TestTorimatomeWindow::activationRefillsFromTheTable()
{
    AddSampleProject();
    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    w.vaSpread1->SetCellText(1, 5, u"保存していない"_s);
    TDekigataTorimatome row;
    row.Koji->LoadByCode(u"K1"_s);
    row.LNo = 3;
    row.Kosyumei = u"別の窓で保存"_s;
    row.Save();
    w.hide();
    w.show();
    QCOMPARE(w.vaSpread1->CellText(1, 3), u"別の窓で保存"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 5), QString());

    // Opening for another project while open shows that project's rows.
    w.OpenForProject(u"K9:なし"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 3), QString());
}

void TestTorimatomeWindow::openedFromTheMainWindowMenu()
{
    AddSampleProject();
    TfrmEditDekigataTorimatome w;
    frmEditDekigataTorimatome = &w;
    {
        TfrmEditDekigata main;
        main.ComboBox1->SetText(u"K1:工事K1"_s);
        QVERIFY(!main.actSummary->isEnabled());
        TfrmEditDekigataTorimatome::ConnectMenu(main);
        QVERIFY(main.actSummary->isEnabled());
        main.actSummary->trigger();
    }
    frmEditDekigataTorimatome = nullptr;
    QVERIFY(w.isVisible());
    QCOMPARE(w.Edit1->text(), u"K1:工事K1"_s);
    QCOMPARE(w.Record()->Koji->Code, u"K1"_s);
}

QTEST_MAIN(TestTorimatomeWindow)
#include "tst_TorimatomeWindow.moc"
