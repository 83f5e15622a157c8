#include "app/Errors.h"
#include "app/RegistryUtility.h"
#include "app/uApplication.h"
#include "app/uDekigataDef.h"
#include "charts/uChartPrint.h"
#include "charts/uControlChartTable.h"
#include "charts/uFrequencyTable.h"
#include "charts/uSummaryFigure.h"
#include "charts/uXControlChart.h"
#include "charts/uuPrintDekigata.h"
#include "measure/uRecordPrint.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "registers/ukouku.h"
#include "sheets/uDataSheet.h"
#include "startup/uExport.h"
#include "support/TestEnv.h"
#include "tests/charts/SampleRecord.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr quint32 kLColor = 0x0000C000;
constexpr quint32 kCColor = 0x00FF0000;
constexpr quint32 kAverageColor = 0x00FF00FF;

// Form centimetres of a page drawn with the given origin, on the 600 dpi PDF printer.
struct TForm
{
    float OffsetX;
    float OffsetY;
    int X(float cm) const { return int(std::trunc(cm * 600 / 2.54 - std::trunc(600 * OffsetX / 2.54))); }
    int Y(float cm) const { return int(std::trunc(cm * 600 / 2.54 - std::trunc(600 * OffsetY / 2.54))); }
    float Cm(int pixels) const { return float(pixels * 2.54 / 600); }
};
constexpr TForm kXChart{-2.8f, -3.1f};
constexpr TForm kTable{-2.7f, -2.0f};
constexpr TForm kSummary{-1.95f, -2.25f};

bool Near(int pixel, int expected, int tolerance = 2)
{
    return std::abs(pixel - expected) <= tolerance;
}

// Horizontal lines across the whole plot area, by pen colour.
QList<TPageCommand> LinesAcross(const TRecordedPage &page, quint32 color, int left, int right)
{
    QList<TPageCommand> found;
    for (const TPageCommand &c : page.Lines()) {
        if (c.Pen.Color == color && c.From.y() == c.To.y() && Near(c.From.x(), left) && Near(c.To.x(), right))
            found.append(c);
    }
    return found;
}

// Pieces of the series lines of one colour in the plot area (above the legend row at
// Bottom) that start in [from, to) pixels across.
int PiecesStartingIn(const TRecordedPage &page, quint32 color, int from, int to, int bottom)
{
    int n = 0;
    for (const TPageCommand &c : page.Lines()) {
        if (c.Pen.Color == color && c.From.x() >= from && c.From.x() < to && c.From.y() < bottom
            && c.To.y() < bottom)
            ++n;
    }
    return n;
}

} // namespace

class TestChartForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void xChartFrameAndHeader();
    void xChartPagesOfTwenty();
    void xChartBreaksAtEmptyDifference();
    void xChartSqueezesLongWorkType();
    void xChartNotesSwitch();
    void xChartOwnCompanyLinesInGridColour();
    void xChartWithoutLinesIsOneEmptyPage();
    void chartsWithoutPlot_data();
    void chartsWithoutPlot();
    void tableChartPaging_data();
    void tableChartPaging();
    void tableChartUnitTicksAndNotes();
    void summaryFigureRangeAndScale();
    void summaryFigureCountAxis();
    void frequencyTableClasses();
    void frequencyTableScaleAndCentreOnly();
    void frequencyTableDate();
    void textDifferencePrintsEveryForm_data();
    void textDifferencePrintsEveryForm();
    void xChartAverageLabelOnItsLine_data();
    void xChartAverageLabelOnItsLine();
    void textsKeepClear_data();
    void textsKeepClear();
    void documentsFollowPrintStyle_data();
    void documentsFollowPrintStyle();
    void exporterForms();

private:
    int SaveRecord(const QString &project, const QList<TKel4LineRow> &rows, const QString &u1 = u"20"_s,
                   const QString &d1 = u"-20"_s, const QString &u2 = QString(), const QString &d2 = QString());
    TTestEnv *m_env = nullptr;
    TKelmo4Head *m_head = nullptr;
    TPrevX *m_prev = nullptr;
};

void TestChartForms::init()
{
    RegisterFontSubstitutions();
    m_env = new TTestEnv;
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    SampleRecord::CreateTables();
    TKosyu kosyu;
    kosyu.RewriteList({u"路盤工"_s});
    SampleRecord::AddProject(u"0001"_s, u"道路改良工事"_s, 0);
    SampleRecord::AddProject(u"0002"_s, u"舗装工事"_s, 2);
    SampleRecord::UseDistinctColors();
    WriteSetting(u"80percent"_s, u"TRUE"_s);
    m_head = new TKelmo4Head;
    m_prev = new TPrevX;
}

void TestChartForms::cleanup()
{
    delete m_prev;
    delete m_head;
    delete m_env;
    m_prev = nullptr;
    m_head = nullptr;
    m_env = nullptr;
}

int TestChartForms::SaveRecord(const QString &project, const QList<TKel4LineRow> &rows, const QString &u1,
                               const QString &d1, const QString &u2, const QString &d2)
{
    TKelmo4Head head;
    SampleRecord::Fill(head, project, u"路盤工"_s, u"第1工区"_s, u"高さ"_s, u1, d1, u2, d2);
    SampleRecord::Save(head, rows);
    LoadRecordForPrint(*m_head, head.ID);
    return head.ID;
}

void TestChartForms::xChartFrameAndHeader()
{
    SaveRecord(u"0001"_s, SampleRecord::PatternLines(6));
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 1);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(page.Caps().Layout.orientation(), QPageLayout::Landscape);
    const QList<TPageCommand> title = page.TextsEqual(u"Ｘ管理図"_s);
    QCOMPARE(title.size(), 1);
    QCOMPARE(title[0].Font.Size, 17);
    QCOMPARE(title[0].Font.Name, u"ＭＳ 明朝"_s);
    QVERIFY(title[0].Box.top() >= kXChart.Y(0) && title[0].Box.bottom() <= kXChart.Y(1));
    // Outer frames: width 4 and 2.
    int outer = 0;
    for (const TPageCommand &c : page.Lines()) {
        if (c.Pen.Width == 4 && c.Pen.Color == clBlack)
            ++outer;
    }
    QCOMPARE(outer, 4);
    // The grid: 75 horizontal lines across the plot area in the grid colour.
    QCOMPARE(LinesAcross(page, 0x00C0E0C0, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 75);
    const QString all = page.AllText();
    for (const QString &text : {u"名称"_s, u"品質特性"_s, u"測定単位"_s, u"試料"_s, u"期間"_s, u"測定者"_s,
                                u"測点"_s, u"月日"_s, u"記事"_s, u"印"_s, u"路盤工の出来形"_s, u"高さ(第1工区)"_s})
        QVERIFY2(all.contains(text), qPrintable(text));
    // Limits in the header, the period from the remarks, the legend.
    QCOMPARE(page.TextsEqual(u"20"_s).size(), 2);  // header and tick label
    QCOMPARE(page.TextsEqual(u"3月5日"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"3月6日"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"左側"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"上限規格値 20"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"80% 16.0"_s).size(), 0); // the label shows the number shortest
    QCOMPARE(page.TextsEqual(u"80% 16"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"50% -10"_s).size(), 1);
    // Standard, 80 % and 50 % lines at 20, -20, 16, -16, 10, -10 and the average line, across the plot.
    QCOMPARE(LinesAcross(page, 0x000000FF, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 2);
    QCOMPARE(LinesAcross(page, 0x00008080, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 2);
    QCOMPARE(LinesAcross(page, 0x00808000, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 2);
    QCOMPARE(LinesAcross(page, kAverageColor, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 1);
    // Line 20 and line -20 lie symmetric about the zero of the scale.
    const QList<TPageCommand> limits = LinesAcross(page, 0x000000FF, kXChart.X(3.1f), kXChart.X(23.9f));
    const TValueRange range = ValueRange(*m_head, m_head->Lines(), ChartConstants(TChartKind::XChart));
    const TChartScale s = ChartScale(range.Max, range.Min, 1, ChartConstants(TChartKind::XChart));
    QVERIFY(Near(limits[0].From.y(), kXChart.Y(float(s.YOfMm(20)))));
    QVERIFY(Near(limits[1].From.y(), kXChart.Y(float(s.YOfMm(-20)))));
    // Seal circle and one point per numeric difference (coloured, some redrawn black).
    QVERIFY(page.Ellipses().size() >= 1 + 15);
}

void TestChartForms::xChartPagesOfTwenty()
{
    SaveRecord(u"0001"_s, SampleRecord::PatternLines(45));
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 3);
    const QList<int> columns{20, 20, 5};
    int firstLimitY = -1;
    for (int p = 1; p <= 3; ++p) {
        const TRecordedPage &page = m_prev->Page(p);
        int stations = 0;
        for (const TPageCommand &c : page.Texts()) {
            if (c.Text.startsWith(u"No."_s))
                ++stations;
        }
        QCOMPARE(stations, columns[p - 1]);
        // Page 1's scale on every page.
        const QList<TPageCommand> limits = LinesAcross(page, 0x000000FF, kXChart.X(3.1f), kXChart.X(23.9f));
        QCOMPARE(limits.size(), 2);
        if (p == 1)
            firstLimitY = limits[0].From.y();
        QCOMPARE(limits[0].From.y(), firstLimitY);
        // No series line comes in from the previous page: nothing is drawn left of the first column.
        QCOMPARE(PiecesStartingIn(page, kLColor, 0, kXChart.X(4) - 2, kXChart.Y(11.2f)), 0);
        QCOMPARE(PiecesStartingIn(page, kCColor, 0, kXChart.X(4) - 2, kXChart.Y(11.2f)), 0);
        QVERIFY(PiecesStartingIn(page, kCColor, kXChart.X(4) - 2, kXChart.X(5), kXChart.Y(11.2f)) > 0);
        QCOMPARE(page.TextsEqual(u"Ｘ管理図"_s).size(), 1);
        QCOMPARE(page.TextsEqual(u"Ｘ管理図"_s)[0].Font.Name, u"ＭＳ 明朝"_s);
    }
}

void TestChartForms::xChartBreaksAtEmptyDifference()
{
    QList<TKel4LineRow> rows;
    const QStringList centre{u"1"_s, u"2"_s, QString(), u"3"_s, QString(), u"4"_s, u"2"_s};
    for (int i = 0; i < centre.size(); ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), QString(), centre[i], QString()));
    SaveRecord(u"0001"_s, rows);
    DrawChartDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    // Column i stands at x = i + 4: joined 4-5 and 9-10; broken around the empty and the text.
    // (A piece ending on a point may start a fraction of a millimetre before it.)
    QVERIFY(PiecesStartingIn(page, kCColor, kXChart.X(4) - 2, kXChart.X(5) - 12, kXChart.Y(11.2f)) > 0);
    QCOMPARE(PiecesStartingIn(page, kCColor, kXChart.X(5), kXChart.X(9) - 12, kXChart.Y(11.2f)), 0);
    QVERIFY(PiecesStartingIn(page, kCColor, kXChart.X(9) - 2, kXChart.X(10) - 12, kXChart.Y(11.2f)) > 0);
    // Points only where the difference is a number: 5 coloured points.
    int centrePoints = 0;
    for (const TPageCommand &c : page.Ellipses()) {
        if (c.Pen.Color == kCColor)
            ++centrePoints;
    }
    QCOMPARE(centrePoints, 5);
}

void TestChartForms::xChartSqueezesLongWorkType()
{
    SaveRecord(u"0001"_s, SampleRecord::PatternLines(3));
    // 34 full-width characters and a half-width digit, plus "の出来形": 15.05 cm at size 11.
    m_head->Kosyu->Kosyumei = QString(34, QChar(u'工')) + u'1';
    DrawChartDocument(m_prev, *m_head, false);
    const QString name = m_head->Kosyu->Kosyumei + u"の出来形"_s;
    const QList<TPageCommand> texts = m_prev->Page(1).TextsEqual(name);
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts[0].WidthPercent, 87);
    QVERIFY(Near(texts[0].Box.left(), kXChart.X(4.1f)));
    // Centred on y = 1.35.
    QVERIFY(Near(texts[0].Box.center().y(), kXChart.Y(1.35f), 4));
    // A short name is a plain box text.
    m_head->Kosyu->Kosyumei = u"路盤工"_s;
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"路盤工の出来形"_s)[0].WidthPercent, 100);
}

void TestChartForms::xChartNotesSwitch()
{
    SaveRecord(u"0001"_s, SampleRecord::PatternLines(3));
    DrawChartDocument(m_prev, *m_head, false);
    const TRecordedPage &with = m_prev->Page(1);
    const QString note = u"注）イ．記事欄には、施工管理基準に定められた事項、異常原因、その他必要事項を記入する。"_s;
    QCOMPARE(with.TextsEqual(note).size(), 1);
    const qsizetype commands = with.Commands().size();
    DekigataDef().SetNoNotes(true);
    DrawChartDocument(m_prev, *m_head, false);
    const TRecordedPage &without = m_prev->Page(1);
    QCOMPARE(without.TextsEqual(note).size(), 0);
    QCOMPARE(without.TextsEqual(u"　　ロ．管理図は、仕様書による規格限界線を朱書きで記入する。"_s).size(), 0);
    QCOMPARE(without.Commands().size(), commands - 2);
}

void TestChartForms::xChartOwnCompanyLinesInGridColour()
{
    SaveRecord(u"0001"_s, SampleRecord::PatternLines(3), u"20"_s, u"-20"_s, u"15"_s, u"-15"_s);
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"自社規格上限 15"_s).size(), 1);
    QCOMPARE(LinesAcross(m_prev->Page(1), 0x00008000, kXChart.X(3.1f), kXChart.X(23.9f)).size(), 2);
    DekigataDef().SetColors(46, DekigataDef().Colors(48));
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"自社規格上限 15"_s).size(), 0);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"自社規格下限 -15"_s).size(), 0);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"上限規格値 20"_s).size(), 1);
}

void TestChartForms::xChartWithoutLinesIsOneEmptyPage()
{
    SaveRecord(u"0001"_s, {});
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 1);
    QVERIFY(m_prev->Page(1).Commands().isEmpty());
    SaveRecord(u"0002"_s, {});
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 1);
    QVERIFY(m_prev->Page(1).Commands().isEmpty());
}

void TestChartForms::chartsWithoutPlot_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<bool>("histogram");
    QTest::addColumn<QString>("bunpu");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    const QString noWidth = u"分布の単位が設定されていません"_s;
    const QString noValues = u"測定値がありません"_s;
    QTest::newRow("x chart, empty width") << u"0001"_s << false << QString() << true << noWidth << u"Ｘ管理図"_s;
    QTest::newRow("x chart, zero width") << u"0001"_s << false << u"0"_s << true << noWidth << u"Ｘ管理図"_s;
    QTest::newRow("x chart, no number") << u"0001"_s << false << u"1"_s << false << noValues << u"Ｘ管理図"_s;
    QTest::newRow("table, text width") << u"0002"_s << false << u"abc"_s << true << noWidth << u"出来形管理図表"_s;
    QTest::newRow("table, no number") << u"0002"_s << false << u"1"_s << false << noValues << u"出来形管理図表"_s;
    QTest::newRow("summary, zero width") << u"0001"_s << true << u"0"_s << true << noWidth
                                         << u"でき形測定取りまとめ図"_s;
    QTest::newRow("summary, no number") << u"0001"_s << true << u"1"_s << false << noValues
                                        << u"でき形測定取りまとめ図"_s;
    QTest::newRow("frequency, empty width") << u"0002"_s << true << QString() << true << noWidth << u"度数表"_s;
    QTest::newRow("frequency, no number") << u"0002"_s << true << u"5"_s << false << noValues << u"度数表"_s;
}

void TestChartForms::chartsWithoutPlot()
{
    QFETCH(QString, project);
    QFETCH(bool, histogram);
    QFETCH(QString, bunpu);
    QFETCH(bool, numeric);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QList<TKel4LineRow> rows;
    for (int i = 0; i < 3; ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), numeric ? u"1"_s : QString(),
                                       numeric ? u"2"_s : QString(), numeric ? u"-1"_s : QString()));
    SaveRecord(project, rows);
    m_head->Bunpu = bunpu;
    m_head->Yosiki = 1; // no legend in the series colours
    if (histogram)
        DrawHistogramDocument(m_prev, *m_head, false);
    else
        DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 1);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(page.TextsEqual(message).size(), 1);
    QVERIFY2(page.AllText().contains(title), qPrintable(page.AllText().left(80)));
    // No bars, no points, no line of the standard values or the average.
    QVERIFY(page.Fills().isEmpty());
    for (const TPageCommand &c : page.Lines())
        QVERIFY(c.Pen.Color != 0x000000FF && c.Pen.Color != kAverageColor && c.Pen.Color != kCColor);
    int points = 0;
    for (const TPageCommand &c : page.Ellipses())
        points += c.Box.width() < 30 ? 1 : 0;
    QCOMPARE(points, 0);
}

void TestChartForms::tableChartPaging_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("20") << 20 << QList<int>{20};
    QTest::newRow("21") << 21 << QList<int>{20, 1};
    QTest::newRow("45") << 45 << QList<int>{20, 20, 5};
}

void TestChartForms::tableChartPaging()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, columns);
    SaveRecord(u"0002"_s, SampleRecord::PatternLines(rows));
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), int(columns.size()));
    for (int p = 1; p <= m_prev->PageCount(); ++p) {
        const TRecordedPage &page = m_prev->Page(p);
        QCOMPARE(page.Caps().Layout.orientation(), QPageLayout::Landscape);
        int stations = 0;
        for (const TPageCommand &c : page.Texts()) {
            if (c.Text.startsWith(u"No."_s))
                ++stations;
        }
        QCOMPARE(stations, columns[p - 1]);
        QVERIFY(page.AllText().contains(u"出来形管理図表"_s));
        QVERIFY(page.AllText().contains(u"様式(2-2)"_s));
        // Column i at x = i + 4.5; nothing comes in from the previous page.
        QCOMPARE(PiecesStartingIn(page, kCColor, 0, kTable.X(4.5f) - 2, kTable.Y(13.5f)), 0);
        for (const TPageCommand &c : page.Texts()) {
            if (c.Text == u"No.0"_s || c.Text == u"No.20"_s || c.Text == u"No.40"_s)
                QVERIFY(Near(c.Box.center().x(), kTable.X(4.5f), 3));
        }
    }
}

void TestChartForms::tableChartUnitTicksAndNotes()
{
    QList<TKel4LineRow> rows{SampleRecord::Line(1, u"0"_s, u"-3"_s, u"1"_s, u"4"_s),
                             SampleRecord::Line(2, u"1"_s, u"0"_s, u"2"_s, u"-1"_s)};
    SaveRecord(u"0002"_s, rows, QString(), QString());
    DrawChartDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    const qsizetype texts = page.Texts().size();
    // -3 … 4 mm: Step 2, labels written with one decimal.
    for (const QString &label : {u"-2.0"_s, u"0.0"_s, u"2.0"_s, u"4.0"_s})
        QCOMPARE(page.TextsEqual(label).size(), 1);
    QCOMPARE(page.TextsEqual(u"1.0"_s).size(), 0);
    QCOMPARE(page.TextsEqual(u"(㎜)"_s).size(), 1);
    // The average line with its leader at x 2.8 and its vertical label, without numbers.
    QCOMPARE(LinesAcross(page, kAverageColor, kTable.X(3.8f), kTable.X(24.3f)).size(), 1);
    bool leader = false;
    for (const TPageCommand &c : page.Lines())
        leader = leader || (c.Pen.Color == kAverageColor && Near(c.From.x(), kTable.X(2.8f)) && c.From.x() == c.To.x());
    QVERIFY(leader);
    QCOMPARE(page.TextsEqual(u"平"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"注１.工種名は、土工（盛土）杭工（コンクリート杭）コンクリート擁壁工等と記入する。"_s).size(),
             1);
    QCOMPARE(page.TextsEqual(u"７.記事には手直しの処置等を記入する。"_s).size(), 1);

    DekigataDef().SetNoNotes(true);
    DrawChartDocument(m_prev, *m_head, true);
    const TRecordedPage &weight = m_prev->Page(1);
    QCOMPARE(weight.TextsEqual(u"(t)"_s).size(), 1);
    QCOMPARE(weight.TextsEqual(u"７.記事には手直しの処置等を記入する。"_s).size(), 0);
    QCOMPARE(weight.TextsEqual(u"４.月日は当該測点番号の測定月日を記入する。"_s).size(), 0);
    QCOMPARE(weight.Texts().size(), texts - 8);
}

void TestChartForms::summaryFigureRangeAndScale()
{
    // Differences in classes -2 … 3 at width 5; standard values ±20 make the classes ±4.
    QList<TKel4LineRow> rows;
    const QStringList values{u"-10"_s, u"-5"_s, u"0"_s, u"5"_s, u"10"_s, u"15"_s, u"5"_s};
    for (int i = 0; i < values.size(); ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), QString(), values[i], QString()));
    SaveRecord(u"0001"_s, rows, u"20"_s, u"-20"_s, QString(), QString());
    m_head->Bunpu = u"5"_s;
    m_head->Yosiki = 1;
    DrawHistogramDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(page.Caps().Layout.orientation(), QPageLayout::Portrait);
    QVERIFY(page.AllText().contains(u"でき形測定取りまとめ図"_s));
    // n = 9, h = 1, L = 4.6: class k from (k + 4) + 4.6; bars only for -2 … 3.
    const QList<TPageCommand> bars = page.Fills();
    QCOMPARE(bars.size(), 6);
    for (int k = -2; k <= 3; ++k) {
        const int left = kSummary.X(float(k + 4) + 4.6f);
        bool found = false;
        for (const TPageCommand &b : bars)
            found = found || Near(b.Box.left(), left);
        QVERIFY2(found, qPrintable(QString::number(k)));
    }
    // Largest count 2: g = 1 cm per count (at most 1).
    for (const TPageCommand &b : bars) {
        const int height = b.Box.height();
        QVERIFY(Near(height, kSummary.Y(20) - kSummary.Y(19), 3) || Near(height, kSummary.Y(20) - kSummary.Y(18), 3));
    }
    // Standard lines at 20 and -20 stand in the middle of classes 4 and -4; the own-company
    // pair, empty, counts as class 0 and draws nothing.
    bool upper = false;
    bool lower = false;
    for (const TPageCommand &c : page.Lines()) {
        if (c.Pen.Color != 0x000000FF || c.From.x() != c.To.x())
            continue;
        upper = upper || Near(c.From.x(), kSummary.X(13.1f));
        lower = lower || Near(c.From.x(), kSummary.X(5.1f));
    }
    QVERIFY(upper && lower);
    // Under the upper line, and the sum over the fraction bar.
    QCOMPARE(page.TextsEqual(u"20"_s).size(), 2);
    QCOMPARE(page.TextsEqual(u"-20"_s).size(), 1);
    // Class values under the bars, "-10" … "15".
    for (const QString &v : {u"-10"_s, u"-5"_s, u"0"_s, u"5"_s, u"10"_s, u"15"_s})
        QVERIFY2(!page.TextsEqual(v).isEmpty(), qPrintable(v));
    QCOMPARE(page.TextsEqual(u"測定数 7"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"差     20"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"2.9 ㎜"_s).size(), 1);
}

void TestChartForms::summaryFigureCountAxis()
{
    // Forty differences of 0 and an upper standard far beyond the classes.
    QList<TKel4LineRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), QString(), u"0"_s, QString()));
    SaveRecord(u"0001"_s, rows, u"100"_s, u"-5"_s);
    m_head->Yosiki = 1;
    m_head->Bunpu = u"1"_s;
    DrawHistogramDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    // g = 0.25: labels 0, 4, … 40, 44, right-aligned before x 3.1.
    QStringList labels;
    for (const TPageCommand &c : page.Texts()) {
        if (c.Box.right() <= kSummary.X(3.1f) + 2 && c.Box.left() >= kSummary.X(2.2f) && c.Text.toInt() % 4 == 0
            && !c.Text.isEmpty() && c.Text.at(0).isDigit())
            labels << c.Text;
    }
    QStringList expected;
    for (int j = 0; j <= 44; j += 4)
        expected << QString::number(j);
    QCOMPARE(labels, expected);
    // The upper standard, class 18, lies beyond the drawn end and is drawn at 14.4.
    bool atEnd = false;
    for (const TPageCommand &c : page.Lines())
        atEnd = atEnd || (c.Pen.Color == 0x000000FF && c.From.x() == c.To.x() && Near(c.From.x(), kSummary.X(14.4f)));
    QVERIFY(atEnd);
}

void TestChartForms::frequencyTableClasses()
{
    QList<TKel4LineRow> rows{SampleRecord::Line(1, u"0"_s, QString(), u"3.4"_s, QString()),
                             SampleRecord::Line(2, u"1"_s, QString(), u"25"_s, QString()),
                             SampleRecord::Line(3, u"2"_s, QString(), u"-0.5"_s, QString())};
    SaveRecord(u"0002"_s, rows, QString(), QString());
    DrawHistogramDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(page.Caps().Layout.orientation(), QPageLayout::Landscape);
    QVERIFY(page.AllText().contains(u"度数表"_s));
    // Bars of classes -1, 3 and 18 at x = (k + 18) × 0.6 + 1.35, each one row high.
    QList<int> lefts;
    for (const TPageCommand &b : page.Fills()) {
        lefts << b.Box.left();
        QVERIFY(Near(b.Box.height(), kTable.Y(14) - kTable.Y(13.35f), 3));
    }
    QCOMPARE(lefts.size(), 3);
    for (int k : {-1, 3, 18})
        QVERIFY2(std::any_of(lefts.begin(), lefts.end(),
                             [&](int x) { return Near(x, kTable.X((k + 18) * 0.6f + 1.35f)); }),
                 qPrintable(QString::number(k)));
    // Class values from the first to the last class, also under empty classes.
    QCOMPARE(page.TextsEqual(u"-1"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"10"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"18"_s).size(), 1);
    QCOMPARE(page.TextsEqual(u"-2"_s).size(), 0);

    WriteSetting(u"RoundON"_s, u"TRUE"_s);
    DrawHistogramDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Page(1).TextsEqual(u"-1"_s).size(), 0); // -0.5 goes to class 0 now
}

void TestChartForms::frequencyTableScaleAndCentreOnly()
{
    QList<TKel4LineRow> rows;
    for (int i = 0; i < 30; ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), u"5"_s, u"2"_s, u"-3"_s));
    SaveRecord(u"0002"_s, rows);
    m_head->Yosiki = 1;
    DrawHistogramDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    // Centre only: one bar of 30, per = 3: labels 0, 3, … 30 and a bar 10 rows (6.5 cm) high.
    QCOMPARE(page.Fills().size(), 1);
    QVERIFY(Near(page.Fills()[0].Box.height(), kTable.Y(14) - kTable.Y(7.5f), 3));
    QStringList labels;
    for (const TPageCommand &c : page.Texts()) {
        if (c.Box.right() <= kTable.X(1.25f) + 2 && c.Box.left() >= kTable.X(0.7f) - 2)
            labels << c.Text;
    }
    QStringList expected;
    for (int j = 0; j <= 30; j += 3)
        expected << QString::number(j);
    QCOMPARE(labels, expected);
    // The average of all differences (5 + 2 - 3) / 3 = 1.3 on the class axis.
    bool average = false;
    for (const TPageCommand &c : page.Lines())
        average = average || (c.Pen.Color == kAverageColor && c.From.x() == c.To.x()
                              && Near(c.From.x(), kTable.X(19.3f * 0.6f + 1.65f)));
    QVERIFY(average);
    QCOMPARE(page.TextsEqual(QChar(kAverageSign) + u"= 1.3 ㎜"_s).size(), 1);
    // The upper standard 20 mm lies beyond the outer class and stands on class 18.
    bool upper = false;
    for (const TPageCommand &c : page.Lines())
        upper = upper || (c.Pen.Color == 0x000000FF && c.From.x() == c.To.x() && Near(c.From.x(), kTable.X(22.65f)));
    QVERIFY(upper);

    m_head->Yosiki = 0;
    DrawHistogramDocument(m_prev, *m_head, true);
    QCOMPARE(m_prev->Page(1).Fills().size(), 3);
    QCOMPARE(m_prev->Page(1).TextsEqual(QChar(kAverageSign) + u"= 1.3 t"_s).size(), 1);
}

void TestChartForms::frequencyTableDate()
{
    SaveRecord(u"0002"_s, SampleRecord::PatternLines(5));
    DrawHistogramDocument(m_prev, *m_head, false);
    QVERIFY(m_prev->Page(1).AllText().contains(u"6年3月5日現在"_s));
    auto ruleUnderDate = [&](const TRecordedPage &page) {
        for (const TPageCommand &c : page.Lines()) {
            if (c.From.y() == c.To.y() && Near(c.From.y(), kTable.Y(4.7f)) && Near(c.From.x(), kTable.X(1.2f))
                && Near(c.To.x(), kTable.X(7.2f)))
                return true;
        }
        return false;
    };
    QVERIFY(ruleUnderDate(m_prev->Page(1)));
    m_head->Hiduke = QDateTime();
    DrawHistogramDocument(m_prev, *m_head, false);
    QVERIFY(!m_prev->Page(1).AllText().contains(u"現在"_s));
    QVERIFY(ruleUnderDate(m_prev->Page(1)));
}

void TestChartForms::textDifferencePrintsEveryForm_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<bool>("histogram");
    QTest::addColumn<QString>("figure"); // the average as the form writes it
    QTest::newRow("x chart") << u"0001"_s << false << u"平均値 1.5"_s;
    QTest::newRow("table chart") << u"0002"_s << false << QString();
    QTest::newRow("summary figure") << u"0001"_s << true << u"1.5 ㎜"_s;
    QTest::newRow("frequency table") << u"0002"_s << true << QChar(kAverageSign) + u"= 1.5 ㎜"_s;
}

void TestChartForms::textDifferencePrintsEveryForm()
{
    QFETCH(QString, project);
    QFETCH(bool, histogram);
    QFETCH(QString, figure);
    // Six numbers (sum 9, average 1.5) and three texts that are no measured difference.
    const QList<TKel4LineRow> rows{SampleRecord::Line(1, u"0"_s, u"1"_s, u"欠測"_s, u"2"_s),
                                   SampleRecord::Line(2, u"1"_s, u"3"_s, u"4"_s, u"欠測"_s),
                                   SampleRecord::Line(3, u"2"_s, u"欠測"_s, u"-1"_s, u"0"_s)};
    SaveRecord(project, rows);
    QCOMPARE(m_head->DiffCount(), 6);
    QCOMPARE(m_head->DiffSum(), 9.0);
    QCOMPARE(m_head->GetAverageDiffText(), u"1.5"_s);
    QCOMPARE(m_head->GetMaxDiffText(), u"4"_s);
    QCOMPARE(m_head->GetMinDiffText(), u"-1"_s);
    if (histogram)
        DrawHistogramDocument(m_prev, *m_head, false);
    else
        DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->PageCount(), 1);
    const TRecordedPage &page = m_prev->Page(1);
    if (!figure.isEmpty())
        QCOMPARE(page.TextsEqual(figure).size(), 1);
    if (histogram) {
        // One count per number in the bars: classes -1, 0, 1, 2, 3, 4 once each.
        QCOMPARE(page.Fills().size(), 6);
        if (project == u"0001"_s) {
            QCOMPARE(page.TextsEqual(u"測定数 6"_s).size(), 1);
            QCOMPARE(page.TextsEqual(u"差     9"_s).size(), 1);
        }
    } else {
        // A point per number, none for the texts; the average line across the plot.
        int points = 0;
        for (const TPageCommand &c : page.Ellipses())
            points += c.Box.width() < 30 && c.Pen.Color != clBlack ? 1 : 0;
        QCOMPARE(points, 6);
        const TForm form = project == u"0001"_s ? kXChart : kTable;
        const float left = project == u"0001"_s ? 3.1f : 3.8f;
        const float right = project == u"0001"_s ? 23.9f : 24.3f;
        QCOMPARE(LinesAcross(page, kAverageColor, form.X(left), form.X(right)).size(), 1);
    }
}

void TestChartForms::xChartAverageLabelOnItsLine_data()
{
    QTest::addColumn<QString>("difference"); // every difference of the record
    QTest::addColumn<QString>("label");
    // The 80 % and 50 % labels stand at the right end of their lines, so they leave the
    // average's label at the left where it is.
    QTest::newRow("level with the 50 % line") << u"10"_s << u"平均値 10.0"_s;
    QTest::newRow("level with the 80 % line") << u"-16"_s << u"平均値 -16.0"_s;
    QTest::newRow("apart from every line") << u"3"_s << u"平均値 3.0"_s;
}

void TestChartForms::xChartAverageLabelOnItsLine()
{
    QFETCH(QString, difference);
    QFETCH(QString, label);
    QList<TKel4LineRow> rows;
    for (int i = 0; i < 4; ++i)
        rows.append(SampleRecord::Line(i + 1, QString::number(i), difference, difference, difference));
    SaveRecord(u"0001"_s, rows);
    DrawChartDocument(m_prev, *m_head, false);
    const TRecordedPage &page = m_prev->Page(1);
    const QList<TPageCommand> average = LinesAcross(page, kAverageColor, kXChart.X(3.1f), kXChart.X(23.9f));
    QCOMPARE(average.size(), 1);
    const QList<TPageCommand> texts = page.TextsEqual(label);
    QCOMPARE(texts.size(), 1);
    QVERIFY2(Near(texts[0].Box.center().y(), average[0].From.y(), 6),
             qPrintable(u"%1 at %2"_s.arg(texts[0].Box.center().y()).arg(average[0].From.y())));
}

void TestChartForms::textsKeepClear_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<bool>("histogram");
    QTest::addColumn<QStringList>("diffs"); // centre differences
    QTest::addColumn<QStringList>("limits"); // U1, D1, U2, D2
    QTest::addColumn<bool>("percents");
    QTest::addColumn<QString>("bunpu");

    struct TForms
    {
        const char *Name;
        const char16_t *Project;
        bool Histogram;
    };
    const TForms forms[] = {{"x chart", u"0001", false},
                            {"table chart", u"0002", false},
                            {"summary figure", u"0001", true},
                            {"frequency table", u"0002", true}};
    const QStringList small{u"-2"_s, u"1"_s, u"3"_s, u"0"_s, u"-1"_s, u"2"_s, u"4"_s, u"-3"_s, u"1"_s, u"0"_s};
    const QStringList negative{u"-1"_s, u"0"_s, u"1"_s, u"-0.5"_s, u"0.5"_s, u"-1.5"_s, u"0"_s, u"0.5"_s, u"-1"_s,
                               u"0"_s}; // average -0.2
    const QStringList huge{u"-3000"_s, u"2500"_s, u"120"_s, u"-40"_s, u"3000"_s, u"0"_s};
    const QStringList tiny{u"0.1"_s, u"0.2"_s, u"0.3"_s, u"0.2"_s, u"0.1"_s};
    const QStringList coinciding{u"10"_s, u"-10"_s, u"8"_s, u"-8"_s};
    for (const TForms &f : forms) {
        auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", f.Name, name) << QString::fromUtf16(f.Project) << f.Histogram;
        };
        row("coinciding limits, 80 %") << small << coinciding << true << u"1"_s;
        row("coinciding limits, no 80 %") << small << coinciding << false << u"1"_s;
        row("negative average") << negative << coinciding << true << u"1"_s;
        row("no own-company limits") << small << QStringList{u"10"_s, u"-10"_s, QString(), QString()} << true
                                      << u"1"_s;
        row("large range") << huge << QStringList{u"50"_s, u"-50"_s, u"40"_s, u"-40"_s} << true << u"1"_s;
        row("tiny range") << tiny << QStringList{QString(), QString(), QString(), QString()} << true << u"0.1"_s;
        row("coinciding limits, wide classes") << small << coinciding << true << u"5"_s;
    }
}

void TestChartForms::textsKeepClear()
{
    QFETCH(QString, project);
    QFETCH(bool, histogram);
    QFETCH(QStringList, diffs);
    QFETCH(QStringList, limits);
    QFETCH(bool, percents);
    QFETCH(QString, bunpu);
    WriteSetting(u"80percent"_s, percents ? u"TRUE"_s : u"FALSE"_s);
    WriteSetting(u"JisyaKikakumei"_s, u"社内基準"_s);
    QList<TKel4LineRow> rows;
    for (int i = 0; i < diffs.size(); ++i)
        rows.append(SampleRecord::Line(i + 1, u"No."_s + QString::number(i), diffs[i], diffs[i], diffs[i]));
    SaveRecord(project, rows, limits[0], limits[1], limits[2], limits[3]);
    m_head->Bunpu = bunpu;
    if (histogram)
        DrawHistogramDocument(m_prev, *m_head, false);
    else
        DrawChartDocument(m_prev, *m_head, false);

    // The ruled boxes of the form that hold texts: a text that stands in one stays in it.
    const bool style2 = project == u"0002"_s;
    const TForm form = histogram ? (style2 ? kTable : kSummary) : (style2 ? kTable : kXChart);
    QList<QRectF> cells;
    if (!histogram && !style2)
        cells = {{QPointF(0.2, 3.8), QPointF(3.1, 11.2)}, {QPointF(3.1, 3.8), QPointF(23.9, 11.2)},
                 {QPointF(0, 0), QPointF(24.1, 13.5)}};
    else if (!histogram)
        cells = {{QPointF(0, 6.8), QPointF(3.8, 14.4)}, {QPointF(0, 4.6), QPointF(24.3, 14.4)}};
    else if (!style2)
        cells = {{QPointF(0, 0), QPointF(17.1, 25.2)}};
    else
        cells = {{QPointF(0, 4.9), QPointF(24.3, 15.4)}};
    if (!histogram) {
        // Every tick label whole, right-aligned at its place.
        const TChartConstants &constants = ChartConstants(style2 ? TChartKind::TableChart : TChartKind::XChart);
        const TValueRange range = ValueRange(*m_head, m_head->Lines(), constants);
        const TChartScale scale = ChartScale(range.Max, range.Min, 1, constants);
        QStringList expected;
        for (const TChartTick &tick : ChartTicks(scale, bunpu, constants)) {
            if (!tick.Label.isEmpty())
                expected << tick.Label;
        }
        QVERIFY(!expected.isEmpty());
        QStringList labels;
        for (const TPageCommand &c : m_prev->Page(1).Texts()) {
            if (Near(c.Box.left() + c.Box.width(), form.X(float(constants.LabelRight)), 3)
                && c.Box.center().y() > form.Y(float(constants.Top)) && c.Box.center().y() < form.Y(float(constants.Top) + kPlotHeight))
                labels << c.Text;
        }
        QCOMPARE(labels, expected);
    }
    // The own-company limit and the 80 % line share the value 8 and write it once, under
    // the class values.
    if (histogram && limits[2] == u"8"_s) {
        const int below = style2 ? kTable.Y(14.45f) : kSummary.Y(20.45f);
        int eights = 0;
        for (const TPageCommand &c : m_prev->Page(1).TextsEqual(u"8"_s))
            eights += c.Box.center().y() > below ? 1 : 0;
        QCOMPARE(eights, 1);
    }
    for (int p = 1; p <= m_prev->PageCount(); ++p) {
        const QList<TPageCommand> texts = m_prev->Page(p).Texts();
        QVERIFY(texts.size() > 30);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QRect &a = texts[i].Box;
            for (qsizetype j = i + 1; j < texts.size(); ++j) {
                QVERIFY2(!a.intersects(texts[j].Box),
                         qPrintable(u"page %1: '%2' meets '%3'"_s.arg(p).arg(texts[i].Text, texts[j].Text)));
            }
            for (const QRectF &cell : cells) {
                const QRect box(QPoint(form.X(float(cell.left())), form.Y(float(cell.top()))),
                                QPoint(form.X(float(cell.right())), form.Y(float(cell.bottom()))));
                // Everything of the summary figure stands inside its frame.
                if (box.contains(a.center()) || (histogram && !style2))
                    QVERIFY2(box.contains(a), qPrintable(u"page %1: '%2' runs out of its box"_s.arg(p).arg(texts[i].Text)));
            }
        }
    }
}

void TestChartForms::documentsFollowPrintStyle_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("histogram");
    QTest::addColumn<int>("histogramOrientation");
    QTest::newRow("style 0") << u"0001"_s << u"Ｘ管理図"_s << u"でき形測定取りまとめ図"_s << int(QPageLayout::Portrait);
    QTest::newRow("style 2") << u"0002"_s << u"出来形管理図表"_s << u"度数表"_s << int(QPageLayout::Landscape);
}

void TestChartForms::documentsFollowPrintStyle()
{
    QFETCH(QString, project);
    QFETCH(QString, chart);
    QFETCH(QString, histogram);
    QFETCH(int, histogramOrientation);
    SaveRecord(project, SampleRecord::PatternLines(4));
    // The print commands show the preview modally; close it as soon as it is up.
    auto closeSoon = [] {
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
    };
    // Through the main window's hook, as its "ﾋｽﾄｸﾞﾗﾑ" button calls it.
    PlugChartPrintRoutines();
    QVERIFY(bool(RecordPrintRoutine(TRecordForm::ControlChart)));
    closeSoon();
    RecordPrintRoutine(TRecordForm::Histogram)(nullptr, *m_head, false);
    QCOMPARE(int(NkPrinter().Orientation()), histogramOrientation);
    closeSoon();
    PrintControlChart(*m_head, false, nullptr);
    QCOMPARE(int(NkPrinter().Orientation()), int(QPageLayout::Landscape));
    DrawChartDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Title(), chart);
    QVERIFY(m_prev->Page(1).AllText().contains(chart));
    QCOMPARE(m_prev->FileTitle(), project + u"_路盤工_第1工区_高さ_管理図"_s);
    DrawHistogramDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->Title(), histogram);
    QCOMPARE(int(m_prev->Page(1).Caps().Layout.orientation()), histogramOrientation);
    QCOMPARE(m_prev->FileTitle(), project + u"_路盤工_第1工区_高さ_ヒストグラム"_s);
    // A record without section leaves it out of the name.
    m_head->Kouku->Koukumei = u"#"_s;
    DrawDataSheetDocument(m_prev, *m_head, false);
    QCOMPARE(m_prev->FileTitle(), project + u"_路盤工_高さ_データシート"_s);
}

void TestChartForms::exporterForms()
{
    const int id = SaveRecord(u"0002"_s, SampleRecord::PatternLines(25));
    const QString out = m_env->Root() + u"/out/chart.png"_s;
    QDir().mkpath(m_env->Root() + u"/out"_s);
    auto run = [&](const QStringList &args, QString *error) {
        QString o;
        QString e;
        QTextStream os(&o);
        QTextStream es(&e);
        const int rc = RunExport(args, os, es);
        *error = e;
        return rc;
    };
    QString error;
    const QStringList common{u"--data-dir"_s, m_env->DataFolder(), u"--dpi"_s, u"30"_s};
    QCOMPARE(run(common + QStringList{u"--record"_s, QString::number(id), u"--form"_s, u"chart"_s, u"--out"_s, out},
                 &error),
             0);
    QVERIFY(QFile::exists(m_env->Root() + u"/out/chart-001.png"_s));
    QVERIFY(QFile::exists(m_env->Root() + u"/out/chart-002.png"_s));
    QVERIFY(!QFile::exists(m_env->Root() + u"/out/chart-003.png"_s));
    const QString hist = m_env->Root() + u"/out/hist.png"_s;
    QCOMPARE(run(common + QStringList{u"--weight"_s, u"--record"_s, QString::number(id), u"--form"_s, u"histogram"_s,
                                      u"--out"_s, hist},
                 &error),
             0);
    const QImage page(m_env->Root() + u"/out/hist-001.png"_s);
    QVERIFY(page.width() > page.height()); // the frequency table is landscape
    QCOMPARE(run(common + QStringList{u"--record"_s, u"999"_s, u"--form"_s, u"chart"_s, u"--out"_s, out}, &error),
             kExportFailure);
    QVERIFY2(error.contains(u"999"_s), qPrintable(error));
}

QTEST_MAIN(TestChartForms)
#include "tst_ChartForms.moc"
