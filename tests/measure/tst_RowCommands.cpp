#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uGridCalc.h"
#include "measure/uKelmo4Head.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Column1(TSpread *grid, const QList<int> &rows)
{
    QStringList texts;
    for (int r : rows)
        texts << grid->CellText(1, r);
    return texts;
}

} // namespace

class TestRowCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void editMenuOrder();
    void insertAndDelete_data();
    void insertAndDelete();
    void copyGivesTabSeparatedBlock();
    void spreadsheetBlockPastesAndCopiesBack();
    void pasteComputesNothingAndStoresNothing();

private:
    TTestEnv *m_env = nullptr;
    TfrmEditDekigata *m_window = nullptr;
};

void TestRowCommands::init()
{
    m_env = new TTestEnv;
    m_window = new TfrmEditDekigata;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    TSpread *grid = m_window->vaSpread1;
    for (int r = 1; r <= 4; ++r)
        grid->SetCellText(1, r, u"No.%1"_s.arg(r));
    grid->SetCellText(1, 1000, u"last"_s);
}

void TestRowCommands::cleanup()
{
    delete m_window;
    delete m_env;
    m_window = nullptr;
    m_env = nullptr;
}

void TestRowCommands::editMenuOrder()
{
    QMenu *edit = nullptr;
    for (QAction *a : m_window->menuBar()->actions()) {
        if (a->text() == u"編集"_s)
            edit = a->menu();
    }
    QVERIFY(edit);
    QStringList texts;
    for (QAction *a : edit->actions())
        texts << (a->isSeparator() ? u"-"_s : a->text());
    QCOMPARE(texts, (QStringList{u"行挿入"_s, u"行削除"_s, u"行コピー"_s, u"行貼付け"_s, u"-"_s, u"一括変更"_s}));
}

void TestRowCommands::insertAndDelete_data()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected"); // rows 1 … 5, then 999 and 1000

    QTest::newRow("insert in the middle") << true << 2
        << QStringList{u"No.1"_s, QString(), u"No.2"_s, u"No.3"_s, u"No.4"_s, QString(), QString()};
    QTest::newRow("insert at the top") << true << 1
        << QStringList{QString(), u"No.1"_s, u"No.2"_s, u"No.3"_s, u"No.4"_s, QString(), QString()};
    QTest::newRow("insert at row 1000 drops it") << true << 1000
        << QStringList{u"No.1"_s, u"No.2"_s, u"No.3"_s, u"No.4"_s, QString(), QString(), QString()};
    QTest::newRow("delete in the middle") << false << 2
        << QStringList{u"No.1"_s, u"No.3"_s, u"No.4"_s, QString(), QString(), u"last"_s, QString()};
    QTest::newRow("delete row 1000") << false << 1000
        << QStringList{u"No.1"_s, u"No.2"_s, u"No.3"_s, u"No.4"_s, QString(), QString(), QString()};
}

void TestRowCommands::insertAndDelete()
{
    QFETCH(bool, insert);
    QFETCH(int, row);
    QFETCH(QStringList, expected);

    TSpread *grid = m_window->vaSpread1;
    grid->SetCellText(5, 2, u"12"_s);
    grid->SetActiveCell(3, row);
    (insert ? m_window->actInsertRow : m_window->actDeleteRow)->trigger();
    QCOMPARE(Column1(grid, {1, 2, 3, 4, 5, 999, 1000}), expected);
    // The whole row moves, not only the active column.
    if (insert && row == 2)
        QCOMPARE(grid->CellText(5, 3), u"12"_s);
    if (!insert && row == 2)
        QCOMPARE(grid->CellText(5, 2), QString());
}

void TestRowCommands::copyGivesTabSeparatedBlock()
{
    TSpread *grid = m_window->vaSpread1;
    grid->SetCellText(3, 2, u"10.500"_s);
    grid->SetCellText(4, 2, u"10.512"_s);
    grid->SetSelectedBlock({1, 2, 4, 3});
    QApplication::clipboard()->clear();
    m_window->actCopyRow->trigger();
    QCOMPARE(QApplication::clipboard()->text(), u"No.2\t\t10.500\t10.512\nNo.3\t\t\t\n"_s);
}

void TestRowCommands::spreadsheetBlockPastesAndCopiesBack()
{
    // As a spreadsheet puts two rows of three cells on the clipboard.
    const QString block = u"No.10\tL\t5.25\r\nNo.11\tR\t5.5\r\n"_s;
    QApplication::clipboard()->setText(block);
    TSpread *grid = m_window->vaSpread1;
    grid->SetActiveCell(1, 999);
    m_window->actPasteRow->trigger();
    QCOMPARE(grid->CellText(1, 999), u"No.10"_s);
    QCOMPARE(grid->CellText(2, 999), u"L"_s);
    QCOMPARE(grid->CellText(3, 999), u"5.25"_s);
    QCOMPARE(grid->CellText(1, 1000), u"No.11"_s);
    QCOMPARE(grid->CellText(3, 1000), u"5.5"_s);
    QCOMPARE(grid->CellText(1, 4), u"No.4"_s);

    grid->SetSelectedBlock({1, 999, 3, 1000});
    m_window->actCopyRow->trigger();
    QCOMPARE(QApplication::clipboard()->text(), u"No.10\tL\t5.25\nNo.11\tR\t5.5\n"_s);

    // What lies beyond the last row or column is dropped.
    QApplication::clipboard()->setText(u"a\tb\nc\td\ne\tf\n"_s);
    grid->SetActiveCell(12, 999);
    m_window->actPasteRow->trigger();
    QCOMPARE(grid->CellText(12, 999), u"a"_s);
    QCOMPARE(grid->CellText(12, 1000), u"c"_s);
    QCOMPARE(grid->CellText(11, 999), QString());
}

void TestRowCommands::pasteComputesNothingAndStoresNothing()
{
    TSpread *grid = m_window->vaSpread1;
    QApplication::clipboard()->setText(u"10.5\t10.512\n"_s);
    grid->SetActiveCell(3, 1);
    m_window->actPasteRow->trigger();
    QCOMPARE(grid->CellText(3, 1), u"10.5"_s);
    QCOMPARE(grid->CellText(5, 1), QString());
    m_window->actInsertRow->trigger();
    QCOMPARE(m_window->Head()->ID, 0);
    QCOMPARE(m_window->Head()->LineCount(), 0);
}

QTEST_MAIN(TestRowCommands)
#include "tst_RowCommands.moc"
