#pragma once

#include "printing/RecordedPage.h"

#include <QFont>
#include <QPoint>

#include <memory>

// The canvas a form draws on: it records every command into one page, in printer pixels.
// Fonts are measured at the printer's resolution; asked for its own resolution it answers
// with the display's, as the forms' millimetre pen widths expect.
class TPageCanvas
{
public:
    class TFont
    {
    public:
        const QString &Name() const { return m_state.Name; }
        void SetName(const QString &name) { m_state.Name = name; }
        int Size() const { return m_state.Size; }
        // Points; the height becomes round(size × printer dpi / 72) pixels.
        void SetSize(int points);
        int Height() const { return m_state.PixelSize; } // pixels
        void SetHeight(int pixels);
        TColor Color() const { return m_state.Color; }
        void SetColor(TColor color) { m_state.Color = color; }
        bool Bold() const { return m_state.Bold; }
        void SetBold(bool on) { m_state.Bold = on; }
        bool Italic() const { return m_state.Italic; }
        void SetItalic(bool on) { m_state.Italic = on; }
        bool Underline() const { return m_state.Underline; }
        void SetUnderline(bool on) { m_state.Underline = on; }
        int PixelsPerInch() const { return m_ppi; }
        const TFontState &State() const { return m_state; }
        void Assign(const TFontState &state) { m_state = state; }

    private:
        friend class TPageCanvas;
        TFontState m_state;
        int m_ppi = 96;
    };

    class TPen
    {
    public:
        int Width() const { return m_state.Width; }
        void SetWidth(int pixels) { m_state.Width = pixels < 0 ? 0 : pixels; }
        TColor Color() const { return m_state.Color; }
        void SetColor(TColor color) { m_state.Color = color; }
        TPenStyle Style() const { return m_state.Style; }
        void SetStyle(TPenStyle style) { m_state.Style = style; }
        const TPenState &State() const { return m_state; }

    private:
        TPenState m_state;
    };

    class TBrush
    {
    public:
        TColor Color() const { return m_state.Color; }
        void SetColor(TColor color) { m_state.Color = color; }
        TBrushStyle Style() const { return m_state.Style; }
        void SetStyle(TBrushStyle style) { m_state.Style = style; }
        const TBrushState &State() const { return m_state; }

    private:
        TBrushState m_state;
    };

    // Records onto Page, whose capabilities give the font resolution.
    explicit TPageCanvas(TRecordedPage *page);
    TPageCanvas(const TPageCanvas &) = delete;
    TPageCanvas &operator=(const TPageCanvas &) = delete;

    TFont &Font() { return m_font; }
    TPen &Pen() { return m_pen; }
    TBrush &Brush() { return m_brush; }

    // The canvas's own resolution, that of the display.
    static constexpr int kReportedPixelsPerInch = 96;
    int PixelsPerInchX() const { return kReportedPixelsPerInch; }
    int PixelsPerInchY() const { return kReportedPixelsPerInch; }
    // Size of the page in printer pixels (the printable area).
    int Width() const;
    int Height() const;

    // Sum of the characters' advances, whole pixels each.
    int TextWidth(const QString &text) const;
    // The advance of each character (code point) of the text, whole pixels.
    QList<int> CharAdvances(const QString &text) const { return Advances(text); }
    // Ascent plus descent of the font.
    int TextHeight(const QString &text) const;
    int AverageCharWidth() const;

    // Text with the top-left corner of its cell at (x, y).
    void TextOut(int x, int y, const QString &text);
    // Text at (x, y) squeezed to WidthPercent of its width and turned by Angle degrees
    // counter-clockwise about that corner.
    void TextOutScaled(int x, int y, const QString &text, int angle, int widthPercent);

    QPoint PenPos() const { return m_penPos; }
    void MoveTo(int x, int y) { m_penPos = QPoint(x, y); }
    void LineTo(int x, int y);
    // Outline with the pen, filled with the brush; right and bottom are exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    // Filled with the brush, no outline; right and bottom are exclusive.
    void FillRect(int left, int top, int right, int bottom);
    void FillRect(const QRect &rect) { FillRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()); }
    void Ellipse(int left, int top, int right, int bottom);

    TRecordedPage *Page() const { return m_page; }

private:
    struct TFontMetricsCache;
    QFont QtFont() const;
    // Those of the current font, shared by every canvas that uses the font.
    TFontMetricsCache &Metrics() const;
    QList<int> Advances(const QString &text) const;
    TPageCommand Shape(TCommandKind kind, int left, int top, int right, int bottom) const;

    TRecordedPage *m_page;
    TFont m_font;
    TPen m_pen;
    TBrush m_brush;
    QPoint m_penPos;
    mutable std::shared_ptr<TFontMetricsCache> m_metrics;
    mutable TFontState m_metricsFont; // the font m_metrics was looked up for
};
