#include "app/Errors.h"
#include "app/RegistryUtility.h"
#include "app/fSmallListBox.h"
#include "app/uDekigataDef.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "support/TestEnv.h"

#include <QtTest>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include "app/uDatabase.h"

using namespace Qt::Literals::StringLiterals;

namespace {
// What a user registers before the first measurement.
void RegisterMasterData()
{
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKoji koji;
    koji.Code = u"0001"_s;
    koji.Kojimei = u"道路改良工事"_s;
    koji.Yoshiki = 1;
    koji.Save();
    koji.Code = u"0002"_s;
    koji.Kojimei = u"舗装工事"_s;
    koji.Save();
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"路盤工"_s, u"表層工"_s});
    TSimei simei;
    simei.Simei = u"山田太郎"_s;
    simei.Furigana = u"やまだ"_s;
    simei.Save();
    TKikakuti4 standard;
    standard.CreateTableIfMissing();
    standard.Kubun = 1;
    standard.Kosyu->LoadByName(u"路盤工"_s);
    standard.Koumokumei = u"高さ"_s;
    standard.KikakutiU1 = u"+50"_s;
    standard.KikakutiD1 = u"-50"_s;
    standard.KikakutiU2 = u"40"_s;
    standard.KikakutiD2 = u"-40"_s;
    standard.Save();
}

void SetHeightDefaults()
{
    TDekigataDef &def = DekigataDef();
    const QStringList height = {u"ｍ"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"20"_s};
    const QStringList thickness = {u"㎝"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"10"_s};
    for (int k = 1; k <= 6; ++k) {
        def.SetUnits(k, 1, height[k - 1]);
        def.SetUnits(k, 2, thickness[k - 1]);
        def.SetUnits(k, 3, thickness[k - 1]);
    }
}

// Opens the list as the user does and picks the item.
void Choose(TDropDownBox *box, const QString &text)
{
    box->showPopup();
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    box->hidePopup();
    Q_EMIT box->activated(index);
}

void TypeText(QWidget *box, const QString &text)
{
    QLineEdit *edit = qobject_cast<QLineEdit *>(box);
    if (!edit)
        edit = static_cast<QComboBox *>(box)->lineEdit();
    // As typed (an input method delivers Japanese text in one piece): textEdited, not setText.
    edit->selectAll();
    if (text.isEmpty())
        edit->del();
    else
        edit->insert(text);
}

// A cell typed into the grid and confirmed.
void TypeCell(TSpread *grid, int col, int row, const QString &text)
{
    TSpreadModel *model = grid->Model();
    model->setData(model->index(row - 1, col - 1), text, Qt::EditRole);
}

// The cursor moving from one cell to another, as arrow keys or clicks move it.
void MoveTo(TSpread *grid, int col, int row)
{
    grid->setCurrentIndex(grid->Model()->index(row - 1, col - 1));
}

void ClickRadio(TfrmEditDekigata &w, int index)
{
    const auto buttons = w.RadioGroup1->findChildren<QRadioButton *>();
    QTest::mouseClick(buttons.at(index), Qt::LeftButton);
}

QStringList Totals(TfrmEditDekigata &w)
{
    return {w.vaSpread3->CellText(1, 1), w.vaSpread3->CellText(1, 2), w.vaSpread3->CellText(1, 3)};
}

// Answers the next modal dialog from the event loop.
void AnswerNextDialog(std::function<void(QDialog *)> answer)
{
    QTimer::singleShot(0, [answer] {
        QDialog *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            AnswerNextDialog(answer);
            return;
        }
        answer(dialog);
    });
}
} // namespace

using TGridCellTexts = QList<QPair<int, QString>>;

class TestEditDekigata : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layoutAndTabOrder();
    void registerAndReloadAfterRestart();
    void lookUpWithoutRecordKeepsUnits();
    void sectionHashShowsEmpty();
    void overLongRemarkKeepsStoredLines();
    void activationFromModelessWindowKeepsRecord();
    void recordLimitsDecimalsAndTypedForms();
    void unsavedEditsAreAskedFor();
    void proposalsAloneAreNoLines();
    void windowGrowsAndRemembersItsSize();
    void thicknessHidesSideGroupsAndCarriesDesign();
    void yukouAndDisplayDecimals();
    void statusBarToggles();
    void positionPickerOnRightClick();
    void deleteKeepsGridAndPrintRegistersFirst();
    void eightyPercentMirrorsSetting();
    void projectPanelPicksRecord();
    void toleranceFiguresFollowTyping();
    void enteredRowsComputeAsTyped_data();
    void enteredRowsComputeAsTyped();

private:
    TTestEnv *m_env = nullptr;
};

void TestEditDekigata::init()
{
    m_env = new TTestEnv;
    RegisterMasterData();
    SetHeightDefaults();
}

void TestEditDekigata::cleanup()
{
    SetRecordPrintRoutine(TRecordForm::DataSheet, {});
    delete m_env;
    m_env = nullptr;
}

void TestEditDekigata::layoutAndTabOrder()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), u"ケルモ"_s);
    QCOMPARE(w.centralWidget()->width(), 924);
    QCOMPARE(w.centralWidget()->height() + w.statusBar()->height(), 420);
    QCOMPARE(w.Panel1->toolTip(), u"工事内の工種+項目+工区リスト"_s);
    QCOMPARE(w.Panel2->toolTip(), u"工種+項目リスト"_s);
    QCOMPARE(w.centralWidget()->toolTip(), u"工事名の登録はメニューの「データ～工事の登録」から行ってください。"_s);
    QVERIFY(w.StatusPanels[0]->text().startsWith(u"Ver.1."_s));
    QCOMPARE(w.StatusPanels[1]->text(), u"上書"_s);
    QVERIFY(!w.actImportCsv->isEnabled() && !w.actExportRecord->isEnabled()); // until connected
    // The first activation applies "高さ" with its defaults.
    QCOMPARE(w.FormType(), 0);
    QCOMPARE(w.ComboBox7->Text(), u"ｍ"_s);
    QCOMPARE(w.Edit2->text(), u"1"_s);
    QCOMPARE(w.Edit5->text(), u"20"_s);
    QCOMPARE(w.ComboBox6->Text(), u"高さ"_s);

    // Tab walks the controls in their order.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QList<QWidget *> expected = {w.ComboBox1, w.ComboBox2, w.ComboBox3, w.ComboBox6, w.ComboBox5,
                                       w.ComboBox4, w.Edit5,     w.ComboBox7, w.ComboBox8, w.Edit2,
                                       w.Edit3,     w.Edit4};
    w.ComboBox1->setFocus();
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        QVERIFY2(now == expected[i] || now->parentWidget() == expected[i], qPrintable(QString::number(i)));
    }
}

void TestEditDekigata::registerAndReloadAfterRestart()
{
    int id = 0;
    {
        TfrmEditDekigata w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Choose(w.ComboBox1, u"0001:道路改良工事"_s);
        Choose(w.ComboBox2, u"路盤工"_s);
        // Choosing the work type shows the register's limits for "高さ".
        QCOMPARE(w.vaSpread2->CellText(1, 1), u"+50"_s);
        QCOMPARE(w.vaSpread2->CellText(2, 2), u"-40"_s);
        TypeText(w.ComboBox3, u"第1工区"_s);
        TypeText(w.ComboBox5, u"2003/05/07"_s);
        Choose(w.ComboBox4, u"山田太郎"_s);

        TypeCell(w.vaSpread1, 1, 1, u"No.0"_s);
        for (int r = 1; r <= 10; ++r) {
            if (r > 1) {
                MoveTo(w.vaSpread1, 6, r - 1);
                MoveTo(w.vaSpread1, 1, r); // the next station is proposed
            }
            TypeCell(w.vaSpread1, 6, r, u"10.5"_s);
            TypeCell(w.vaSpread1, 7, r, QString::number(10.5 + (r % 3 - 1) * 0.004, 'f', 3));
        }
        QCOMPARE(w.vaSpread1->CellText(1, 10), u"No.180"_s);
        QCOMPARE(w.vaSpread1->CellText(6, 1), u"10.500"_s);
        QCOMPARE(w.vaSpread1->CellText(8, 1), u"0"_s);
        QCOMPARE(w.vaSpread1->CellText(8, 2), u"4"_s);
        QCOMPARE(w.vaSpread1->CellText(8, 3), u"-4"_s);
        // 3 × +4, 3 × −4, 4 × 0 (rows 1, 4, 7, 10 are 0): sum 0 over 10 stations.
        QCOMPARE(Totals(w), (QStringList{u"0"_s, u"10"_s, u"0.0"_s}));
        TypeCell(w.vaSpread1, 8, 10, u"6"_s); // a difference typed gives the measured value
        QCOMPARE(w.vaSpread1->CellText(7, 10), u"10.506"_s);
        QCOMPARE(Totals(w), (QStringList{u"6"_s, u"10"_s, u"0.6"_s}));
        TypeCell(w.vaSpread1, 12, 3, u"2003/5/7"_s);
        TypeCell(w.vaSpread1, 2, 3, u"CL"_s);

        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
        id = w.Head()->ID;
        QVERIFY(id > 0);
        QCOMPARE(w.StatusPanels[3]->text(), QString::number(id));
        QCOMPARE(w.Head()->LineCount(), 10);
        // A second "登録" replaces, it does not add.
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
        QCOMPARE(w.Head()->ID, id);
        QCOMPARE(w.Head()->LineCount(), 10);
    }

    // Like a restart: a fresh window over the same tables.
    TDatabase::Close();
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.vaSpread1->CellText(1, 1), QString());
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    Choose(w.ComboBox3, u"第1工区"_s);
    QCOMPARE(w.StatusPanels[3]->text(), QString::number(id));
    QCOMPARE(w.vaSpread1->CellText(1, 10), u"No.180"_s);
    QCOMPARE(w.vaSpread1->CellText(7, 10), u"10.506"_s);
    QCOMPARE(w.vaSpread1->CellText(2, 3), u"CL"_s);
    QCOMPARE(w.vaSpread1->CellText(12, 3), u"2003/5/7"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 11), QString());
    QCOMPARE(Totals(w), (QStringList{u"6"_s, u"10"_s, u"0.6"_s}));
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+50"_s);
    QCOMPARE(w.ComboBox5->Text(), u"2003/05/07"_s);
    QCOMPARE(w.ComboBox4->Text(), u"山田太郎"_s);
    QCOMPARE(w.ComboBox7->Text(), u"ｍ"_s);
    QCOMPARE(w.Edit4->text(), u"0.1"_s);
    QCOMPARE(w.Head()->GetDateRangeText(), u"5月7日:5月7日"_s);
    // The lists offer what was registered.
    w.ComboBox5->showPopup();
    QCOMPARE(w.ComboBox5->findText(u"2003/05/07"_s), 0);
    w.ComboBox5->hidePopup();
}

void TestEditDekigata::lookUpWithoutRecordKeepsUnits()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    Choose(w.ComboBox4, u"山田太郎"_s);
    TypeText(w.ComboBox7, u"㎝"_s);
    TypeCell(w.vaSpread1, 6, 1, u"20"_s);
    TypeCell(w.vaSpread1, 7, 1, u"21.5"_s);
    QCOMPARE(w.vaSpread1->CellText(8, 1), u"15"_s);
    TypeText(w.ComboBox3, u"新工区"_s);
    AnswerNextDialog([](QDialog *d) { static_cast<QMessageBox *>(d)->button(QMessageBox::No)->click(); });
    Q_EMIT w.ComboBox3->activated(-1);
    QCOMPARE(w.vaSpread1->CellText(6, 1), QString());
    // No record: the register's standard for the key on screen.
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+50"_s);
    QCOMPARE(Totals(w), (QStringList{u"0"_s, u"0"_s, QString()}));
    QCOMPARE(w.ComboBox7->Text(), u"㎝"_s);
    QCOMPARE(w.ComboBox4->Text(), u"山田太郎"_s);
}

void TestEditDekigata::sectionHashShowsEmpty()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0002:舗装工事"_s);
    Choose(w.ComboBox2, u"表層工"_s);
    TypeText(w.ComboBox5, u"not a date"_s);
    TypeCell(w.vaSpread1, 6, 1, u"1"_s);
    TypeCell(w.vaSpread1, 7, 1, u"1.01"_s);
    w.Register();
    QCOMPARE(w.Head()->Kouku->Koukumei, u"#"_s);
    TypeText(w.ComboBox3, u"x"_s);
    Q_EMIT w.ComboBox3->activated(-1);
    QCOMPARE(w.vaSpread1->CellText(6, 1), QString());
    TypeText(w.ComboBox3, QString());
    Q_EMIT w.ComboBox3->activated(-1);
    QCOMPARE(w.StatusPanels[3]->text(), QString::number(w.Head()->ID));
    QCOMPARE(w.ComboBox3->Text(), QString());
    QCOMPARE(w.vaSpread1->CellText(6, 1), u"1.000"_s);
    QCOMPARE(w.vaSpread1->CellText(8, 1), u"10"_s);
    QCOMPARE(w.ComboBox5->Text(), QString()); // stored without date
}

void TestEditDekigata::overLongRemarkKeepsStoredLines()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    TypeCell(w.vaSpread1, 1, 1, u"No.0"_s);
    TypeCell(w.vaSpread1, 1, 2, u"No.20"_s);
    w.Register();
    const int id = w.Head()->ID;
    TypeText(w.Edit4, u"1"_s);
    TypeCell(w.vaSpread1, 1, 3, u"No.40"_s);
    TypeCell(w.vaSpread1, 12, 3, u"舗装の厚さが不足している"_s);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, w.Register());
    TKelmo4Head stored;
    stored.LoadByID(id);
    QCOMPARE(stored.LineCount(), 2);
    QCOMPARE(stored.Heikin, u"0.1"_s); // the header was not written either
    // Shortened, the record registers: the refused save left no counter of its own behind
    // that would now look like another program's change.
    TypeCell(w.vaSpread1, 12, 3, u"厚さ不足"_s);
    w.Register();
    stored.LoadByID(id);
    QCOMPARE(stored.LineCount(), 3);
    QCOMPARE(stored.Heikin, u"1"_s);
}

namespace {
// Everything of the record being typed that a visit to another window must leave alone.
QStringList Screen(TfrmEditDekigata &w)
{
    QStringList shown = {QString::number(w.FormType()), w.ComboBox1->Text(), w.ComboBox2->Text(),
                         w.ComboBox3->Text(), w.ComboBox6->Text(), w.ComboBox7->Text(), w.ComboBox8->Text(),
                         w.Edit2->text(), w.Edit3->text(), w.Edit4->text(), w.Edit5->text()};
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 2; ++r)
            shown << w.vaSpread2->CellText(c, r);
    for (int c = 1; c <= 12; ++c)
        shown << w.vaSpread1->CellText(c, 1) << w.vaSpread1->CellText(c, 2);
    return shown;
}

QString StandardOf(int kubun, const QString &kosyu, const QString &item)
{
    TKikakuti4 k;
    k.Kubun = kubun;
    k.Kosyu->LoadByName(kosyu);
    k.Koumokumei = item;
    k.LoadByKey();
    return u"%1|%2|%3|%4|%5"_s.arg(k.ID).arg(k.KikakutiU1, k.KikakutiD1, k.KikakutiU2, k.KikakutiD2);
}
} // namespace

void TestEditDekigata::activationFromModelessWindowKeepsRecord()
{
    TKikakuti4 thickness;
    thickness.Kubun = 1;
    thickness.Kosyu->LoadByName(u"路盤工"_s);
    thickness.Koumokumei = u"厚さ"_s;
    thickness.KikakutiU1 = u"+15"_s;
    thickness.KikakutiD1 = u"-10"_s;
    thickness.Save();
    const QString heightStandard = StandardOf(1, u"路盤工"_s, u"高さ"_s);

    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+50"_s);
    // The form type brings its item, and the item its own standard.
    ClickRadio(w, 1);
    QCOMPARE(w.FormType(), 1);
    QCOMPARE(w.ComboBox6->Text(), u"厚さ"_s);
    QCOMPARE(w.ComboBox7->Text(), u"㎝"_s);
    QCOMPARE((QStringList{w.vaSpread2->CellText(1, 1), w.vaSpread2->CellText(1, 2), w.vaSpread2->CellText(2, 1)}),
             (QStringList{u"+15"_s, u"-10"_s, QString()}));
    TypeCell(w.vaSpread1, 6, 1, u"5"_s);
    TypeCell(w.vaSpread1, 7, 1, u"5.2"_s);
    TypeCell(w.vaSpread1, 12, 2, u"未登録の行"_s);
    const QStringList typed = Screen(w);

    // A modal dialog (like the preview) comes and goes.
    AnswerNextDialog([](QDialog *d) { d->accept(); });
    QDialog modal(&w);
    modal.exec();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(Screen(w), typed);

    // A register window shown without waiting, then back to the main window.
    QWidget other;
    other.setWindowTitle(u"工事名の登録"_s);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(Screen(w), typed);
    QVERIFY(w.findChildren<QRadioButton *>().at(1)->isChecked());

    // "登録" stores the thickness record with the thickness limits; the height standard
    // keeps its values and its number.
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QCOMPARE(w.Head()->Yosiki, 1);
    QCOMPARE(w.Head()->Kikakuti->KikakutiU1, u"+15"_s);
    QCOMPARE(StandardOf(1, u"路盤工"_s, u"高さ"_s), heightStandard);
    QCOMPARE(StandardOf(1, u"路盤工"_s, u"厚さ"_s), u"%1|+15|-10||"_s.arg(thickness.ID));
    QVERIFY(thickness.ID != heightStandard.section(u'|', 0, 0).toInt());
}

namespace {
// Answers the next "変更は登録されていません。登録しますか？" with Button; counts the questions.
void AnswerUnsaved(QMessageBox::StandardButton button, int *asked)
{
    AnswerNextDialog([button, asked](QDialog *d) {
        auto *box = qobject_cast<QMessageBox *>(d);
        QVERIFY(box);
        QCOMPARE(box->text(), u"変更は登録されていません。登録しますか？"_s);
        ++*asked;
        box->button(button)->click();
    });
}
} // namespace

void TestEditDekigata::unsavedEditsAreAskedFor()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    QVERIFY(w.StatusPanels[3]->text().isEmpty()); // no record for the key yet
    TypeCell(w.vaSpread1, 6, 1, u"10.5"_s);
    TypeCell(w.vaSpread1, 7, 1, u"10.512"_s);
    int asked = 0;

    // Cancel: the choice is undone and the rows stay.
    AnswerUnsaved(QMessageBox::Cancel, &asked);
    Choose(w.ComboBox2, u"表層工"_s);
    QCOMPARE(asked, 1);
    QCOMPARE(w.ComboBox2->Text(), u"路盤工"_s);
    QCOMPARE(w.vaSpread1->CellText(8, 1), u"12"_s);
    AnswerUnsaved(QMessageBox::Cancel, &asked);
    ClickRadio(w, 2);
    QCOMPARE(w.FormType(), 0);
    QVERIFY(w.findChildren<QRadioButton *>().at(0)->isChecked());
    QCOMPARE(w.vaSpread1->CellText(8, 1), u"12"_s);
    AnswerUnsaved(QMessageBox::Cancel, &asked);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());

    // Yes: the rows are registered under the key they were typed for, then the choice goes on.
    AnswerUnsaved(QMessageBox::Yes, &asked);
    Choose(w.ComboBox2, u"表層工"_s);
    QCOMPARE(asked, 4);
    QCOMPARE(w.ComboBox2->Text(), u"表層工"_s);
    QVERIFY(w.vaSpread1->CellText(6, 1).isEmpty());
    QVERIFY(w.StatusPanels[3]->text().isEmpty());
    TKelmo4Head stored;
    stored.Koji->Code = u"0001"_s;
    stored.Kosyu->Kosyumei = u"路盤工"_s;
    stored.Kouku->Koukumei = u"#"_s;
    stored.SokuteiKoumoku = u"高さ"_s;
    QVERIFY(stored.FindByKey());
    QCOMPARE(stored.LineCount(), 1);

    // Shown again: its ID; nothing modified, nothing asked.
    Choose(w.ComboBox2, u"路盤工"_s);
    QCOMPARE(w.StatusPanels[3]->text(), QString::number(stored.ID));
    QCOMPARE(asked, 4);
    // A typed key has no record yet.
    TypeText(w.ComboBox3, u"第2工区"_s);
    QVERIFY(w.StatusPanels[3]->text().isEmpty());

    // No: the edits are dropped and the window closes.
    TypeCell(w.vaSpread1, 7, 1, u"10.6"_s);
    AnswerUnsaved(QMessageBox::No, &asked);
    QVERIFY(w.close());
    QCOMPARE(asked, 5);
    QCOMPARE(TKelmo4Line().LoadLines(stored.ID).at(0).Cells[6], u"10.512"_s);
}

void TestEditDekigata::proposalsAloneAreNoLines()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    // Below an empty station nothing is proposed.
    MoveTo(w.vaSpread1, 1, 1);
    MoveTo(w.vaSpread1, 1, 2);
    QVERIFY(w.vaSpread1->CellText(1, 2).isEmpty());
    TypeCell(w.vaSpread1, 1, 1, u"No.300"_s);
    TypeCell(w.vaSpread1, 6, 1, u"10.5"_s);
    TypeCell(w.vaSpread1, 7, 1, u"10.5"_s);
    // Moving past the last line proposes the next station, twice.
    MoveTo(w.vaSpread1, 7, 1);
    MoveTo(w.vaSpread1, 1, 2);
    QCOMPARE(w.vaSpread1->CellText(1, 2), u"No.320"_s);
    TypeCell(w.vaSpread1, 6, 2, u"10.5"_s);
    MoveTo(w.vaSpread1, 1, 3);
    QCOMPARE(w.vaSpread1->CellText(1, 3), u"No.340"_s);
    MoveTo(w.vaSpread1, 1, 4);
    QCOMPARE(w.vaSpread1->CellText(1, 4), u"No.360"_s);
    TypeCell(w.vaSpread1, 12, 4, u"BP"_s); // a remark makes it a line
    MoveTo(w.vaSpread1, 1, 5);
    TypeCell(w.vaSpread1, 1, 6, u"No.999"_s); // a station typed is a line
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    QStringList stored;
    for (const TKel4LineRow &line : TKelmo4Line().LoadLines(w.Head()->ID))
        stored << u"%1:%2"_s.arg(line.LNO).arg(line.Cells[0]);
    QCOMPARE(stored, (QStringList{u"1:No.300"_s, u"2:No.320"_s, u"4:No.360"_s, u"6:No.999"_s}));
}

void TestEditDekigata::windowGrowsAndRemembersItsSize()
{
    QSize grown;
    {
        TfrmEditDekigata w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect grid = w.vaSpread1->geometry();
        const QPoint button = w.BitBtn1->pos();
        w.resize(w.width() + 200, w.height() + 300);
        QTRY_COMPARE(w.vaSpread1->height(), grid.height() + 300);
        QCOMPARE(w.vaSpread1->width(), grid.width() + 200);
        QCOMPARE(w.vaSpread1->pos(), grid.topLeft());
        QCOMPARE(w.BitBtn1->pos(), button);
        grown = w.size();
        // Never smaller than designed.
        QVERIFY(w.minimumSizeHint().width() >= 924);
        QVERIFY(w.close());
    }
    TfrmEditDekigata again;
    QCOMPARE(again.size(), grown);
}

void TestEditDekigata::recordLimitsDecimalsAndTypedForms()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    TypeText(w.ComboBox6, u"基準高"_s); // no standard registered for it
    QCOMPARE(w.vaSpread2->CellText(1, 1), QString());
    // What a Japanese input method types is read as half-width.
    TypeCell(w.vaSpread2, 1, 1, u"＋７"_s);
    TypeCell(w.vaSpread2, 1, 2, u"－７"_s);
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+7"_s);
    QCOMPARE(w.vaSpread2->CellText(1, 2), u"-7"_s);
    TypeText(w.Edit4, u"０．１"_s);
    QCOMPARE(w.Edit4->text(), u"0.1"_s);

    // The display decimals follow the input unit at once, not only a change of "有効".
    QCOMPARE(w.vaSpread1->CellDecimals(6, 1), 3);
    TypeText(w.ComboBox7, u"㎝"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(6, 1), 1);
    TypeCell(w.vaSpread1, 6, 1, u"２０"_s);
    TypeCell(w.vaSpread1, 7, 1, u"２１．５"_s);
    QCOMPARE((QStringList{w.vaSpread1->CellText(6, 1), w.vaSpread1->CellText(7, 1), w.vaSpread1->CellText(8, 1)}),
             (QStringList{u"20.0"_s, u"21.5"_s, u"15"_s}));
    QCOMPARE(w.vaSpread1->Model()->index(0, 6).data().toString(), u"21.5"_s);
    // A text that is not a number stays as typed, shown in red, and counts nowhere.
    TypeCell(w.vaSpread1, 6, 2, u"20"_s);
    TypeCell(w.vaSpread1, 7, 2, u"1,5"_s);
    QCOMPARE(w.vaSpread1->CellText(7, 2), u"1,5"_s);
    QVERIFY(w.vaSpread1->CellText(8, 2).isEmpty());
    QCOMPARE(w.vaSpread1->Model()->index(1, 6).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QVERIFY(!w.vaSpread1->Model()->index(0, 6).data(Qt::ForegroundRole).isValid());
    QCOMPARE(Totals(w), (QStringList{u"15"_s, u"1"_s, u"15.0"_s}));
    // Pasted values too.
    w.vaSpread1->SetActiveCell(6, 3);
    w.vaSpread1->PasteText(u"３０\t３１"_s);
    QCOMPARE(w.vaSpread1->CellText(6, 3), u"30"_s);
    QCOMPARE(w.vaSpread1->CellText(7, 3), u"31"_s);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    const int id = w.Head()->ID;

    // Shown again after another item: the record's own limits (the register has none for
    // its key) and the decimals of its unit, although "有効" did not change.
    TypeText(w.ComboBox7, u"ｍ"_s);
    TypeText(w.ComboBox6, u"高さ"_s); // typed and confirmed: no record for it
    Q_EMIT w.ComboBox6->activated(-1);
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+50"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(6, 1), 3);
    Choose(w.ComboBox6, u"基準高"_s);
    QCOMPARE(w.Head()->ID, id);
    QCOMPARE(w.vaSpread2->CellText(1, 1), u"+7"_s);
    QCOMPARE(w.vaSpread2->CellText(1, 2), u"-7"_s);
    QCOMPARE(w.ComboBox7->Text(), u"㎝"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(6, 1), 1);
    QCOMPARE(w.vaSpread1->Model()->index(0, 5).data().toString(), u"20.0"_s);
}

void TestEditDekigata::thicknessHidesSideGroupsAndCarriesDesign()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ClickRadio(w, 2);
    QCOMPARE(w.ComboBox6->Text(), u"幅"_s);
    QCOMPARE(w.vaSpread1->ColWidth(3), 0);
    QCOMPARE(w.vaSpread1->ColWidth(11), 0);
    QVERIFY(w.vaSpread1->ColWidth(6) > 0);
    TypeCell(w.vaSpread1, 6, 1, u"150"_s);
    TypeCell(w.vaSpread1, 7, 1, u"151"_s);
    MoveTo(w.vaSpread1, 7, 1);
    MoveTo(w.vaSpread1, 6, 2);
    QCOMPARE(w.vaSpread1->CellText(6, 2), u"150.0"_s);
    int asked = 0;
    AnswerUnsaved(QMessageBox::No, &asked);
    ClickRadio(w, 0);
    QCOMPARE(asked, 1);
    QCOMPARE(w.vaSpread1->ColWidth(3), w.vaSpread1->ColWidth(6));
    QCOMPARE(w.vaSpread1->CellText(6, 1), QString());
}

void TestEditDekigata::yukouAndDisplayDecimals()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.vaSpread1->CellDecimals(3, 500), 3); // ｍ with "有効" 1
    TypeText(w.ComboBox8, u"㎜"_s);
    TypeText(w.Edit2, u"5"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(6, 1), 2);
    Q_EMIT w.Edit2->editingFinished();
    QCOMPARE(w.Edit2->text(), u"1"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(4, 1000), 3);
    TypeText(w.Edit2, u"0"_s);
    QCOMPARE(w.vaSpread1->CellDecimals(9, 1), 3); // zero counts as 1
    TypeText(w.Edit2, u"50"_s);
    TypeText(w.ComboBox8, u"㎝"_s);
    QCOMPARE(w.Edit2->text(), u"10"_s);
}

void TestEditDekigata::statusBarToggles()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.StatusPanels[1], Qt::LeftButton);
    QCOMPARE(w.StatusPanels[1]->text(), u"挿入"_s);
    QCOMPARE(w.vaSpread1->EditMode(), TSpreadEditMode::Insert);
    QTest::mouseClick(w.StatusPanels[1], Qt::LeftButton);
    QCOMPARE(w.StatusPanels[1]->text(), u"上書"_s);
    QCOMPARE(w.StatusPanels[2]->text(), u"↓"_s);
    QStringList arrows;
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(w.StatusPanels[2], Qt::LeftButton);
        arrows << w.StatusPanels[2]->text();
    }
    QCOMPARE(arrows, (QStringList{u"←"_s, u"□"_s, u"↑"_s, u"→"_s, u"↓"_s}));
    QCOMPARE(w.vaSpread1->EnterDirection(), TSpreadEnterDirection::Down);
}

void TestEditDekigata::positionPickerOnRightClick()
{
    TKelmo4Line().ReplaceLines(99, {[] {
        TKel4LineRow r;
        r.LNO = 1;
        r.Cells[1] = u"CL"_s;
        return r;
    }()});
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Wholly on the test screen, which is narrower than the window.
    w.move(0, 0);
    // Placed at the window's corner plus the click in the grid, one picker height lower.
    QCursor::setPos(w.vaSpread1->mapToGlobal(QPoint(50, 60)));
    const QPoint expected = w.frameGeometry().topLeft() + QPoint(50, 60 + 132);
    AnswerNextDialog([expected](QDialog *d) {
        QCOMPARE(d->pos(), expected);
        auto *list = d->findChild<QListWidget *>();
        QCOMPARE(list->count(), 1);
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);
    });
    w.GridRightClick(2, 4);
    QCOMPARE(w.vaSpread1->CellText(2, 4), u"CL"_s);
    AnswerNextDialog([](QDialog *d) { QTest::keyClick(d->findChild<QListWidget *>(), Qt::Key_Escape); });
    w.GridRightClick(2, 4);
    QCOMPARE(w.vaSpread1->CellText(2, 4), u"CL"_s);
    w.GridRightClick(3, 4); // other columns: no picker, so no dialog is waited for
    QCOMPARE(w.vaSpread1->CellText(3, 4), QString());
}

void TestEditDekigata::deleteKeepsGridAndPrintRegistersFirst()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    int printedId = -1;
    bool printedWeight = false;
    SetRecordPrintRoutine(TRecordForm::DataSheet, [&](QWidget *, TKelmo4Head &head, bool weight) {
        printedId = head.ID;
        printedWeight = weight;
        QCOMPARE(head.LineCount(), 1);
    });
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    TypeCell(w.vaSpread1, 1, 1, u"No.0"_s);
    w.CheckBox2->setChecked(true);
    QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    QVERIFY(printedId > 0);
    QVERIFY(printedWeight);
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton); // no routine plugged in: registers only

    w.actDeleteData->trigger();
    QCOMPARE(w.Head()->LineCount(), 0);
    TKelmo4Head probe;
    probe.LoadByID(printedId);
    QCOMPARE(probe.ID, 0);
    QCOMPARE(w.vaSpread1->CellText(1, 1), u"No.0"_s);
    w.Register(); // the rows shown are stored again
    QCOMPARE(w.Head()->LineCount(), 1);
}

void TestEditDekigata::eightyPercentMirrorsSetting()
{
    WriteSetting(u"80percent"_s, u"TRUE"_s);
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.CheckBox3->isChecked());
    QTest::mouseClick(w.CheckBox3, Qt::LeftButton);
    QCOMPARE(ReadSetting(u"80percent"_s), u"FALSE"_s);
}

void TestEditDekigata::projectPanelPicksRecord()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s);
    ClickRadio(w, 1);
    TypeCell(w.vaSpread1, 6, 1, u"15"_s);
    TypeCell(w.vaSpread1, 7, 1, u"15.3"_s);
    w.Register();
    const int id = w.Head()->ID;
    Choose(w.ComboBox2, u"表層工"_s);
    QCOMPARE(w.vaSpread1->CellText(6, 1), QString());

    AnswerNextDialog([](QDialog *d) {
        QCOMPARE(d->windowTitle(), u"登録済データの参照"_s);
        auto *list = d->findChild<QListWidget *>();
        QCOMPARE(list->count(), 1);
        QVERIFY(list->item(0)->text().startsWith(u"%1:路盤工;:厚さ"_s.arg(1)));
        list->setCurrentRow(0);
        d->accept();
    });
    QTest::mouseClick(w.Panel1, Qt::LeftButton);
    QCOMPARE(w.Head()->ID, id);
    QCOMPARE(w.FormType(), 1);
    QCOMPARE(w.ComboBox6->Text(), u"厚さ"_s);
    QCOMPARE(w.ComboBox2->Text(), u"路盤工"_s);
    QCOMPARE(w.vaSpread1->CellText(8, 1), u"3"_s);
    QCOMPARE(Totals(w), (QStringList{u"3"_s, u"1"_s, u"3.0"_s}));

    // OK without a choice: the conversion error, nothing changes.
    AnswerNextDialog([](QDialog *d) { d->accept(); });
    QVERIFY_THROWS_EXCEPTION(EConvertError, w.Panel1Click());
    QCOMPARE(w.Head()->ID, id);

    AnswerNextDialog([](QDialog *d) {
        QCOMPARE(d->windowTitle(), u"登録工種の参照"_s);
        auto *list = d->findChild<QListWidget *>();
        QVERIFY(list->count() >= 1);
        list->setCurrentRow(0);
        d->accept();
    });
    QTest::mouseClick(w.Panel2, Qt::LeftButton);
    QCOMPARE(w.ComboBox6->Text(), u"厚さ"_s); // the register now knows 路盤工:厚さ too
    QCOMPARE(w.Head()->ID, id);
}

void TestEditDekigata::toleranceFiguresFollowTyping()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"路盤工"_s); // ±50, own standard ±40
    QCOMPARE(w.ToleranceLabel->text(), u"測定数 0"_s);
    // Differences 10, 40 (exactly 80 %), 45, −49 and 60 mm.
    const QStringList measured = {u"10.510"_s, u"10.540"_s, u"10.545"_s, u"10.451"_s, u"10.560"_s};
    for (int r = 1; r <= 5; ++r) {
        TypeCell(w.vaSpread1, 6, r, u"10.5"_s);
        TypeCell(w.vaSpread1, 7, r, measured[r - 1]);
    }
    const auto figures = [&w] {
        QStringList texts;
        for (int r = 1; r <= 5; ++r)
            texts << w.vaSpread4->CellText(1, r) + u' ' + w.vaSpread4->CellText(2, r);
        return texts;
    };
    QCOMPARE(figures(), (QStringList{u"1 20.0"_s, u"2 40.0"_s, u"4 80.0"_s, u"1 20.0"_s, u"3 60.0"_s}));
    QCOMPARE(w.ToleranceLabel->text(), u"測定数 5"_s);
    constexpr quint32 red = 0x008080FF, orange = 0x0060C0FF, plain = 0x00FFFFFF;
    QCOMPARE((QList<quint32>{w.vaSpread1->CellBackColor(8, 1), w.vaSpread1->CellBackColor(8, 2),
                             w.vaSpread1->CellBackColor(8, 3), w.vaSpread1->CellBackColor(8, 4),
                             w.vaSpread1->CellBackColor(8, 5)}),
             (QList<quint32>{plain, plain, orange, orange, red}));

    // A corrected difference moves at once.
    TypeCell(w.vaSpread1, 8, 5, u"20"_s);
    QCOMPARE(w.vaSpread1->CellBackColor(8, 5), plain);
    QCOMPARE(figures(), (QStringList{u"2 40.0"_s, u"3 60.0"_s, u"5 100.0"_s, u"0 0.0"_s, u"2 40.0"_s}));
    // Without a standard there are no bands; the own standard still marks.
    TypeCell(w.vaSpread2, 1, 1, QString());
    TypeCell(w.vaSpread2, 1, 2, QString());
    QCOMPARE(w.ToleranceLabel->text(), u"規格値なし"_s);
    QCOMPARE(figures(), (QStringList{u" "_s, u" "_s, u" "_s, u" "_s, u"2 40.0"_s}));
    QCOMPARE(w.vaSpread1->CellBackColor(8, 3), orange);
    QCOMPARE(w.vaSpread1->CellBackColor(8, 2), plain);
}

void TestEditDekigata::enteredRowsComputeAsTyped_data()
{
    // Centre group of row 2 (columns 6, 7, 8) after entering the texts; units ｍ / ㎜, "有効" 1, "平均" 0.1.
    QTest::addColumn<TGridCellTexts>("cells");
    QTest::addColumn<QStringList>("centre");
    QTest::addColumn<QStringList>("totals");
    using TCells = TGridCellTexts;
    QTest::newRow("design and measured give the difference")
        << TCells{{6, u"10.5"_s}, {7, u"10.512"_s}} << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s}
        << QStringList{u"12"_s, u"1"_s, u"12.0"_s};
    QTest::newRow("design and difference give the measured value")
        << TCells{{6, u"10.5"_s}, {8, u"-3"_s}} << QStringList{u"10.500"_s, u"10.497"_s, u"-3"_s}
        << QStringList{u"-3"_s, u"1"_s, u"-3.0"_s};
    QTest::newRow("a measured value given wins over a difference")
        << TCells{{6, u"10.5"_s}, {7, u"10.512"_s}, {8, u"99"_s}}
        << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s} << QStringList{u"12"_s, u"1"_s, u"12.0"_s};
    QTest::newRow("full-width digits as typed")
        << TCells{{6, u"１０．５"_s}, {7, u"10.512"_s}} << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s}
        << QStringList{u"12"_s, u"1"_s, u"12.0"_s};
    QTest::newRow("a text computes nothing")
        << TCells{{6, u"10.5"_s}, {7, u"欠測"_s}} << QStringList{u"10.500"_s, u"欠測"_s, QString()}
        << QStringList{u"0"_s, u"0"_s, QString()};
}

// Rows from a file land as typed ones: third value, reformatting, totals; the grid counts
// as modified and nothing is stored.
void TestEditDekigata::enteredRowsComputeAsTyped()
{
    QFETCH(TGridCellTexts, cells);
    QFETCH(QStringList, centre);
    QFETCH(QStringList, totals);
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.Edit2->text(), u"1"_s);
    QCOMPARE(w.Edit4->text(), u"0.1"_s);
    QVERIFY(!w.GridModified());
    w.EnterGridRows({TGridRowTexts{2, cells}});
    QCOMPARE((QStringList{w.vaSpread1->CellText(6, 2), w.vaSpread1->CellText(7, 2), w.vaSpread1->CellText(8, 2)}),
             centre);
    QCOMPARE(Totals(w), totals);
    QVERIFY(w.GridModified());
    QCOMPARE(w.Head()->NextID(), 1);
}

QTEST_MAIN(TestEditDekigata)
#include "tst_EditDekigata.moc"
