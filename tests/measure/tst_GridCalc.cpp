#include "app/uCommon.h"
#include "measure/uGridCalc.h"
#include "measure/uUnits.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

class TestGridCalc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void units_data();
    void units();
    void typedValue_data();
    void typedValue();
    void notANumberDoesNothing();
    void reformatReachesOtherRows();
    void settledGridIsNotRewritten();
    void unitSwitchConvertsNothing();
    void calculatorSeesChangesBehindItsBack();
    void totals_data();
    void totals();
    void totalsCountOnlyNumbers_data();
    void totalsCountOnlyNumbers();
    void proposals_data();
    void proposals();
    void yukouNeverCoarserThanDifferenceUnit_data();
    void yukouNeverCoarserThanDifferenceUnit();
};

void TestGridCalc::units_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("output");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("decimals");
    QTest::newRow("m and 1") << u"ｍ"_s << u"1"_s << 1000.0 << 3;
    QTest::newRow("cm and 1") << u"㎝"_s << u"1"_s << 10.0 << 1;
    QTest::newRow("mm and 1") << u"㎜"_s << u"1"_s << 1.0 << 0;
    QTest::newRow("mm and 0.1") << u"㎜"_s << u"0.1"_s << 1.0 << 1;
    QTest::newRow("m and 10") << u"ｍ"_s << u"10"_s << 1000.0 << 2;
    QTest::newRow("m and 0.001") << u"ｍ"_s << u"0.001"_s << 1000.0 << 6;
    QTest::newRow("mm and 5 is not negative") << u"㎜"_s << u"5"_s << 1.0 << 0;
    QTest::newRow("half-width m is a millimetre") << u"m"_s << u"1"_s << 1.0 << 0;
    QTest::newRow("mm written in full-width letters") << u"ｍｍ"_s << u"1"_s << 1.0 << 0;
    QTest::newRow("empty unit") << QString() << u"1"_s << 1.0 << 0;
    QTest::newRow("empty output counts as 1") << u"ｍ"_s << QString() << 1000.0 << 3;
    QTest::newRow("zero output counts as 1") << u"㎝"_s << u"0"_s << 10.0 << 1;
}

void TestGridCalc::units()
{
    QFETCH(QString, unit);
    QFETCH(QString, output);
    QFETCH(double, factor);
    QFETCH(int, decimals);
    QCOMPARE(UnitFactor(unit), factor);
    QCOMPARE(Dec(unit, output), decimals);
}

void TestGridCalc::typedValue_data()
{
    QTest::addColumn<QString>("inputUnit");
    QTest::addColumn<QString>("diffUnit");
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<bool>("sagari");
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("before"); // design, measured, difference
    QTest::addColumn<int>("typed");          // 0 design, 1 measured, 2 difference
    QTest::addColumn<QStringList>("after");

    QTest::newRow("m values, mm differences")
        << u"ｍ"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"10.5"_s, u"10.512"_s, {}} << 1
        << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s};
    QTest::newRow("cm values, mm differences")
        << u"㎝"_s << u"㎜"_s << u"1"_s << false << 0 << QStringList{u"20"_s, u"21.5"_s, {}} << 1
        << QStringList{u"20.0"_s, u"21.5"_s, u"15"_s};
    QTest::newRow("下がり turns the difference round")
        << u"㎜"_s << u"㎜"_s << u"1"_s << true << 2 << QStringList{u"100"_s, u"95"_s, {}} << 1
        << QStringList{u"100"_s, u"95"_s, u"5"_s};
    QTest::newRow("design typed after the measured value")
        << u"㎜"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"98"_s, u"95"_s, u"7"_s} << 0
        << QStringList{u"98"_s, u"95"_s, u"-3"_s};
    QTest::newRow("difference typed gives the measured value")
        << u"㎜"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"50"_s, {}, u"3"_s} << 2
        << QStringList{u"50"_s, u"53"_s, u"3"_s};
    QTest::newRow("difference typed with 下がり")
        << u"㎜"_s << u"㎜"_s << u"1"_s << true << 1 << QStringList{u"50"_s, {}, u"3"_s} << 2
        << QStringList{u"50"_s, u"47"_s, u"3"_s};
    QTest::newRow("difference in cm on m values")
        << u"ｍ"_s << u"㎝"_s << u"1"_s << false << 1 << QStringList{u"2"_s, {}, u"1.5"_s} << 2
        << QStringList{u"2.000"_s, u"2.015"_s, u"1.5"_s};
    // Nothing was measured: no difference, and the measured cell stays empty.
    QTest::newRow("design alone computes nothing")
        << u"㎜"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"50"_s, {}, {}} << 0
        << QStringList{u"50"_s, QString(), QString()};
    QTest::newRow("design alone with 下がり computes nothing")
        << u"ｍ"_s << u"㎜"_s << u"1"_s << true << 1 << QStringList{u"1.2"_s, {}, {}} << 0
        << QStringList{u"1.200"_s, QString(), QString()};
    QTest::newRow("measured beside a text computes nothing")
        << u"㎜"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"欠測"_s, u"51"_s, {}} << 1
        << QStringList{u"欠測"_s, u"51"_s, QString()};
    QTest::newRow("full-width measured value")
        << u"ｍ"_s << u"㎜"_s << u"1"_s << false << 0 << QStringList{u"10.5"_s, u"１０．５１２"_s, {}} << 1
        << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s};
    // The difference follows the measured value as stored, not as typed.
    QTest::newRow("difference from the rounded measured value")
        << u"㎝"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"20"_s, u"21.45"_s, {}} << 1
        << QStringList{u"20.0"_s, u"21.4"_s, u"14"_s};
    QTest::newRow("typed difference agrees with the rounded measured value")
        << u"㎝"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"20"_s, {}, u"14.5"_s} << 2
        << QStringList{u"20.0"_s, u"21.4"_s, u"14"_s};
    QTest::newRow("tenth of a millimetre")
        << u"㎜"_s << u"㎜"_s << u"0.1"_s << false << 1 << QStringList{u"10"_s, u"10.26"_s, {}} << 1
        << QStringList{u"10.0"_s, u"10.3"_s, u"0.3"_s};
    QTest::newRow("empty 有効 counts as 1")
        << u"ｍ"_s << u"㎜"_s << QString() << false << 1 << QStringList{u"10.5"_s, u"10.512"_s, {}} << 1
        << QStringList{u"10.500"_s, u"10.512"_s, u"12"_s};
    QTest::newRow("zero 有効 counts as 1")
        << u"㎝"_s << u"㎜"_s << u"0"_s << false << 1 << QStringList{u"20"_s, u"21.5"_s, {}} << 1
        << QStringList{u"20.0"_s, u"21.5"_s, u"15"_s};
    QTest::newRow("row adding up to zero keeps its texts")
        << u"ｍ"_s << u"㎜"_s << u"1"_s << false << 1 << QStringList{u"0"_s, u"0"_s, {}} << 1
        << QStringList{u"0"_s, u"0"_s, u"0"_s};
}

void TestGridCalc::typedValue()
{
    QFETCH(QString, inputUnit);
    QFETCH(QString, diffUnit);
    QFETCH(QString, yukou);
    QFETCH(bool, sagari);
    QFETCH(int, group);
    QFETCH(QStringList, before);
    QFETCH(int, typed);
    QFETCH(QStringList, after);

    TGridBuffer grid;
    const int row = 7;
    const int first = DesignColumn(group);
    for (int i = 0; i < 3; ++i)
        grid.SetCell(first + i, row, before[i]);
    const TGridUnits units = TGridUnits::From(inputUnit, diffUnit, yukou, sagari);
    QVERIFY(GridCalc::CellChanged(grid, units, first + typed, row));
    const QStringList shown = {grid.Cell(first, row), grid.Cell(first + 1, row), grid.Cell(first + 2, row)};
    QCOMPARE(shown, after);
    // The other groups of the row stay empty.
    for (int g = 0; g < 3; ++g) {
        if (g != group)
            QVERIFY(grid.Cell(DesignColumn(g), row).isEmpty() && grid.Cell(DiffColumn(g), row).isEmpty());
    }
}

void TestGridCalc::notANumberDoesNothing()
{
    TGridBuffer grid;
    grid.SetCell(3, 1, u"abc"_s);
    grid.SetCell(4, 1, u"10"_s);
    grid.SetCell(6, 2, u"10.5"_s); // unformatted elsewhere: not touched either
    grid.TakeWriteCount();
    const TGridUnits units = TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false);
    QVERIFY(!GridCalc::CellChanged(grid, units, 3, 1));
    QCOMPARE(grid.TakeWriteCount(), 0);
    QCOMPARE(grid.Cell(4, 1), u"10"_s);
    QVERIFY(grid.Cell(5, 1).isEmpty());
    QCOMPARE(grid.Cell(6, 2), u"10.5"_s);
    QVERIFY(!GridCalc::CellChanged(grid, units, 3, 3)); // an emptied cell is not a number
}

void TestGridCalc::reformatReachesOtherRows()
{
    TGridBuffer grid;
    grid.SetCell(6, 5, u"10.5"_s);   // a design value written in by the road plan
    grid.SetCell(1, 9, u"No.1"_s);   // stations are never formatted
    grid.SetCell(6, 1000, u"2"_s);   // the last row is formatted like any other
    // Texts that are not numbers stay as typed.
    grid.SetCell(6, 6, u"10.5"_s);
    grid.SetCell(7, 6, u"欠測"_s);
    grid.SetCell(8, 6, u"3"_s);
    grid.SetCell(9, 7, u"1e3"_s);
    grid.SetCell(10, 7, u"1,5"_s);
    grid.SetCell(3, 1, u"1"_s);
    grid.SetCell(4, 1, u"1.002"_s);
    const TGridUnits units = TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false);
    QVERIFY(GridCalc::CellChanged(grid, units, 4, 1));
    QCOMPARE(grid.Cell(5, 1), u"2"_s);
    QCOMPARE(grid.Cell(6, 5), u"10.500"_s);
    QVERIFY(grid.Cell(7, 5).isEmpty()); // a design value alone is not a measurement
    QVERIFY(grid.Cell(8, 5).isEmpty());
    QCOMPARE(grid.Cell(1, 9), u"No.1"_s);
    QCOMPARE(grid.Cell(6, 1000), u"2.000"_s);
    QCOMPARE((QStringList{grid.Cell(6, 6), grid.Cell(7, 6), grid.Cell(8, 6)}),
             (QStringList{u"10.500"_s, u"欠測"_s, u"3"_s}));
    QCOMPARE((QStringList{grid.Cell(9, 7), grid.Cell(10, 7), grid.Cell(11, 7)}),
             (QStringList{u"1e3"_s, u"1,5"_s, QString()}));
}

void TestGridCalc::settledGridIsNotRewritten()
{
    TGridBuffer grid;
    const TGridUnits units = TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false);
    for (int r = 1; r <= RowCount; ++r) {
        for (int g = 0; g < 3; ++g) {
            grid.SetCell(DesignColumn(g), r, u"10.5"_s);
            grid.SetCell(MeasuredColumn(g), r, QString::number(10.5 + r * 0.001, 'f', 3));
        }
    }
    GridCalc::Reformat(grid, units);
    grid.TakeWriteCount();
    grid.SetCell(4, 500, u"10.6"_s);
    grid.TakeWriteCount();
    QVERIFY(GridCalc::CellChanged(grid, units, 4, 500));
    // The difference and the measured text of that one group change; nothing else is written.
    QCOMPARE(grid.TakeWriteCount(), 2);
    QCOMPARE(grid.Cell(4, 500), u"10.600"_s);
    QCOMPARE(grid.Cell(5, 500), u"100"_s);
}

void TestGridCalc::unitSwitchConvertsNothing()
{
    TGridBuffer grid;
    grid.SetCell(6, 1, u"10.5"_s);
    grid.SetCell(7, 1, u"10.512"_s);
    QVERIFY(GridCalc::CellChanged(grid, TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false), 7, 1));
    QCOMPARE(grid.Cell(6, 1), u"10.500"_s);
    grid.SetCell(12, 3, u"1"_s);
    QVERIFY(GridCalc::CellChanged(grid, TGridUnits::From(u"㎝"_s, u"㎜"_s, u"1"_s, false), 12, 3));
    QCOMPARE(grid.Cell(6, 1), u"10.5"_s);
    QCOMPARE(grid.Cell(7, 1), u"10.5"_s); // 10.512 ㎝ shown to the millimetre
    QCOMPARE(grid.Cell(8, 1), u"0"_s);    // and the difference follows the values as now shown
}

void TestGridCalc::calculatorSeesChangesBehindItsBack()
{
    TGridBuffer grid;
    TGridCalc calc;
    const TGridUnits m = TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"1"_s, false);
    grid.SetCell(6, 1, u"10.5"_s);
    grid.SetCell(7, 1, u"10.512"_s);
    QVERIFY(calc.CellChanged(grid, m, 7, 1));
    QCOMPARE(calc.Totals(grid, u"㎜"_s, u"1"_s, u"1"_s).Sum, u"12"_s);

    // A paste or the road plan writes a settled group without the calculator.
    grid.SetCell(7, 1, u"10.52"_s);
    grid.SetCell(8, 1, u"20"_s);
    grid.SetCell(12, 2, u"1"_s);
    QVERIFY(calc.CellChanged(grid, m, 12, 2));
    QCOMPARE(grid.Cell(7, 1), u"10.520"_s);
    QCOMPARE(grid.Cell(8, 1), u"20"_s);
    QCOMPARE(calc.Totals(grid, u"㎜"_s, u"1"_s, u"1"_s).Sum, u"20"_s);

    // Other decimals make every group settle again.
    QVERIFY(calc.CellChanged(grid, TGridUnits::From(u"ｍ"_s, u"㎜"_s, u"10"_s, false), 12, 2));
    QCOMPARE(grid.Cell(6, 1), u"10.50"_s);
    QVERIFY(calc.CellChanged(grid, TGridUnits::From(u"ｍ"_s, u"㎝"_s, u"10"_s, false), 12, 2));
    QCOMPARE(grid.Cell(6, 1), u"10.50"_s);
    QCOMPARE(grid.Cell(8, 1), u"2"_s); // 20 mm in centimetres
    QCOMPARE(calc.Totals(grid, u"㎝"_s, u"10"_s, u"10"_s).Sum, u"2"_s);
}

void TestGridCalc::totals_data()
{
    QTest::addColumn<QList<QStringList>>("rows"); // row number, design, measured, difference
    QTest::addColumn<QString>("diffUnit");
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<QString>("heikin");
    QTest::addColumn<QStringList>("expected");

    const QList<QStringList> example = {{u"1"_s, u"50"_s, u"62"_s, u"12"_s},
                                        {u"2"_s, u"50"_s, u"47"_s, u"-3"_s},
                                        {u"3"_s, u"50"_s, u"45"_s, {}}};
    QTest::newRow("sum 9, count 2, average 4.5")
        << example << u"㎜"_s << u"1"_s << u"0.1"_s << QStringList{u"9"_s, u"2"_s, u"4.5"_s};
    QTest::newRow("empty 平均 takes the decimals of 有効")
        << example << u"㎜"_s << u"1"_s << QString() << QStringList{u"9"_s, u"2"_s, u"5"_s};
    QTest::newRow("zero 有効 gives no decimals")
        << example << u"ｍ"_s << u"0"_s << QString() << QStringList{u"9"_s, u"2"_s, u"5"_s};
    QTest::newRow("difference without measured value is not counted")
        << QList<QStringList>{{u"1"_s, u"50"_s, {}, u"-50"_s}, {u"4"_s, u"50"_s, u"51"_s, u"1"_s}}
        << u"㎜"_s << u"1"_s << u"1"_s << QStringList{u"1"_s, u"1"_s, u"1"_s};
    QTest::newRow("difference beside a text is not counted")
        << QList<QStringList>{{u"1"_s, u"50"_s, u"62"_s, u"12"_s}, {u"2"_s, u"50"_s, u"欠測"_s, u"-3"_s},
                              {u"3"_s, u"50"_s, u"51"_s, u"欠測"_s}}
        << u"㎜"_s << u"1"_s << u"1"_s << QStringList{u"12"_s, u"1"_s, u"12"_s};
    QTest::newRow("row 1000 is not counted")
        << QList<QStringList>{{u"999"_s, u"1"_s, u"2"_s, u"1"_s}, {u"1000"_s, u"1"_s, u"9"_s, u"8"_s}}
        << u"㎜"_s << u"1"_s << u"1"_s << QStringList{u"1"_s, u"1"_s, u"1"_s};
    QTest::newRow("nothing counted leaves the average empty")
        << QList<QStringList>{} << u"ｍ"_s << u"1"_s << u"1"_s << QStringList{u"0.000"_s, u"0"_s, QString()};
    QTest::newRow("sum in the difference unit, not converted")
        << QList<QStringList>{{u"1"_s, u"1.000"_s, u"1.012"_s, u"1.2"_s}, {u"2"_s, u"1"_s, u"1"_s, u"0.4"_s}}
        << u"㎝"_s << u"1"_s << u"0.1"_s << QStringList{u"1.6"_s, u"2"_s, u"0.80"_s};
}

void TestGridCalc::totals()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, diffUnit);
    QFETCH(QString, yukou);
    QFETCH(QString, heikin);
    QFETCH(QStringList, expected);
    TGridBuffer grid;
    for (const QStringList &row : rows) {
        const int r = row[0].toInt();
        // Every row into a different group, so all three groups are summed.
        const int g = r % 3;
        grid.SetCell(DesignColumn(g), r, row[1]);
        grid.SetCell(MeasuredColumn(g), r, row[2]);
        grid.SetCell(DiffColumn(g), r, row[3]);
    }
    const TGridTotals t = GridCalc::Totals(grid, diffUnit, yukou, heikin);
    QCOMPARE((QStringList{t.Sum, t.Count, t.Average}), expected);
}

void TestGridCalc::totalsCountOnlyNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("counted");
    for (const QString &text :
         {u"0.1"_s, u"-0.001"_s, u"12.345"_s, u"-0"_s, u"007.50"_s, u"123456789012.345"_s, u"1234567890123.4567"_s,
          u"0.1234567890123456789"_s, u"12."_s, u".5"_s, u"+3"_s, u" 4"_s, u"３"_s})
        QTest::newRow(qPrintable(text)) << text << true;
    for (const QString &text : {u"1,5"_s, u"1e2"_s, u"-"_s, u"1.2.3"_s, u"--1"_s, u"5mm"_s})
        QTest::newRow(qPrintable(text)) << text << false;
}

void TestGridCalc::totalsCountOnlyNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, counted);
    TGridBuffer grid;
    grid.SetCell(DesignColumn(1), 1, u"1"_s);
    grid.SetCell(MeasuredColumn(1), 1, u"1"_s);
    grid.SetCell(DiffColumn(1), 1, text);
    grid.SetCell(DesignColumn(0), 2, u"1"_s);
    grid.SetCell(MeasuredColumn(0), 2, u"1"_s);
    grid.SetCell(DiffColumn(0), 2, text);
    double value = 0;
    QCOMPARE(ReadDecimalText(text, &value), counted);
    TGridCalc calc;
    const TGridTotals t = calc.Totals(grid, u"㎜"_s, u"0.001"_s, u"0.001"_s);
    QCOMPARE(t.Count, counted ? u"2"_s : u"0"_s);
    QCOMPARE(t.Sum, FormatFixed(value + value, 3));
    QCOMPARE(t.Average, counted ? FormatFixed(value, 3) : QString());
}

void TestGridCalc::proposals_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("formType");
    QTest::addColumn<QString>("expected"); // null: no proposal

    QTest::newRow("next station") << 1 << 2 << u"20"_s << 0 << u"No.20"_s;
    QTest::newRow("next station keeps the suffix") << 1 << 4 << u"20"_s << 0 << u"No.23+5"_s;
    QTest::newRow("row 1 is never filled") << 1 << 1 << u"20"_s << 0 << QString();
    QTest::newRow("not below a row without station") << 1 << 5 << u"20"_s << 0 << QString();
    QTest::newRow("a filled cell is left alone") << 1 << 3 << u"20"_s << 0 << QString();
    QTest::newRow("centre design carried down for 厚さ") << 6 << 2 << u"20"_s << 1 << u"150"_s;
    QTest::newRow("centre design carried down for 幅") << 6 << 2 << u"20"_s << 2 << u"150"_s;
    QTest::newRow("not for 高さ") << 6 << 2 << u"20"_s << 0 << QString();
    QTest::newRow("not the other columns") << 7 << 2 << u"20"_s << 1 << QString();
}

void TestGridCalc::proposals()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, interval);
    QFETCH(int, formType);
    QFETCH(QString, expected);
    TGridBuffer grid;
    grid.SetCell(1, 1, u"No.0"_s);
    grid.SetCell(1, 3, u"No.3+5"_s);
    grid.SetCell(6, 1, u"150"_s);
    grid.SetCell(7, 1, u"151"_s);
    const QString proposal = GridCalc::Proposal(grid, column, row, interval, formType);
    QCOMPARE(proposal.isNull(), expected.isNull());
    QCOMPARE(proposal, expected);
}

void TestGridCalc::yukouNeverCoarserThanDifferenceUnit_data()
{
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<QString>("diffUnit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("5 on mm becomes 1") << u"5"_s << u"㎜"_s << u"1"_s;
    QTest::newRow("5 on cm stays") << u"5"_s << u"㎝"_s << u"5"_s;
    QTest::newRow("20 on cm becomes 10") << u"20"_s << u"㎝"_s << u"10"_s;
    QTest::newRow("2000 on m becomes 1000") << u"2000"_s << u"ｍ"_s << u"1000"_s;
    QTest::newRow("0.1 on mm stays") << u"0.1"_s << u"㎜"_s << u"0.1"_s;
    QTest::newRow("unknown unit counts as mm") << u"2"_s << u"mm"_s << u"1"_s;
}

void TestGridCalc::yukouNeverCoarserThanDifferenceUnit()
{
    QFETCH(QString, yukou);
    QFETCH(QString, diffUnit);
    QFETCH(QString, expected);
    QCOMPARE(GridCalc::LimitYukou(yukou, diffUnit), expected);
}

QTEST_GUILESS_MAIN(TestGridCalc)
#include "tst_GridCalc.moc"
