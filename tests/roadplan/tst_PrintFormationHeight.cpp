#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"

#include <QPushButton>
#include "roadplan/uFormationHeight.h"
#include "roadplan/uPrintFormationHeight.h"
#include "startup/uExport.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QTimer>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using namespace PlanLayout;

namespace {

// Stations in rows 1, 2, 35 and 36; row 3 has none.
TPlanCells Plan()
{
    TPlanCells cells;
    const auto row = [&cells](int r, const QStringList &texts) {
        for (int i = 0; i < texts.size(); ++i)
            cells.SetCell(StationColumn + i, r, texts.at(i));
    };
    row(1, {u" No.0 "_s, u"0.00"_s, u"99.930"_s, u"3.5"_s, u"2"_s, u"100"_s, u"2"_s, u"3.25"_s, u"99.935"_s,
            QString(), u"100.070"_s, u"100.065"_s});
    row(2, {u"40"_s, u" 40.00 "_s, QString(), QString(), QString(), u"100.5"_s, QString(), QString(), QString(),
            u"1.2500"_s});
    cells.SetCell(CentreHeightColumn, 3, u"7"_s); // no station: not printed
    row(35, {u"No.34"_s, u"40"_s});
    row(36, {u"No.35"_s, u"40"_s});
    return cells;
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= 2;
}

// The text drawn in the box of data row R (1-based) and column J (0 … 11), or a null text.
QString TextAt(const TRecordedPage &page, int r, int j)
{
    const float top = float(r - 1) * 0.5f + 0.5f;
    for (const TPageCommand &t : page.Texts()) {
        const int cx = t.Box.center().x();
        const int cy = t.Box.center().y();
        if (cx >= PrintPixelX(2.0f * j) && cx < PrintPixelX(2.0f * j + 2) && cy >= PrintPixelY(top)
            && cy < PrintPixelY(top + 0.5f))
            return t.Text;
    }
    return QString();
}

} // namespace

class TestPrintFormationHeight : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pageIsLandscapeWithRules();
    void headings();
    void rows_data();
    void rows();
    void alignment();
    void previewRedrawsUntilClosed();
    void exporter();

private:
    TTestEnv *m_env = nullptr;
};

void TestPrintFormationHeight::init()
{
    m_env = new TTestEnv;
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
}

void TestPrintFormationHeight::cleanup()
{
    delete m_env;
    m_env = nullptr;
}

void TestPrintFormationHeight::pageIsLandscapeWithRules()
{
    SetPaper(u"A4"_s, u"PORT"_s);
    TPrevX prev;
    DrawFormationPlanDocument(&prev, Plan());
    QCOMPARE(prev.PageCount(), 1);
    const TRecordedPage &page = prev.Page(1);
    QCOMPARE(page.Caps().Layout.orientation(), QPageLayout::Landscape);
    QCOMPARE(PrintOffsetX, -2.85f);
    QCOMPARE(PrintOffsetY, -1.5f);

    // The page is whitened first.
    QVERIFY(!page.Fills().isEmpty());
    QCOMPARE(page.Commands().first().Kind, TCommandKind::FillRect);

    int rules = 0;
    QList<int> ys;
    QSet<int> verticalXs;
    for (const TPageCommand &l : page.Lines()) {
        if (l.From.y() == l.To.y() && Near(l.From.x(), PrintPixelX(0)) && Near(l.To.x(), PrintPixelX(24))) {
            ++rules;
            ys << l.From.y();
        }
        if (l.From.x() == l.To.x() && Near(qMin(l.From.y(), l.To.y()), PrintPixelY(0))
            && Near(qMax(l.From.y(), l.To.y()), PrintPixelY(18)))
            verticalXs.insert(l.From.x());
    }
    QCOMPARE(rules, 37);
    QVERIFY(Near(ys.first(), PrintPixelY(0)));
    QVERIFY(Near(ys.at(1), PrintPixelY(0.5f)));
    QVERIFY(Near(ys.last(), PrintPixelY(18)));
    QCOMPARE(verticalXs.size(), 13); // 12 boxes of 2 cm share their inner sides
}

void TestPrintFormationHeight::headings()
{
    TPrevX prev;
    DrawFormationPlanDocument(&prev, TPlanCells());
    const TRecordedPage &page = prev.Page(1);
    QStringList texts;
    for (const TPageCommand &t : page.Texts())
        texts << t.Text;
    QCOMPARE(texts, (QStringList{u"測点"_s, u"距離"_s, u"左計画高"_s, u"左幅員"_s, u"左勾配"_s, u"中央計画高"_s,
                                 u"右勾配"_s, u"右幅員"_s, u"右計画高"_s, u"縦断勾配"_s, u"左ﾄﾝﾎﾞ"_s, u"右ﾄﾝﾎﾞ"_s}));
    const QList<TPageCommand> drawn = page.Texts();
    QCOMPARE(drawn.first().Font.Size, 10);
    for (int j = 0; j < 12; ++j) {
        const TPageCommand &t = drawn.at(j);
        QVERIFY(Near(t.Box.center().x(), PrintPixelX(2.0f * j + 1)));
        QVERIFY(t.Box.top() >= PrintPixelY(0) && t.Box.bottom() <= PrintPixelY(0.5f) + 1);
    }
}

void TestPrintFormationHeight::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts"); // columns 0 … 11; null: nothing printed there

    QTest::newRow("full row") << 1
        << QStringList{u"No.0"_s, u"0.00"_s, u"99.930"_s, u"3.500"_s, u"2.000"_s, u"100.000"_s, u"2.000"_s,
                       u"3.250"_s, u"99.935"_s, u"0.000"_s, u"100.070"_s, u"100.065"_s};
    QTest::newRow("empty cells print as zero") << 2
        << QStringList{u"40"_s, u"40.00"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s, u"100.500"_s, u"0.000"_s,
                       u"0.000"_s, u"0.000"_s, u"1.250"_s, u"0.000"_s, u"0.000"_s};
    QTest::newRow("row without station") << 3 << QStringList(12, QString());
    QTest::newRow("last printed row") << 35
        << QStringList{u"No.34"_s, u"40"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s,
                       u"0.000"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s, u"0.000"_s};
}

void TestPrintFormationHeight::rows()
{
    QFETCH(int, row);
    QFETCH(QStringList, texts);

    TPrevX prev;
    DrawFormationPlanDocument(&prev, Plan());
    const TRecordedPage &page = prev.Page(1);
    QStringList printed;
    for (int j = 0; j < 12; ++j)
        printed << TextAt(page, row, j);
    QCOMPARE(printed, texts);
    // 12 headings and 12 texts for each of rows 1, 2 and 35; row 36 is beyond the page.
    QCOMPARE(page.Texts().size(), 12 * 4);
    QVERIFY(page.TextsEqual(u"No.35"_s).isEmpty());
}

void TestPrintFormationHeight::alignment()
{
    TPrevX prev;
    DrawFormationPlanDocument(&prev, Plan());
    const TRecordedPage &page = prev.Page(1);
    const TPageCommand station = page.TextsEqual(u"No.0"_s).first();
    QVERIFY(Near(station.Box.left(), PrintPixelX(0.1f)));
    const TPageCommand distance = page.TextsEqual(u"40.00"_s).first();
    QVERIFY(Near(distance.Box.right(), PrintPixelX(3.9f)));
    const TPageCommand height = page.TextsEqual(u"100.500"_s).first();
    QVERIFY(Near(height.Box.right(), PrintPixelX(11.9f)));
}

void TestPrintFormationHeight::previewRedrawsUntilClosed()
{
    int shown = 0;
    int pages = 0;
    std::function<void()> answer;
    answer = [&] {
        auto *preview = qobject_cast<TfrmPreView *>(QApplication::activeModalWidget());
        if (!preview) {
            QTimer::singleShot(10, answer);
            return;
        }
        ++shown;
        pages = preview->PrevX1->PageCount();
        if (shown == 1) {
            preview->done(QDialog::Accepted); // e.g. after printing: drawn and shown again
            QTimer::singleShot(0, answer);
        } else {
            QTest::mouseClick(preview->Button2, Qt::LeftButton); // "閉じる"
        }
    };
    QTimer::singleShot(0, answer);
    PreviewFormationPlan(nullptr, Plan());
    QCOMPARE(shown, 2);
    QCOMPARE(pages, 1);
    QCOMPARE(NkPrinter().Orientation(), QPageLayout::Landscape);
}

void TestPrintFormationHeight::exporter()
{
    TFormationHeight().CreateTableIfMissing();
    FormationPlan::SavePlan(u"K001"_s, Plan());
    const QString out = m_env->Root() + u"/plan.png"_s;
    QString output, errors;
    QTextStream o(&output), e(&errors);
    QCOMPARE(RunExport({u"--project"_s, u"K001"_s, u"--form"_s, u"roadplan"_s, u"--out"_s, out}, o, e), 0);
    const QImage image(m_env->Root() + u"/plan-001.png"_s);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > image.height());

    errors.clear();
    QCOMPARE(RunExport({u"--project"_s, u"K999"_s, u"--form"_s, u"roadplan"_s, u"--out"_s, out}, o, e), 1);
    QVERIFY2(errors.contains(u"工事コード「K999」の路面計画は保存されていません。"_s), qPrintable(errors));
}

QTEST_MAIN(TestPrintFormationHeight)
#include "tst_PrintFormationHeight.moc"
