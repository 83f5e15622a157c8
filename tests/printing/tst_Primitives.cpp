#include "app/uApplication.h"
#include "printing/NkPrinter.h"
#include "printing/PageExport.h"
#include "printing/PrevX.h"
#include "printing/uDrawPrimitives.h"
#include "support/TestEnv.h"

#include <QImage>
#include <QPrinter>
#include <QtTest>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// Printer pixel of a form centimetre on the built-in 600-dpi printer with the origin at the
// paper's corner (single-precision input, as the procedures take it).
int Px(float cm)
{
    return int(std::trunc(double(cm) * 600 / 2.54));
}

int CentreX(const TPageCommand &c)
{
    return c.Box.left() + c.Box.width() / 2;
}

int CentreY(const TPageCommand &c)
{
    return c.Box.top() + c.Box.height() / 2;
}

} // namespace

class TestPrimitives : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void originOfTheChartExample();
    void lineBreakMarkerSplitsTheBox_data();
    void lineBreakMarkerSplitsTheBox();
    void oneCharacterTooWideWrapsTheLast_data();
    void oneCharacterTooWideWrapsTheLast();
    void boxNarrowerThanOneCharacterStillEnds();
    void verticalAlign4LeavesATenthFree();
    void singleCharacterSpreadIsCentred_data();
    void singleCharacterSpreadIsCentred();
    void longVowelTurnsUpright();
    void horizontalAlignments_data();
    void horizontalAlignments();
    void setPaperCaseRules_data();
    void setPaperCaseRules();
    void penWidthFromMillimetres_data();
    void penWidthFromMillimetres();
    void fitTextSqueezesFromTheLeftEdge();
    void fitTextThatFitsIsBoxText();
    void patternLineMasks_data();
    void patternLineMasks();
    void patternLinePiecesAreOneMillimetreAlongASlope();
    void verticalPatternLineIsDrawn();
    void arrowHeads_data();
    void arrowHeads();
    void fillBoxExcludesRightAndBottom();
    void freshPageHasTheDefaults();
    void fontSizeToPixels_data();
    void fontSizeToPixels();
    void textWidthIsTheSumOfAdvances();
    void userDefinedCharactersAreDrawn_data();
    void userDefinedCharactersAreDrawn();
    void scaledTextKeepsAngleAndWidth();

private:
    TPageCanvas *Begin();
    const TRecordedPage &Page() const { return m_prev->Page(m_prev->PageCount()); }

    std::unique_ptr<TTestEnv> m_env;
    std::unique_ptr<TPrevX> m_prev;
};

void TestPrimitives::initTestCase()
{
    RegisterFontSubstitutions();
}

void TestPrimitives::init()
{
    m_env = std::make_unique<TTestEnv>();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    SetPaper(u"A4"_s, u"PORT"_s);
    PrintOffsetX = 0;
    PrintOffsetY = 0;
    m_prev = std::make_unique<TPrevX>();
}

void TestPrimitives::cleanup()
{
    m_prev.reset();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    m_env.reset();
}

TPageCanvas *TestPrimitives::Begin()
{
    m_prev->BeginDoc();
    TPageCanvas *c = m_prev->Canvas();
    c->Font().SetName(u"ＭＳ 明朝"_s);
    c->Font().SetSize(10);
    return c;
}

void TestPrimitives::originOfTheChartExample()
{
    // A printer whose printable area starts 100 pixels in (12 pt at 600 dpi).
    NkPrinter().Printer()->setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
    QCOMPARE(NkPrinter().DeviceCaps().PhysicalOffsetX, 100);
    PrintOffsetX = -2.8f;
    PrintOffsetY = -3.1f;
    InitPrintScale();
    QCOMPARE(PrintDpiX, 600);
    QCOMPARE(PrintOriginX, -561);
    QCOMPARE(PrintOriginY, 100 - 732);

    TPageCanvas *c = Begin();
    DrawLine(c, 0, 0, 1, 0);
    const TPageCommand line = Page().Lines().first();
    QCOMPARE(line.From, QPoint(561, 632));
    QCOMPARE(line.To.x(), 561 + Px(1));

    // On the sheet the form's x = 0 is 2.8 cm from the left edge: 100 + 561 = 661 pixels.
    m_prev->EndDoc();
    const QImage sheet = RenderPage(Page(), 600);
    QVERIFY(qGray(sheet.pixel(661, 632 + 100)) < 128);
    QVERIFY(qGray(sheet.pixel(661, 632 + 100 + 5)) > 128);
}

void TestPrimitives::lineBreakMarkerSplitsTheBox_data()
{
    QTest::addColumn<int>("vertical");
    QTest::newRow("horizontal") << 0;
    QTest::newRow("vertical") << 1;
}

void TestPrimitives::lineBreakMarkerSplitsTheBox()
{
    QFETCH(int, vertical);
    TPageCanvas *c = Begin();
    DrawBoxText(c, u"規格\\\\限界"_s, 1, 0.2f, 2.4f, 1.8f, 3.8f, vertical);
    const QList<TPageCommand> texts = Page().Texts();
    const int h = c->Font().Height();
    if (vertical == 0) {
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(0).Text, u"規格"_s);
        QCOMPARE(texts.at(1).Text, u"限界"_s);
        const int boxCentre = (Px(0.2f) + Px(1.8f)) / 2;
        QVERIFY(qAbs(CentreX(texts.at(0)) - boxCentre) <= 1);
        QVERIFY(qAbs(CentreX(texts.at(1)) - boxCentre) <= 1);
        const int upperH = int(std::trunc((3.1 - 2.4) * 600 / 2.54));
        QCOMPARE(texts.at(0).Box.top(), Px(2.4f) + (upperH - h) / 2);
        QCOMPARE(texts.at(1).Box.top(), Px(3.1f) + (upperH - h) / 2);
        QVERIFY(texts.at(0).Box.bottom() < Px(3.1f));
        QVERIFY(texts.at(1).Box.top() >= Px(3.1f));
    } else {
        QCOMPARE(texts.size(), 4);
        const QStringList chars{u"規"_s, u"格"_s, u"限"_s, u"界"_s};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(texts.at(i).Text, chars.at(i));
        const int leftCentre = (Px(0.2f) + Px(1.0f)) / 2;
        const int rightCentre = (Px(1.0f) + Px(1.8f)) / 2;
        QVERIFY(qAbs(CentreX(texts.at(0)) - leftCentre) <= 1);
        QVERIFY(qAbs(CentreX(texts.at(1)) - leftCentre) <= 1);
        QVERIFY(qAbs(CentreX(texts.at(2)) - rightCentre) <= 1);
        QVERIFY(qAbs(CentreX(texts.at(3)) - rightCentre) <= 1);
        // Each half is centred down the whole box.
        const int middle = (Px(2.4f) + Px(3.8f)) / 2;
        QVERIFY(qAbs((texts.at(0).Box.top() + texts.at(1).Box.bottom()) / 2 - middle) <= 1);
    }
}

void TestPrimitives::oneCharacterTooWideWrapsTheLast_data()
{
    QTest::addColumn<int>("align");
    QTest::newRow("left") << 0;
    QTest::newRow("centred") << 1;
    QTest::newRow("right") << 2;
}

void TestPrimitives::oneCharacterTooWideWrapsTheLast()
{
    QFETCH(int, align);
    TPageCanvas *c = Begin();
    const QString text = u"測定値合計"_s;
    // Half a character too narrow.
    const double widthPx = c->TextWidth(text) - c->TextWidth(u"計"_s) / 2.0;
    const float right = float(1 + widthPx * 2.54 / 600);
    DrawBoxText(c, text, align, 1, 5, right, 6, 0);
    const QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.at(0).Text, u"測定値合"_s);
    QCOMPARE(texts.at(1).Text, u"計"_s);
    QVERIFY(texts.at(0).Box.top() >= Px(5));
    QVERIFY(texts.at(0).Box.top() + c->Font().Height() <= Px(5.5f) + 1);
    QVERIFY(texts.at(1).Box.top() >= Px(5.5f));
    QVERIFY(texts.at(1).Box.top() + c->Font().Height() <= Px(6) + 1);
    QVERIFY(texts.at(0).Box.left() >= Px(1));
    QVERIFY(texts.at(0).Box.right() <= Px(right));
}

void TestPrimitives::boxNarrowerThanOneCharacterStillEnds()
{
    TPageCanvas *c = Begin();
    DrawBoxText(c, u"測定"_s, 0, 1, 5, 1.05f, 6, 0);
    QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.at(0).Text, u"測"_s);
    QCOMPARE(texts.at(1).Text, u"定"_s);
    QVERIFY(texts.at(0).Box.top() < texts.at(1).Box.top());

    // A box without any width: one line per character, and no end of lines.
    const QString longText = u"あいうえおかきくけこ"_s;
    DrawBoxText(c, longText, 1, 3, 5, 3, 8, 0);
    texts = Page().Texts().mid(2);
    QCOMPARE(texts.size(), int(longText.size()));
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(texts.at(i).Text, longText.mid(i, 1));
}

void TestPrimitives::verticalAlign4LeavesATenthFree()
{
    TPageCanvas *c = Begin();
    DrawBoxText(c, u"試料"_s, 4, 3, 2, 4, 3.4f, 1);
    const QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(qAbs(texts.at(0).Box.top() - Px(2.14f)) <= 1);
    QVERIFY(qAbs(texts.at(1).Box.top() + c->TextHeight(u"料"_s) - Px(3.26f)) <= 1);
    // Each character centred across the box.
    QVERIFY(qAbs(CentreX(texts.at(0)) - (Px(3) + Px(4)) / 2) <= 1);
}

void TestPrimitives::singleCharacterSpreadIsCentred_data()
{
    QTest::addColumn<int>("vertical");
    QTest::newRow("horizontal") << 0;
    QTest::newRow("vertical") << 1;
}

void TestPrimitives::singleCharacterSpreadIsCentred()
{
    QFETCH(int, vertical);
    TPageCanvas *c = Begin();
    DrawBoxText(c, u"中"_s, 3, 2, 5, 4, 8, vertical);
    DrawBoxText(c, u"中"_s, 1, 2, 5, 4, 8, vertical);
    const QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.at(0).Box, texts.at(1).Box);
    QVERIFY(qAbs(CentreX(texts.at(0)) - (Px(2) + Px(4)) / 2) <= 1);
    // Across, the font's height is centred; down the column, the character cells.
    const int middle = vertical ? CentreY(texts.at(0)) : texts.at(0).Box.top() + c->Font().Height() / 2;
    QVERIFY(qAbs(middle - (Px(5) + Px(8)) / 2) <= 1);
}

void TestPrimitives::longVowelTurnsUpright()
{
    TPageCanvas *c = Begin();
    DrawBoxText(c, u"データ"_s, 0, 1, 1, 2, 5, 1);
    DrawBoxText(c, u"データ"_s, 0, 3, 1, 8, 2, 0);
    const QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts.at(0).Text, u"デ"_s);
    QCOMPARE(texts.at(1).Text, u"｜"_s);
    QCOMPARE(texts.at(2).Text, u"タ"_s);
    QCOMPARE(texts.at(3).Text, u"データ"_s); // horizontal writing keeps it
    // Top to bottom, no gap with Align 0.
    QCOMPARE(texts.at(0).Box.top(), Px(1));
    QCOMPARE(texts.at(1).Box.top(), Px(1) + c->TextHeight(u"デ"_s));
}

void TestPrimitives::horizontalAlignments_data()
{
    QTest::addColumn<int>("align");
    QTest::newRow("left") << 0;
    QTest::newRow("centred") << 1;
    QTest::newRow("right") << 2;
    QTest::newRow("spread") << 3;
    QTest::newRow("spread inside") << 4;
}

void TestPrimitives::horizontalAlignments()
{
    QFETCH(int, align);
    TPageCanvas *c = Begin();
    const QString text = u"出来形"_s;
    DrawBoxText(c, text, align, 2, 3, 8, 4, 0);
    const QList<TPageCommand> texts = Page().Texts();
    const int left = Px(2);
    const int right = Px(2) + Px(6);
    const int margin = Px(0.6f);
    switch (align) {
    case 0:
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.at(0).Box.left(), left);
        break;
    case 1:
        QCOMPARE(texts.size(), 1);
        QVERIFY(qAbs(CentreX(texts.at(0)) - (left + right) / 2) <= 1);
        break;
    case 2:
        QCOMPARE(texts.size(), 1);
        QVERIFY(qAbs(texts.at(0).Box.left() + texts.at(0).Box.width() - right) <= 1);
        break;
    default: {
        QCOMPARE(texts.size(), 3);
        const int from = align == 4 ? left + margin : left;
        const int to = align == 4 ? right - margin : right;
        QVERIFY(qAbs(texts.at(0).Box.left() - from) <= 1);
        QVERIFY(qAbs(texts.at(2).Box.left() + texts.at(2).Box.width() - to) <= 1);
        // Equal gaps between the characters.
        const int gap1 = texts.at(1).Box.left() - texts.at(0).Box.left();
        const int gap2 = texts.at(2).Box.left() - texts.at(1).Box.left();
        QVERIFY(qAbs(gap1 - gap2) <= 1);
        break;
    }
    }
    // Always centred down the box by the font's height, without a background.
    QCOMPARE(texts.at(0).Box.top(), Px(3) + (Px(1) - c->Font().Height()) / 2);
    QCOMPARE(texts.at(0).Brush.Style, TBrushStyle::Clear);
    QCOMPARE(c->Brush().Style(), TBrushStyle::Solid);
}

void TestPrimitives::setPaperCaseRules_data()
{
    QTest::addColumn<int>("startPaper");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("expectedPaper");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("A4 port") << 8 << u"A4"_s << u"port"_s << 9 << false;
    QTest::newRow("B5 LAND keeps the size") << 8 << u"B5"_s << u"LAND"_s << 8 << true;
    QTest::newRow("a3 Land") << 9 << u"a3"_s << u"Land"_s << 8 << true;
    QTest::newRow("anything else is portrait") << 9 << u"A4"_s << u"landscape"_s << 9 << false;
}

void TestPrimitives::setPaperCaseRules()
{
    QFETCH(int, startPaper);
    QFETCH(QString, paper);
    QFETCH(QString, orientation);
    QFETCH(int, expectedPaper);
    QFETCH(bool, landscape);
    TNkPrinter &printer = NkPrinter();
    printer.SetPaperSizeNumber(startPaper);
    printer.SetOrientation(landscape ? QPageLayout::Portrait : QPageLayout::Landscape);
    printer.ApplySettings();

    SetPaper(paper, orientation);
    QCOMPARE(printer.PaperSizeNumber(), expectedPaper);
    QCOMPARE(printer.Orientation(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    // A page begun afterwards has the new sheet.
    TPageCanvas *c = Begin();
    QCOMPARE(c->Width() > c->Height(), landscape);
    QCOMPARE(Page().Caps().Layout.orientation(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TestPrimitives::penWidthFromMillimetres_data()
{
    QTest::addColumn<float>("millimetres");
    QTest::addColumn<int>("width");
    QTest::newRow("0.3 mm") << 0.3f << 2;
    QTest::newRow("0.1 mm") << 0.1f << 1;
    QTest::newRow("0.2 mm") << 0.2f << 1;
    QTest::newRow("1 mm") << 1.0f << 4;
    QTest::newRow("0 mm") << 0.0f << 0;
}

void TestPrimitives::penWidthFromMillimetres()
{
    QFETCH(float, millimetres);
    QFETCH(int, width);
    TPageCanvas *c = Begin();
    QCOMPARE(c->PixelsPerInchX(), 96);
    SetPenWidthMm(c, millimetres);
    QCOMPARE(c->Pen().Width(), width);
}

void TestPrimitives::fitTextSqueezesFromTheLeftEdge()
{
    TPageCanvas *c = Begin();
    // Fourteen full-width characters at 10 pt: 4.94 cm by the measure of TextWidthCm.
    const QString text = u"出来形管理出来形管理出来形管"_s;
    const float w = TextWidthCm(c, text);
    QVERIFY(w > 4.9f && w <= 5.0f);
    DrawFitText(c, text, 2, 3, 6, 7, 6.6f, 0);
    const QList<TPageCommand> texts = Page().Texts();
    QCOMPARE(texts.size(), 1);
    const TPageCommand &t = texts.first();
    QCOMPARE(t.WidthPercent, 80);
    QCOMPARE(t.Angle, 0);
    QCOMPARE(t.Box.left(), Px(3));
    const float h = TextHeightCm(c, text);
    QCOMPARE(t.Box.top(), Px(6 + ((6.6f - 6) - h) / 2));
    const int full = c->TextWidth(text);
    QVERIFY(qAbs(t.Box.width() - full * 0.8) <= full * 0.02);
    QCOMPARE(t.Brush.Style, TBrushStyle::Clear);
}

void TestPrimitives::fitTextThatFitsIsBoxText()
{
    TPageCanvas *c = Begin();
    DrawFitText(c, u"出来形"_s, 2, 3, 6, 7, 6.6f, 0);
    const TPageCommand t = Page().Texts().first();
    QCOMPARE(t.WidthPercent, 100);
    QVERIFY(qAbs(t.Box.left() + t.Box.width() - Px(7)) <= 1);
}

void TestPrimitives::patternLineMasks_data()
{
    QTest::addColumn<int>("pattern");
    QTest::addColumn<QList<int>>("pieces");
    QTest::newRow("dashes") << 0 << QList<int>{0, 2, 4, 6, 8};
    QTest::newRow("dash and dot") << 1 << QList<int>{0, 1, 3, 5, 6, 7, 8, 9};
    QTest::newRow("solid") << 2 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("other value") << 7 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
}

void TestPrimitives::patternLineMasks()
{
    QFETCH(int, pattern);
    QFETCH(QList<int>, pieces);
    TPageCanvas *c = Begin();
    DrawPatternLine(c, pattern, 1, 2, 2, 2);
    const QList<TPageCommand> lines = Page().Lines();
    QCOMPARE(lines.size(), pieces.size());
    for (int k = 0; k < lines.size(); ++k) {
        const int i = pieces.at(k);
        QVERIFY2(qAbs(lines.at(k).From.x() - Px(1 + i * 0.1f)) <= 1, qPrintable(QString::number(i)));
        QVERIFY(qAbs(lines.at(k).To.x() - Px(1 + (i + 1) * 0.1f)) <= 1);
        QCOMPARE(lines.at(k).From.y(), Px(2));
    }
}

void TestPrimitives::patternLinePiecesAreOneMillimetreAlongASlope()
{
    TPageCanvas *c = Begin();
    DrawPatternLine(c, 2, 1, 1, 4, 5); // 5 cm long
    const QList<TPageCommand> lines = Page().Lines();
    QCOMPARE(lines.size(), 50);
    const QPoint d = lines.first().To - lines.first().From;
    QVERIFY(qAbs(std::hypot(d.x(), d.y()) - 600 / 25.4) <= 1.5);
    QVERIFY(qAbs(lines.last().To.x() - Px(4)) <= 1);
    QVERIFY(qAbs(lines.last().To.y() - Px(5)) <= 1);
}

void TestPrimitives::verticalPatternLineIsDrawn()
{
    TPageCanvas *c = Begin();
    DrawPatternLine(c, 0, 2, 1, 2, 2);
    const QList<TPageCommand> lines = Page().Lines();
    QCOMPARE(lines.size(), 5);
    for (const TPageCommand &l : lines) {
        QCOMPARE(l.From.x(), Px(2));
        QCOMPARE(l.To.x(), Px(2));
    }
    QVERIFY(qAbs(lines.last().To.y() - Px(1.9f)) <= 1);
}

void TestPrimitives::arrowHeads_data()
{
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QPointF>("end1");
    QTest::addColumn<QPointF>("end2");
    QTest::newRow("up") << u"up"_s << QPointF(4.5, 6) << QPointF(5.5, 6);
    QTest::newRow("DOWN") << u"DOWN"_s << QPointF(4.5, 4) << QPointF(5.5, 4);
    QTest::newRow("Left") << u"Left"_s << QPointF(6, 4.5) << QPointF(6, 5.5);
    QTest::newRow("right") << u"right"_s << QPointF(4, 4.5) << QPointF(4, 5.5);
    QTest::newRow("unknown") << u"diagonal"_s << QPointF() << QPointF();
}

void TestPrimitives::arrowHeads()
{
    QFETCH(QString, direction);
    QFETCH(QPointF, end1);
    QFETCH(QPointF, end2);
    TPageCanvas *c = Begin();
    DrawArrowHead(c, direction, 5, 5, 1);
    const QList<TPageCommand> lines = Page().Lines();
    if (end1.isNull()) {
        QVERIFY(lines.isEmpty());
        return;
    }
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).From, QPoint(Px(5), Px(5)));
    QCOMPARE(lines.at(1).From, QPoint(Px(5), Px(5)));
    QCOMPARE(lines.at(0).To, QPoint(Px(float(end1.x())), Px(float(end1.y()))));
    QCOMPARE(lines.at(1).To, QPoint(Px(float(end2.x())), Px(float(end2.y()))));
}

void TestPrimitives::fillBoxExcludesRightAndBottom()
{
    TPageCanvas *c = Begin();
    c->Brush().SetColor(clBlack);
    FillBox(c, 1, 1, 2, 2);
    c->Brush().SetColor(0x0000FF); // red
    DrawCircle(c, 4, 4, 0.5f);
    m_prev->EndDoc();
    const TPageCommand fill = Page().Fills().first();
    QCOMPARE(fill.Box, QRect(Px(1), Px(1), Px(2) - Px(1), Px(2) - Px(1)));
    QVERIFY(Page().Lines().isEmpty() && Page().Rectangles().isEmpty()); // no outline
    const TPageCommand circle = Page().Ellipses().first();
    QCOMPARE(circle.Box, QRect(Px(3.5f), Px(3.5f), Px(4.5f) - Px(3.5f), Px(4.5f) - Px(3.5f)));

    const QImage sheet = RenderPage(Page(), 600);
    const int y = Px(1.5f);
    QCOMPARE(qGray(sheet.pixel(Px(1), y)), 0);
    QCOMPARE(qGray(sheet.pixel(Px(2) - 1, y)), 0);
    QCOMPARE(qGray(sheet.pixel(Px(2), y)), 255);
    QCOMPARE(qGray(sheet.pixel(Px(1) - 1, y)), 255);
    QCOMPARE(qGray(sheet.pixel(Px(1.5f), Px(2) - 1)), 0);
    QCOMPARE(qGray(sheet.pixel(Px(1.5f), Px(2))), 255);
    QCOMPARE(sheet.pixel(Px(4), Px(4)), qRgb(255, 0, 0));
}

void TestPrimitives::freshPageHasTheDefaults()
{
    TPageCanvas *c = Begin();
    c->Font().SetName(u"ＭＳ 明朝"_s);
    c->Font().SetSize(20);
    c->Pen().SetWidth(5);
    c->Pen().SetColor(0x0000FF);
    c->Pen().SetStyle(TPenStyle::Dot);
    c->Brush().SetColor(0x00FF00);
    c->Brush().SetStyle(TBrushStyle::Clear);
    m_prev->NewPage();
    c = m_prev->Canvas();
    QCOMPARE(c->Font().Name(), u"ＭＳ Ｐゴシック"_s);
    QCOMPARE(c->Font().Size(), 9);
    QCOMPARE(c->Font().Height(), 75);
    QCOMPARE(c->Font().Color(), clBlack);
    QCOMPARE(c->Pen().Width(), 1);
    QCOMPARE(c->Pen().Color(), clBlack);
    QCOMPARE(c->Pen().Style(), TPenStyle::Solid);
    QCOMPARE(c->Brush().Color(), clWhite);
    QCOMPARE(c->Brush().Style(), TBrushStyle::Solid);
    QCOMPARE(c->Width(), NkPrinter().DeviceCaps().HorzRes);
    QCOMPARE(c->Height(), NkPrinter().DeviceCaps().VertRes);
}

void TestPrimitives::fontSizeToPixels_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels");
    QTest::newRow("9 pt") << 9 << 75;
    QTest::newRow("10 pt") << 10 << 83;
    QTest::newRow("11 pt") << 11 << 92;
    QTest::newRow("16 pt") << 16 << 133;
}

void TestPrimitives::fontSizeToPixels()
{
    QFETCH(int, points);
    QFETCH(int, pixels);
    TPageCanvas *c = Begin();
    c->Font().SetSize(points);
    QCOMPARE(c->Font().Height(), pixels);
    DrawBoxText(c, u"高さ"_s, 0, 1, 1, 10, 3, 0);
    const TPageCommand t = Page().Texts().first();
    QCOMPARE(t.Font.PixelSize, pixels);
    QCOMPARE(t.Font.Size, points);
    QCOMPARE(t.Font.Name, u"ＭＳ 明朝"_s);
}

void TestPrimitives::textWidthIsTheSumOfAdvances()
{
    TPageCanvas *c = Begin();
    c->Font().SetName(u"ＭＳ Ｐゴシック"_s);
    const QString text = u"規格値 AVWij.1"_s;
    int sum = 0;
    for (const QChar ch : text)
        sum += c->TextWidth(QString(ch));
    QCOMPARE(c->TextWidth(text), sum);
    QVERIFY(c->TextHeight(text) >= c->Font().Height());
    // A full-width character of the fixed-pitch font is one em wide.
    c->Font().SetName(u"ＭＳ 明朝"_s);
    QCOMPARE(c->TextWidth(u"規"_s), c->Font().Height());
}

void TestPrimitives::userDefinedCharactersAreDrawn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inkUpperHalf"); // the top 45 % of the cell
    QTest::addColumn<bool>("inkLowerHalf");
    QTest::newRow("average sign") << QString(QChar(kAverageSign)) << true << true;
    QTest::newRow("open parenthesis") << QString(QChar(kVerticalOpenParen)) << false << true;
    QTest::newRow("close parenthesis") << QString(QChar(kVerticalCloseParen)) << true << false;
}

void TestPrimitives::userDefinedCharactersAreDrawn()
{
    QFETCH(QString, text);
    QFETCH(bool, inkUpperHalf);
    QFETCH(bool, inkLowerHalf);
    TPageCanvas *c = Begin();
    c->Font().SetSize(72); // 600 pixels: an inch square at 600 dpi
    c->TextOut(600, 600, text);
    m_prev->EndDoc();
    const TPageCommand t = Page().Texts().first();
    QCOMPARE(t.Text, text);
    QCOMPARE(t.Box.width(), 600); // a full-width cell
    const QImage sheet = RenderPage(Page(), 60); // a tenth: the cell starts at (60, 60)
    auto inkIn = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 60; x < 120; ++x)
                if (qGray(sheet.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    const int top = 60;
    const int height = t.Box.height() / 10;
    QCOMPARE(inkIn(top, top + height * 45 / 100), inkUpperHalf);
    QCOMPARE(inkIn(top + height / 2, top + height), inkLowerHalf);
    QVERIFY(!inkIn(top + t.Ascent / 10 + 2, top + height)); // nothing below the baseline
    if (text == QString(QChar(kAverageSign))) {
        // The bar stands clear above the x: ink, an empty row, then the x.
        int y = top;
        while (y < top + height && !inkIn(y, y + 1))
            ++y;
        while (y < top + height && inkIn(y, y + 1))
            ++y;
        QVERIFY(y < top + height / 2);
        QVERIFY(!inkIn(y, y + 1));
        QVERIFY(inkIn(y + 1, top + height));
    }
}

void TestPrimitives::scaledTextKeepsAngleAndWidth()
{
    TPageCanvas *c = Begin();
    DrawScaledText(c, 90, 50, 2, 10, u"回転"_s);
    const TPageCommand t = Page().Texts().first();
    QCOMPARE(t.Angle, 90);
    QCOMPARE(t.WidthPercent, 50);
    QCOMPARE(t.Box.topLeft(), QPoint(Px(2), Px(10)));
    QVERIFY(qAbs(t.Box.width() - c->TextWidth(u"回転"_s) / 2) <= 2);
    QCOMPARE(c->Brush().Style(), TBrushStyle::Solid);
}

QTEST_MAIN(TestPrimitives)
#include "tst_Primitives.moc"
