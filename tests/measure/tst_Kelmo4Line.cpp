#include "app/Errors.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Line.h"
#include "measure/uRecordFigures.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TKel4LineRow)

namespace {
TKel4LineRow Line(int lno, const QStringList &cells)
{
    TKel4LineRow row;
    row.LNO = lno;
    for (int i = 0; i < cells.size() && i < TKel4LineRow::CellCount; ++i)
        row.Cells[size_t(i)] = cells[i];
    return row;
}

// Every stored line of the header, NULL and the empty text told apart, a text quoted apart
// from a number.
QStringList StoredLines(int kid)
{
    TQuery q(u"select * from Kel4Line where KID=:KID"_s);
    q.SetParam(u"KID"_s, kid);
    q.Open();
    QList<int> columns;
    for (const QString &f : Kel4LineCellFields())
        columns.append(q.FieldIndex(f));
    QList<QPair<int, QString>> rows;
    for (; !q.Eof(); q.Next()) {
        QStringList values;
        for (const int c : std::as_const(columns)) {
            const QVariant v = q.FieldValueAt(c);
            values.append(v.isNull() ? u"NULL"_s : v.typeId() == QMetaType::QString ? u'\'' + v.toString() + u'\'' : v.toString());
        }
        rows.append({q.FieldInt(u"LNO"_s), values.join(u',')});
    }
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const auto &[lno, text] : std::as_const(rows))
        lines.append(QString::number(lno) + u':' + text);
    return lines;
}

int CountLines(int kid)
{
    TQuery q(u"select * from Kel4Line where KID=:KID"_s);
    q.SetParam(u"KID"_s, kid);
    q.Open();
    return q.RecordCount();
}
} // namespace

class TestKelmo4Line : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceKeepsRowNumbersAndTexts();
    void replaceStoresWhatAFreshWriteStores_data();
    void replaceStoresWhatAFreshWriteStores();
    void tooLongTextKeepsOldLines_data();
    void tooLongTextKeepsOldLines();
    void deleteLinesTouchesOnlyItsHeader();
    void oldTableGetsKeyIndexAndKeepsLines();
    void positionsAreDistinctAndOrdered();

    void figuresOfEmptyRecord();
    void figuresOfRecord();
    void dateRange_data();
    void dateRange();
    void onePassFiguresMatchTheLineFigures_data();
    void onePassFiguresMatchTheLineFigures();
};

void TestKelmo4Line::replaceStoresWhatAFreshWriteStores_data()
{
    QTest::addColumn<QList<TKel4LineRow>>("before");
    QTest::addColumn<QList<TKel4LineRow>>("after");
    const QList<TKel4LineRow> three = {Line(1, {u"No.0"_s, u"左"_s, u"10.500"_s, u"10.512"_s, u"12"_s}),
                                       Line(2, {u"No.1"_s, {}, u"10.600"_s}),
                                       Line(5, {u"No.4"_s, {}, {}, {}, {}, u"8.000"_s, u"8.010"_s, u"10"_s,
                                                {}, {}, {}, u"確認"_s})};
    QList<TKel4LineRow> changed = three;
    changed[1].Cells[3] = u"10.611"_s;
    QList<TKel4LineRow> emptied = three;
    emptied[0].Cells[1] = u""_s; // stored as the empty text
    QList<TKel4LineRow> nulled = three;
    nulled[2].Cells[11] = QString(); // stored as NULL
    QList<TKel4LineRow> fromEmpty = three;
    fromEmpty[1].Cells[1] = u""_s;
    QList<TKel4LineRow> added = three;
    added.insert(2, Line(3, {u"No.2"_s}));
    QList<TKel4LineRow> twice = three;
    twice.append(Line(2, {u"No.1b"_s}));
    QTest::newRow("unchanged") << three << three;
    QTest::newRow("one cell changed") << three << changed;
    QTest::newRow("text emptied") << three << emptied;
    QTest::newRow("text to NULL") << three << nulled;
    QTest::newRow("NULL to empty text") << three << fromEmpty;
    QTest::newRow("empty text to NULL") << fromEmpty << three;
    QTest::newRow("line added") << three << added;
    QTest::newRow("line removed") << added << three;
    QTest::newRow("all removed") << three << QList<TKel4LineRow>();
    QTest::newRow("from nothing") << QList<TKel4LineRow>() << three;
    QTest::newRow("stored number twice") << twice << changed;
    QTest::newRow("new number twice") << three << twice;
}

void TestKelmo4Line::replaceStoresWhatAFreshWriteStores()
{
    QFETCH(QList<TKel4LineRow>, before);
    QFETCH(QList<TKel4LineRow>, after);
    TTestEnv env;
    TKelmo4Line lines;
    lines.CreateTableIfMissing();
    lines.ReplaceLines(1, before);
    lines.ReplaceLines(7, {Line(1, {u"other"_s})});
    lines.ReplaceLines(1, after);
    // The same lines written into an empty header.
    lines.ReplaceLines(2, after);
    QCOMPARE(StoredLines(1), StoredLines(2));
    QCOMPARE(StoredLines(1).size(), after.size());
    QCOMPARE(StoredLines(7), QStringList({u"1:'other',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL"_s}));
}

void TestKelmo4Line::replaceKeepsRowNumbersAndTexts()
{
    TTestEnv env;
    TKelmo4Line lines;
    QCOMPARE(lines.CreateTableIfMissing(), false);
    QCOMPARE(lines.CreateTableIfMissing(), true);
    lines.ReplaceLines(3, {Line(1, {u"No.0"_s, u"左"_s, u"10.500"_s}), Line(7, {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"2003/5/7"_s})});
    lines.ReplaceLines(3, {Line(2, {u"No.20"_s}), Line(1000, {u"No.9"_s, {}, u"1"_s, u"2"_s, u"1"_s})});
    const QList<TKel4LineRow> read = lines.LoadLines(3);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].LNO, 2);
    QCOMPARE(read[0].Cell(1), u"No.20"_s);
    QVERIFY(read[0].Cell(12).isEmpty());
    QCOMPARE(read[1].LNO, 1000);
    QCOMPARE(read[1].Cell(5), u"1"_s);
}

void TestKelmo4Line::tooLongTextKeepsOldLines_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("remark over 20 bytes") << 12 << u"あいうえおかきくけこさ"_s << u"BIKO"_s;
    QTest::newRow("value over 10 bytes") << 4 << u"12345.678901"_s << u"L1"_s;
    QTest::newRow("station over 16 bytes") << 1 << u"No.123456789012345"_s << u"SOKUTEN"_s;
    QTest::newRow("character without Shift-JIS form") << 2 << u"😀"_s << u"ITI"_s;
}

void TestKelmo4Line::tooLongTextKeepsOldLines()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, field);
    TTestEnv env;
    TKelmo4Line lines;
    lines.CreateTableIfMissing();
    lines.ReplaceLines(1, {Line(1, {u"No.0"_s}), Line(2, {u"No.20"_s})});
    QList<TKel4LineRow> rows;
    for (int r = 1; r <= 50; ++r)
        rows.append(Line(r, {u"No.%1"_s.arg(r)}));
    rows[40].Cells[size_t(column - 1)] = text;
    try {
        lines.ReplaceLines(1, rows);
        QFAIL("the over-long text was stored");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(field), qPrintable(e.Message()));
        QVERIFY2(e.Message().contains(u"41"_s), qPrintable(e.Message()));
    }
    const QList<TKel4LineRow> kept = lines.LoadLines(1);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(kept[1].Cell(1), u"No.20"_s);
}

void TestKelmo4Line::deleteLinesTouchesOnlyItsHeader()
{
    TTestEnv env;
    TKelmo4Line lines;
    lines.CreateTableIfMissing();
    lines.ReplaceLines(1, {Line(1, {u"a"_s}), Line(2, {u"b"_s})});
    lines.ReplaceLines(2, {Line(1, {u"c"_s})});
    lines.ReplaceLines(12, {Line(1, {u"d"_s})});
    lines.DeleteLines(1);
    QCOMPARE(CountLines(1), 0);
    QCOMPARE(CountLines(2), 1);
    QCOMPARE(CountLines(12), 1);
}

void TestKelmo4Line::oldTableGetsKeyIndexAndKeepsLines()
{
    TTestEnv env;
    // A folder from before the index: the bare table with lines of two headers.
    QVERIFY(!::CreateTableIfMissing(TKelmo4Line::TableDef()));
    TKelmo4Line lines;
    lines.ReplaceLines(1, {Line(1, {u"a"_s}), Line(2, {u"b"_s})});
    lines.ReplaceLines(2, {Line(1, {u"c"_s})});
    auto indexes = [] {
        TQuery q(TTestEnv::OnServer()
                     // The row key's index is the server's own, on every table (tst_Database).
                     ? u"select indexname as name from pg_indexes where tablename='kel4line' and indexname<>'kel4line_rowid'"_s
                     : u"select name from \"Kel4Line\".sqlite_master where type='index' and tbl_name='Kel4Line'"_s);
        q.Open();
        QStringList names;
        for (; !q.Eof(); q.Next())
            names.append(q.FieldText(u"name"_s).toLower());
        return names;
    };
    QVERIFY(indexes().isEmpty());

    QVERIFY(lines.CreateTableIfMissing()); // the table was there
    QCOMPARE(indexes(), QStringList{u"kel4linekid"_s});
    QVERIFY(lines.CreateTableIfMissing()); // and again: nothing more
    QCOMPARE(indexes(), QStringList{u"kel4linekid"_s});
    QCOMPARE(CountLines(1), 2);
    QCOMPARE(CountLines(2), 1);
    // Not unique: a header keeps any number of lines.
    lines.ReplaceLines(2, {Line(1, {u"d"_s}), Line(1, {u"e"_s})});
    QCOMPARE(CountLines(2), 2);
    QCOMPARE(lines.LoadLines(1).at(1).Cell(1), u"b"_s);
}

void TestKelmo4Line::positionsAreDistinctAndOrdered()
{
    TTestEnv env;
    TKelmo4Line lines;
    lines.CreateTableIfMissing();
    lines.ReplaceLines(1, {Line(1, {{}, u"右"_s}), Line(2, {{}, u"B"_s}), Line(3, {u"x"_s})});
    lines.ReplaceLines(2, {Line(1, {{}, u"A"_s}), Line(2, {{}, u"B"_s})});
    QStringList list{u"old"_s};
    lines.ListPositions(list);
    QCOMPARE(list, (QStringList{u"A"_s, u"B"_s, u"右"_s}));
}

void TestKelmo4Line::figuresOfEmptyRecord()
{
    const QList<TKel4LineRow> none;
    const TRecordUnits mm{u"㎜"_s, u"㎜"_s, u"1"_s, u"0.1"_s};
    QCOMPARE(RecordFigures::DiffCount(none), 0);
    QCOMPARE(RecordFigures::AverageDiffText(none, mm), u"0.0"_s);
    QCOMPARE(RecordFigures::MaxDiffText(none, mm), u"-1000000000000"_s);
    QCOMPARE(RecordFigures::MinDiffText(none, mm), u"1000000000000"_s);
    const TRecordUnits m{u"ｍ"_s, u"㎝"_s, u"1"_s, u"1"_s};
    QCOMPARE(RecordFigures::MaxDiffText(none, m), u"-1000000000000.0"_s);
    QCOMPARE(RecordFigures::MinDesignText(none, m), u"1000000000000.000"_s);
    QCOMPARE(RecordFigures::DateRangeText(none), u":"_s);
}

void TestKelmo4Line::figuresOfRecord()
{
    // A difference computed from a design value alone counts for the forms.
    const QList<TKel4LineRow> lines = {
        Line(1, {u"No.0"_s, {}, u"10.500"_s, u"10.512"_s, u"12"_s, u"10.400"_s, u"10.397"_s, u"-3"_s}),
        Line(3, {u"No.40"_s, {}, {}, {}, {}, u"10.600"_s, {}, u"-10600"_s, u"abc"_s, {}, {}}),
        Line(5, {u"No.80"_s, {}, {}, {}, {}, {}, {}, {}, u"9.9"_s, u"9.905"_s, u"5"_s}),
    };
    const TRecordUnits units{u"ｍ"_s, u"㎜"_s, u"1"_s, u"0.1"_s};
    QCOMPARE(RecordFigures::DiffCount(lines), 4);
    QCOMPARE(RecordFigures::DiffSum(lines), -10586.0);
    QCOMPARE(RecordFigures::AverageDiffText(lines, units), u"-2646.5"_s);
    QCOMPARE(RecordFigures::MaxDiffText(lines, units), u"12"_s);
    QCOMPARE(RecordFigures::MinDiffText(lines, units), u"-10600"_s);
    QCOMPARE(RecordFigures::MaxDesignText(lines, units), u"10.600"_s);
    QCOMPARE(RecordFigures::MinDesignText(lines, units), u"9.900"_s);
    // Without its own output unit the average takes the significant one.
    const TRecordUnits noAverageUnit{u"ｍ"_s, u"㎝"_s, u"0.1"_s, u"0"_s};
    QCOMPARE(RecordFigures::AverageDiffText(lines, noAverageUnit), u"-2646.50"_s);
}

void TestKelmo4Line::dateRange_data()
{
    QTest::addColumn<QStringList>("remarks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two dates among words") << QStringList{u"2003/5/7"_s, u"工事中"_s, u"2003/6/12"_s} << u"5月7日:6月12日"_s;
    QTest::newRow("order of the lines does not matter") << QStringList{u"2003/06/12"_s, u"2003/05/07"_s, u"2003/5/20"_s} << u"5月7日:6月12日"_s;
    QTest::newRow("one date") << QStringList{u"2010/11/3"_s} << u"11月3日:11月3日"_s;
    QTest::newRow("across a year end") << QStringList{u"2003/12/28"_s, u"2004/1/5"_s} << u"12月28日:1月5日"_s;
    QTest::newRow("no date") << QStringList{u"工事中"_s, QString(), u"2003/13/1"_s} << u":"_s;
}

void TestKelmo4Line::dateRange()
{
    QFETCH(QStringList, remarks);
    QFETCH(QString, expected);
    QList<TKel4LineRow> lines;
    for (const QString &r : remarks) {
        TKel4LineRow line;
        line.Cells[11] = r;
        lines.append(line);
    }
    QCOMPARE(RecordFigures::DateRangeText(lines), expected);
}

void TestKelmo4Line::onePassFiguresMatchTheLineFigures_data()
{
    // Differences L2, C2, R2 of each line, "|" between the three.
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("sum");
    QTest::addColumn<QString>("average");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("min");
    QTest::newRow("no lines") << QStringList{} << 0 << 0.0 << u"0.0"_s << u"-1000000000000"_s << u"1000000000000"_s;
    QTest::newRow("empty cells only") << QStringList{u"||"_s, u"||"_s} << 0 << 0.0 << u"0.0"_s << u"-1000000000000"_s
                                      << u"1000000000000"_s;
    QTest::newRow("three places") << QStringList{u"5|-3|10"_s, u"|2|"_s, u"-7||1"_s} << 6 << 8.0 << u"1.3"_s << u"10"_s
                                  << u"-7"_s;
    // The sum trims and takes an exponent as it is; the extremes want a bare number and
    // read only its digits, signs and points.
    QTest::newRow("spaces count, not for the extremes") << QStringList{u"| 3 |"_s, u"|1|"_s} << 2 << 4.0 << u"2.0"_s
                                                        << u"1"_s << u"1"_s;
    QTest::newRow("exponent") << QStringList{u"|1e1|"_s, u"|+2|"_s} << 2 << 12.0 << u"6.0"_s << u"11"_s << u"2"_s;
    QTest::newRow("lone point forms") << QStringList{u"-.5|7.|"_s} << 2 << 6.5 << u"3.3"_s << u"7"_s << u"-1"_s;
    // A text is no measured difference: no figure takes it.
    QTest::newRow("missed measurement") << QStringList{u"1|欠測|"_s, u"|x2|3"_s, u"1mm|-2|"_s} << 3 << 2.0 << u"0.7"_s
                                        << u"3"_s << u"-2"_s;
    QTest::newRow("texts only") << QStringList{u"欠測|欠測|欠測"_s} << 0 << 0.0 << u"0.0"_s << u"-1000000000000"_s
                                << u"1000000000000"_s;
}

void TestKelmo4Line::onePassFiguresMatchTheLineFigures()
{
    QFETCH(QStringList, diffs);
    QFETCH(int, count);
    QFETCH(double, sum);
    QFETCH(QString, average);
    QFETCH(QString, max);
    QFETCH(QString, min);
    QList<TKel4LineRow> lines;
    TDiffFigures figures;
    for (int i = 0; i < diffs.size(); ++i) {
        const QStringList d = diffs[i].split(u'|');
        lines.append(Line(i + 1, {{}, {}, {}, {}, d[0], {}, {}, d[1], {}, {}, d[2]}));
        figures.AddLine(lines.last());
    }
    const TRecordUnits units{u"ｍ"_s, u"㎜"_s, u"1"_s, u"0.1"_s};
    QCOMPARE(RecordFigures::DiffCount(lines), count);
    QCOMPARE(figures.Count(), count);
    QCOMPARE(RecordFigures::DiffSum(lines), sum);
    QCOMPARE(figures.Sum(), sum);
    QCOMPARE(RecordFigures::AverageDiffText(lines, units), average);
    QCOMPARE(figures.AverageText(units), average);
    QCOMPARE(RecordFigures::MaxDiffText(lines, units), max);
    QCOMPARE(figures.MaxText(units), max);
    QCOMPARE(RecordFigures::MinDiffText(lines, units), min);
    QCOMPARE(figures.MinText(units), min);
    QCOMPARE(figures.HasNumber(), max != u"-1000000000000"_s);
}

QTEST_GUILESS_MAIN(TestKelmo4Line)
#include "tst_Kelmo4Line.moc"
