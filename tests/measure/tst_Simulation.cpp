#include "app/Errors.h"
#include "app/uCommon.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uGridCalc.h"
#include "measure/uSimulation.h"
#include "support/TestEnv.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using namespace GridLayout;

namespace {

// Rows 1 … Rows with a station and a centre design value; every third row also a left and
// right design value; row Rows + 1 has a design value but no station.
TGridBuffer Grid(int rows)
{
    TGridBuffer grid;
    for (int r = 1; r <= rows; ++r) {
        grid.SetCell(StationColumn, r, u"No.%1"_s.arg(r));
        grid.SetCell(DesignColumn(1), r, u"10.000"_s);
        if (r % 3 == 0) {
            grid.SetCell(DesignColumn(0), r, u"9.900"_s);
            grid.SetCell(DesignColumn(2), r, u"9.950"_s);
        }
    }
    grid.SetCell(DesignColumn(1), rows + 1, u"10.000"_s);
    return grid;
}

Simulation::TUniform Seeded(QRandomGenerator &rng)
{
    return [&rng] { return rng.generateDouble(); };
}

} // namespace

class TestSimulation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void quotas_data();
    void quotas();
    void followsTheQuotas_data();
    void followsTheQuotas();
    void allInClassZero();
    void coarseOutputUnitStillEnds();
    void refused_data();
    void refused();
    void fillsTheMainWindow();

private:
    TTestEnv *m_env = nullptr;
};

void TestSimulation::init()
{
    m_env = new TTestEnv;
}

void TestSimulation::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestSimulation::quotas_data()
{
    QTest::addColumn<QList<int>>("percents");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("rounding leaves one over")
        << QList<int>{0, 0, 0, 0, 14, 72, 14, 0, 0, 0, 0} << 10 << QList<int>{0, 0, 0, 0, 1, 8, 1, 0, 0, 0, 0};
    QTest::newRow("tie goes to the lowest class")
        << QList<int>{0, 0, 0, 0, 33, 34, 33, 0, 0, 0, 0} << 10 << QList<int>{0, 0, 0, 0, 4, 3, 3, 0, 0, 0, 0};
    QTest::newRow("rounding gives one too many")
        << QList<int>{2, 3, 5, 8, 16, 32, 16, 8, 5, 3, 2} << 10 << QList<int>{0, 0, 1, 1, 2, 2, 2, 1, 1, 0, 0};
    QTest::newRow("exact") << QList<int>{10, 10, 10, 10, 10, 0, 10, 10, 10, 10, 10} << 100
                           << QList<int>{10, 10, 10, 10, 10, 0, 10, 10, 10, 10, 10};
    QTest::newRow("no groups") << QList<int>{0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0} << 0
                               << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

void TestSimulation::quotas()
{
    QFETCH(QList<int>, percents);
    QFETCH(int, n);
    QFETCH(QList<int>, expected);
    QCOMPARE(Simulation::Quotas(percents, n), expected);
}

void TestSimulation::followsTheQuotas_data()
{
    QTest::addColumn<QList<int>>("percents");
    QTest::addColumn<QString>("bunpu");
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<QString>("diffUnit");
    QTest::addColumn<quint32>("seed");

    const QList<int> bell{2, 3, 5, 8, 16, 32, 16, 8, 5, 3, 2};
    QTest::newRow("bell, 5 mm classes") << bell << u"5"_s << u"1"_s << u"㎜"_s << 1u;
    QTest::newRow("bell, another seed") << bell << u"5"_s << u"1"_s << u"㎜"_s << 77u;
    QTest::newRow("flat, 0.5 mm classes") << QList<int>{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 10} << u"0.5"_s << u"0.1"_s
                                          << u"㎜"_s << 5u;
    QTest::newRow("skewed, centimetres") << QList<int>{0, 0, 0, 0, 0, 20, 30, 30, 20, 0, 0} << u"10"_s << u"1"_s
                                         << u"㎝"_s << 9u;
}

void TestSimulation::followsTheQuotas()
{
    QFETCH(QList<int>, percents);
    QFETCH(QString, bunpu);
    QFETCH(QString, yukou);
    QFETCH(QString, diffUnit);
    QFETCH(quint32, seed);

    const TGridBuffer grid = Grid(30); // 30 + 2 × 10 = 50 groups
    QRandomGenerator rng(seed);
    const QList<Simulation::TCellValue> plan =
        Simulation::Plan(grid, {percents, bunpu, yukou, diffUnit}, Seeded(rng));
    QCOMPARE(plan.size(), 50);

    const double width = TextToFloat(bunpu);
    const double factor = diffUnit == u"㎝"_s ? 10 : 1;
    const int decimals = -int(std::trunc(std::log10(TextToFloat(yukou))));
    QList<int> counts(11, 0);
    QSet<QPair<int, int>> cells;
    for (const Simulation::TCellValue &c : plan) {
        QVERIFY(c.Row >= 1 && c.Row <= 30);
        QCOMPARE(GroupOf(c.Column) >= 0 && c.Column == DiffColumn(GroupOf(c.Column)), true);
        QVERIFY(IsFloatText(grid.Cell(DesignColumn(GroupOf(c.Column)), c.Row)));
        cells.insert({c.Column, c.Row});
        const double read = TextToFloat(c.Text) * factor;
        // Rounded to the output unit (up to the binary error of the unit conversion).
        const double mm = RoundTo(decimals, read);
        QVERIFY2(std::fabs(mm - read) < 1e-9, qPrintable(c.Text));
        const int k = int(std::trunc(RoundTo(0, mm / width)));
        QVERIFY2(k >= -5 && k <= 5, qPrintable(c.Text));
        ++counts[k + 5];
    }
    QCOMPARE(cells.size(), 50); // each group once
    QCOMPARE(counts, Simulation::Quotas(percents, 50));
}

void TestSimulation::allInClassZero()
{
    const TGridBuffer grid = Grid(12);
    QRandomGenerator rng(42);
    const auto plan = Simulation::Plan(grid, {{0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0}, u"1"_s, u"0.1"_s, u"㎜"_s},
                                       Seeded(rng));
    QCOMPARE(plan.size(), 20);
    bool someNonZero = false;
    for (const auto &c : plan) {
        const double v = TextToFloat(c.Text);
        QVERIFY2(std::fabs(v) < 0.5, qPrintable(c.Text));
        someNonZero = someNonZero || v != 0;
    }
    QVERIFY(someNonZero);
}

void TestSimulation::coarseOutputUnitStillEnds()
{
    // Rounding to tens with 1 mm classes: only class 0 can be hit, and is.
    const TGridBuffer grid = Grid(6);
    QRandomGenerator rng(3);
    const auto plan = Simulation::Plan(grid, {{0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0}, u"1"_s, u"10"_s, u"㎜"_s},
                                       Seeded(rng));
    QCOMPARE(plan.size(), 10);
    for (const auto &c : plan)
        QCOMPARE(c.Text, u"0"_s);
}

void TestSimulation::refused_data()
{
    QTest::addColumn<QList<int>>("percents");
    QTest::addColumn<QString>("bunpu");
    QTest::addColumn<QString>("yukou");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("message");

    const QList<int> bell{2, 3, 5, 8, 16, 32, 16, 8, 5, 3, 2};
    const QString noWidth = u"「分布」に0より大きい値を入力してください。"_s;
    const QString noYukou = u"「有効」に0より大きい値を入力してください。"_s;
    QTest::newRow("分布 empty") << bell << QString() << u"1"_s << 5 << noWidth;
    QTest::newRow("分布 0") << bell << u"0"_s << u"1"_s << 5 << noWidth;
    QTest::newRow("分布 negative") << bell << u"-5"_s << u"1"_s << 5 << noWidth;
    QTest::newRow("有効 empty") << bell << u"5"_s << u" "_s << 5 << noYukou;
    QTest::newRow("有効 0") << bell << u"5"_s << u"0"_s << 5 << noYukou;
    QTest::newRow("all percentages 0") << QList<int>(11, 0) << u"5"_s << u"1"_s << 5
                                       << u"ヒストグラムの割合がすべて0です。棒の高さを設定してください。"_s;
    QTest::newRow("no candidate row") << bell << u"5"_s << u"1"_s << 0
                                      << u"測点と数値の設計値が入った行がありません。"_s;
    QTest::newRow("class out of reach")
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0} << u"1"_s << u"10"_s << 5
        << u"「有効」の単位が「分布」の幅に比べて粗いため、指定のヒストグラムの値を作れません。"_s;
}

void TestSimulation::refused()
{
    QFETCH(QList<int>, percents);
    QFETCH(QString, bunpu);
    QFETCH(QString, yukou);
    QFETCH(int, rows);
    QFETCH(QString, message);

    const TGridBuffer grid = Grid(rows);
    QRandomGenerator rng(1);
    QString raised;
    try {
        Simulation::Plan(grid, {percents, bunpu, yukou, u"㎜"_s}, Seeded(rng));
    } catch (const EKelmoError &e) {
        raised = e.Message();
    }
    QCOMPARE(raised, message);
}

void TestSimulation::fillsTheMainWindow()
{
    TfrmEditDekigata w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ComboBox7->SetText(u"ｍ"_s);
    w.ComboBox8->SetText(u"㎜"_s);
    w.Edit2->setText(u"1"_s);
    w.Edit3->setText(u"5"_s);
    w.Edit4->setText(u"0.1"_s);
    TSpread *grid = w.vaSpread1;
    for (int r = 1; r <= 4; ++r) {
        grid->SetCellText(1, r, u"No.%1"_s.arg(r));
        for (int g = 0; g < 3; ++g)
            grid->SetCellText(DesignColumn(g), r, u"10.000"_s);
    }
    grid->SetCellText(1, 5, u"No.5"_s);
    grid->SetCellText(DesignColumn(1), 5, u"abc"_s); // not a number: not filled

    // A refusal writes nothing.
    w.Edit3->setText(u"0"_s);
    QVERIFY_THROWS_EXCEPTION(EKelmoError, Simulation::Run(w, {2, 3, 5, 8, 16, 32, 16, 8, 5, 3, 2}));
    QCOMPARE(grid->CellText(DiffColumn(1), 1), QString());

    w.Edit3->setText(u"5"_s);
    QRandomGenerator rng(11);
    Simulation::Run(w, {0, 0, 0, 10, 20, 40, 20, 10, 0, 0, 0}, Seeded(rng));
    for (int r = 1; r <= 4; ++r) {
        for (int g = 0; g < 3; ++g) {
            const QString diff = grid->CellText(DiffColumn(g), r);
            QVERIFY(IsFloatText(diff));
            QVERIFY(std::fabs(TextToFloat(diff)) < 12.5 + 1e-9); // classes -2 … +2 of 5 mm
            // The change handling set the measured value from design and difference.
            QCOMPARE(grid->CellText(MeasuredColumn(g), r), FormatFixed(10 + TextToFloat(diff) / 1000, 3));
        }
    }
    QCOMPARE(grid->CellText(DiffColumn(1), 5), QString());
    QCOMPARE(w.vaSpread3->CellText(1, 2), u"12"_s);
}

QTEST_MAIN(TestSimulation)
#include "tst_Simulation.moc"
