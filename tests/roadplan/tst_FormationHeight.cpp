#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uDatabase.h"
#include "measure/uGridCalc.h"
#include "roadplan/uFormationHeight.h"
#include "support/TestEnv.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

namespace {

// A plan whose rows are given as "column=text" pairs per row.
void Put(TPlanCells &cells, int row, std::initializer_list<std::pair<int, QString>> values)
{
    for (const auto &[column, text] : values)
        cells.SetCell(column, row, text);
}

// Stations 0, 40, 80 … in rows 1 … N.
TPlanCells Stations(int n, int interval = 40)
{
    TPlanCells cells;
    for (int r = 1; r <= n; ++r)
        cells.SetCell(StationColumn, r, QString::number((r - 1) * interval));
    return cells;
}

QStringList Column(const TGridCells &cells, int column, int first, int last)
{
    QStringList texts;
    for (int r = first; r <= last; ++r)
        texts << cells.Cell(column, r);
    return texts;
}

} // namespace

class TestFormationHeight : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void recalcCrossfall_data();
    void recalcCrossfall();
    void gradient_data();
    void gradient();
    void stationProposal_data();
    void stationProposal();
    void stationDistances_data();
    void stationDistances();
    void interpolate_data();
    void interpolate();
    void interpolateNeedsABlock();
    void interpolateFillsMissingDistances();
    void transfer_data();
    void transfer();
    void allChecksSkipGaps();

    void createTable();
    void saveAndLoad();
    void loadKeepsOtherRowsAndProjects();
    void refusedSaveKeepsStoredPlan();
    void deletePlan();

private:
    TTestEnv *m_env = nullptr;
};

void TestFormationHeight::init()
{
    m_env = new TTestEnv;
    TFormationHeight formation;
    formation.CreateTableIfMissing();
}

void TestFormationHeight::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestFormationHeight::recalcCrossfall_data()
{
    QTest::addColumn<QString>("wl");
    QTest::addColumn<QString>("sl");
    QTest::addColumn<QString>("hc");
    QTest::addColumn<QString>("sr");
    QTest::addColumn<QString>("wr");
    // Columns 4, 10, 12, 13 after the recomputation; "x" stands for what they held.
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("both halves") << u"3.5"_s << u"2"_s << u"100"_s << u"2"_s << u"3.25"_s
                                 << QStringList{u"99.930"_s, u"99.935"_s, u"100.070"_s, u"100.065"_s};
    QTest::newRow("left half only") << u"3.5"_s << u"2"_s << u"100"_s << QString() << QString()
                                    << QStringList{u"99.930"_s, u"x"_s, u"x"_s, u"100.000"_s};
    QTest::newRow("right half only") << QString() << QString() << u"100"_s << u"2"_s << u"3.25"_s
                                     << QStringList{u"x"_s, u"99.935"_s, u"100.000"_s, u"x"_s};
    QTest::newRow("width without crossfall") << u"3.5"_s << u" "_s << u"100"_s << QString() << u"3"_s
                                             << QStringList{u"x"_s, u"x"_s, u"x"_s, u"x"_s};
    QTest::newRow("negative crossfall rises") << u"4"_s << u"-1.5"_s << u"50.25"_s << u"-1.5"_s << u"4"_s
                                              << QStringList{u"50.310"_s, u"50.310"_s, u"50.190"_s, u"50.190"_s};
    QTest::newRow("reloaded zero width counts") << u"0"_s << u"2"_s << u"100"_s << u"0"_s << u"0"_s
                                                << QStringList{u"100.000"_s, u"100.000"_s, u"100.000"_s, u"100.000"_s};
}

void TestFormationHeight::recalcCrossfall()
{
    QFETCH(QString, wl);
    QFETCH(QString, sl);
    QFETCH(QString, hc);
    QFETCH(QString, sr);
    QFETCH(QString, wr);
    QFETCH(QStringList, expected);

    TPlanCells cells;
    Put(cells, 3, {{StationColumn, u"80"_s}, {LeftWidthColumn, wl}, {LeftSlopeColumn, sl},
                   {CentreHeightColumn, hc}, {RightSlopeColumn, sr}, {RightWidthColumn, wr},
                   {LeftHeightColumn, u"x"_s}, {RightHeightColumn, u"x"_s},
                   {LeftSightColumn, u"x"_s}, {RightSightColumn, u"x"_s}});
    FormationPlan::RecalcRow(cells, 3);
    QCOMPARE((QStringList{cells.Cell(LeftHeightColumn, 3), cells.Cell(RightHeightColumn, 3),
                          cells.Cell(LeftSightColumn, 3), cells.Cell(RightSightColumn, 3)}),
             expected);
}

void TestFormationHeight::gradient_data()
{
    QTest::addColumn<int>("row");          // the row recomputed
    QTest::addColumn<QStringList>("distances"); // rows 1 … 4
    QTest::addColumn<QStringList>("heights");   // rows 1 … 4
    QTest::addColumn<QStringList>("gradients"); // rows 1 … 4 afterwards ("x" untouched)

    const QStringList rising{u"100"_s, u"100.5"_s, u"101.5"_s, u"101"_s};
    QTest::newRow("second row") << 2 << QStringList{u"0"_s, u"40"_s, u"40"_s, u"40"_s} << rising
                                << QStringList{u"x"_s, u"1.2500"_s, u"2.5000"_s, u"x"_s};
    QTest::newRow("row 1 never gets one") << 1 << QStringList{u"0"_s, u"40"_s, u"40"_s, u"40"_s} << rising
                                          << QStringList{u"x"_s, u"1.2500"_s, u"2.5000"_s, u"x"_s};
    QTest::newRow("falling") << 4 << QStringList{u"0"_s, u"40"_s, u"40"_s, u"20"_s} << rising
                             << QStringList{u"x"_s, u"x"_s, u"x"_s, u"-2.5000"_s};
    QTest::newRow("zero distance stops") << 2 << QStringList{u"0"_s, u"0"_s, u"40"_s, u"40"_s} << rising
                                         << QStringList{u"x"_s, u"x"_s, u"x"_s, u"x"_s};
    QTest::newRow("empty distance stops") << 2 << QStringList{u"0"_s, QString(), u"40"_s, u"40"_s} << rising
                                          << QStringList{u"x"_s, u"x"_s, u"x"_s, u"x"_s};
    QTest::newRow("next row without distance") << 2 << QStringList{u"0"_s, u"40"_s, u"0.00"_s, u"40"_s} << rising
                                               << QStringList{u"x"_s, u"1.2500"_s, u"x"_s, u"x"_s};
}

void TestFormationHeight::gradient()
{
    QFETCH(int, row);
    QFETCH(QStringList, distances);
    QFETCH(QStringList, heights);
    QFETCH(QStringList, gradients);

    TPlanCells cells = Stations(4);
    for (int r = 1; r <= 4; ++r) {
        Put(cells, r, {{DistanceColumn, distances.at(r - 1)}, {CentreHeightColumn, heights.at(r - 1)},
                       {GradientColumn, u"x"_s}});
    }
    FormationPlan::RecalcRow(cells, row);
    QCOMPARE(Column(cells, GradientColumn, 1, 4), gradients);
}

void TestFormationHeight::stationProposal_data()
{
    QTest::addColumn<QString>("above");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("expected"); // null: nothing is filled

    QTest::newRow("plain distance") << u"160"_s << QString() << 6 << u"40"_s << u"200"_s;
    QTest::newRow("named station") << u"No.5+10"_s << QString() << 6 << u"20"_s << u"No.25+10"_s;
    QTest::newRow("blank counts as empty") << u"40"_s << u"  "_s << 6 << u"40"_s << u"80"_s;
    QTest::newRow("row 1 is never filled") << QString() << QString() << 1 << u"40"_s << QString();
    QTest::newRow("station already there") << u"40"_s << u"No.9"_s << 6 << u"40"_s << QString();
}

void TestFormationHeight::stationProposal()
{
    QFETCH(QString, above);
    QFETCH(QString, current);
    QFETCH(int, row);
    QFETCH(QString, interval);
    QFETCH(QString, expected);

    TPlanCells cells;
    if (row > 1)
        cells.SetCell(StationColumn, row - 1, above);
    cells.SetCell(StationColumn, row, current);
    const QString proposal = FormationPlan::StationProposal(cells, row, interval);
    QCOMPARE(proposal.isNull(), expected.isNull());
    QCOMPARE(proposal, expected);
}

void TestFormationHeight::stationDistances_data()
{
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<QStringList>("distances"); // rows 1 … stations.size() + 1

    QTest::newRow("every 40") << QStringList{u"0"_s, u"40"_s, u"80"_s}
                              << QStringList{u"0.00"_s, u"40.00"_s, u"40.00"_s, u"x"_s};
    QTest::newRow("letters, dot and 1 read as 0.1") << QStringList{u"0"_s, u"No.1"_s}
                                                    << QStringList{u"0.00"_s, u"0.10"_s, u"x"_s};
    QTest::newRow("irregular") << QStringList{u"12.5"_s, u"20"_s, u"15"_s}
                               << QStringList{u"0.00"_s, u"7.50"_s, u"-5.00"_s, u"x"_s};
    QTest::newRow("row 1 alone") << QStringList{u"100"_s} << QStringList{u"0.00"_s, u"x"_s};
}

void TestFormationHeight::stationDistances()
{
    QFETCH(QStringList, stations);
    QFETCH(QStringList, distances);

    TPlanCells cells;
    for (int r = 1; r <= distances.size(); ++r)
        cells.SetCell(DistanceColumn, r, u"x"_s);
    for (int r = 1; r <= stations.size(); ++r)
        cells.SetCell(StationColumn, r, stations.at(r - 1));
    // A station after the gap is not reached.
    cells.SetCell(StationColumn, int(stations.size()) + 2, u"999"_s);
    cells.SetCell(DistanceColumn, int(stations.size()) + 2, u"y"_s);

    FormationPlan::SetStationDistances(cells);
    QCOMPARE(Column(cells, DistanceColumn, 1, int(distances.size())), distances);
    QCOMPARE(cells.Cell(DistanceColumn, int(stations.size()) + 2), u"y"_s);
}

void TestFormationHeight::interpolate_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("distances"); // rows 1 … 3
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("expected"); // rows 1 … 3 of the column

    QTest::newRow("centre height") << CentreHeightColumn << QStringList{u"0"_s, u"20"_s, u"20"_s} << u"100"_s
                                   << u"101"_s << QStringList{u"100.000"_s, u"100.500"_s, u"101.000"_s};
    QTest::newRow("uneven distances") << CentreHeightColumn << QStringList{u"0"_s, u"10"_s, u"30"_s} << u"100"_s
                                      << u"102"_s << QStringList{u"100.000"_s, u"100.500"_s, u"102.000"_s};
    QTest::newRow("width with two decimals") << LeftWidthColumn << QStringList{u"0"_s, u"20"_s, u"20"_s}
                                             << u"3"_s << u"3.5"_s << QStringList{u"3.00"_s, u"3.25"_s, u"3.50"_s};
    QTest::newRow("crossfall with three") << RightSlopeColumn << QStringList{u"0"_s, u"20"_s, u"20"_s} << u"2"_s
                                          << u"1"_s << QStringList{u"2.000"_s, u"1.500"_s, u"1.000"_s};
    QTest::newRow("stations become numbers") << StationColumn << QStringList{u"0"_s, u"20"_s, u"20"_s}
                                             << u"0"_s << u"40"_s << QStringList{u"0.00"_s, u"20.00"_s, u"40.00"_s};
    QTest::newRow("no distance writes nothing") << CentreHeightColumn << QStringList{u"0"_s, u"0"_s, u"0"_s}
                                                << u"100"_s << u"101"_s
                                                << QStringList{u"100"_s, u"x"_s, u"101"_s};
}

void TestFormationHeight::interpolate()
{
    QFETCH(int, column);
    QFETCH(QStringList, distances);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QStringList, expected);

    TPlanCells cells = Stations(3, 20);
    for (int r = 1; r <= 3; ++r) {
        Put(cells, r, {{DistanceColumn, distances.at(r - 1)}, {LeftWidthColumn, u"3"_s},
                       {LeftSlopeColumn, u"2"_s}, {CentreHeightColumn, u"100"_s}});
    }
    cells.SetCell(column, 1, begin);
    cells.SetCell(column, 2, u"x"_s);
    cells.SetCell(column, 3, end);

    QVERIFY(FormationPlan::InterpolateDesign(cells, {column, 1, column, 3}));
    QCOMPARE(Column(cells, column, 1, 3), expected);
    // Every row of the block is recomputed afterwards: its left edge follows its values.
    for (int r = 1; r <= 3; ++r) {
        const double hl = TextToFloat(cells.Cell(CentreHeightColumn, r))
                          - TextToFloat(cells.Cell(LeftWidthColumn, r)) * TextToFloat(cells.Cell(LeftSlopeColumn, r)) / 100;
        QCOMPARE(cells.Cell(LeftHeightColumn, r), FormatFixed(hl, 3));
    }
}

void TestFormationHeight::interpolateNeedsABlock()
{
    TPlanCells cells = Stations(3, 20);
    Put(cells, 1, {{CentreHeightColumn, u"100"_s}, {PlanLayout::CheckColumn, u"1"_s}});
    Put(cells, 3, {{CentreHeightColumn, u"101"_s}});

    // The active cell alone, or no block at all: nothing happens, not even the distances.
    QVERIFY(!FormationPlan::InterpolateDesign(cells, {CentreHeightColumn, 2, CentreHeightColumn, 2}));
    QVERIFY(!FormationPlan::InterpolateDesign(cells, TSpreadBlock{}));
    QCOMPARE(Column(cells, DistanceColumn, 1, 3), (QStringList{QString(), QString(), QString()}));
    QCOMPARE(Column(cells, CentreHeightColumn, 1, 3), (QStringList{u"100"_s, QString(), u"101"_s}));

    // A block over the check column leaves the ticks alone.
    QVERIFY(FormationPlan::InterpolateDesign(cells, {PlanLayout::CheckColumn, 1, StationColumn, 3}));
    QCOMPARE(Column(cells, PlanLayout::CheckColumn, 1, 3), (QStringList{u"1"_s, QString(), QString()}));
    QCOMPARE(Column(cells, StationColumn, 1, 3), (QStringList{u"0.00"_s, u"20.00"_s, u"40.00"_s}));
}

void TestFormationHeight::interpolateFillsMissingDistances()
{
    TPlanCells cells = Stations(3, 20);
    Put(cells, 1, {{CentreHeightColumn, u"100"_s}});
    Put(cells, 3, {{CentreHeightColumn, u"101"_s}});
    QVERIFY(FormationPlan::InterpolateDesign(cells, {CentreHeightColumn, 1, CentreHeightColumn, 3}));
    QCOMPARE(Column(cells, DistanceColumn, 1, 3), (QStringList{u"0.00"_s, u"20.00"_s, u"20.00"_s}));
    QCOMPARE(cells.Cell(CentreHeightColumn, 2), u"100.500"_s);
    QCOMPARE(Column(cells, GradientColumn, 1, 3), (QStringList{QString(), u"2.5000"_s, u"2.5000"_s}));
}

void TestFormationHeight::transfer_data()
{
    QTest::addColumn<QStringList>("checks"); // rows 1 … 5; row 4 has no station
    QTest::addColumn<QStringList>("stations"); // measurement grid rows 1 … 3 afterwards

    QTest::newRow("none checked") << QStringList{QString(), QString(), QString(), QString(), QString()}
                                  << QStringList{u"keep1"_s, u"keep2"_s, u"keep3"_s};
    QTest::newRow("two checked") << QStringList{QString(), u"1"_s, u"1"_s, QString(), QString()}
                                 << QStringList{u"40"_s, u"80"_s, u"keep3"_s};
    QTest::newRow("stop at the gap") << QStringList{u"1"_s, QString(), QString(), u"1"_s, u"1"_s}
                                     << QStringList{u"0"_s, u"keep2"_s, u"keep3"_s};
}

void TestFormationHeight::transfer()
{
    QFETCH(QStringList, checks);
    QFETCH(QStringList, stations);

    TPlanCells plan = Stations(5);
    plan.SetCell(StationColumn, 4, QString());
    for (int r = 1; r <= 5; ++r) {
        Put(plan, r, {{PlanLayout::CheckColumn, checks.at(r - 1)},
                      {LeftHeightColumn, u"L%1"_s.arg(r)},
                      {CentreHeightColumn, u"C%1"_s.arg(r)},
                      {RightHeightColumn, u"R%1"_s.arg(r)}});
    }
    TGridBuffer measure;
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= GridLayout::ColumnCount; ++c)
            measure.SetCell(c, r, u"keep%1"_s.arg(r));
    }
    const int written = FormationPlan::TransferPlan(plan, measure);
    QCOMPARE(Column(measure, GridLayout::StationColumn, 1, 3), stations);

    int n = 0;
    for (int r = 1; r <= 5 && !plan.Cell(StationColumn, r).isEmpty(); ++r) {
        if (checks.at(r - 1) != u"1"_s)
            continue;
        ++n;
        QCOMPARE(measure.Cell(GridLayout::DesignColumn(0), n), u"L%1"_s.arg(r));
        QCOMPARE(measure.Cell(GridLayout::DesignColumn(1), n), u"C%1"_s.arg(r));
        QCOMPARE(measure.Cell(GridLayout::DesignColumn(2), n), u"R%1"_s.arg(r));
    }
    QCOMPARE(written, n);
    // Measured values, differences, position and remarks are never touched.
    for (int r = 1; r <= 3; ++r) {
        for (int c : {2, 4, 5, 7, 8, 10, 11, 12})
            QCOMPARE(measure.Cell(c, r), u"keep%1"_s.arg(r));
    }
}

void TestFormationHeight::allChecksSkipGaps()
{
    TPlanCells cells = Stations(3);
    cells.SetCell(StationColumn, 2, QString());
    cells.SetCell(StationColumn, 500, u"No.99"_s);
    FormationPlan::SetAllChecks(cells, true);
    QCOMPARE(Column(cells, PlanLayout::CheckColumn, 1, 4), (QStringList{u"1"_s, QString(), u"1"_s, QString()}));
    QCOMPARE(cells.Cell(PlanLayout::CheckColumn, 500), u"1"_s);
    FormationPlan::SetAllChecks(cells, false);
    QCOMPARE(cells.Cell(PlanLayout::CheckColumn, 1), QString());
    QCOMPARE(cells.Cell(PlanLayout::CheckColumn, 500), QString());
}

void TestFormationHeight::createTable()
{
    TTestEnv env; // a data folder without the table
    TFormationHeight formation;
    QVERIFY(!formation.CreateTableIfMissing());
    QVERIFY(formation.CreateTableIfMissing());
    QVERIFY(TableExists(u"TakasaFormation"_s));
}

void TestFormationHeight::saveAndLoad()
{
    TPlanCells cells = Stations(3);
    cells.SetCell(StationColumn, 5, u"No.4"_s); // after a gap
    Put(cells, 2, {{DistanceColumn, u"40.00"_s}, {LeftWidthColumn, u"3.5"_s}, {LeftSlopeColumn, u"2"_s},
                   {CentreHeightColumn, u"12.345"_s}, {GradientColumn, u"1.2500"_s}, {PlanLayout::CheckColumn, u"1"_s}});
    FormationPlan::SavePlan(u"K001"_s, cells);
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 4);

    TPlanCells loaded;
    QCOMPARE(FormationPlan::LoadPlan(u"K001"_s, loaded), 4);
    QCOMPARE(Column(loaded, StationColumn, 1, 5), (QStringList{u"0"_s, u"40"_s, u"80"_s, QString(), u"No.4"_s}));
    QCOMPARE(loaded.Cell(DistanceColumn, 2), u"40"_s);
    QCOMPARE(loaded.Cell(LeftWidthColumn, 2), u"3.5"_s);
    QCOMPARE(loaded.Cell(CentreHeightColumn, 2), u"12.345"_s);
    QCOMPARE(loaded.Cell(GradientColumn, 2), u"1.25"_s);
    // Empty number cells come back as 0, the gap row stays empty, the check is not stored.
    QCOMPARE(loaded.Cell(RightWidthColumn, 2), u"0"_s);
    QCOMPARE(loaded.Cell(DistanceColumn, 1), u"0"_s);
    QCOMPARE(loaded.Cell(DistanceColumn, 4), QString());
    QCOMPARE(loaded.Cell(PlanLayout::CheckColumn, 2), QString());

    // A reloaded width of 0 now counts as given: the right edge is computed.
    loaded.SetCell(RightSlopeColumn, 2, u"2"_s);
    FormationPlan::RecalcRow(loaded, 2);
    QCOMPARE(loaded.Cell(RightHeightColumn, 2), u"12.345"_s);

    // Saving again replaces the whole plan.
    TPlanCells shorter = Stations(2);
    FormationPlan::SavePlan(u"K001"_s, shorter);
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 2);
}

void TestFormationHeight::loadKeepsOtherRowsAndProjects()
{
    FormationPlan::SavePlan(u"A"_s, Stations(2));
    TPlanCells other = Stations(3, 100);
    FormationPlan::SavePlan(u"B"_s, other);

    TPlanCells grid;
    Put(grid, 1, {{StationColumn, u"typed"_s}, {CentreHeightColumn, u"7"_s}});
    Put(grid, 3, {{StationColumn, u"kept"_s}, {CentreHeightColumn, u"9"_s}});
    QCOMPARE(FormationPlan::LoadPlan(u"A"_s, grid), 2);
    QCOMPARE(Column(grid, StationColumn, 1, 3), (QStringList{u"0"_s, u"40"_s, u"kept"_s}));
    QCOMPARE(Column(grid, CentreHeightColumn, 1, 3), (QStringList{u"0"_s, u"0"_s, u"9"_s}));
    QCOMPARE(FormationPlan::LoadPlan(u"nothing"_s, grid), 0);
    QCOMPARE(FormationPlan::StoredRowCount(u"B"_s), 3);
}

void TestFormationHeight::refusedSaveKeepsStoredPlan()
{
    FormationPlan::SavePlan(u"K001"_s, Stations(3));
    TPlanCells changed = Stations(5);
    changed.SetCell(StationColumn, 4, u"No.12345678"_s); // 11 bytes for a 10-byte column
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, FormationPlan::SavePlan(u"K001"_s, changed));

    TPlanCells loaded;
    QCOMPARE(FormationPlan::LoadPlan(u"K001"_s, loaded), 3);
    QCOMPARE(Column(loaded, StationColumn, 1, 4), (QStringList{u"0"_s, u"40"_s, u"80"_s, QString()}));

    // Full-width characters count two bytes each: five of them fit.
    TPlanCells wide = Stations(1);
    wide.SetCell(StationColumn, 1, u"測点ＮＯ１"_s);
    FormationPlan::SavePlan(u"K001"_s, wide);
    QCOMPARE(FormationPlan::StoredRowCount(u"K001"_s), 1);
}

void TestFormationHeight::deletePlan()
{
    FormationPlan::SavePlan(u"A"_s, Stations(2));
    FormationPlan::SavePlan(u"B"_s, Stations(3));
    FormationPlan::DeletePlan(u"A"_s);
    QCOMPARE(FormationPlan::StoredRowCount(u"A"_s), 0);
    QCOMPARE(FormationPlan::StoredRowCount(u"B"_s), 3);
}

QTEST_GUILESS_MAIN(TestFormationHeight)
#include "tst_FormationHeight.moc"
