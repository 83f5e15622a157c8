#include "printing/uDrawPrimitives.h"

#include "printing/NkPrinter.h"
#include "printing/PageCanvas.h"

#include <QtMath>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

float PrintOffsetX = 0;
float PrintOffsetY = 0;
int PrintDpiX = 0;
int PrintDpiY = 0;
int PrintOriginX = 0;
int PrintOriginY = 0;

namespace {

int Trunc(double v)
{
    return int(std::trunc(v));
}

double RawX(float X)
{
    return double(X) * PrintDpiX / 2.54 - PrintOriginX;
}

double RawY(float Y)
{
    return double(Y) * PrintDpiY / 2.54 - PrintOriginY;
}

// Restores the brush style when the text is drawn.
class TBrushStyleGuard
{
public:
    explicit TBrushStyleGuard(TPageCanvas *canvas)
        : m_canvas(canvas)
        , m_style(canvas->Brush().Style())
    {
        canvas->Brush().SetStyle(TBrushStyle::Clear);
    }
    ~TBrushStyleGuard() { m_canvas->Brush().SetStyle(m_style); }
    TBrushStyleGuard(const TBrushStyleGuard &) = delete;
    TBrushStyleGuard &operator=(const TBrushStyleGuard &) = delete;

private:
    TPageCanvas *m_canvas;
    TBrushStyle m_style;
};

QStringList Characters(const QString &text)
{
    QStringList chars;
    const QList<uint> codes = text.toUcs4();
    for (uint c : codes) {
        char32_t one = c;
        chars.append(QString::fromUcs4(&one, 1));
    }
    return chars;
}

// One line of horizontal writing in the strip Top … Bottom of the box; Widths are the
// advances of its characters.
void DrawTextLine(TPageCanvas *Canvas, const QStringList &Chars, const QList<int> &Widths, int Align, float Left,
                  float Top, float Bottom, int W)
{
    const QString text = Chars.join(QString());
    int T = 0;
    for (int a : Widths)
        T += a;
    const int H = Trunc((double(Bottom) - Top) * PrintDpiY / 2.54);
    const double xL = RawX(Left);
    const int h = Canvas->Font().Height();
    const int y = PrintPixelY(Top) + Trunc((H - h) / 2.0);
    switch (Align) {
    case 1:
        Canvas->TextOut(Trunc(xL + (W - T) / 2.0), y, text);
        break;
    case 2:
        Canvas->TextOut(Trunc(xL + (W - T)), y, text);
        break;
    case 3:
        if (Chars.size() == 1) {
            Canvas->TextOut(Trunc(xL + (W - T) / 2.0), y, text);
        } else {
            const double gap = double(W - T) / double(Chars.size() - 1);
            double x = xL;
            for (qsizetype i = 0; i < Chars.size(); ++i) {
                Canvas->TextOut(Trunc(x), y, Chars.at(i));
                x += Widths.at(i) + gap;
            }
        }
        break;
    default:
        Canvas->TextOut(Trunc(xL), y, text);
        break;
    }
}

void DrawHorizontal(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, float Bottom,
                    int W)
{
    const QStringList chars = Characters(Text);
    const QList<int> widths = Canvas->CharAdvances(Text);
    qsizetype start = 0;
    int rest = 0;
    for (int a : widths)
        rest += a;
    // A text that does not fit puts the characters before the one that makes the width
    // reach W into the upper half of its strip and wraps the rest in the lower half, until
    // the rest fits. At least one character goes on each line, so a box narrower than a
    // character cannot make the wrapping go on forever; a single character wider than the
    // box is drawn as it is. A loop, not a call per line: a long text in a narrow box
    // would otherwise nest a call per character.
    while (rest > W && chars.size() - start > 1) {
        int width = 0;
        qsizetype n = start;
        while (n < chars.size() && width < W) {
            width += widths.at(n);
            ++n;
        }
        const qsizetype end = qMax(n - 1, start + 1);
        const float middle = (Top + Bottom) / 2;
        DrawTextLine(Canvas, chars.mid(start, end - start), widths.mid(start, end - start), Align, Left, Top, middle, W);
        for (qsizetype i = start; i < end; ++i)
            rest -= widths.at(i);
        start = end;
        Top = middle;
    }
    DrawTextLine(Canvas, chars.mid(start), widths.mid(start), Align, Left, Top, Bottom, W);
}

void DrawVertical(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, int W, int H)
{
    QStringList chars = Characters(Text);
    for (QString &c : chars) {
        if (c == u"ー"_s)
            c = u"｜"_s;
    }
    int R = 0;
    for (const QString &c : chars)
        R += Canvas->TextHeight(c);
    double y = Trunc(double(Top) * PrintDpiY / 2.54) - PrintOriginY;
    double gap = 0;
    if (Align == 1 || (Align == 3 && chars.size() == 1))
        y += (H - R) / 2; // integer division, towards zero
    else if (Align == 2)
        y += H - R;
    else if (Align == 3 && R < H)
        gap = double(H - R) / double(chars.size() - 1);
    const int left = Trunc(RawX(Left));
    for (const QString &c : chars) {
        const int x = Trunc((W - Canvas->TextWidth(c)) / 2.0) + left;
        Canvas->TextOut(x, Trunc(y), c);
        y += Canvas->TextHeight(c) + gap;
    }
}

} // namespace

void InitPrintScale()
{
    const TDeviceCaps caps = NkPrinter().DeviceCaps();
    PrintDpiX = caps.LogPixelsX;
    PrintDpiY = caps.LogPixelsY;
    PrintOriginX = caps.PhysicalOffsetX + Trunc(double(PrintDpiX) * double(PrintOffsetX) / 2.54);
    PrintOriginY = caps.PhysicalOffsetY + Trunc(double(PrintDpiY) * double(PrintOffsetY) / 2.54);
}

int PrintPixelX(float X)
{
    return Trunc(RawX(X));
}

int PrintPixelY(float Y)
{
    return Trunc(RawY(Y));
}

void SetPaper(const QString &Paper, const QString &Orientation)
{
    TNkPrinter &printer = NkPrinter();
    if (Paper.compare(u"A4"_s, Qt::CaseInsensitive) == 0)
        printer.SetPaperSizeNumber(9);
    else if (Paper.compare(u"A3"_s, Qt::CaseInsensitive) == 0)
        printer.SetPaperSizeNumber(8);
    if (Orientation.compare(u"LAND"_s, Qt::CaseInsensitive) == 0)
        printer.SetOrientation(QPageLayout::Landscape);
    else
        printer.SetOrientation(QPageLayout::Portrait);
    printer.ApplySettings();
}

void DrawLine(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2)
{
    InitPrintScale();
    const int width = Canvas->Pen().Width();
    if (width < 1)
        Canvas->Pen().SetWidth(1);
    Canvas->MoveTo(PrintPixelX(X1), PrintPixelY(Y1));
    Canvas->LineTo(PrintPixelX(X2), PrintPixelY(Y2));
    Canvas->Pen().SetWidth(width);
}

void DrawBox(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2)
{
    DrawLine(Canvas, X1, Y1, X2, Y1);
    DrawLine(Canvas, X2, Y1, X2, Y2);
    DrawLine(Canvas, X2, Y2, X1, Y2);
    DrawLine(Canvas, X1, Y2, X1, Y1);
}

void FillBox(TPageCanvas *Canvas, float X1, float Y1, float X2, float Y2)
{
    InitPrintScale();
    Canvas->FillRect(PrintPixelX(X1), PrintPixelY(Y1), PrintPixelX(X2), PrintPixelY(Y2));
}

void DrawCircle(TPageCanvas *Canvas, float X, float Y, float Radius)
{
    InitPrintScale();
    Canvas->Ellipse(PrintPixelX(X - Radius), PrintPixelY(Y - Radius), PrintPixelX(X + Radius),
                    PrintPixelY(Y + Radius));
}

void DrawArrowHead(TPageCanvas *Canvas, const QString &Direction, float X, float Y, float Size)
{
    const float half = Size / 2;
    if (Direction.compare(u"UP"_s, Qt::CaseInsensitive) == 0) {
        DrawLine(Canvas, X, Y, X - half, Y + Size);
        DrawLine(Canvas, X, Y, X + half, Y + Size);
    } else if (Direction.compare(u"DOWN"_s, Qt::CaseInsensitive) == 0) {
        DrawLine(Canvas, X, Y, X - half, Y - Size);
        DrawLine(Canvas, X, Y, X + half, Y - Size);
    } else if (Direction.compare(u"LEFT"_s, Qt::CaseInsensitive) == 0) {
        DrawLine(Canvas, X, Y, X + Size, Y - half);
        DrawLine(Canvas, X, Y, X + Size, Y + half);
    } else if (Direction.compare(u"RIGHT"_s, Qt::CaseInsensitive) == 0) {
        DrawLine(Canvas, X, Y, X - Size, Y - half);
        DrawLine(Canvas, X, Y, X - Size, Y + half);
    }
}

void DrawPatternLine(TPageCanvas *Canvas, int Pattern, float X1, float Y1, float X2, float Y2)
{
    const int mask = Pattern == 0 ? 85 : Pattern == 1 ? 235 : 255;
    // Pieces end a hair before X2 would be reached by rounding, so no empty piece is drawn.
    constexpr double kEpsilon = 1e-6;
    if (X1 == X2) {
        // Vertical: the same 1 mm pieces along y.
        const double dir = Y2 >= Y1 ? 1.0 : -1.0;
        const double length = std::abs(double(Y2) - Y1);
        double s = 0;
        for (int i = 0; s < length - kEpsilon; i = (i + 1) % 8) {
            const double next = qMin(s + 0.1, length);
            if (mask & (1 << i))
                DrawLine(Canvas, X1, float(Y1 + dir * s), X1, float(Y1 + dir * next));
            s = next;
        }
        return;
    }
    if (X1 > X2) {
        std::swap(X1, X2);
        std::swap(Y1, Y2);
    }
    const double slope = (double(Y2) - Y1) / (double(X2) - X1);
    const double intercept = Y1 - slope * X1;
    const double step = 0.1 * std::cos(std::atan(slope));
    double x = X1;
    double y = Y1;
    int i = 0;
    while (x < X2 - kEpsilon) {
        double nx = x + step;
        double ny = slope * nx + intercept;
        if (nx > X2 - kEpsilon) {
            nx = X2;
            ny = Y2;
        }
        if (mask & (1 << i))
            DrawLine(Canvas, float(x), float(y), float(nx), float(ny));
        x = nx;
        y = ny;
        i = (i + 1) % 8;
    }
}

void DrawBoxText(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, float Right,
                 float Bottom, int Vertical)
{
    if (Align == 4) {
        if (Vertical == 1) {
            const float h = Bottom - Top;
            Top = Top + h / 10;
            Bottom = Bottom - h / 10;
        } else {
            const float w = Right - Left;
            Left = Left + w / 10;
            Right = Right - w / 10;
        }
        Align = 3;
    }
    const qsizetype marker = Text.indexOf(u"\\\\"_s);
    if (marker >= 0) {
        const QString first = Text.left(marker);
        const QString rest = Text.mid(marker + 2);
        if (Vertical == 1) {
            const float middle = (Left + Right) / 2;
            DrawBoxText(Canvas, first, Align, Left, Top, middle, Bottom, Vertical);
            DrawBoxText(Canvas, rest, Align, middle, Top, Right, Bottom, Vertical);
        } else {
            const float middle = (Top + Bottom) / 2;
            DrawBoxText(Canvas, first, Align, Left, Top, Right, middle, Vertical);
            DrawBoxText(Canvas, rest, Align, Left, middle, Right, Bottom, Vertical);
        }
        return;
    }
    if (Text.isEmpty())
        return;
    InitPrintScale();
    const int W = Trunc((double(Right) - Left) * PrintDpiX / 2.54);
    const int H = Trunc((double(Bottom) - Top) * PrintDpiY / 2.54);
    const TBrushStyleGuard clear(Canvas);
    if (Vertical == 1)
        DrawVertical(Canvas, Text, Align, Left, Top, W, H);
    else
        DrawHorizontal(Canvas, Text, Align, Left, Top, Bottom, W);
}

void DrawFitText(TPageCanvas *Canvas, const QString &Text, int Align, float Left, float Top, float Right,
                 float Bottom, int Vertical)
{
    const float w = TextWidthCm(Canvas, Text);
    const float h = TextHeightCm(Canvas, Text);
    if (Right - Left >= w || w <= 0) {
        DrawBoxText(Canvas, Text, Align, Left, Top, Right, Bottom, Vertical);
        return;
    }
    const int percent = Trunc(double(Right - Left) / w * 100);
    DrawScaledText(Canvas, 0, percent, Left, Top + ((Bottom - Top) - h) / 2, Text);
}

void DrawScaledText(TPageCanvas *Canvas, int Angle, int WidthPercent, float X, float Y, const QString &Text)
{
    InitPrintScale();
    const TBrushStyleGuard clear(Canvas);
    Canvas->TextOutScaled(PrintPixelX(X), PrintPixelY(Y), Text, Angle, WidthPercent);
}

float TextWidthCm(TPageCanvas *Canvas, const QString &Text)
{
    InitPrintScale();
    if (PrintDpiX <= 0)
        return 0;
    return float(Canvas->TextWidth(Text) * 2.55 / PrintDpiX);
}

float TextHeightCm(TPageCanvas *Canvas, const QString &Text)
{
    InitPrintScale();
    if (PrintDpiX <= 0)
        return 0;
    return float(Canvas->TextHeight(Text) * 2.55 / PrintDpiX);
}

void SetPenWidthMm(TPageCanvas *Canvas, float Millimetres)
{
    const double v = Canvas->PixelsPerInchX() * double(Millimetres) * 0.1 / 2.54;
    Canvas->Pen().SetWidth(Trunc(v + 0.99999));
}
