// "工区データ" driven as a user would.
#include "WindowDriver.h"
#include "app/uDatabase.h"
#include "registers/fEditKouku.h"
#include "registers/uKoji.h"
#include "registers/ukouku.h"
#include "support/TestEnv.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace WindowDriver;

namespace {
QStringList Stored(const QString &code)
{
    TQuery q(u"select * from Kouku where KojiCode=:C order by ID, Koukumei"_s);
    q.SetParam(u"C"_s, code);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next())
        rows.append(q.FieldText(u"Koukumei"_s) + u'|' + q.FieldText(u"ID"_s));
    return rows;
}

void AddSection(TfrmEditKouku *window, const QString &name)
{
    Type(window->Edit1, name);
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
}
} // namespace

class TestKoukuWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void registerRepeatsAndEmptyNames();
    void reorderAndRemove();
    void closeWithChanges_data();
    void closeWithChanges();
    void refusedNameKeepsBothLists();

private:
    TTestEnv *m_env = nullptr;
    TfrmEditKouku *m_window = nullptr;
};

void TestKoukuWindow::init()
{
    m_env = new TTestEnv;
    m_window = new TfrmEditKouku;
    TKoji koji;
    for (const QString &code : {u"0001"_s, u"0002"_s}) {
        koji.Code = code;
        koji.Kojimei = u"工事"_s + code;
        koji.Save();
    }
    TKouku kouku;
    kouku.Koji->LoadByCode(u"0002"_s);
    kouku.RewriteList({u"北工区"_s, u"南工区"_s});
}

void TestKoukuWindow::cleanup()
{
    delete m_window;
    delete m_env;
}

void TestKoukuWindow::registerRepeatsAndEmptyNames()
{
    Activate(m_window);
    QVERIFY(!m_window->BitBtn4->isEnabled());
    QCOMPARE(ChooseInCombo(m_window->ComboBox1, u"0001:工事0001"_s),
             (QStringList{u"0002:工事0002"_s, u"0001:工事0001"_s}));
    QCOMPARE(m_window->ListBox1->count(), 0);
    AddSection(m_window, u"A"_s);
    QVERIFY(m_window->BitBtn4->isEnabled());
    AddSection(m_window, u"B"_s);
    AddSection(m_window, u"A"_s);
    AddSection(m_window, QString()); // an empty entry is a section too
    AddSection(m_window, u"C"_s);
    QCOMPARE(m_window->ListBox1->currentRow(), 4);
    QVERIFY(m_window->Edit1->text().isEmpty());
    QTest::mouseClick(m_window->BitBtn4, Qt::LeftButton);
    QVERIFY(!m_window->BitBtn4->isEnabled());
    QCOMPARE(Stored(u"0001"_s), (QStringList{u"A|1"_s, u"B|2"_s, u"|4"_s, u"C|5"_s}));
    QCOMPARE(Stored(u"0002"_s), (QStringList{u"北工区|1"_s, u"南工区|2"_s}));

    // Choosing the other project shows its stored list.
    ChooseInCombo(m_window->ComboBox1, u"0002:工事0002"_s);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"北工区"_s, u"南工区"_s}));
}

void TestKoukuWindow::reorderAndRemove()
{
    Activate(m_window);
    ChooseInCombo(m_window->ComboBox1, u"0002:工事0002"_s);
    // Nothing selected: no move, but the list counts as changed.
    m_window->ListBox1->setCurrentRow(-1);
    m_window->ListBox1->clearSelection();
    QTest::mouseClick(m_window->SpeedButton2, Qt::LeftButton);
    QVERIFY(m_window->BitBtn4->isEnabled());
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"北工区"_s, u"南工区"_s}));
    SelectRow(m_window->ListBox1, 1);
    QTest::mouseClick(m_window->SpeedButton1, Qt::LeftButton);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"南工区"_s, u"北工区"_s}));
    AddSection(m_window, u"東工区"_s);
    SelectRow(m_window->ListBox1, 1);
    QTest::mouseClick(m_window->BitBtn2, Qt::LeftButton);
    QTest::mouseClick(m_window->BitBtn4, Qt::LeftButton);
    QCOMPARE(Stored(u"0002"_s), (QStringList{u"南工区|1"_s, u"東工区|2"_s}));
}

void TestKoukuWindow::closeWithChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << false
                         << QStringList{u"北工区|1"_s, u"南工区|2"_s, u"西工区|3"_s}
                         << QStringList{u"北工区"_s, u"南工区"_s, u"西工区"_s};
    QTest::newRow("No") << int(QMessageBox::No) << false << QStringList{u"北工区|1"_s, u"南工区|2"_s}
                        << QStringList{u"北工区"_s, u"南工区"_s};
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << true
                            << QStringList{u"北工区|1"_s, u"南工区|2"_s}
                            << QStringList{u"北工区"_s, u"南工区"_s, u"西工区"_s};
}

void TestKoukuWindow::closeWithChanges()
{
    QFETCH(int, answer);
    QFETCH(bool, open);
    QFETCH(QStringList, stored);
    QFETCH(QStringList, shown);
    Activate(m_window);
    ChooseInCombo(m_window->ComboBox1, u"0002:工事0002"_s);
    AddSection(m_window, u"西工区"_s);
    QString text;
    QString title;
    AnswerBox(QMessageBox::StandardButton(answer), &text, &title);
    QTest::mouseClick(m_window->BitBtn3, Qt::LeftButton);
    QCOMPARE(text, u"変更は登録されていません。登録しますか？"_s);
    QVERIFY(title.isEmpty());
    QCOMPARE(m_window->isVisible(), open);
    QCOMPARE(Stored(u"0002"_s), stored);
    QCOMPARE(Items(m_window->ListBox1), shown);

    // Unchanged, it closes without asking.
    if (open)
        return;
    Activate(m_window);
    QVERIFY(!m_window->BitBtn4->isEnabled());
    QTest::mouseClick(m_window->BitBtn3, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
}

void TestKoukuWindow::refusedNameKeepsBothLists()
{
    Activate(m_window);
    ChooseInCombo(m_window->ComboBox1, u"0002:工事0002"_s);
    AddSection(m_window, u"新しい工区"_s);
    // Typing stops at the limit; a name set by the program is refused at the save.
    const QString tooLong = QString(17, QChar(u'長'));
    m_window->Edit1->setText(tooLong);
    QTest::mouseClick(m_window->BitBtn1, Qt::LeftButton);
    QString message;
    AnswerBox(QMessageBox::Ok, &message);
    QTest::mouseClick(m_window->BitBtn4, Qt::LeftButton);
    QVERIFY2(message.contains(u"工区名（Koukumei）は 32 バイト"_s), qPrintable(message));
    QCOMPARE(Stored(u"0002"_s), (QStringList{u"北工区|1"_s, u"南工区|2"_s}));
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"北工区"_s, u"南工区"_s, u"新しい工区"_s, tooLong}));
    QVERIFY(m_window->BitBtn4->isEnabled());
}

QTEST_MAIN(TestKoukuWindow)
#include "tst_KoukuWindow.moc"
