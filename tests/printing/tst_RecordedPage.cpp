#include "app/uApplication.h"
#include "printing/NkPrinter.h"
#include "printing/PageCanvas.h"
#include "printing/RecordedPage.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestRecordedPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void textLandsOnItsAdvances_data();
    void textLandsOnItsAdvances();
};

void TestRecordedPage::initTestCase()
{
    RegisterFontSubstitutions();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
}

namespace {

QImage Blank()
{
    QImage image(1400, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The text as the page promises it: each character drawn on its own, its left edge at the
// sum of the recorded advances before it, in the text's turned and squeezed coordinates.
QImage DrawnCharacterByCharacter(const TPageCommand &cmd)
{
    QImage image = Blank();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(cmd.Box.topLeft());
    painter.rotate(-cmd.Angle);
    painter.scale(cmd.ScaleX, 1.0);
    if (cmd.Brush.Style == TBrushStyle::Solid) {
        int width = 0;
        for (int a : cmd.Advances)
            width += a;
        painter.fillRect(QRect(0, 0, width, cmd.Box.height()), ColorToQColor(cmd.Brush.Color));
    }
    QFont font(cmd.Font.Name);
    font.setPixelSize(cmd.Font.PixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    painter.setPen(ColorToQColor(cmd.Font.Color));
    const QList<uint> chars = cmd.Text.toUcs4();
    double x = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        char32_t one = chars.at(i);
        painter.drawText(QPointF(x, cmd.Ascent), QString::fromUcs4(&one, 1));
        x += cmd.Advances.at(i);
    }
    return image;
}

int DifferentPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += pa[x] != pb[x];
    }
    return n;
}

int InkedPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *p = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += p[x] != qRgb(255, 255, 255);
    }
    return n;
}

} // namespace

void TestRecordedPage::textLandsOnItsAdvances_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QPoint>("at");
    const QString mincho = u"ＭＳ 明朝"_s;
    const QString gothic = u"ＭＳ Ｐゴシック"_s;
    QTest::newRow("kanji and kana") << mincho << 92 << u"表層工の測定結果表"_s << 0 << 100 << false << QPoint(20, 40);
    QTest::newRow("figures") << mincho << 92 << u"-0.2(mm)  +50 ～ 12.275"_s << 0 << 100 << false << QPoint(20, 40);
    QTest::newRow("proportional") << gothic << 75 << u"No.120 再測定 Wij"_s << 0 << 100 << false << QPoint(20, 40);
    // Characters the font lacks come from a fallback font.
    QTest::newRow("fallback") << mincho << 80 << u"a☃b✓c"_s << 0 << 100 << false << QPoint(20, 40);
    QTest::newRow("a tab") << mincho << 80 << u"A\tB"_s << 0 << 100 << false << QPoint(20, 40);
    QTest::newRow("turned") << mincho << 80 << u"測点No.4"_s << 90 << 100 << false << QPoint(200, 560);
    QTest::newRow("squeezed") << mincho << 92 << u"No.12345678+50"_s << 0 << 60 << false << QPoint(20, 40);
    QTest::newRow("on a fill") << mincho << 92 << u"監督員 記事"_s << 0 << 100 << true << QPoint(20, 40);
}

void TestRecordedPage::textLandsOnItsAdvances()
{
    QFETCH(QString, font);
    QFETCH(int, pixels);
    QFETCH(QString, text);
    QFETCH(int, angle);
    QFETCH(int, percent);
    QFETCH(bool, filled);
    QFETCH(QPoint, at);
    TRecordedPage page(NkPrinter().DeviceCaps());
    TPageCanvas canvas(&page);
    canvas.Font().SetName(font);
    canvas.Font().SetHeight(pixels);
    canvas.Brush().SetColor(0xC0C0C0);
    canvas.Brush().SetStyle(filled ? TBrushStyle::Solid : TBrushStyle::Clear);
    canvas.TextOutScaled(at.x(), at.y(), text, angle, percent);
    QCOMPARE(page.Commands().size(), 1);

    QImage replayed = Blank();
    {
        QPainter painter(&replayed);
        painter.setRenderHint(QPainter::TextAntialiasing);
        page.Replay(painter);
    }
    const QImage expected = DrawnCharacterByCharacter(page.Commands().first());
    const int inked = InkedPixels(expected);
    QVERIFY(inked > 0);
    // A glyph off by a pixel changes most of its edge; rounding may touch a few pixels.
    const int different = DifferentPixels(replayed, expected);
    QVERIFY2(different <= inked / 100, qPrintable(u"%1 of %2 inked pixels differ"_s.arg(different).arg(inked)));
}

QTEST_MAIN(TestRecordedPage)
#include "tst_RecordedPage.moc"
