// The standard-value list print: paging by 25, the frame of each page, the cells of a row,
// and "一覧印刷" of the standard-value window.
#include "app/uApplication.h"
#include "app/uDatabase.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"
#include "registers/fEditKikakuti4.h"
#include "registers/uKikakuti4.h"
#include "registers/uKikakutiList.h"
#include "registers/uKosyu.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
void Put(int kubun, const QString &kosyu, const QString &item, const QString &u1 = u"20"_s,
         const QString &d1 = u"-20"_s, bool gokaku = false, const QString &joken = QString())
{
    TKikakuti4 k;
    k.Kubun = kubun;
    k.Kosyu->LoadByName(kosyu);
    k.Koumokumei = item;
    k.KikakutiU1 = u1;
    k.KikakutiD1 = d1;
    k.KikakutiU2 = u"15"_s;
    k.KikakutiD2 = u"-15"_s;
    k.GokakuHantei = gokaku;
    k.Joken = joken;
    k.Save();
}

// Texts whose cell centre lies in the box (form centimetres), in drawing order.
QStringList TextsIn(const TRecordedPage &page, float left, float top, float right, float bottom)
{
    const int x1 = PrintPixelX(left), x2 = PrintPixelX(right);
    const int y1 = PrintPixelY(top), y2 = PrintPixelY(bottom);
    QStringList texts;
    for (const TPageCommand &c : page.Texts()) {
        const QPoint p = c.Box.center();
        if (p.x() >= x1 && p.x() < x2 && p.y() >= y1 && p.y() < y2)
            texts.append(c.Text);
    }
    return texts;
}

int RowsOn(const TRecordedPage &page)
{
    int rows = 0;
    for (int n = 1; n <= 25; ++n)
        rows += TextsIn(page, 0, float(n), 1, float(n + 1)).isEmpty() ? 0 : 1;
    return rows;
}

} // namespace

class TestKikakutiList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void paging_data();
    void paging();
    void frame();
    void cellsOfARow_data();
    void cellsOfARow();
    void orderedByClassWorkTypeItem();
    void menuPreviewsTheList();

private:
    std::unique_ptr<TTestEnv> m_env;
    std::unique_ptr<TPrevX> m_prev;
};

void TestKikakutiList::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestKikakutiList::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    TKikakuti4().CreateTableIfMissing();
    m_prev = std::make_unique<TPrevX>();
}

void TestKikakutiList::cleanup()
{
    m_prev.reset();
    m_env.reset();
}

void TestKikakutiList::paging_data()
{
    QTest::addColumn<int>("standards");
    QTest::addColumn<QList<int>>("rowsPerPage");
    QTest::newRow("none: one empty page") << 0 << QList<int>{0};
    QTest::newRow("25: one page") << 25 << QList<int>{25};
    QTest::newRow("26: one row on page 2") << 26 << QList<int>{25, 1};
    QTest::newRow("51") << 51 << QList<int>{25, 25, 1};
}

void TestKikakutiList::paging()
{
    QFETCH(int, standards);
    QFETCH(QList<int>, rowsPerPage);
    for (int i = 0; i < standards; ++i)
        Put(0, u"表層"_s, u"項目%1"_s.arg(i, 2, 10, QChar(u'0')));
    DrawKikakutiListDocument(m_prev.get());
    QCOMPARE(m_prev->PageCount(), int(rowsPerPage.size()));
    for (int p = 0; p < rowsPerPage.size(); ++p) {
        const TRecordedPage &page = m_prev->Page(p + 1);
        QCOMPARE(RowsOn(page), rowsPerPage[p]);
        // Every page with rows has its own frame and headings.
        QCOMPARE(page.TextsEqual(u"規格値2"_s).size(), rowsPerPage[p] > 0 ? 1 : 0);
        for (const TPageCommand &t : page.Texts())
            QCOMPARE(t.Font.Size, 10);
    }
    if (standards == 26)
        QCOMPARE(TextsIn(m_prev->Page(2), 5, 1, 7, 2), QStringList{u"項目25"_s});
}

void TestKikakutiList::frame()
{
    Put(1, u"表層"_s, u"厚さ"_s);
    DrawKikakutiListDocument(m_prev.get());
    const TRecordedPage &page = m_prev->Page(1);
    const QList<TPageCommand> lines = page.Lines();
    auto count = [&lines](const std::function<bool(const TPageCommand &)> &pred) {
        return std::count_if(lines.begin(), lines.end(), pred);
    };
    // Full-width rules at y = 1 … 25 and the halving rules at y = 1.5 … 25.5 in x 7 … 11.
    QCOMPARE(count([](const TPageCommand &c) {
                 return c.From.y() == c.To.y() && c.From.x() == PrintPixelX(0) && c.To.x() == PrintPixelX(17)
                     && c.From.y() > PrintPixelY(0) && c.From.y() < PrintPixelY(26);
             }),
             25);
    QCOMPARE(count([](const TPageCommand &c) {
                 return c.From.y() == c.To.y() && c.From.x() == PrintPixelX(7) && c.To.x() == PrintPixelX(11);
             }),
             25);
    // Vertical rules from top to bottom at each column edge (the outer box included).
    for (float x : {0.f, 1.f, 3.f, 5.f, 7.f, 9.f, 11.f, 12.f, 14.f, 17.f}) {
        QVERIFY2(count([x](const TPageCommand &c) {
                     return c.From.x() == PrintPixelX(x) && c.To.x() == PrintPixelX(x)
                         && qAbs(c.From.y() - c.To.y()) == PrintPixelY(26) - PrintPixelY(0);
                 }) >= 1,
                 qPrintable(QString::number(x)));
    }
    // Nothing fills over the rules.
    QVERIFY(page.Fills().isEmpty());
    QVERIFY(page.Rectangles().isEmpty());
    // "判定値" is wider than its 1 cm column and wraps into two lines.
    QCOMPARE(TextsIn(page, 0, 0, 17, 1).join(QString()), u"ID区分工種項目規格値規格値2判定値条件"_s);
    QCOMPARE(TextsIn(page, 11, 0, 12, 1).size(), 2);
    // The form's origin lies 2 cm right of and 1.85 cm below the paper's corner.
    QCOMPARE(PrintPixelX(0), int(2.0 * 600 / 2.54));
    QCOMPARE(PrintPixelY(0), int(1.85 * 600 / 2.54));
}

void TestKikakutiList::cellsOfARow_data()
{
    QTest::addColumn<int>("kubun");
    QTest::addColumn<bool>("gokaku");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("mark");
    QTest::newRow("開発局") << 0 << true << u"開発局"_s << u"○"_s;
    QTest::newRow("土現") << 1 << false << u"土現"_s << QString();
    QTest::newRow("支庁") << 2 << true << u"支庁"_s << u"○"_s;
    QTest::newRow("no class") << -1 << false << QString() << QString();
}

void TestKikakutiList::cellsOfARow()
{
    QFETCH(int, kubun);
    QFETCH(bool, gokaku);
    QFETCH(QString, label);
    QFETCH(QString, mark);
    Put(kubun, u"上層路盤"_s, u"基準高"_s, u"+50"_s, u"-50"_s, gokaku, u"10個以上"_s);
    DrawKikakutiListDocument(m_prev.get());
    const TRecordedPage &page = m_prev->Page(1);
    auto cell = [&page](float l, float t, float r, float b) { return TextsIn(page, l, t, r, b).join(u'|'); };
    QCOMPARE(cell(0, 1, 1, 2), u"1"_s);
    QCOMPARE(cell(1, 1, 3, 2), label);
    QCOMPARE(cell(3, 1, 5, 2), u"上層路盤"_s);
    QCOMPARE(cell(5, 1, 7, 2), u"基準高"_s);
    QCOMPARE(cell(7, 1, 9, 1.5f), u"+50"_s);
    QCOMPARE(cell(7, 1.5f, 9, 2), u"-50"_s);
    QCOMPARE(cell(9, 1, 11, 1.5f), u"15"_s);
    QCOMPARE(cell(9, 1.5f, 11, 2), u"-15"_s);
    QCOMPARE(cell(11, 1, 12, 2), mark);
    QCOMPARE(cell(12, 1, 14, 2), u"10個以上"_s);
    QCOMPARE(cell(14, 1, 17, 2), QString());
}

void TestKikakutiList::orderedByClassWorkTypeItem()
{
    Put(2, u"表層"_s, u"厚さ"_s);
    Put(0, u"表層"_s, u"幅"_s);
    Put(0, u"上層路盤"_s, u"厚さ"_s);
    Put(-1, u"表層"_s, u"厚さ"_s);
    Put(0, u"表層"_s, u"厚さ"_s);
    DrawKikakutiListDocument(m_prev.get());
    const TRecordedPage &page = m_prev->Page(1);
    QStringList rows;
    for (int n = 1; n <= 5; ++n)
        rows.append(TextsIn(page, 1, float(n), 7, float(n + 1)).join(u'/'));
    QCOMPARE(rows, (QStringList{u"表層/厚さ"_s, u"開発局/上層路盤/厚さ"_s, u"開発局/表層/厚さ"_s,
                                u"開発局/表層/幅"_s, u"支庁/表層/厚さ"_s}));
}

void TestKikakutiList::menuPreviewsTheList()
{
    Put(0, u"表層"_s, u"厚さ"_s);
    TfrmEditKikakuti4 w;
    w.show();
    QVERIFY(w.N_PrintList->isEnabled());
    int pages = 0;
    QString text;
    WhenModal("TfrmPreView", [&](QWidget *modal) {
        auto *preview = static_cast<TfrmPreView *>(modal);
        pages = preview->PrevX1->PageCount();
        text = preview->PrevX1->Page(1).AllText();
        preview->close();
    });
    w.N_PrintList->trigger();
    QCOMPARE(pages, 1);
    QVERIFY(text.contains(u"表層"_s));
}

QTEST_MAIN(TestKikakutiList)
#include "tst_KikakutiList.moc"
