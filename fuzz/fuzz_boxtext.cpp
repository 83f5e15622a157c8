// Line breaking of box texts: any text, box and font size is drawn without a crash and
// without end; the drawn pieces, in drawing order, are the text without its "\\" markers;
// no line of horizontal writing is wider than the box or leaves it, unless it is a single
// character that is wider than the box by itself.
//
// Input: byte 0 the alignment (mod 5), byte 1 bit 0 vertical writing and the rest the font
// size, bytes 2-3 the box width in millimetres (-2 … 38 cm), byte 4 its height in
// millimetres, byte 5 odd: each following byte picks a character from a small set of
// awkward ones; even: the following bytes are the text in UTF-8.
#include "FuzzSupport.h"

#include "app/uApplication.h"
#include "printing/NkPrinter.h"
#include "printing/PageCanvas.h"
#include "printing/uDrawPrimitives.h"

#include <QGuiApplication>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

QGuiApplication *FuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_boxtext";
    static char *argv[] = {name, nullptr};
    // Lives until the process ends: destroyed among the other statics at exit, it would
    // outlive parts of Qt it needs.
    static QGuiApplication *app = nullptr;
    if (!app) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Random scripts make the font engine complain about every fallback font.
        static const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.startsWith(u"OpenType support missing"_s))
                    previous(type, context, message);
            });
        app = new QGuiApplication(argc, argv);
        RegisterFontSubstitutions();
        NkPrinter().SetSource(TPrinterSource::PdfOnly);
        SetPaper(u"A4"_s, u"PORT"_s);
    }
    return app;
}

QString PickedText(const uint8_t *data, size_t size)
{
    // Double-byte and single-byte characters, the marker's backslash, the long vowel that
    // turns upright, characters outside the basic plane and a user-defined one.
    static const QStringList pool = {
        u"測"_s, u"定"_s, u"ア"_s, u"ｱ"_s, u"ー"_s, u"\\"_s, u"a"_s,        u"W"_s,
        u" "_s,  u"　"_s, u"1"_s, u"."_s, u"𠮷"_s, u"😀"_s, QString(QChar(kAverageSign)), u"（"_s,
    };
    QString text;
    for (size_t i = 0; i < size; ++i)
        text += pool.at(data[i] % pool.size());
    return text;
}

int Trunc(double v)
{
    return int(std::trunc(v));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    FuzzApplication();
    const int align = data[0] % 5;
    const int vertical = data[1] & 1;
    const int points = 4 + (data[1] >> 1) % 40;
    const int widthMm = int((data[2] | (data[3] << 8)) % 401) - 20;
    const int heightMm = data[4];
    const QString text = (data[5] & 1) ? PickedText(data + 6, size - 6) : FuzzText(data + 6, size - 6);

    PrintOffsetX = 0;
    PrintOffsetY = 0;
    TRecordedPage page(NkPrinter().DeviceCaps());
    TPageCanvas canvas(&page);
    canvas.Font().SetName(u"ＭＳ 明朝"_s);
    canvas.Font().SetSize(points);
    const float left = 1.0f;
    const float top = 2.0f;
    const float right = left + float(widthMm) / 10;
    const float bottom = top + float(heightMm) / 10;
    DrawBoxText(&canvas, text, align, left, top, right, bottom, vertical);
    FUZZ_CHECK(canvas.Brush().Style() == TBrushStyle::Solid);

    QString expected = text;
    expected.replace(u"\\\\"_s, QString());
    if (vertical == 1)
        expected.replace(u"ー"_s, u"｜"_s);
    const QList<TPageCommand> texts = page.Texts();
    QString drawn;
    for (const TPageCommand &t : texts) {
        FUZZ_CHECK(!t.Text.isEmpty());
        FUZZ_CHECK(t.Brush.Style == TBrushStyle::Clear);
        drawn += t.Text;
    }
    FUZZ_CHECK(drawn == expected);
    if (vertical == 1)
        return 0;

    // The box the lines have to fit: the spread inside a tenth of margin narrows it.
    float boxLeft = left;
    float boxRight = right;
    if (align == 4) {
        const float w = right - left;
        boxLeft = left + w / 10;
        boxRight = right - w / 10;
    }
    InitPrintScale();
    const int W = Trunc((double(boxRight) - boxLeft) * PrintDpiX / 2.54);
    const double xL = double(boxLeft) * PrintDpiX / 2.54 - PrintOriginX;
    for (const TPageCommand &t : texts) {
        int width = 0;
        for (int a : t.Advances)
            width += a;
        if (width > W) {
            FUZZ_CHECK(t.Text.toUcs4().size() == 1);
            continue;
        }
        FUZZ_CHECK(t.Box.left() >= Trunc(xL) - 1);
        FUZZ_CHECK(t.Box.left() + width <= Trunc(xL + W) + 1);
        // Each line sits in its own strip of the box, which never leaves the box.
        const int middle = t.Box.top() + t.Font.PixelSize / 2;
        FUZZ_CHECK(middle >= PrintPixelY(top) - 2 && middle <= PrintPixelY(bottom) + 2);
    }
    return 0;
}
