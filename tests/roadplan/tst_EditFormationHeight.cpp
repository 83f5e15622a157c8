#include "app/uDatabase.h"
#include "app/uSpread.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKoji.h"
#include "roadplan/fEditFormationHeight.h"
#include "roadplan/uFormationHeight.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

namespace {

// A cell typed by the user: the grid reports it as a change.
void Type(TSpread *grid, int col, int row, const QString &text)
{
    grid->Model()->setData(grid->Model()->index(row - 1, col - 1), text, Qt::EditRole);
}

// The cursor moved by the user from one cell to another.
void Move(TSpread *grid, int col, int row, int newCol, int newRow)
{
    grid->SetActiveCell(col, row);
    grid->setCurrentIndex(grid->Model()->index(newRow - 1, newCol - 1));
}

// Answers the next message box with Button and remembers its text.
void AnswerNextMessage(QMessageBox::StandardButton button, QString *text)
{
    QTimer::singleShot(0, [button, text] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                if (text)
                    *text = box->text();
                box->button(button)->click();
                return;
            }
        }
    });
}

QStringList MenuTexts(QMenuBar *bar)
{
    QStringList texts;
    for (QAction *menu : bar->actions()) {
        texts << menu->text();
        for (QAction *item : menu->menu()->actions())
            texts << u"  "_s + item->text();
    }
    return texts;
}

} // namespace

class TestEditFormationHeight : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layoutAndMenus();
    void typingRecomputesTheRow();
    void stationAutoFill();
    void interpolateWithCtrlG();
    void checkAllButton();
    void transferIntoMeasurementGrid();
    void saveWithoutProjectIsRefused();
    void activationReloadsButKeepsEdits();
    void otherProjectStartsFromItsOwnPlan();
    void rowCommands();
    void resizeKeepsBottomRow();

private:
    TTestEnv *m_env = nullptr;
    TKelmo4Head *m_head = nullptr;
    TfrmEditFormationHeight *m_form = nullptr;
};

void TestEditFormationHeight::init()
{
    m_env = new TTestEnv;
    m_head = new TKelmo4Head;
    m_head->Koji->Code = u"K001"_s;
    m_form = new TfrmEditFormationHeight;
    m_form->SetHeader(m_head);
}

void TestEditFormationHeight::cleanup()
{
    delete m_form;
    delete m_head;
    delete m_env;
    m_form = nullptr;
    m_head = nullptr;
    m_env = nullptr;
}

void TestEditFormationHeight::layoutAndMenus()
{
    QVERIFY(TableExists(u"TakasaFormation"_s));
    QCOMPARE(m_form->windowTitle(), u"路面計画の入力"_s);
    TSpread *grid = m_form->vaSpread1;
    QCOMPARE(grid->MaxCols(), 13);
    QCOMPARE(grid->MaxRows(), 500);
    QStringList headings;
    for (int c = 1; c <= 13; ++c)
        headings << grid->CellText(c, 0);
    QCOMPARE(headings, (QStringList{u"転送"_s, u"測点"_s, u"距離"_s, u"設計高(L)"_s, u"幅員(L)"_s,
                                    u"勾配(L)"_s, u"計画値(C)"_s, u"勾配(R)"_s, u"幅員(R)"_s,
                                    u"計画値(R)"_s, u"縦断勾配"_s, u"ﾄﾝﾎﾞ(L)"_s, u"ﾄﾝﾎﾞ(R)"_s}));
    QCOMPARE(grid->CellType(1, 500), TSpreadCellType::CheckBox);
    QCOMPARE(grid->CellType(2, 1), TSpreadCellType::Edit);
    QCOMPARE(m_form->Label1->text(), u"測点距離"_s);
    QCOMPARE(m_form->Edit1->text(), u"40"_s);
    QCOMPARE(m_form->Button1->text(), u"すべてにチェック"_s);
    QCOMPARE(m_form->Button2->text(), u"保存"_s);
    QCOMPARE(m_form->Button3->text(), u"印刷"_s);
    QCOMPARE(m_form->Button4->text(), u"閉じる(&C)"_s);
    QCOMPARE(MenuTexts(m_form->menuBar()),
             (QStringList{u"ファイル"_s, u"  データ読込"_s, u"  データ保存"_s, u"  データ削除"_s, u"  印刷"_s,
                          u"  閉じる"_s, u"編集"_s, u"  行挿入"_s, u"  行削除"_s, u"データ"_s,
                          u"  測点距離セット"_s, u"  設計値自動入力"_s, u"  データ転送"_s}));
    QCOMPARE(m_form->actInterpolate->shortcut(), QKeySequence(u"Ctrl+G"_s));
}

void TestEditFormationHeight::typingRecomputesTheRow()
{
    TSpread *grid = m_form->vaSpread1;
    Type(grid, StationColumn, 1, u"0"_s);
    Type(grid, CentreHeightColumn, 1, u"100"_s);
    Type(grid, StationColumn, 2, u"40"_s);
    Type(grid, DistanceColumn, 2, u"40"_s);
    Type(grid, LeftWidthColumn, 2, u"3.5"_s);
    QCOMPARE(grid->CellText(LeftHeightColumn, 2), QString()); // no crossfall yet
    Type(grid, LeftSlopeColumn, 2, u"2"_s);
    QCOMPARE(grid->CellText(LeftHeightColumn, 2), u"-0.070"_s);
    Type(grid, CentreHeightColumn, 2, u"100.5"_s);
    QCOMPARE(grid->CellText(LeftHeightColumn, 2), u"100.430"_s);
    QCOMPARE(grid->CellText(RightSightColumn, 2), u"100.500"_s);
    QCOMPARE(grid->CellText(GradientColumn, 2), u"1.2500"_s);
    QCOMPARE(grid->CellText(GradientColumn, 1), QString());
    QVERIFY(m_form->IsModified());

    // Changing the first row's centre height recomputes the gradient into row 2.
    Type(grid, CentreHeightColumn, 1, u"101"_s);
    QCOMPARE(grid->CellText(GradientColumn, 2), u"-1.2500"_s);
}

void TestEditFormationHeight::stationAutoFill()
{
    TSpread *grid = m_form->vaSpread1;
    for (int r = 1; r <= 5; ++r)
        grid->SetCellText(StationColumn, r, QString::number((r - 1) * 40));
    Move(grid, StationColumn, 5, StationColumn, 6);
    QCOMPARE(grid->CellText(StationColumn, 6), u"200"_s);
    // Leaving for another column of a new row fills that row too, with the edit's interval.
    m_form->Edit1->setText(u"20"_s);
    Move(grid, StationColumn, 6, CentreHeightColumn, 7);
    QCOMPARE(grid->CellText(StationColumn, 7), u"220"_s);
    // Leaving another column fills nothing.
    Move(grid, CentreHeightColumn, 7, CentreHeightColumn, 8);
    QCOMPARE(grid->CellText(StationColumn, 8), QString());

    // Row 1 is never filled.
    grid->ClearAll();
    Move(grid, StationColumn, 2, StationColumn, 1);
    QCOMPARE(grid->CellText(StationColumn, 1), QString());
}

void TestEditFormationHeight::interpolateWithCtrlG()
{
    // Shown first: its activation loads the (empty) stored plan.
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));

    TSpread *grid = m_form->vaSpread1;
    for (int r = 1; r <= 3; ++r)
        grid->SetCellText(StationColumn, r, QString::number((r - 1) * 20));
    grid->SetCellText(CentreHeightColumn, 1, u"100"_s);
    grid->SetCellText(CentreHeightColumn, 3, u"101"_s);

    // Without a block nothing happens.
    grid->SetActiveCell(CentreHeightColumn, 2);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(grid->CellText(CentreHeightColumn, 2), QString());
    QCOMPARE(grid->CellText(DistanceColumn, 1), QString());

    grid->SetSelectedBlock({CentreHeightColumn, 1, CentreHeightColumn, 3});
    QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(grid->CellText(DistanceColumn, 3), u"20.00"_s);
    QCOMPARE(grid->CellText(CentreHeightColumn, 1), u"100.000"_s);
    QCOMPARE(grid->CellText(CentreHeightColumn, 2), u"100.500"_s);
    QCOMPARE(grid->CellText(CentreHeightColumn, 3), u"101.000"_s);
    QCOMPARE(grid->CellText(GradientColumn, 3), u"2.5000"_s);
}

void TestEditFormationHeight::checkAllButton()
{
    TSpread *grid = m_form->vaSpread1;
    grid->SetCellText(StationColumn, 1, u"0"_s);
    grid->SetCellText(StationColumn, 3, u"80"_s);
    QTest::mouseClick(m_form->Button1, Qt::LeftButton);
    QCOMPARE(m_form->Button1->text(), u"すべてはずす"_s);
    QCOMPARE(grid->CellText(1, 1), u"1"_s);
    QCOMPARE(grid->CellText(1, 2), QString());
    QCOMPARE(grid->CellText(1, 3), u"1"_s);
    QTest::mouseClick(m_form->Button1, Qt::LeftButton);
    QCOMPARE(m_form->Button1->text(), u"すべてにチェック"_s);
    QCOMPARE(grid->CellText(1, 1), QString());
    QCOMPARE(grid->CellText(1, 3), QString());
}

void TestEditFormationHeight::transferIntoMeasurementGrid()
{
    TSpread measure;
    measure.SetMaxCols(GridLayout::ColumnCount);
    measure.SetMaxRows(GridLayout::RowCount);
    measure.SetCellText(4, 1, u"10.512"_s);
    m_form->SetMeasureGrid(&measure);

    TSpread *grid = m_form->vaSpread1;
    for (int r = 1; r <= 3; ++r) {
        grid->SetCellText(StationColumn, r, u"No.%1"_s.arg(r));
        grid->SetCellText(LeftHeightColumn, r, u"9.%1"_s.arg(r));
        grid->SetCellText(CentreHeightColumn, r, u"10.%1"_s.arg(r));
        grid->SetCellText(RightHeightColumn, r, u"11.%1"_s.arg(r));
    }
    QCOMPARE(m_form->TransferPlan(), 0);
    QCOMPARE(measure.CellText(1, 1), QString());

    Type(grid, 1, 2, QString()); // untouched box stays empty
    grid->Model()->setData(grid->Model()->index(2, 0), int(Qt::Checked), Qt::CheckStateRole);
    QCOMPARE(grid->CellText(1, 3), u"1"_s);
    m_form->actTransfer->trigger();
    QCOMPARE(measure.CellText(1, 1), u"No.3"_s);
    QCOMPARE(measure.CellText(3, 1), u"9.3"_s);
    QCOMPARE(measure.CellText(6, 1), u"10.3"_s);
    QCOMPARE(measure.CellText(9, 1), u"11.3"_s);
    QCOMPARE(measure.CellText(4, 1), u"10.512"_s);
    QCOMPARE(measure.CellText(1, 2), QString());
}

void TestEditFormationHeight::saveWithoutProjectIsRefused()
{
    m_head->Koji->Code.clear();
    m_form->vaSpread1->SetCellText(StationColumn, 1, u"0"_s);
    QString text;
    AnswerNextMessage(QMessageBox::Ok, &text);
    QTest::mouseClick(m_form->Button2, Qt::LeftButton);
    QCOMPARE(text, u"工事が選択されていません"_s);
    QCOMPARE(FormationPlan::StoredRowCount(QString()), 0);

    m_head->Koji->Code = u"K001"_s;
    QTest::mouseClick(m_form->Button2, Qt::LeftButton);
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 1);
    QVERIFY(!m_form->IsModified());
}

void TestEditFormationHeight::activationReloadsButKeepsEdits()
{
    TPlanCells stored;
    stored.SetCell(StationColumn, 1, u"0"_s);
    stored.SetCell(CentreHeightColumn, 1, u"100"_s);
    stored.SetCell(StationColumn, 3, u"80"_s);
    FormationPlan::SavePlan(u"K001"_s, stored);

    TSpread *grid = m_form->vaSpread1;
    m_form->FormActivate();
    QCOMPARE(grid->CellText(StationColumn, 3), u"80"_s);
    QCOMPARE(grid->CellText(CentreHeightColumn, 1), u"100"_s);
    QCOMPARE(grid->CellText(DistanceColumn, 2), QString()); // the gap stays

    // An edit not saved survives coming back to the window.
    Type(grid, CentreHeightColumn, 1, u"120"_s);
    m_form->FormActivate();
    QCOMPARE(grid->CellText(CentreHeightColumn, 1), u"120"_s);

    // "データ読込" is asked for: the stored rows come back over the edit.
    m_form->actLoad->trigger();
    QCOMPARE(grid->CellText(CentreHeightColumn, 1), u"100"_s);
    QVERIFY(!m_form->IsModified());

    // With nothing edited, an activation shows what another window stored meanwhile.
    stored.SetCell(CentreHeightColumn, 1, u"105"_s);
    FormationPlan::SavePlan(u"K001"_s, stored);
    m_form->FormActivate();
    QCOMPARE(grid->CellText(CentreHeightColumn, 1), u"105"_s);

    // "データ削除" removes the stored plan and leaves the grid.
    m_form->actDelete->trigger();
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 0);
    QCOMPARE(grid->CellText(StationColumn, 3), u"80"_s);
}

void TestEditFormationHeight::otherProjectStartsFromItsOwnPlan()
{
    TPlanCells other;
    other.SetCell(StationColumn, 1, u"No.0"_s);
    FormationPlan::SavePlan(u"K002"_s, other);

    TSpread *grid = m_form->vaSpread1;
    m_form->FormActivate();
    Type(grid, StationColumn, 1, u"0"_s);
    Type(grid, StationColumn, 2, u"40"_s);

    // Another project in the main window: the edits of K001 are offered for saving, and
    // none of its rows stays behind in K002's plan.
    m_head->Koji->Code = u"K002"_s;
    QString text;
    AnswerNextMessage(QMessageBox::Yes, &text);
    m_form->FormActivate();
    QVERIFY(text.contains(u"K001"_s));
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 2);
    QCOMPARE(grid->CellText(StationColumn, 1), u"No.0"_s);
    QCOMPARE(grid->CellText(StationColumn, 2), QString());

    // Declining keeps the stored plan of K002 as it was.
    Type(grid, StationColumn, 2, u"No.1"_s);
    m_head->Koji->Code = u"K001"_s;
    AnswerNextMessage(QMessageBox::No, nullptr);
    m_form->FormActivate();
    QCOMPARE(FormationPlan::StoredRowCount(u"K002"_s), 1);
    QCOMPARE(grid->CellText(StationColumn, 2), u"40"_s);
}

void TestEditFormationHeight::rowCommands()
{
    TSpread *grid = m_form->vaSpread1;
    for (int r = 1; r <= 3; ++r)
        grid->SetCellText(StationColumn, r, QString::number(r));
    grid->SetCellText(StationColumn, 500, u"last"_s);
    grid->SetActiveCell(StationColumn, 2);
    m_form->actInsertRow->trigger();
    QCOMPARE(grid->CellText(StationColumn, 2), QString());
    QCOMPARE(grid->CellText(StationColumn, 3), u"2"_s);
    QCOMPARE(grid->CellText(StationColumn, 500), QString());
    m_form->actDeleteRow->trigger();
    QCOMPARE(grid->CellText(StationColumn, 2), u"2"_s);
    QCOMPARE(grid->CellText(StationColumn, 3), u"3"_s);
}

void TestEditFormationHeight::resizeKeepsBottomRow()
{
    m_form->resize(900, 500);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    const auto bottomGap = [this](QWidget *w) {
        return m_form->height() - w->mapTo(m_form, QPoint(0, w->height())).y();
    };
    const int gridHeight = m_form->vaSpread1->height();
    const int labelGap = bottomGap(m_form->Label1);
    const int editGap = bottomGap(m_form->Edit1);
    const int buttonGap = bottomGap(m_form->Button1);

    m_form->resize(900, 700);
    QTRY_COMPARE(m_form->vaSpread1->height(), gridHeight + 200);
    QCOMPARE(bottomGap(m_form->Label1), labelGap);
    QCOMPARE(bottomGap(m_form->Edit1), editGap);
    QCOMPARE(bottomGap(m_form->Button1), buttonGap);
}

QTEST_MAIN(TestEditFormationHeight)
#include "tst_EditFormationHeight.moc"
