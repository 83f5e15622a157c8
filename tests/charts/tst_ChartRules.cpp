#include "app/RegistryUtility.h"
#include "app/uCommon.h"
#include "app/uDekigataDef.h"
#include "charts/uuPrintDekigata.h"
#include "support/TestEnv.h"
#include "tests/charts/SampleRecord.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QList<TKel4LineRow> Differences(const QStringList &values)
{
    QList<TKel4LineRow> rows;
    for (int i = 0; i < values.size(); ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), values[i], QString(), QString()));
    return rows;
}

QStringList DrawnValues(const QList<TChartLine> &lines)
{
    QStringList values;
    for (const TChartLine &line : lines) {
        if (line.Drawn())
            values << QString::number(line.Mm());
    }
    return values;
}
} // namespace

class TestChartRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void scale_data();
    void scale();
    void rangeWithoutAnyExtentFallsBack_data();
    void rangeWithoutAnyExtentFallsBack();
    void ticks_data();
    void ticks();
    void ticksNeedAClassWidth_data();
    void ticksNeedAClassWidth();
    void ticksOfHugeRanges_data();
    void ticksOfHugeRanges();
    void standardLines_data();
    void standardLines();
    void ownCompanyLinesHiddenInGridColour();
    void percentFormats();
    void placeLabel_data();
    void placeLabel();
    void eraDate_data();
    void eraDate();
    void classes_data();
    void classes();
    void countsCentreOnlyForThickness();

private:
    TTestEnv *m_env = nullptr;
};

void TestChartRules::init()
{
    m_env = new TTestEnv;
    SampleRecord::CreateTables();
    SampleRecord::AddProject(u"0001"_s, u"道路改良"_s, 0);
}

void TestChartRules::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestChartRules::scale_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<QString>("u1");
    QTest::addColumn<QString>("d1");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("zeroY");

    // Max = Min: the defaults, widened by the margin; D = 8.88 / 6.7 = 1.33.
    QTest::newRow("x zeros default") << int(TChartKind::XChart) << u"㎜"_s << QStringList{u"0"_s, u"0"_s}
                                     << QString() << QString() << 4.44 << -4.44 << 2.0 << 7.2;
    QTest::newRow("table zeros default") << int(TChartKind::TableChart) << u"㎜"_s << QStringList{u"0"_s}
                                         << QString() << QString() << 4.33 << -4.43 << 2.0 << 10.1;
    // Data -3 … 4: D = 8.4 / 6.7 = 1.25.
    QTest::newRow("table -3..4") << int(TChartKind::TableChart) << u"㎜"_s << QStringList{u"-3"_s, u"4"_s, u"1"_s}
                                 << QString() << QString() << 4.7 << -3.7 << 2.0 << 10.4;
    // Standard values widen the range beyond the data: 48 / 6.7 = 7.2.
    QTest::newRow("x limits") << int(TChartKind::XChart) << u"㎜"_s << QStringList{u"-3"_s, u"4"_s} << u"20"_s
                              << u"-20"_s << 24.0 << -24.0 << 10.0 << 7.2;
    // In centimetres the data count tenfold, the limits stay millimetres: 0.72 cm per cm.
    QTest::newRow("x cm") << int(TChartKind::XChart) << u"㎝"_s << QStringList{u"-0.3"_s, u"0.4"_s} << u"20"_s
                          << u"-20"_s << 24.0 << -24.0 << 1.0 << 7.2;
    QTest::newRow("table cm half") << int(TChartKind::TableChart) << u"㎝"_s << QStringList{u"-0.3"_s, u"0.4"_s}
                                   << QString() << QString() << 4.7 << -3.7 << 0.5 << 10.3;
    // Above the table: RoundTo(D × 2 / 10) × 10, D = 120 / 6.7 = 17.9 -> 40.
    QTest::newRow("x large") << int(TChartKind::XChart) << u"㎜"_s << QStringList{u"-50"_s, u"50"_s} << QString()
                             << QString() << 60.0 << -60.0 << 40.0 << 7.2;
    // 24 / 6.7 = 3.58: the row of 5.
    QTest::newRow("x five") << int(TChartKind::XChart) << u"㎜"_s << QStringList{u"-10"_s, u"10"_s}
                            << QString() << QString() << 12.0 << -12.0 << 5.0 << 7.2;
    // Non-numeric differences are left out of the range.
    QTest::newRow("x text") << int(TChartKind::XChart) << u"㎜"_s << QStringList{u"abc"_s, u"-1"_s, u"9"_s}
                            << QString() << QString() << 10.0 << -2.0 << 2.0 << 9.2;
}

void TestChartRules::scale()
{
    QFETCH(int, kind);
    QFETCH(QString, unit);
    QFETCH(QStringList, diffs);
    QFETCH(QString, u1);
    QFETCH(QString, d1);
    QFETCH(double, max);
    QFETCH(double, min);
    QFETCH(double, step);
    QFETCH(double, zeroY);

    TKelmo4Head head;
    SampleRecord::Fill(head, u"0001"_s, u"路盤工"_s, u"#"_s, u"高さ"_s, u1, d1);
    head.SaTanni = unit;
    const TChartConstants &c = ChartConstants(TChartKind(kind));
    const TValueRange range = ValueRange(head, Differences(diffs), c);
    const TChartScale s = ChartScale(range.Max, range.Min, UnitFactor(unit), c);
    QVERIFY(range.HasData);
    QVERIFY2(qAbs(s.Max - max) < 1e-4, qPrintable(QString::number(s.Max)));
    QVERIFY2(qAbs(s.Min - min) < 1e-4, qPrintable(QString::number(s.Min)));
    QCOMPARE(s.Step, step);
    QVERIFY2(qAbs(s.ZeroY - zeroY) < 1e-9, qPrintable(QString::number(s.ZeroY)));
    // The extremes lie inside the plot area.
    QVERIFY(s.YOfMm(s.Max) >= c.Top - 1e-6 && s.YOfMm(s.Min) <= c.Top + kPlotHeight + 1e-6);
}

void TestChartRules::rangeWithoutAnyExtentFallsBack_data()
{
    QTest::addColumn<QString>("u1");
    QTest::addColumn<QString>("d1");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("min");
    QTest::newRow("nothing") << QString() << QString() << 3.7 << -3.7;
    QTest::newRow("upper only") << u"20"_s << QString() << 3.7 << -3.7;
    QTest::newRow("both limits") << u"20"_s << u"-10"_s << 20.0 << -10.0;
}

void TestChartRules::rangeWithoutAnyExtentFallsBack()
{
    QFETCH(QString, u1);
    QFETCH(QString, d1);
    QFETCH(double, max);
    QFETCH(double, min);
    TKelmo4Head head;
    SampleRecord::Fill(head, u"0001"_s, u"路盤工"_s, u"#"_s, u"高さ"_s, u1, d1);
    const TValueRange range = ValueRange(head, Differences({QString(), u"x"_s}), ChartConstants(TChartKind::XChart));
    QVERIFY(!range.HasData);
    QCOMPARE(range.Max, max);
    QCOMPARE(range.Min, min);
}

void TestChartRules::ticks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("width");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("labels");

    // Ticks per mm from trunc(-4.44) to trunc(4.44), labels at every second one.
    QTest::newRow("x mm") << int(TChartKind::XChart) << 1.0 << 2.0 << u"1"_s << 9
                          << QStringList{u"-4"_s, u"-2"_s, u"0"_s, u"2"_s, u"4"_s};
    QTest::newRow("table mm") << int(TChartKind::TableChart) << 1.0 << 2.0 << u"1"_s << 9
                              << QStringList{u"-4.0"_s, u"-2.0"_s, u"0.0"_s, u"2.0"_s, u"4.0"_s};
    // 0.1 mm classes: 30 × 0.1 is not exactly 3 in binary and still gets its label.
    QTest::newRow("x tenth") << int(TChartKind::XChart) << 1.0 << 2.0 << u"0.1"_s << 89
                             << QStringList{u"-4"_s, u"-2"_s, u"0"_s, u"2"_s, u"4"_s};
    // Centimetres: ticks per mm, labels at whole steps of centimetres, not at every mm.
    QTest::newRow("x cm") << int(TChartKind::XChart) << 10.0 << 2.0 << u"5"_s << 3
                          << QStringList{u"0"_s};
    QTest::newRow("table cm") << int(TChartKind::TableChart) << 10.0 << 0.5 << u"5"_s << 3
                              << QStringList{u"-0.5"_s, u"0.0"_s, u"0.5"_s};
}

void TestChartRules::ticks()
{
    QFETCH(int, kind);
    QFETCH(double, factor);
    QFETCH(double, step);
    QFETCH(QString, width);
    QFETCH(int, count);
    QFETCH(QStringList, labels);
    TChartScale s;
    s.Max = 4.44 * factor / (factor > 1 ? 5 : 1);
    s.Min = -s.Max;
    s.Factor = factor;
    s.Step = step;
    s.ZeroY = 7.5;
    if (factor > 1) { // ±8.88 mm in a centimetre record
        s.Max = 8.88;
        s.Min = -8.88;
    }
    const QList<TChartTick> ticks = ChartTicks(s, width, ChartConstants(TChartKind(kind)));
    QStringList got;
    for (const TChartTick &t : ticks) {
        if (!t.Label.isEmpty())
            got << t.Label;
    }
    QCOMPARE(ticks.size(), count);
    QCOMPARE(got, labels);
    // Ticks run downward from the top value, one class apart.
    const double h = width.toDouble() / factor / step;
    for (int i = 1; i < ticks.size(); ++i)
        QVERIFY(qAbs(ticks[i - 1].Y - ticks[i].Y - h) < 1e-9);
}

void TestChartRules::ticksNeedAClassWidth_data()
{
    QTest::addColumn<QString>("width");
    QTest::newRow("empty") << QString();
    QTest::newRow("zero") << u"0"_s;
    QTest::newRow("text") << u"abc"_s;
    QTest::newRow("negative") << u"-1"_s;
}

void TestChartRules::ticksNeedAClassWidth()
{
    QFETCH(QString, width);
    TChartScale s;
    s.Max = 4.44;
    s.Min = -4.44;
    s.Step = 2;
    s.ZeroY = 7.5;
    QVERIFY(ChartTicks(s, width, ChartConstants(TChartKind::XChart)).isEmpty());
    QVERIFY(!IsUsableClassWidth(width));
}

void TestChartRules::ticksOfHugeRanges_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("diffs");
    QTest::addColumn<QString>("width");
    QTest::addColumn<double>("every"); // mm between ticks
    QTest::addColumn<QStringList>("labels");
    // A tick per class while fewer than a thousand fit.
    QTest::newRow("999 classes") << int(TChartKind::XChart) << QStringList{u"-416"_s, u"416"_s} << u"1"_s << 1.0
                                 << QStringList{u"-300"_s, u"0"_s, u"300"_s};
    // ±3600 mm with the margin in 1 mm classes: 7200 classes; Step 2150 mm per cm, so
    // every 500 mm, the first of the sequence at least 1 mm apart.
    QTest::newRow("x 3000 mm") << int(TChartKind::XChart) << QStringList{u"-3000"_s, u"3000"_s} << u"1"_s << 500.0
                               << QStringList{u"-2150"_s, u"0"_s, u"2150"_s};
    QTest::newRow("table 500 mm in tenths") << int(TChartKind::TableChart) << QStringList{u"-500"_s, u"500"_s}
                                            << u"0.1"_s << 50.0
                                            << QStringList{u"-360.0"_s, u"0.0"_s, u"360.0"_s};
    // Ticks every 1400 mm and a step of 7160: the steps keep labelled ticks of their own.
    QTest::newRow("x steps off the ticks") << int(TChartKind::XChart) << QStringList{u"-10000"_s, u"10000"_s}
                                           << u"7"_s << 1400.0 << QStringList{u"-7160"_s, u"0"_s, u"7160"_s};
    QTest::newRow("tiny class width") << int(TChartKind::XChart) << QStringList{u"-3"_s, u"4"_s} << u"0.0001"_s
                                      << 0.2 << QStringList{u"-2"_s, u"0"_s, u"2"_s, u"4"_s};
}

void TestChartRules::ticksOfHugeRanges()
{
    QFETCH(int, kind);
    QFETCH(QStringList, diffs);
    QFETCH(QString, width);
    QFETCH(double, every);
    QFETCH(QStringList, labels);
    TKelmo4Head head;
    SampleRecord::Fill(head, u"0001"_s, u"路盤工"_s, u"#"_s, u"高さ"_s, QString(), QString());
    const TChartConstants &c = ChartConstants(TChartKind(kind));
    const TValueRange range = ValueRange(head, Differences(diffs), c);
    const TChartScale s = ChartScale(range.Max, range.Min, 1, c);
    const QList<TChartTick> ticks = ChartTicks(s, width, c);
    QVERIFY(ticks.size() > 10);
    QVERIFY(ticks.size() < 1000);
    // Thinned-out ticks stand at least 1 mm apart.
    if (every != width.toDouble()) {
        for (int i = 1; i < ticks.size(); ++i)
            QVERIFY(ticks[i - 1].Y - ticks[i].Y > 0.1 - 1e-6 || !ticks[i].Label.isEmpty() || !ticks[i - 1].Label.isEmpty());
    }
    QStringList got;
    int labelled = 0;
    for (int i = 0; i < ticks.size(); ++i) {
        // Upward from the lowest value, all inside the plot area.
        QVERIFY(ticks[i].Y >= c.Top - 1e-6 && ticks[i].Y <= c.Top + kPlotHeight + 1e-6);
        if (i > 0)
            QVERIFY(ticks[i - 1].Y > ticks[i].Y);
        if (ticks[i].Label.isEmpty()) {
            // An unlabelled tick stands on the tick spacing.
            const double mm = (s.ZeroY - ticks[i].Y) * s.Step;
            QVERIFY2(qAbs(mm / every - std::round(mm / every)) < 1e-6, qPrintable(QString::number(mm)));
            continue;
        }
        ++labelled;
        got << ticks[i].Label;
        // A label stands at its own value.
        QVERIFY(qAbs(s.YOfMm(TextToFloat(ticks[i].Label)) - ticks[i].Y) < 1e-6);
    }
    // Every whole step of the scale in the range is labelled.
    const int steps = int(std::trunc(s.Max / s.Step) - std::trunc(s.Min / s.Step)) + 1;
    QCOMPARE(labelled, steps);
    QCOMPARE(got, labels);
}

void TestChartRules::standardLines_data()
{
    QTest::addColumn<QString>("u1");
    QTest::addColumn<QString>("d1");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("virtualLines");
    QTest::addColumn<QStringList>("values");

    const QStringList all{u"20"_s, u"-20"_s, u"16"_s, u"-16"_s, u"10"_s, u"-10"_s};
    QTest::newRow("both, 80percent") << u"20"_s << u"-20"_s << u"TRUE"_s << QString() << all;
    QTest::newRow("both, 80percent off") << u"20"_s << u"-20"_s << u"FALSE"_s << QString()
                                         << QStringList{u"20"_s, u"-20"_s};
    QTest::newRow("lower case true is off") << u"20"_s << u"-20"_s << u"true"_s << QString()
                                            << QStringList{u"20"_s, u"-20"_s};
    QTest::newRow("virtual") << QString() << u"-20"_s << u"TRUE"_s << u"TRUE"_s
                             << QStringList{u"-20"_s, u"16"_s, u"-16"_s, u"10"_s, u"-10"_s};
    QTest::newRow("no virtual") << QString() << u"-20"_s << u"TRUE"_s << u"FALSE"_s
                                << QStringList{u"-20"_s, u"-16"_s, u"-10"_s};
    QTest::newRow("blank upper is empty") << u"  "_s << u"-20"_s << u"TRUE"_s << u"TRUE"_s
                                          << QStringList{u"-20"_s, u"16"_s, u"-16"_s, u"10"_s, u"-10"_s};
    QTest::newRow("text upper draws nothing") << u"abc"_s << u"-20"_s << u"TRUE"_s << u"TRUE"_s
                                              << QStringList{u"-20"_s, u"-16"_s, u"-10"_s};
    QTest::newRow("signed upper") << u"+20"_s << u"-20"_s << u"TRUE"_s << QString() << all;
}

void TestChartRules::standardLines()
{
    QFETCH(QString, u1);
    QFETCH(QString, d1);
    QFETCH(QString, percent);
    QFETCH(QString, virtualLines);
    QFETCH(QStringList, values);
    WriteSetting(u"80percent"_s, percent);
    WriteSetting(u"ShichoKasouLine"_s, virtualLines);
    TKikakuti4 k;
    k.KikakutiU1 = u1;
    k.KikakutiD1 = d1;
    for (TLineForm form : {TLineForm::XChart, TLineForm::TableChart, TLineForm::FrequencyTable}) {
        const QList<TChartLine> lines = StandardLines(k, form);
        QCOMPARE(lines.size(), 8);
        QCOMPARE(DrawnValues(lines), values);
    }
}

void TestChartRules::ownCompanyLinesHiddenInGridColour()
{
    TKikakuti4 k;
    k.KikakutiU2 = u"15"_s;
    k.KikakutiD2 = u"-15"_s;
    WriteSetting(u"JisyaKikakumei"_s, u"社内"_s);
    DekigataDef().SetColors(46, 0x00123456); // 規２
    DekigataDef().SetColors(48, 0x00123456); // 方眼
    QCOMPARE(DrawnValues(StandardLines(k, TLineForm::XChart)), QStringList());
    QCOMPARE(DrawnValues(StandardLines(k, TLineForm::SummaryFigure)), QStringList());
    QCOMPARE(DrawnValues(StandardLines(k, TLineForm::TableChart)), (QStringList{u"15"_s, u"-15"_s}));
    QCOMPARE(DrawnValues(StandardLines(k, TLineForm::FrequencyTable)), (QStringList{u"15"_s, u"-15"_s}));
    DekigataDef().SetColors(46, 0x000000FF);
    const QList<TChartLine> x = StandardLines(k, TLineForm::XChart);
    QCOMPARE(DrawnValues(x), (QStringList{u"15"_s, u"-15"_s}));
    QCOMPARE(x[2].Label, u"社内上限"_s);
    QCOMPARE(x[3].Label, u"社内下限"_s);
    QCOMPARE(StandardLines(k, TLineForm::TableChart)[2].Label, u"社内"_s);
    QCOMPARE(StandardLines(k, TLineForm::SummaryFigure)[2].Label, u"社内 上限"_s);
    QCOMPARE(StandardLines(k, TLineForm::FrequencyTable)[2].Label, u"社内　上限"_s);
    WriteSetting(u"JisyaKikakumei"_s, QString());
    QCOMPARE(StandardLines(k, TLineForm::XChart)[3].Label, u"自社規格下限"_s);
}

void TestChartRules::percentFormats()
{
    WriteSetting(u"80percent"_s, u"TRUE"_s);
    WriteSetting(u"ShichoKasouLine"_s, u"TRUE"_s);
    TKikakuti4 k;
    k.KikakutiD1 = u"-13"_s;
    // No rounding: one decimal; the summary figure truncates the mirrored 80 % value first.
    WriteSetting(u"K4_80%_ROUND"_s, u"0"_s);
    QCOMPARE(StandardLines(k, TLineForm::XChart)[4].Value, u"10.4"_s);
    QCOMPARE(StandardLines(k, TLineForm::SummaryFigure)[4].Value, u"10.0"_s);
    QCOMPARE(StandardLines(k, TLineForm::SummaryFigure)[6].Value, u"6.5"_s);
    QCOMPARE(StandardLines(k, TLineForm::XChart)[5].Value, u"-10.4"_s);
    // Cut off: the X chart follows the setting, the table forms keep "%1.1f".
    WriteSetting(u"K4_80%_ROUND"_s, u"2"_s);
    QCOMPARE(StandardLines(k, TLineForm::XChart)[5].Value, u"-10"_s);
    QCOMPARE(StandardLines(k, TLineForm::TableChart)[5].Value, u"-10.4"_s);
    QCOMPARE(StandardLines(k, TLineForm::FrequencyTable)[7].Value, u"-6.5"_s);
    QCOMPARE(StandardLines(k, TLineForm::FrequencyTable)[4].Label, u"自社規格80%"_s);
    QCOMPARE(StandardLines(k, TLineForm::SummaryFigure)[7].Label, u"５０％"_s);
}

void TestChartRules::placeLabel_data()
{
    QTest::addColumn<QList<QPointF>>("placed"); // (start, end) placed before, in order
    QTest::addColumn<QPointF>("wanted");
    QTest::addColumn<QPointF>("expected");
    QTest::newRow("free") << QList<QPointF>{} << QPointF(1.9, 2.3) << QPointF(1.9, 2.3);
    QTest::newRow("starts inside: below") << QList<QPointF>{{1.9, 2.3}} << QPointF(2.0, 2.4) << QPointF(2.3, 2.7);
    QTest::newRow("ends inside: above") << QList<QPointF>{{1.9, 2.3}} << QPointF(1.6, 2.0) << QPointF(1.5, 1.9);
    QTest::newRow("touching stays") << QList<QPointF>{{5.0, 5.4}} << QPointF(5.4, 5.8) << QPointF(5.4, 5.8);
    QTest::newRow("coinciding") << QList<QPointF>{{2.0, 2.4}} << QPointF(2.0, 2.4) << QPointF(2.4, 2.8);
    QTest::newRow("holding a placed one") << QList<QPointF>{{2.1, 2.2}} << QPointF(2.0, 2.4) << QPointF(2.2, 2.6);
    // Below the first lies the second: the nearest clear place is above the first.
    QTest::newRow("clear of all") << QList<QPointF>{{1.9, 2.3}, {2.3, 2.7}} << QPointF(2.0, 2.4)
                                  << QPointF(1.5, 1.9);
    QList<QPointF> many;
    for (int i = 0; i < 25; ++i)
        many.append(QPointF(i, i + 0.5));
    QTest::newRow("more than twenty-one") << many << QPointF(20.1, 20.3) << QPointF(19.8, 20.0);
}

void TestChartRules::placeLabel()
{
    QFETCH(QList<QPointF>, placed);
    QFETCH(QPointF, wanted);
    QFETCH(QPointF, expected);
    TLabelPlacer placer;
    placer.Clear();
    for (const QPointF &p : placed)
        placer.Place(float(p.x()), float(p.y()));
    const auto got = placer.Place(float(wanted.x()), float(wanted.y()));
    QVERIFY2(qAbs(got.first - expected.x()) < 1e-5 && qAbs(got.second - expected.y()) < 1e-5,
             qPrintable(u"(%1, %2)"_s.arg(got.first).arg(got.second)));
    // Cleared, the same interval is free again.
    placer.Clear();
    QCOMPARE(placer.Place(float(wanted.x()), float(wanted.y())),
             std::make_pair(float(wanted.x()), float(wanted.y())));
}

void TestChartRules::eraDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("reiwa 6") << QDate(2024, 3, 5) << u"6年3月5日"_s;
    QTest::newRow("reiwa first day") << QDate(2019, 5, 1) << u"1年5月1日"_s;
    QTest::newRow("heisei last day") << QDate(2019, 4, 30) << u"31年4月30日"_s;
    QTest::newRow("heisei first day") << QDate(1989, 1, 8) << u"1年1月8日"_s;
    QTest::newRow("showa last day") << QDate(1989, 1, 7) << u"64年1月7日"_s;
    QTest::newRow("heisei 15") << QDate(2003, 12, 31) << u"15年12月31日"_s;
    QTest::newRow("no date") << QDate() << QString();
}

void TestChartRules::eraDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(FormatEraDate(date), text);
}

void TestChartRules::classes_data()
{
    QTest::addColumn<double>("mm");
    QTest::addColumn<double>("width");
    QTest::addColumn<QString>("roundOn");
    QTest::addColumn<int>("k");
    QTest::newRow("3.4") << 3.4 << 1.0 << QString() << 3;
    QTest::newRow("3.5 away") << 3.5 << 1.0 << QString() << 4;
    QTest::newRow("25 clamps") << 25.0 << 1.0 << QString() << 18;
    QTest::newRow("17.4 stays") << 17.4 << 1.0 << QString() << 17;
    QTest::newRow("17.5 -> 18") << 17.5 << 1.0 << QString() << 18;
    QTest::newRow("-0.5 away") << -0.5 << 1.0 << QString() << -1;
    QTest::newRow("-0.5 even") << -0.5 << 1.0 << u"TRUE"_s << 0;
    QTest::newRow("-100 clamps") << -100.0 << 1.0 << QString() << -18;
    QTest::newRow("width 5") << 12.0 << 5.0 << QString() << 2;
    QTest::newRow("width 0.1") << 0.34 << 0.1 << QString() << 3;
}

void TestChartRules::classes()
{
    QFETCH(double, mm);
    QFETCH(double, width);
    QFETCH(QString, roundOn);
    QFETCH(int, k);
    WriteSetting(u"RoundON"_s, roundOn);
    QCOMPARE(ClassOf(mm, width), k);
}

void TestChartRules::countsCentreOnlyForThickness()
{
    const QList<TKel4LineRow> rows{SampleRecord::Line(1, u"0"_s, u"1"_s, u"2"_s, u"3"_s),
                                   SampleRecord::Line(2, u"1"_s, u"1"_s, QString(), u"x"_s),
                                   SampleRecord::Line(3, u"2"_s, QString(), u"0.25"_s, u"3"_s)};
    const THistogramCounts height = CountClasses(rows, 0, 1.0, 1.0);
    QCOMPARE(height[1], 2);
    QCOMPARE(height[2], 1);
    QCOMPARE(height[3], 2);
    QCOMPARE(height[0], 1);
    const THistogramCounts thickness = CountClasses(rows, 1, 1.0, 1.0);
    QCOMPARE(thickness[1], 0);
    QCOMPARE(thickness[2], 1);
    QCOMPARE(thickness[0], 1);
    QCOMPARE(thickness[3], 0);
    // Centimetre differences count in millimetre classes.
    QCOMPARE(CountClasses(rows, 1, 10.0, 1.0)[3], 1);
    QVERIFY(HasNumericDifference(rows, true));
    QVERIFY(!HasNumericDifference({SampleRecord::Line(1, u"0"_s, u"1"_s, QString(), u"2"_s)}, true));
    QVERIFY(HasNumericDifference({SampleRecord::Line(1, u"0"_s, u"1"_s, QString(), u"2"_s)}, false));
}

QTEST_GUILESS_MAIN(TestChartRules)
#include "tst_ChartRules.moc"
