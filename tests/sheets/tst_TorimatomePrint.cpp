// The summary table print: what each page records, the ditto rule over page breaks, and
// "プレビュー" of the window.
#include "app/uApplication.h"
#include "app/uSpread.h"
#include "printing/NkPrinter.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "printing/uPrintView.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uToleranceSheet.h"
#include "sheets/uTorimatomePrint.h"
#include "support/ModalAnswer.h"
#include "support/TestEnv.h"
#include "TorimatomeFixture.h"

#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace TorimatomeFixture;

namespace {
struct TRow
{
    QString Kosyu;
    QString Kikakuti = u"±20"_s;
    QString SaTanni = u"㎜"_s;
    QString Biko;
};

void StoreRows(const QString &code, const QList<TRow> &rows, int firstLno = 1)
{
    TDekigataTorimatome t;
    t.Koji->LoadByCode(code);
    int lno = firstLno;
    for (const TRow &r : rows) {
        t.LNo = lno++;
        t.Kosyumei = r.Kosyu;
        t.Komoku = u" 高さ "_s;
        t.Koukumei = u"A工区"_s;
        t.Kijun = u"測定基準は印刷しない"_s;
        t.Kikakuti = r.Kikakuti;
        t.SaTanni = r.SaTanni;
        t.Kaisu = u"12"_s;
        t.MaxValue = u"9"_s;
        t.MinValue = u"-4"_s;
        t.AvgValue = u"2.5"_s;
        t.Biko = r.Biko;
        t.Save();
    }
}

// Texts whose cell lies in the band of data row k (0..19) and between the x limits, in
// drawing order.
QStringList TextsIn(const TRecordedPage &page, int k, float left, float right, bool upperHalf = false,
                    bool lowerHalf = false)
{
    float top = 3.2f + 1.095f * float(k);
    float bottom = top + 1.095f;
    if (upperHalf)
        bottom = top + 0.5475f;
    if (lowerHalf)
        top = top + 0.5475f;
    const int y1 = PrintPixelY(top), y2 = PrintPixelY(bottom);
    const int x1 = PrintPixelX(left), x2 = PrintPixelX(right);
    QStringList texts;
    for (const TPageCommand &c : page.Texts()) {
        const QPoint centre = c.Box.center();
        if (centre.y() >= y1 && centre.y() < y2 && centre.x() >= x1 && centre.x() < x2)
            texts.append(c.Text);
    }
    return texts;
}

QString WorkTypeOf(const TRecordedPage &page, int k)
{
    return TextsIn(page, k, 0.1f, 2.2f).join(QString());
}

} // namespace

class TestTorimatomePrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void frameOfEveryPage();
    void pageCount_data();
    void pageCount();
    void dittoCarriesAcrossPages_data();
    void dittoCarriesAcrossPages();
    void standardColumn_data();
    void standardColumn();
    void rowsPrintTrimmedInLnoOrder();
    void previewSavesTheGridFirst();
    void toleranceSheetAgreesWithItsCsv();

private:
    std::unique_ptr<TTestEnv> m_env;
    std::unique_ptr<TPrevX> m_prev;
};

void TestTorimatomePrint::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestTorimatomePrint::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    CreateTables();
    TDekigataTorimatome().CreateTableIfMissing();
    m_prev = std::make_unique<TPrevX>();
}

void TestTorimatomePrint::cleanup()
{
    m_prev.reset();
    m_env.reset();
}

void TestTorimatomePrint::frameOfEveryPage()
{
    QList<TRow> rows;
    for (int i = 0; i < 25; ++i)
        rows.append({u"路盤"_s});
    StoreRows(u"K1"_s, rows);
    DrawTorimatomeDocument(m_prev.get(), u"K1"_s);
    QCOMPARE(m_prev->PageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const TRecordedPage &page = m_prev->Page(n);
        QVERIFY(page.Caps().Layout.orientation() == QPageLayout::Portrait);
        const QList<TPageCommand> title = page.TextsEqual(u"出　来　形　管　理　総　括　表"_s);
        QCOMPARE(title.size(), 1);
        QCOMPARE(title.first().Font.Size, 16);
        for (const TPageCommand &t : page.Texts())
            QCOMPARE(t.Font.Name, u"ＭＳ 明朝"_s);
        for (const QString &h : {u"工種名"_s, u"測定項目"_s, u"工区"_s, u"規格値"_s, u"(単位)"_s, u"測定結果"_s,
                                 u"測定値"_s, u"最大"_s, u"最小"_s, u"平均"_s, u"備考"_s, u"測 定"_s, u"回 数"_s})
            QVERIFY2(page.AllText().contains(h), qPrintable(h));
        // Thick: the outer box and the rule under the heading.
        const QList<TPageCommand> lines = page.Lines();
        const auto thick = std::count_if(lines.begin(), lines.end(), [](const TPageCommand &c) { return c.Pen.Width == 3; });
        QCOMPARE(thick, 5);
        // Thin full-width rules between the 20 rows: 19 of them.
        const int left = PrintPixelX(0), right = PrintPixelX(17.6f);
        const auto rules = std::count_if(lines.begin(), lines.end(), [&](const TPageCommand &c) {
            return c.Pen.Width == 1 && c.From.y() == c.To.y() && c.From.x() == left && c.To.x() == right;
        });
        QCOMPARE(rules, 19);
        const auto columns = std::count_if(lines.begin(), lines.end(), [&](const TPageCommand &c) {
            return c.Pen.Width == 1 && c.From.x() == c.To.x() && c.To.y() == PrintPixelY(25.1f);
        });
        QCOMPARE(columns, 8);
    }
    // The measurement rule is not printed.
    QVERIFY(!m_prev->Page(1).AllText().contains(u"測定基準"_s));
}

void TestTorimatomePrint::pageCount_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("rowsOnLastPage");
    QTest::newRow("none: one empty page") << 0 << 1 << 0;
    QTest::newRow("one") << 1 << 1 << 1;
    QTest::newRow("twenty") << 20 << 1 << 20;
    QTest::newRow("twenty-one") << 21 << 2 << 1;
    QTest::newRow("forty-one") << 41 << 3 << 1;
}

void TestTorimatomePrint::pageCount()
{
    QFETCH(int, rows);
    QFETCH(int, pages);
    QFETCH(int, rowsOnLastPage);
    QList<TRow> stored;
    for (int i = 0; i < rows; ++i)
        stored.append({u"工種%1"_s.arg(i + 1)});
    StoreRows(u"K1"_s, stored);
    StoreRows(u"K2"_s, {{u"他の工事"_s}});
    DrawTorimatomeDocument(m_prev.get(), u"K1"_s);
    QCOMPARE(m_prev->PageCount(), pages);
    const TRecordedPage &last = m_prev->Page(pages);
    int filled = 0;
    for (int k = 0; k < 20; ++k)
        filled += WorkTypeOf(last, k).isEmpty() ? 0 : 1;
    QCOMPARE(filled, rowsOnLastPage);
    if (rows == 0)
        QVERIFY(last.Commands().isEmpty());
    if (rows > 0)
        QCOMPARE(WorkTypeOf(last, rowsOnLastPage - 1), u"工種%1"_s.arg(rows));
    QVERIFY(!m_prev->Page(1).AllText().contains(u"他の工事"_s));
}

void TestTorimatomePrint::dittoCarriesAcrossPages_data()
{
    QTest::addColumn<QString>("row21");
    QTest::addColumn<QString>("printed");
    QTest::newRow("same as row 20") << u"舗装"_s << u"    〃"_s;
    QTest::newRow("another") << u"区画線"_s << u"区画線"_s;
    // The comparison is exact: a trailing blank makes it another work type.
    QTest::newRow("with a blank") << u"舗装 "_s << u"舗装 "_s;
}

void TestTorimatomePrint::dittoCarriesAcrossPages()
{
    QFETCH(QString, row21);
    QFETCH(QString, printed);
    QList<TRow> rows{{u"路盤"_s}, {u"路盤"_s}};
    while (rows.size() < 20)
        rows.append({u"舗装"_s});
    rows.append({row21});
    StoreRows(u"K1"_s, rows);
    DrawTorimatomeDocument(m_prev.get(), u"K1"_s);
    QCOMPARE(m_prev->PageCount(), 2);
    const TRecordedPage &first = m_prev->Page(1);
    QCOMPARE(WorkTypeOf(first, 0), u"路盤"_s);
    QCOMPARE(WorkTypeOf(first, 1), u"    〃"_s);
    QCOMPARE(WorkTypeOf(first, 2), u"舗装"_s);
    QCOMPARE(WorkTypeOf(first, 19), u"    〃"_s);
    QCOMPARE(WorkTypeOf(m_prev->Page(2), 0), printed);
}

void TestTorimatomePrint::standardColumn_data()
{
    QTest::addColumn<QString>("kikakuti");
    QTest::addColumn<QString>("satanni");
    QTest::addColumn<QStringList>("upper");
    QTest::addColumn<QStringList>("lower");
    QTest::newRow("±20 mm") << u"±20"_s << u"㎜"_s << QStringList{u"±20"_s} << QStringList{u"(㎜)"_s};
    QTest::newRow("empty unit") << u"-10 ～ 15"_s << QString() << QStringList{u"-10 ～ 15"_s} << QStringList{u"()"_s};
    QTest::newRow("only the wave dash") << u"～"_s << u"㎝"_s << QStringList() << QStringList{u"(㎝)"_s};
    QTest::newRow("trimmed") << u"  ～ 30"_s << u" ㎜ "_s << QStringList{u"～ 30"_s} << QStringList{u"(㎜)"_s};
}

void TestTorimatomePrint::standardColumn()
{
    QFETCH(QString, kikakuti);
    QFETCH(QString, satanni);
    QFETCH(QStringList, upper);
    QFETCH(QStringList, lower);
    StoreRows(u"K1"_s, {{u"路盤"_s, kikakuti, satanni}});
    DrawTorimatomeDocument(m_prev.get(), u"K1"_s);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(TextsIn(page, 0, 6.8f, 9.6f, true), upper);
    QCOMPARE(TextsIn(page, 0, 6.8f, 9.6f, false, true), lower);
}

void TestTorimatomePrint::rowsPrintTrimmedInLnoOrder()
{
    // Stored with gaps and out of order: printed one after another by LNO.
    StoreRows(u"K1"_s, {{u"舗装"_s, u"±2"_s, u"㎝"_s, u" 最後 "_s}}, 9);
    StoreRows(u"K1"_s, {{u"路盤"_s}}, 3);
    DrawTorimatomeDocument(m_prev.get(), u"K1"_s);
    const TRecordedPage &page = m_prev->Page(1);
    QCOMPARE(WorkTypeOf(page, 0), u"路盤"_s);
    QCOMPARE(WorkTypeOf(page, 1), u"舗装"_s);
    QCOMPARE(TextsIn(page, 1, 2.2f, 4.6f), QStringList{u"高さ"_s});
    QCOMPARE(TextsIn(page, 1, 4.6f, 6.8f), QStringList{u"A工区"_s});
    QCOMPARE(TextsIn(page, 1, 9.6f, 10.9f), QStringList{u"12"_s});
    QCOMPARE(TextsIn(page, 1, 10.9f, 12.4f), QStringList{u"9"_s});
    QCOMPARE(TextsIn(page, 1, 12.4f, 13.9f), QStringList{u"-4"_s});
    QCOMPARE(TextsIn(page, 1, 13.9f, 15.3f), QStringList{u"2.5"_s});
    QCOMPARE(TextsIn(page, 1, 15.3f, 17.6f), QStringList{u"最後"_s});
    QVERIFY(TextsIn(page, 2, 0, 17.6f).isEmpty());
    // The extremes and the average are right-aligned against the column's end.
    const QList<TPageCommand> avg = page.TextsEqual(u"2.5"_s);
    QCOMPARE(avg.size(), 2);
    QVERIFY(qAbs(avg.first().Box.right() - PrintPixelX(15.2f)) <= 2);
}

void TestTorimatomePrint::previewSavesTheGridFirst()
{
    AddSampleProject();
    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    w.Button3->click();
    w.vaSpread1->SetCellText(11, 2, u"プレビュー前に入力"_s);
    int pages = 0;
    QString text;
    WhenModal("TfrmPreView", [&](QWidget *modal) {
        auto *preview = static_cast<TfrmPreView *>(modal);
        pages = preview->PrevX1->PageCount();
        text = preview->PrevX1->Page(1).AllText();
        preview->close();
    });
    w.Button4->click();
    QCOMPARE(pages, 1);
    QVERIFY(text.contains(u"プレビュー前に入力"_s));
    QVERIFY(StoredRows(u"K1"_s).at(1).endsWith(u"|プレビュー前に入力"_s));
}

// The ばらつき集計表 from the summary window, row by row as its CSV has it.
void TestTorimatomePrint::toleranceSheetAgreesWithItsCsv()
{
    AddSampleProject();
    AddRecord(u"K1"_s, {u"舗装"_s, u"B工区"_s, u"基準高"_s, {}, {}, u"㎜"_s, {u"3"_s, u"欠測"_s}});
    AddRecord(u"K1"_s, {u"舗装"_s, u"B工区"_s, u"高さ"_s, u"5"_s, u"-5"_s, u"㎜"_s, {u"6"_s, u"-4.5"_s, u"1"_s}});
    const QByteArray csv = ToleranceCsv(u"K1"_s);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csv.mid(3)).split(u"\r\n"_s),
             (QStringList{u"ID,工種,工区,測定項目,上限規格値,下限規格値,測定数,50%以内,80%以内,規格値以内,規格値外,50%以内率,80%以内率"_s,
                          u"3,路盤,A工区,幅,20,-20,2,1,1,2,0,50.0,50.0"_s,
                          u"2,舗装,A工区,厚さ,15,-10,1,1,1,1,0,100.0,100.0"_s,
                          u"1,路盤,B工区,高さ,20,-20,3,3,3,3,0,100.0,100.0"_s,
                          u"4,舗装,B工区,基準高,,,1,,,,,,"_s,
                          u"5,舗装,B工区,高さ,5,-5,3,1,1,2,1,33.3,33.3"_s, QString()}));

    TfrmEditDekigataTorimatome w;
    w.OpenForProject(u"K1:工事K1"_s);
    int pages = 0;
    QList<TPageCommand> texts;
    QString all;
    WhenModal("TfrmPreView", [&](QWidget *modal) {
        auto *preview = static_cast<TfrmPreView *>(modal);
        pages = preview->PrevX1->PageCount();
        texts = preview->PrevX1->Page(1).Texts();
        all = preview->PrevX1->Page(1).AllText();
        preview->close();
    });
    w.Button5->click();
    QCOMPARE(pages, 1);
    QVERIFY(all.contains(u"出来形ばらつき集計表"_s));
    // Row k from y 2.6 + k cm; the texts of its cells left to right, top to bottom.
    const auto row = [&](int k) {
        const int y1 = PrintPixelY(2.6f + float(k)), y2 = PrintPixelY(3.6f + float(k));
        QList<TPageCommand> cells;
        for (const TPageCommand &c : texts) {
            if (c.Box.center().y() >= y1 && c.Box.center().y() < y2)
                cells.append(c);
        }
        std::stable_sort(cells.begin(), cells.end(), [](const TPageCommand &a, const TPageCommand &b) {
            return a.Box.right() / 20 != b.Box.right() / 20 ? a.Box.right() < b.Box.right() : a.Box.top() < b.Box.top();
        });
        QStringList texts;
        for (const TPageCommand &c : cells)
            texts.append(c.Text);
        return texts.join(u' ');
    };
    QCOMPARE(row(0), u"路盤 A工区 幅 ±2 (㎝) 2 1 (50.0%) 1 (50.0%) 2 (100.0%) 0 (0.0%)"_s);
    QCOMPARE(row(3), u"舗装 B工区 基準高 規格値なし 1"_s);
    QCOMPARE(row(4), u"舗装 B工区 高さ ±5 (㎜) 3 1 (33.3%) 1 (33.3%) 2 (66.7%) 1 (33.3%)"_s);
    // The total leaves out the record without standard, and says so.
    QCOMPARE(row(5), u"合計 9 6 (66.7%) 6 (66.7%) 8 (88.9%) 1 (11.1%)"_s);
    QVERIFY(all.contains(u"規格値なし 1 件を除く"_s));
}

QTEST_MAIN(TestTorimatomePrint)
#include "tst_TorimatomePrint.moc"
