// "工種の登録" driven as a user would.
#include "WindowDriver.h"
#include "app/uDatabase.h"
#include "registers/fEditKosyu.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace WindowDriver;

namespace {
QStringList Stored()
{
    TQuery q(u"select * from Kosyu4 order by ID"_s);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next())
        rows.append(q.FieldText(u"KOSYUMEI"_s) + u'|' + q.FieldText(u"ID"_s));
    return rows;
}
} // namespace

class TestKosyuWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptyTableOpensWithoutSelection();
    void typedNameIsAddedBeforeSelection();
    void reorderRemoveAndRepeats();
    void emptiedEditAddsAnEntryThatIsDropped();
    void typingIsLimitedToTheColumn();
    void deleteMenuEmptiesTableButKeepsScreen();
    void failingRewriteKeepsBothLists();

private:
    TTestEnv *m_env = nullptr;
    TfrmEditKosyu *m_window = nullptr;
};

void TestKosyuWindow::init()
{
    m_env = new TTestEnv;
    m_window = new TfrmEditKosyu;
}

void TestKosyuWindow::cleanup()
{
    delete m_window;
    delete m_env;
}

void TestKosyuWindow::emptyTableOpensWithoutSelection()
{
    Activate(m_window);
    QCOMPARE(m_window->ListBox1->count(), 0);
    QVERIFY(!m_window->Button1->isEnabled());
    Type(m_window->Edit2, u"表層"_s);
    QVERIFY(m_window->Button1->isEnabled());
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    Type(m_window->Edit2, u"基層"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"表層"_s, u"基層"_s}));
    QVERIFY(m_window->Edit2->text().isEmpty());
    QVERIFY(!m_window->Button1->isEnabled());
    QVERIFY(Stored().isEmpty()); // nothing written before 登録(&O)
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(Stored(), (QStringList{u"表層|1"_s, u"基層|2"_s}));
    QVERIFY(!m_window->isVisible());
}

void TestKosyuWindow::typedNameIsAddedBeforeSelection()
{
    TKosyu().RewriteList({u"表層"_s, u"基層"_s});
    Activate(m_window);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"表層"_s, u"基層"_s}));
    QCOMPARE(m_window->ListBox1->currentRow(), 0);
    SelectRow(m_window->ListBox1, 1);
    Type(m_window->Edit2, u"中間層"_s);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton); // without 工種追加
    QCOMPARE(Stored(), (QStringList{u"表層|1"_s, u"中間層|2"_s, u"基層|3"_s}));
}

void TestKosyuWindow::reorderRemoveAndRepeats()
{
    TKosyu().RewriteList({u"A"_s, u"B"_s, u"C"_s});
    Activate(m_window);
    QListWidget *list = m_window->ListBox1;

    QTest::mouseClick(m_window->SpeedButton1, Qt::LeftButton); // first item: nothing
    QCOMPARE(Items(list), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    SelectRow(list, 2);
    QTest::mouseClick(m_window->SpeedButton2, Qt::LeftButton); // last item: nothing
    QTest::mouseClick(m_window->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(m_window->SpeedButton1, Qt::LeftButton);
    QCOMPARE(Items(list), (QStringList{u"C"_s, u"A"_s, u"B"_s}));
    QCOMPARE(list->currentRow(), 0);
    QTest::mouseClick(m_window->SpeedButton2, Qt::LeftButton);
    QCOMPARE(Items(list), (QStringList{u"A"_s, u"C"_s, u"B"_s}));
    QCOMPARE(list->currentItem()->text(), u"C"_s);

    // The repeated A goes in before C and is stored once, at its first place.
    Type(m_window->Edit2, u"A"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QCOMPARE(Items(list), (QStringList{u"A"_s, u"A"_s, u"C"_s, u"B"_s}));
    SelectRow(list, 3);
    QTest::mouseClick(m_window->Button3, Qt::LeftButton);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(Stored(), (QStringList{u"A|1"_s, u"C|3"_s}));
}

void TestKosyuWindow::emptiedEditAddsAnEntryThatIsDropped()
{
    Activate(m_window);
    Type(m_window->Edit2, u"X"_s);
    QTest::keyClick(m_window->Edit2, Qt::Key_Backspace);
    QVERIFY(m_window->Button1->isEnabled());
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    Type(m_window->Edit2, u"Y"_s);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u""_s, u"Y"_s}));
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(Stored(), QStringList{u"Y|2"_s});
}

void TestKosyuWindow::typingIsLimitedToTheColumn()
{
    Activate(m_window);
    Type(m_window->Edit2, QString(20, QChar(u'舗')));
    QCOMPARE(m_window->Edit2->text(), QString(16, QChar(u'舗')));
    Type(m_window->Edit2, u"a"_s);
    QCOMPARE(m_window->Edit2->text().size(), 16);
}

void TestKosyuWindow::deleteMenuEmptiesTableButKeepsScreen()
{
    TKosyu().RewriteList({u"A"_s, u"B"_s});
    Activate(m_window);
    m_window->N_Delete->trigger();
    QVERIFY(Stored().isEmpty());
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"A"_s, u"B"_s}));
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QCOMPARE(Stored(), (QStringList{u"A|1"_s, u"B|2"_s}));
}

void TestKosyuWindow::failingRewriteKeepsBothLists()
{
    TKosyu().RewriteList({u"A"_s, u"B"_s});
    Activate(m_window);
    // A name that slipped past the editor's limit, as from an older list.
    m_window->ListBox1->addItem(QString(20, QChar(u'長')));
    Type(m_window->Edit2, u"新"_s);
    QString message;
    AnswerBox(QMessageBox::Ok, &message);
    QTest::mouseClick(m_window->Button2, Qt::LeftButton);
    QVERIFY2(message.contains(u"KOSYUMEI"_s), qPrintable(message));
    QCOMPARE(Stored(), (QStringList{u"A|1"_s, u"B|2"_s}));
    QVERIFY(m_window->isVisible());
    // Back in front after the box, the window still shows what the user had.
    Activate(m_window);
    QCOMPARE(Items(m_window->ListBox1), (QStringList{u"新"_s, u"A"_s, u"B"_s, QString(20, QChar(u'長'))}));
}

QTEST_MAIN(TestKosyuWindow)
#include "tst_KosyuWindow.moc"
