#include "app/Errors.h"
#include "app/fListBox.h"
#include "app/uDekigataDef.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uChangeData.h"
#include "measure/uDropDownBox.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/uSimei.h"
#include "registers/ukouku.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

TKel4LineRow Line(int lno, const QStringList &cells)
{
    TKel4LineRow row;
    row.LNO = lno;
    for (int i = 0; i < cells.size(); ++i)
        row.Cells[size_t(i)] = cells.at(i);
    return row;
}

// A stored record of project 0001 with its lines; returns its ID.
int StoreRecord(const QString &kosyu, int yosiki, const QString &unit, const QList<TKel4LineRow> &lines)
{
    TKelmo4Head head;
    head.Koji->LoadByCode(u"0001"_s);
    head.Kosyu->LoadByName(kosyu);
    head.Kouku->Koukumei = u"#"_s;
    head.SokuteiKoumoku = yosiki == 0 ? u"高さ"_s : u"厚さ"_s;
    head.SekkeiTanni = unit;
    head.SaTanni = u"㎜"_s;
    head.Yukou = u"1"_s;
    head.Heikin = u"0.1"_s;
    head.Bunpu = u"5"_s;
    head.Yosiki = yosiki;
    head.Kikakuti->Kosyu->LoadByName(kosyu);
    head.Kikakuti->Koumokumei = head.SokuteiKoumoku;
    head.Save();
    TKelmo4Line().ReplaceLines(head.ID, lines);
    return head.ID;
}

void Choose(TDropDownBox *box, const QString &text)
{
    box->showPopup();
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    box->hidePopup();
    Q_EMIT box->activated(index);
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

// The bulk change dialog filled in and confirmed, or cancelled when Source is null.
void AnswerChangeData(const QString &source, const QString &delta)
{
    AnswerNextDialog([source, delta](QDialog *dialog) {
        auto *change = qobject_cast<TfrmChangeData *>(dialog);
        QVERIFY(change);
        if (source.isNull()) {
            change->reject();
            return;
        }
        change->Edit1->setText(source);
        change->Edit2->setText(delta);
        QTest::mouseClick(change->Button2, Qt::LeftButton);
    });
}

QStringList Row(TSpread *grid, int row)
{
    QStringList texts;
    for (int c = 1; c <= GridLayout::ColumnCount; ++c)
        texts << grid->CellText(c, row);
    return texts;
}

} // namespace

class TestChangeData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shift_data();
    void shift();
    void dialogLayout();
    void pickerFillsSourceItem();
    void bulkChangeCopiesShiftedRows();
    void withoutProjectNothingChanges();
    void cancelOrBadSourceKeepsGrid_data();
    void cancelOrBadSourceKeepsGrid();
    void deleteAfterBulkChangeSparesTheSource();

private:
    TTestEnv *m_env = nullptr;
    int m_sourceId = 0;
};

void TestChangeData::init()
{
    m_env = new TTestEnv;
    TKelmo4Head().CreateTableIfMissing();
    TKelmo4Line().CreateTableIfMissing();
    TKoji koji;
    koji.Code = u"0001"_s;
    koji.Kojimei = u"道路改良工事"_s;
    koji.Save();
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"路盤工"_s, u"表層工"_s});
    TDekigataDef &def = DekigataDef();
    const QStringList height = {u"ｍ"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"20"_s};
    for (int k = 1; k <= 6; ++k)
        for (int t = 1; t <= 3; ++t)
            def.SetUnits(k, t, height[k - 1]);
    m_sourceId = StoreRecord(u"路盤工"_s, 0, u"ｍ"_s,
                             {Line(1, {u"No.0"_s, u"CL"_s, u"10.500"_s, u"10.512"_s, u"12"_s, u"10.600"_s,
                                       u"10.590"_s, u"-10"_s, QString(), QString(), QString(), u"2003/5/7"_s}),
                              Line(3, {u"No.2"_s, QString(), u"abc"_s, u"9.9"_s, u"0"_s})});
}

void TestChangeData::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestChangeData::shift_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<double>("delta");
    QTest::addColumn<QStringList>("cells");    // columns 1 … 12 as stored
    QTest::addColumn<QStringList>("expected"); // grid columns 1 … 12 afterwards

    QTest::newRow("metres, +50 mm")
        << u"ｍ"_s << u"1"_s << 50.0
        << QStringList{u"No.0"_s, u"CL"_s, u"10.500"_s, u"10.512"_s, u"12"_s, u"1"_s, u"1.001"_s, u"1"_s,
                       u"2"_s, u"2"_s, u"0"_s, u"remark"_s}
        << QStringList{u"No.0"_s, u"CL"_s, u"10.550"_s, u"10.562"_s, u"12"_s, u"1.050"_s, u"1.051"_s, u"1"_s,
                       u"2.050"_s, u"2.050"_s, u"0"_s, QString()};
    QTest::newRow("centimetres, -5 mm")
        << u"㎝"_s << u"1"_s << -5.0
        << QStringList{u"A"_s, QString(), u"20"_s, u"21.5"_s, u"15"_s}
        << QStringList{u"A"_s, QString(), u"19.5"_s, u"21.0"_s, u"15"_s, QString(), QString(), QString(),
                       QString(), QString(), QString(), QString()};
    QTest::newRow("text and blanks copied as stored")
        << u"㎜"_s << u"1"_s << 3.0
        << QStringList{u"B"_s, u"L"_s, u"abc"_s, QString(), u"x"_s, u"+7"_s}
        << QStringList{u"B"_s, u"L"_s, u"abc"_s, QString(), u"x"_s, u"10"_s, QString(), QString(),
                       QString(), QString(), QString(), QString()};
}

void TestChangeData::shift()
{
    QFETCH(QString, unit);
    QFETCH(QString, yukou);
    QFETCH(double, delta);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, expected);

    TGridBuffer grid;
    ChangeData::CopyShiftedLines({Line(7, cells)}, unit, yukou, delta, grid);
    QStringList row;
    for (int c = 1; c <= GridLayout::ColumnCount; ++c)
        row << grid.Cell(c, 7);
    QCOMPARE(row, expected);
    QCOMPARE(grid.Cell(1, 6), QString());
}

void TestChangeData::dialogLayout()
{
    TfrmChangeData dialog;
    QCOMPARE(dialog.windowTitle(), u"一括変更"_s);
    QCOMPARE(dialog.size(), QSize(366, 83));
    QCOMPARE(dialog.Button1->text(), u"工種参照"_s);
    QCOMPARE(dialog.Label1->text(), u"変化量(mm)"_s);
    QCOMPARE(dialog.Button2->text(), u"Ok"_s);
}

void TestChangeData::pickerFillsSourceItem()
{
    StoreRecord(u"表層工"_s, 1, u"㎝"_s, {});
    TKelmo4Head head;
    head.Koji->LoadByCode(u"0001"_s);
    TfrmChangeData dialog;
    dialog.SetHeader(&head);
    QStringList offered;
    AnswerNextDialog([&offered](QDialog *d) {
        auto *picker = qobject_cast<TfrmListBox *>(d);
        QVERIFY(picker);
        for (int i = 0; i < picker->ListBox1->count(); ++i)
            offered << picker->ListBox1->item(i)->text();
        picker->ListBox1->setCurrentRow(1);
        QTest::mouseClick(picker->Button1, Qt::LeftButton);
    });
    dialog.Button1Click();
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered.at(0), u"%1:路盤工;:高さ"_s.arg(m_sourceId));
    QCOMPARE(dialog.Edit1->text(), offered.at(1));
}

void TestChangeData::bulkChangeCopiesShiftedRows()
{
    TfrmEditDekigata w;
    TfrmChangeData dialog;
    ChangeData::InstallCommands(w, dialog);
    QVERIFY(w.actBulkChange->isEnabled());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"表層工"_s);
    w.vaSpread1->SetCellText(1, 5, u"old"_s);

    AnswerChangeData(u"%1:路盤工;#:高さ"_s.arg(m_sourceId), u"50"_s);
    w.actBulkChange->trigger();

    QCOMPARE(Row(w.vaSpread1, 1), (QStringList{u"No.0"_s, u"CL"_s, u"10.550"_s, u"10.562"_s, u"12"_s,
                                               u"10.650"_s, u"10.640"_s, u"-10"_s, QString(), QString(),
                                               QString(), QString()}));
    QCOMPARE(Row(w.vaSpread1, 2), QStringList(12, QString()));
    QCOMPARE(w.vaSpread1->CellText(3, 3), u"abc"_s);
    QCOMPARE(w.vaSpread1->CellText(4, 3), u"9.950"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 5), QString());
    // The selection stays; the totals follow the copied rows (the group with "abc" is not a number).
    QCOMPARE(w.ComboBox2->Text(), u"表層工"_s);
    QCOMPARE(w.vaSpread3->CellText(1, 2), u"2"_s);

    // "登録" stores the shifted rows under the window's selection; the source keeps its own.
    w.Register();
    QVERIFY(w.Head()->ID != m_sourceId);
    const QList<TKel4LineRow> copied = TKelmo4Line().LoadLines(w.Head()->ID);
    QCOMPARE(copied.size(), 2);
    QCOMPARE(copied.at(0).Cell(3), u"10.550"_s);
    QCOMPARE(TKelmo4Line().LoadLines(m_sourceId).at(0).Cell(3), u"10.500"_s);
}

void TestChangeData::withoutProjectNothingChanges()
{
    TfrmEditDekigata w;
    TfrmChangeData dialog;
    ChangeData::InstallCommands(w, dialog);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.vaSpread1->SetCellText(1, 1, u"typed"_s);
    QString caption, text;
    AnswerNextDialog([&caption, &text](QDialog *d) {
        auto *box = qobject_cast<QMessageBox *>(d);
        QVERIFY(box);
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    w.actBulkChange->trigger();
    QCOMPARE(caption, u"ケルモ"_s);
    QCOMPARE(text, u"工事が選択されていません"_s);
    QCOMPARE(w.vaSpread1->CellText(1, 1), u"typed"_s);
}

void TestChangeData::cancelOrBadSourceKeepsGrid_data()
{
    QTest::addColumn<QString>("source"); // null: the dialog is cancelled
    QTest::addColumn<QString>("error");  // expected message, empty when none

    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("typed freely") << u"路盤工"_s << u"'路盤工' は整数ではありません"_s;
    QTest::newRow("empty") << u""_s << u"'' は整数ではありません"_s;
    QTest::newRow("no such record") << u"999:路盤工;#:高さ"_s << u"一括変更の元になる記録（ID 999）がありません。"_s;
}

void TestChangeData::cancelOrBadSourceKeepsGrid()
{
    QFETCH(QString, source);
    QFETCH(QString, error);

    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"表層工"_s);
    w.vaSpread1->SetCellText(1, 1, u"typed"_s);
    TfrmChangeData dialog(&w);
    AnswerChangeData(source, u"50"_s);
    QString message;
    try {
        ChangeData::BulkChange(w, dialog);
    } catch (const EKelmoError &e) {
        message = e.Message();
    }
    QCOMPARE(message, error);
    QCOMPARE(w.vaSpread1->CellText(1, 1), u"typed"_s);
}

void TestChangeData::deleteAfterBulkChangeSparesTheSource()
{
    TfrmEditDekigata w;
    TfrmChangeData dialog;
    ChangeData::InstallCommands(w, dialog);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Choose(w.ComboBox1, u"0001:道路改良工事"_s);
    Choose(w.ComboBox2, u"表層工"_s);
    AnswerChangeData(QString::number(m_sourceId) + u":"_s, u"0"_s);
    w.actBulkChange->trigger();
    QCOMPARE(w.Head()->ID, m_sourceId);

    // Nothing stored under 表層工 yet: deleting must not remove the 路盤工 record copied from.
    w.actDeleteData->trigger();
    TKelmo4Head probe;
    probe.LoadByID(m_sourceId);
    QCOMPARE(probe.ID, m_sourceId);
    QCOMPARE(probe.LineCount(), 2);

    w.Register();
    const int copy = w.Head()->ID;
    QVERIFY(copy != m_sourceId);
    w.actDeleteData->trigger();
    probe.ID = 0;
    probe.LoadByID(copy);
    QCOMPARE(probe.ID, 0);
    probe.LoadByID(m_sourceId);
    QCOMPARE(probe.ID, m_sourceId);
}

QTEST_MAIN(TestChangeData)
#include "tst_ChangeData.moc"
