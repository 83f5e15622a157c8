// "規格値の登録" driven as a user would.
#include "WindowDriver.h"
#include "app/RegistryUtility.h"
#include "app/uDatabase.h"
#include "registers/fEditKikakuti4.h"
#include "registers/uKikakuti4.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace WindowDriver;

namespace {
QStringList Stored()
{
    TQuery q(u"select * from Kikakuti4 order by ID"_s);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList cells;
        for (const QString &c : {u"ID"_s, u"KUBUN"_s, u"KOSYUMEI"_s, u"KOUMOKUMEI"_s, u"KIKAKUTIU1"_s,
                                 u"KIKAKUTID1"_s, u"KIKAKUTIU2"_s, u"KIKAKUTID2"_s, u"GOKAKUHANTEI"_s,
                                 u"JOKEN"_s})
            cells.append(q.FieldText(c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

void ClickRadio(QButtonGroup *group, int id)
{
    QTest::mouseClick(group->button(id), Qt::LeftButton, {}, QPoint(6, group->button(id)->height() / 2));
}

void ClickCheck(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}
} // namespace

class TestKikakutiWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firstOpeningAsksOnClose_data();
    void firstOpeningAsksOnClose();
    void registerAStandard();
    void pickRegisteredAndChooseItem();

private:
    TTestEnv *m_env = nullptr;
    TfrmEditKikakuti4 *m_window = nullptr;
};

void TestKikakutiWindow::init()
{
    m_env = new TTestEnv;
    m_window = new TfrmEditKikakuti4;
}

void TestKikakutiWindow::cleanup()
{
    delete m_window;
    delete m_env;
}

void TestKikakutiWindow::firstOpeningAsksOnClose_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("Yes saves the empty record") << int(QMessageBox::Yes) << false
                                                << QStringList{u"1|-1|||||||0|"_s};
    QTest::newRow("No closes without saving") << int(QMessageBox::No) << false << QStringList{};
    QTest::newRow("Cancel stays open") << int(QMessageBox::Cancel) << true << QStringList{};
}

void TestKikakutiWindow::firstOpeningAsksOnClose()
{
    QFETCH(int, answer);
    QFETCH(bool, open);
    QFETCH(QStringList, rows);
    QVERIFY(!m_window->Button1->isEnabled());
    Activate(m_window);
    QCOMPARE(m_window->Edit4->text(), u"自社規格"_s);
    QVERIFY(m_window->Button1->isEnabled());
    QVERIFY(m_window->RadioButtons->checkedButton() == nullptr);

    QString text;
    QString title;
    AnswerBox(QMessageBox::StandardButton(answer), &text, &title);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(text, u"未登録データを保存しますか"_s);
    QVERIFY(title.isEmpty());
    QCOMPARE(m_window->isVisible(), open);
    QCOMPARE(Stored(), rows);
    QCOMPARE(ReadSetting(u"JisyaKikakumei"_s), answer == QMessageBox::Yes ? u"自社規格"_s : QString());
}

void TestKikakutiWindow::registerAStandard()
{
    TKosyu().RewriteList({u"表層"_s, u"基層"_s});
    WriteSetting(u"JisyaKikakumei"_s, u"当社基準"_s);
    Activate(m_window);
    QCOMPARE(m_window->Edit4->text(), u"当社基準"_s);

    ClickRadio(m_window->RadioButtons, 1);
    QCOMPARE(ChooseInCombo(m_window->ComboBox1, u"基層"_s), (QStringList{u"表層"_s, u"基層"_s}));
    Type(m_window->ComboBox2, u"厚さ"_s);
    Type(m_window->Edit2, u"+10"_s);
    Type(m_window->Edit3, u"-7"_s);
    ClickCheck(m_window->CheckBox1);
    QVERIFY(m_window->Edit1->isEnabled());
    Type(m_window->Edit1, u"10個"_s);
    Type(m_window->Edit6, u"-5"_s);
    Type(m_window->Edit4, u"２"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QVERIFY(!m_window->Button1->isEnabled());
    QCOMPARE(Stored(), QStringList{u"1|1|基層|厚さ|+10|-7||-5|1|10個"_s});
    QCOMPARE(ReadSetting(u"JisyaKikakumei"_s), u"当社基準２"_s);

    // Unchecking disables the condition and enables 登録 again.
    ClickCheck(m_window->CheckBox1);
    QVERIFY(!m_window->Edit1->isEnabled());
    QVERIFY(m_window->Button1->isEnabled());
    // Closing now asks; Yes saves and closes.
    AnswerBox(QMessageBox::Yes);
    m_window->N_Close->trigger();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(Stored(), QStringList{u"1|1|基層|厚さ|+10|-7||-5|0|10個"_s});
}

void TestKikakutiWindow::pickRegisteredAndChooseItem()
{
    TKosyu().RewriteList({u"表層"_s, u"路盤"_s});
    TKikakuti4 k;
    k.Kubun = 0;
    k.Kosyu->LoadByName(u"表層"_s);
    k.Koumokumei = u"厚さ"_s;
    k.KikakutiU1 = u"+9"_s;
    k.GokakuHantei = true;
    k.Joken = u"条件"_s;
    k.Save();
    k.Kosyu->LoadByName(u"路盤"_s);
    k.Koumokumei = u"幅"_s;
    k.KikakutiU1 = u"+100"_s;
    k.GokakuHantei = false;
    k.Joken.clear();
    k.Save();

    Activate(m_window);
    QString caption;
    QStringList offered;
    AnswerPicker(u"路盤:幅"_s, &caption, &offered);
    QTest::mouseClick(m_window->LabelKoumoku, Qt::LeftButton);
    QCOMPARE(caption, u"登録済データの選択"_s);
    QCOMPARE(offered, (QStringList{u"表層:厚さ"_s, u"路盤:幅"_s})); // class 0 while none is clicked
    QCOMPARE(m_window->ComboBox1->currentText(), u"路盤"_s);
    QCOMPARE(m_window->Edit2->text(), u"+100"_s);
    QCOMPARE(m_window->RadioButtons->checkedId(), 0);
    QVERIFY(!m_window->Button1->isEnabled());

    // Choosing a work type whose item is not registered empties the limits only.
    Activate(m_window);
    ChooseInCombo(m_window->ComboBox1, u"表層"_s);
    QVERIFY(m_window->Edit2->text().isEmpty());
    QCOMPARE(m_window->ComboBox2->currentText(), u"幅"_s);
    QCOMPARE(ChooseInCombo(m_window->ComboBox2, u"厚さ"_s), (QStringList{u"厚さ"_s, u"幅"_s}));
    QCOMPARE(m_window->Edit2->text(), u"+9"_s);
    QVERIFY(m_window->CheckBox1->isChecked());
    QCOMPARE(m_window->Edit1->text(), u"条件"_s);

    // 削除 removes the standard as last loaded, the window keeps showing it.
    m_window->N_Delete->trigger();
    QCOMPARE(Stored().size(), 1);
    QCOMPARE(m_window->Edit2->text(), u"+9"_s);
}

QTEST_MAIN(TestKikakutiWindow)
#include "tst_KikakutiWindow.moc"
