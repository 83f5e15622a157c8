#include "printing/PageCanvas.h"

#include <QFontMetrics>
#include <QHash>

#include <optional>
#include <QtMath>

using namespace Qt::Literals::StringLiterals;

void TPageCanvas::TFont::SetSize(int points)
{
    m_state.Size = points;
    m_state.PixelSize = qRound(double(points) * m_ppi / 72.0);
}

void TPageCanvas::TFont::SetHeight(int pixels)
{
    m_state.PixelSize = pixels < 0 ? -pixels : pixels;
    m_state.Size = qRound(double(m_state.PixelSize) * 72.0 / m_ppi);
}

TPageCanvas::TPageCanvas(TRecordedPage *page)
    : m_page(page)
{
    m_font.m_ppi = page->Caps().LogPixelsY > 0 ? page->Caps().LogPixelsY : kReportedPixelsPerInch;
    m_font.SetName(u"ＭＳ Ｐゴシック"_s);
    m_font.SetSize(9);
}

int TPageCanvas::Width() const
{
    return m_page->Caps().HorzRes;
}

int TPageCanvas::Height() const
{
    return m_page->Caps().VertRes;
}

QFont TPageCanvas::QtFont() const
{
    QFont font(m_font.Name());
    font.setPixelSize(m_font.Height() > 0 ? m_font.Height() : 1);
    font.setBold(m_font.Bold());
    font.setItalic(m_font.Italic());
    font.setUnderline(m_font.Underline());
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {
// Advances of single characters, per font. The forms measure every character they draw,
// and shaping a character again in the same font gives the same advance every time.
QHash<char32_t, int> &AdvancesOfFont(const QString &key)
{
    static QHash<QString, QHash<char32_t, int>> cache;
    if (cache.size() > 64) // a run uses a handful of fonts; this only bounds the memory
        cache.clear();
    return cache[key];
}
} // namespace

QList<int> TPageCanvas::Advances(const QString &text) const
{
    const QFont font = QtFont();
    QHash<char32_t, int> &known = AdvancesOfFont(font.key());
    std::optional<QFontMetrics> metrics;
    QList<int> result;
    const QList<uint> chars = text.toUcs4();
    result.reserve(chars.size());
    for (uint c : chars) {
        if (IsUserDefinedCharacter(c)) {
            // Drawn by the canvas itself in a full-width cell.
            result.append(m_font.Height());
            continue;
        }
        const auto found = known.constFind(c);
        if (found != known.constEnd()) {
            result.append(*found);
            continue;
        }
        if (!metrics)
            metrics.emplace(font);
        char32_t one = c;
        const int advance = metrics->horizontalAdvance(QString::fromUcs4(&one, 1));
        known.insert(c, advance);
        result.append(advance);
    }
    return result;
}

int TPageCanvas::TextWidth(const QString &text) const
{
    int width = 0;
    for (int a : Advances(text))
        width += a;
    return width;
}

int TPageCanvas::TextHeight(const QString &) const
{
    const QFontMetrics metrics(QtFont());
    return metrics.ascent() + metrics.descent();
}

int TPageCanvas::AverageCharWidth() const
{
    return QFontMetrics(QtFont()).averageCharWidth();
}

void TPageCanvas::TextOut(int x, int y, const QString &text)
{
    TextOutScaled(x, y, text, 0, 100);
}

void TPageCanvas::TextOutScaled(int x, int y, const QString &text, int angle, int widthPercent)
{
    const QFontMetrics metrics(QtFont());
    TPageCommand cmd;
    cmd.Kind = TCommandKind::Text;
    cmd.Text = text;
    cmd.Font = m_font.State();
    cmd.Pen = m_pen.State();
    cmd.Brush = m_brush.State();
    cmd.Angle = angle;
    cmd.WidthPercent = widthPercent;
    cmd.Advances = Advances(text);
    cmd.Ascent = metrics.ascent();
    int width = 0;
    for (int a : cmd.Advances)
        width += a;
    if (widthPercent != 100) {
        // The squeezed font has a whole-pixel average character width, as a built font has.
        const int average = metrics.averageCharWidth();
        const int squeezed = average * widthPercent / 100;
        cmd.ScaleX = average > 0 ? double(squeezed) / average : 1.0;
        width = int(width * cmd.ScaleX);
    }
    cmd.Box = QRect(x, y, width, metrics.ascent() + metrics.descent());
    m_page->Add(std::move(cmd));
}

void TPageCanvas::LineTo(int x, int y)
{
    TPageCommand cmd;
    cmd.Kind = TCommandKind::Line;
    cmd.From = m_penPos;
    cmd.To = QPoint(x, y);
    cmd.Pen = m_pen.State();
    m_page->Add(std::move(cmd));
    m_penPos = QPoint(x, y);
}

TPageCommand TPageCanvas::Shape(TCommandKind kind, int left, int top, int right, int bottom) const
{
    TPageCommand cmd;
    cmd.Kind = kind;
    cmd.Box = QRect(qMin(left, right), qMin(top, bottom), qAbs(right - left), qAbs(bottom - top));
    cmd.Pen = m_pen.State();
    cmd.Brush = m_brush.State();
    return cmd;
}

void TPageCanvas::Rectangle(int left, int top, int right, int bottom)
{
    m_page->Add(Shape(TCommandKind::Rectangle, left, top, right, bottom));
}

void TPageCanvas::FillRect(int left, int top, int right, int bottom)
{
    m_page->Add(Shape(TCommandKind::FillRect, left, top, right, bottom));
}

void TPageCanvas::Ellipse(int left, int top, int right, int bottom)
{
    m_page->Add(Shape(TCommandKind::Ellipse, left, top, right, bottom));
}
