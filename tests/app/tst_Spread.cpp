#include "app/uSpread.h"

#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Rows of a grid as "a|b|c" lines, so a whole grid compares in one QCOMPARE.
QStringList GridRows(const TSpread &grid)
{
    QStringList rows;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.MaxCols(); ++c)
            cells << grid.CellText(c, r);
        rows << cells.join(u'|');
    }
    return rows;
}

void Fill(TSpread &grid, const QStringList &rows)
{
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows.at(r).split(u'|');
        for (int c = 0; c < cells.size(); ++c)
            grid.SetCellText(c + 1, r + 1, cells.at(c));
    }
}

QPoint CellCenter(const TSpread &grid, int col, int row)
{
    return grid.visualRect(grid.Model()->index(row - 1, col - 1)).center();
}

// Types as a user does: the first key opens the cell editor, the rest go into it, then the
// finishing key (Enter, Tab) is pressed in the editor.
void TypeIntoCell(TSpread &grid, const QString &text, Qt::Key finish = Qt::Key_Return)
{
    QTest::keyClick(grid.viewport(), text.at(0).toLatin1());
    QWidget *editor = grid.window()->focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(editor));
    if (text.size() > 1)
        QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, finish);
    // Enter commits through a queued call; old editors go with deferred deletes.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

Q_DECLARE_METATYPE(TSpreadEnterDirection)

class TestSpread : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowActions_data();
    void rowActions();
    void paste_data();
    void paste();
    void copyIsTabSeparated();
    void programWritesRaiseNoChange();
    void updateAnnouncesOneBlock();
    void userEditsRaiseChange();
    void editMode_data();
    void editMode();
    void enterDirection_data();
    void enterDirection();
    void leaveCellOnlyForUserMoves();
    void checkBoxAndDecimals();
    void headingsAndWidths();
    void mouseEvents();
    void clearBlockOfRows();
    void thousandRowsKeepEveryCell();
};

void TestSpread::rowActions_data()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("activeRow");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("insert in the middle drops the last row")
        << true << 2 << QStringList{u"a|1"_s, u"|"_s, u"b|2"_s, u"c|3"_s};
    QTest::newRow("insert at the first row")
        << true << 1 << QStringList{u"|"_s, u"a|1"_s, u"b|2"_s, u"c|3"_s};
    QTest::newRow("insert at the last row empties it")
        << true << 4 << QStringList{u"a|1"_s, u"b|2"_s, u"c|3"_s, u"|"_s};
    QTest::newRow("delete in the middle empties the last row")
        << false << 2 << QStringList{u"a|1"_s, u"c|3"_s, u"d|4"_s, u"|"_s};
    QTest::newRow("delete the first row")
        << false << 1 << QStringList{u"b|2"_s, u"c|3"_s, u"d|4"_s, u"|"_s};
    QTest::newRow("delete the last row")
        << false << 4 << QStringList{u"a|1"_s, u"b|2"_s, u"c|3"_s, u"|"_s};
}

void TestSpread::rowActions()
{
    QFETCH(bool, insert);
    QFETCH(int, activeRow);
    QFETCH(QStringList, expected);

    TSpread grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(4);
    Fill(grid, {u"a|1"_s, u"b|2"_s, u"c|3"_s, u"d|4"_s});
    QSignalSpy changed(&grid, &TSpread::Changed);
    grid.SetActiveCell(2, activeRow);
    if (insert)
        grid.InsertRow();
    else
        grid.DeleteRow();
    QCOMPARE(GridRows(grid), expected);
    QCOMPARE(grid.MaxRows(), 4);
    QCOMPARE(changed.count(), 0);
}

void TestSpread::paste_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QString block = u"x\ty\tz\n1\t2\t3\n"_s;
    QTest::newRow("block inside the grid")
        << 1 << 1 << block << QStringList{u"x|y|z"_s, u"1|2|3"_s, u"||"_s};
    QTest::newRow("clipped at the right edge")
        << 2 << 1 << block << QStringList{u"|x|y"_s, u"|1|2"_s, u"||"_s};
    QTest::newRow("clipped at the bottom edge")
        << 1 << 3 << block << QStringList{u"||"_s, u"||"_s, u"x|y|z"_s};
    QTest::newRow("clipped at both edges")
        << 3 << 3 << block << QStringList{u"||"_s, u"||"_s, u"||x"_s};
    QTest::newRow("line ends of another system")
        << 1 << 2 << u"p\tq\r\nr\ts\r\n"_s << QStringList{u"||"_s, u"p|q|"_s, u"r|s|"_s};
    QTest::newRow("one value, no line end")
        << 2 << 2 << u"7"_s << QStringList{u"||"_s, u"|7|"_s, u"||"_s};
    QTest::newRow("empty fields overwrite")
        << 1 << 1 << u"\tv\n"_s << QStringList{u"|v|"_s, u"||"_s, u"||"_s};
    QTest::newRow("ragged lines touch only their own cells")
        << 1 << 1 << u"k\nl\tm\tn\n"_s << QStringList{u"k||"_s, u"l|m|n"_s, u"||"_s};
}

void TestSpread::paste()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    TSpread grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(3);
    if (QTest::currentDataTag() == QByteArray("empty fields overwrite"))
        grid.SetCellText(1, 1, u"old"_s);
    QSignalSpy changed(&grid, &TSpread::Changed);
    grid.SetActiveCell(col, row);
    grid.PasteText(text);
    QCOMPARE(GridRows(grid), expected);
    QCOMPARE(changed.count(), 0);
}

void TestSpread::copyIsTabSeparated()
{
    TSpread grid;
    grid.SetMaxCols(4);
    grid.SetMaxRows(3);
    Fill(grid, {u"a|b|c|d"_s, u"e||g|h"_s, u"i|j|k|l"_s});
    grid.SetSelectedBlock({2, 1, 3, 2});
    QCOMPARE(grid.SelectedBlock(), (TSpreadBlock{2, 1, 3, 2}));
    QCOMPARE(grid.SelectionText(), u"b\tc\n\tg\n"_s);
    grid.ClipboardCopy();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"b\tc\n\tg\n"_s);

    // Copy and paste elsewhere reproduces the block.
    grid.SetActiveCell(3, 2);
    grid.ClipboardPaste();
    QCOMPARE(GridRows(grid), (QStringList{u"a|b|c|d"_s, u"e||b|c"_s, u"i|j||g"_s}));
}

void TestSpread::programWritesRaiseNoChange()
{
    TSpread grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(5);
    QSignalSpy changed(&grid, &TSpread::Changed);
    grid.SetCellText(1, 1, u"10.5"_s);
    grid.SetBlockCellType({3, 1, 3, 5}, TSpreadCellType::CheckBox);
    grid.SetCellText(3, 2, u"1"_s);
    grid.ClearRows(4, 5);
    grid.SetActiveCell(1, 1);
    grid.InsertRow();
    grid.PasteText(u"a\tb"_s);
    grid.ClearAll();
    QCOMPARE(changed.count(), 0);
}

void TestSpread::updateAnnouncesOneBlock()
{
    TSpread grid;
    grid.SetMaxCols(12);
    grid.SetMaxRows(1000);
    TSpreadModel *model = grid.Model();
    model->SetText(4, 4, u"same"_s);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);

    model->BeginUpdate();
    model->SetText(2, 3, u"a"_s);
    model->BeginUpdate(); // nested: only the outermost end announces
    model->SetText(5, 7, u"b"_s);
    model->SetText(4, 4, u"same"_s); // unchanged, so outside the block
    model->EndUpdate();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model->Text(5, 7), u"b"_s); // the texts are there at once
    model->EndUpdate();
    QCOMPARE(changed.count(), 1);
    const auto args = changed.takeFirst();
    QCOMPARE(args.at(0).value<QModelIndex>(), model->index(2, 1)); // row 3, column 2
    QCOMPARE(args.at(1).value<QModelIndex>(), model->index(6, 4)); // row 7, column 5

    // An update that changes nothing announces nothing; after it, writes announce again.
    model->BeginUpdate();
    model->SetText(2, 3, u"a"_s);
    model->EndUpdate();
    QCOMPARE(changed.count(), 0);
    model->SetText(1, 1, u"c"_s);
    QCOMPARE(changed.count(), 1);
    model->EndUpdate(); // unbalanced: ignored
    model->SetText(1, 2, u"d"_s);
    QCOMPARE(changed.count(), 2);
}

void TestSpread::userEditsRaiseChange()
{
    TSpread grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(5);
    grid.SetBlockCellType({3, 1, 3, 5}, TSpreadCellType::CheckBox);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy changed(&grid, &TSpread::Changed);

    grid.SetActiveCell(2, 3);
    TypeIntoCell(grid, u"12"_s);
    QCOMPARE(grid.CellText(2, 3), u"12"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0), (QVariantList{2, 3}));

    // Typing the same text again is no change.
    grid.SetActiveCell(2, 3);
    TypeIntoCell(grid, u"12"_s);
    QCOMPARE(changed.count(), 1);

    // A tick by the user reads "1" and is reported.
    QVERIFY(grid.Model()->setData(grid.Model()->index(0, 2), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(grid.CellText(3, 1), u"1"_s);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1), (QVariantList{3, 1}));

    // Delete clears the selected cells as the user's change.
    grid.SetActiveCell(2, 3);
    QTest::keyClick(grid.viewport(), Qt::Key_Delete);
    QCOMPARE(grid.CellText(2, 3), QString());
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(2), (QVariantList{2, 3}));

    // Locked cells take no typing.
    grid.SetBlockLocked({1, 1, 1, 5}, true);
    grid.SetActiveCell(1, 1);
    QTest::keyClicks(grid.viewport(), u"x"_s);
    QCOMPARE(grid.CellText(1, 1), QString());
    QCOMPARE(changed.count(), 3);
}

void TestSpread::editMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("replace") << int(TSpreadEditMode::Replace) << u"9"_s;
    QTest::newRow("insert") << int(TSpreadEditMode::Insert) << u"129"_s;
}

void TestSpread::editMode()
{
    QFETCH(int, mode);
    QFETCH(QString, expected);
    TSpread grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(2);
    grid.SetCellText(1, 1, u"12"_s);
    grid.SetEditMode(TSpreadEditMode(mode));
    QCOMPARE(int(grid.EditMode()), mode);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.SetActiveCell(1, 1);
    TypeIntoCell(grid, u"9"_s);
    QCOMPARE(grid.CellText(1, 1), expected);
}

void TestSpread::enterDirection_data()
{
    QTest::addColumn<TSpreadEnterDirection>("direction");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("expectedCol");
    QTest::addColumn<int>("expectedRow");

    using D = TSpreadEnterDirection;
    QTest::newRow("none stays") << D::None << 2 << 2 << true << 2 << 2;
    QTest::newRow("down") << D::Down << 2 << 2 << true << 2 << 3;
    QTest::newRow("down at the last row stays") << D::Down << 2 << 3 << true << 2 << 3;
    QTest::newRow("up") << D::Up << 2 << 2 << true << 2 << 1;
    QTest::newRow("up at the first row stays") << D::Up << 2 << 1 << false << 2 << 1;
    QTest::newRow("next skips the hidden column") << D::Next << 1 << 2 << true << 3 << 2;
    QTest::newRow("next wraps to the next row") << D::Next << 4 << 1 << true << 1 << 2;
    QTest::newRow("next at the very end stays") << D::Next << 4 << 3 << false << 4 << 3;
    QTest::newRow("previous skips the hidden column") << D::Previous << 3 << 2 << true << 1 << 2;
    QTest::newRow("previous wraps to the row above") << D::Previous << 1 << 2 << false << 4 << 1;
    QTest::newRow("down without editing") << D::Down << 4 << 1 << false << 4 << 2;
}

void TestSpread::enterDirection()
{
    QFETCH(TSpreadEnterDirection, direction);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(bool, editing);
    QFETCH(int, expectedCol);
    QFETCH(int, expectedRow);

    TSpread grid;
    grid.SetMaxCols(4);
    grid.SetMaxRows(3);
    grid.SetColWidth(2, 0);
    grid.SetEnterDirection(direction);
    QCOMPARE(grid.EnterDirection(), direction);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.SetActiveCell(col, row);
    if (editing) {
        TypeIntoCell(grid, u"5"_s);
        QCOMPARE(grid.CellText(col, row), u"5"_s);
    } else {
        QTest::keyClick(grid.viewport(), Qt::Key_Return);
    }
    QCOMPARE(grid.ActiveCol(), expectedCol);
    QCOMPARE(grid.ActiveRow(), expectedRow);
}

void TestSpread::leaveCellOnlyForUserMoves()
{
    TSpread grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(3);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.SetActiveCell(1, 1);
    QSignalSpy leave(&grid, &TSpread::LeaveCell);
    QSignalSpy changed(&grid, &TSpread::Changed);
    grid.SetActiveCell(2, 2);
    QCOMPARE(leave.count(), 0);

    QTest::keyClick(grid.viewport(), Qt::Key_Right);
    QCOMPARE(leave.count(), 1);
    QCOMPARE(leave.at(0), (QVariantList{2, 2, 3, 2}));

    // Editing then moving: the change is reported before the leave.
    QStringList events;
    connect(&grid, &TSpread::Changed, this,
            [&](int c, int r) { events << u"change %1,%2"_s.arg(c).arg(r); });
    connect(&grid, &TSpread::LeaveCell, this, [&](int c, int r, int nc, int nr) {
        events << u"leave %1,%2>%3,%4"_s.arg(c).arg(r).arg(nc).arg(nr);
    });
    TypeIntoCell(grid, u"4"_s, Qt::Key_Tab); // last column: Tab has nowhere to go
    TypeIntoCell(grid, u"8"_s);              // Enter goes down by default
    QCOMPARE(events, (QStringList{u"change 3,2"_s, u"change 3,2"_s, u"leave 3,2>3,3"_s}));
    QCOMPARE(grid.CellText(3, 2), u"8"_s);
    QCOMPARE(changed.count(), 2);
}

void TestSpread::checkBoxAndDecimals()
{
    TSpread grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(3);
    grid.SetBlockCellType({1, 1, 1, 3}, TSpreadCellType::CheckBox);
    grid.SetCellText(1, 1, u"1"_s);
    grid.SetCellText(1, 2, u"TRUE"_s);
    QCOMPARE(grid.CellText(1, 1), u"1"_s);
    QCOMPARE(grid.CellText(1, 2), QString());
    QCOMPARE(grid.Model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(grid.Model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    grid.SetBlockDecimals({2, 1, 2, 3}, 3);
    grid.SetCellText(2, 1, u"10.5"_s);
    grid.SetCellText(2, 2, u"abc"_s);
    QCOMPARE(grid.CellDecimals(2, 1), 3);
    QCOMPARE(grid.Model()->index(0, 1).data().toString(), u"10.500"_s);
    QCOMPARE(grid.Model()->index(1, 1).data().toString(), u"abc"_s);
    // The text stays what was written; only the display is formatted.
    QCOMPARE(grid.CellText(2, 1), u"10.5"_s);
    grid.SetBlockDecimals({2, 1, 2, 3}, 0);
    QCOMPARE(grid.Model()->index(0, 1).data().toString(), u"11"_s);
}

void TestSpread::headingsAndWidths()
{
    TSpread grid;
    grid.SetMaxCols(3);
    grid.SetMaxRows(2);
    QCOMPARE(grid.CellText(2, 0), u"B"_s);
    QCOMPARE(grid.CellText(0, 2), u"2"_s);
    grid.SetCellText(2, 0, u"差の単位"_s);
    grid.SetCellText(0, 1, u"高さ"_s);
    grid.SetCellText(3, 0, QString());
    QCOMPARE(grid.Model()->headerData(1, Qt::Horizontal).toString(), u"差の単位"_s);
    QCOMPARE(grid.Model()->headerData(0, Qt::Vertical).toString(), u"高さ"_s);
    QCOMPARE(grid.CellText(3, 0), QString());

    grid.SetColWidth(2, 40);
    QCOMPARE(grid.ColWidth(2), 40);
    grid.SetColWidth(2, 0);
    QCOMPARE(grid.ColWidth(2), 0);
    QVERIFY(grid.isColumnHidden(1));
    grid.SetColWidth(2, 55);
    QVERIFY(!grid.isColumnHidden(1));
    QCOMPARE(grid.ColWidth(2), 55);
    grid.SetColWidth(0, 0);
    QCOMPARE(grid.ColWidth(0), 0);

    grid.SetCellBackColor(1, 1, 0x000000FFu);
    QCOMPARE(grid.CellBackColor(1, 1), 0x000000FFu);
    QCOMPARE(grid.Model()->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
             QColor(255, 0, 0));
    grid.SetBlockBackColor(grid.AllCells(), 0x00102030u);
    QCOMPARE(grid.CellBackColor(3, 2), 0x00102030u);
    QCOMPARE(BgrFromColor(ColorFromBgr(0x00ABCDEFu)), 0x00ABCDEFu);
}

void TestSpread::mouseEvents()
{
    TSpread grid;
    grid.SetMaxCols(4);
    grid.SetMaxRows(4);
    grid.SetBlockCellType({4, 1, 4, 4}, TSpreadCellType::Button);
    grid.SetCellText(4, 2, u"参照"_s);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy right(&grid, &TSpread::RightClick);
    QSignalSpy dbl(&grid, &TSpread::DblClick);
    QSignalSpy block(&grid, &TSpread::BlockSelected);
    QSignalSpy button(&grid, &TSpread::ButtonClicked);
    QWidget *vp = grid.viewport();

    grid.SetActiveCell(1, 1);
    QTest::mouseClick(vp, Qt::RightButton, {}, CellCenter(grid, 2, 3));
    QCOMPARE(right.count(), 1);
    QCOMPARE(right.at(0), (QVariantList{2, 3}));
    QCOMPARE(grid.ActiveCol(), 1);

    QTest::mouseDClick(vp, Qt::LeftButton, {}, CellCenter(grid, 3, 1));
    QCOMPARE(dbl.count(), 1);
    QCOMPARE(dbl.at(0), (QVariantList{3, 1}));

    QTest::mouseClick(vp, Qt::LeftButton, {}, CellCenter(grid, 4, 2));
    QCOMPARE(button.count(), 1);
    QCOMPARE(button.at(0), (QVariantList{4, 2}));
    // A single cell is no block.
    QCOMPARE(block.count(), 0);

    QTest::mouseClick(vp, Qt::LeftButton, {}, CellCenter(grid, 1, 1));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, CellCenter(grid, 2, 3));
    QCOMPARE(block.count(), 1);
    QCOMPARE(block.at(0), (QVariantList{1, 1, 2, 3}));
    QCOMPARE(grid.SelectedBlock(), (TSpreadBlock{1, 1, 2, 3}));
}

void TestSpread::clearBlockOfRows()
{
    TSpread grid;
    grid.SetMaxCols(2);
    grid.SetMaxRows(4);
    Fill(grid, {u"a|1"_s, u"b|2"_s, u"c|3"_s, u"d|4"_s});
    grid.ClearRows(2, 3);
    QCOMPARE(GridRows(grid), (QStringList{u"a|1"_s, u"|"_s, u"|"_s, u"d|4"_s}));
    grid.ClearAll();
    QCOMPARE(GridRows(grid), (QStringList{u"|"_s, u"|"_s, u"|"_s, u"|"_s}));
}

void TestSpread::thousandRowsKeepEveryCell()
{
    TSpread grid;
    grid.SetMaxCols(12);
    grid.SetMaxRows(1000);
    for (int r = 1; r <= 1000; ++r)
        for (int c = 1; c <= 12; ++c)
            grid.SetCellText(c, r, QString::number(r * 100 + c));
    grid.SetActiveCell(1, 500);
    grid.DeleteRow();
    QCOMPARE(grid.CellText(12, 500), u"50112"_s);
    QCOMPARE(grid.CellText(1, 999), u"100001"_s);
    QCOMPARE(grid.CellText(1, 1000), QString());
    QCOMPARE(grid.model()->rowCount(), 1000);
}

QTEST_MAIN(TestSpread)
#include "tst_Spread.moc"
