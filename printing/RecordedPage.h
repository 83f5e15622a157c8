#pragma once

#include <QColor>
#include <QList>
#include <QPageLayout>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// Colours as the forms store them: 0x00BBGGRR, red in the low byte.
using TColor = quint32;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);

enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
enum class TBrushStyle { Solid, Clear };

struct TFontState
{
    QString Name;
    int Size = 0;      // points
    int PixelSize = 0; // em height in device pixels
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

struct TPenState
{
    int Width = 1; // device pixels; 0 draws as 1
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::Solid;
};

struct TBrushState
{
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::Solid;
};

// What the printer tells about its page, in its own pixels (the names of the capabilities
// a printer driver reports).
struct TDeviceCaps
{
    int LogPixelsX = 0;
    int LogPixelsY = 0;
    int PhysicalWidth = 0;   // whole sheet
    int PhysicalHeight = 0;
    int PhysicalOffsetX = 0; // printable area from the sheet's corner
    int PhysicalOffsetY = 0;
    int HorzRes = 0;         // printable area
    int VertRes = 0;
    QPageLayout Layout;      // paper and orientation the page was made for
};

enum class TCommandKind { Line, Rectangle, FillRect, Ellipse, Text };

// One drawing command in device pixels of the printer the page was recorded for, with the
// printable area's top-left corner as origin.
struct TPageCommand
{
    TCommandKind Kind = TCommandKind::Line;
    QPoint From;         // line start
    QPoint To;           // line end
    QRect Box;           // rectangle, fill, ellipse (right and bottom exclusive); text cell
    QString Text;
    TFontState Font;
    TPenState Pen;
    TBrushState Brush;   // for text: a solid brush paints the cell behind it
    int Angle = 0;       // text: degrees, counter-clockwise, about the top-left corner
    int WidthPercent = 100;
    double ScaleX = 1.0; // text: horizontal squeeze of the glyphs
    int Ascent = 0;      // text: baseline below the cell top
    QList<int> Advances; // text: advance of each character, unsqueezed
};

// One recorded page: the commands in the order they were drawn, and the printer page they
// were drawn for. Replays are deterministic.
class TRecordedPage
{
public:
    explicit TRecordedPage(const TDeviceCaps &caps);

    const TDeviceCaps &Caps() const { return m_caps; }
    void Add(TPageCommand command) { m_commands.append(std::move(command)); }

    // Queries for tests and checks: the commands of one kind, in drawing order.
    const QList<TPageCommand> &Commands() const { return m_commands; }
    QList<TPageCommand> Texts() const { return OfKind(TCommandKind::Text); }
    QList<TPageCommand> Lines() const { return OfKind(TCommandKind::Line); }
    QList<TPageCommand> Rectangles() const { return OfKind(TCommandKind::Rectangle); }
    QList<TPageCommand> Fills() const { return OfKind(TCommandKind::FillRect); }
    QList<TPageCommand> Ellipses() const { return OfKind(TCommandKind::Ellipse); }
    // Texts drawn with exactly this content.
    QList<TPageCommand> TextsEqual(const QString &text) const;
    // All texts of the page joined in drawing order (no separator).
    QString AllText() const;

    // Draws the page onto a painter whose origin is the printable area's top-left corner;
    // scale maps recorded pixels to the painter's units (1 on the printer it was made for).
    void Replay(QPainter &painter, double scale = 1.0) const { Replay(painter, scale, scale); }
    // Stretched by different factors across and down.
    void Replay(QPainter &painter, double scaleX, double scaleY) const;

private:
    QList<TPageCommand> OfKind(TCommandKind kind) const;

    TDeviceCaps m_caps;
    QList<TPageCommand> m_commands;
};

// The user-defined characters the charts print, at their private-use code points
// (Shift-JIS F841, F842, F843).
constexpr char16_t kAverageSign = 0xE5E1;        // an x with a bar over it
constexpr char16_t kVerticalOpenParen = 0xE5E2;  // ︵
constexpr char16_t kVerticalCloseParen = 0xE5E3; // ︶
bool IsUserDefinedCharacter(char32_t c);
