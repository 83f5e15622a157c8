#include "printing/PageCanvas.h"

#include <QFontMetrics>
#include <QHash>

#include <QtMath>

#include <memory>
#include <optional>

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

// Everything QtFont() depends on.
struct TFontKey
{
    QString Name;
    int PixelSize;
    bool Bold, Italic, Underline;
    bool operator==(const TFontKey &) const = default;
};

size_t qHash(const TFontKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.Name, key.PixelSize, key.Bold, key.Italic, key.Underline);
}

bool SameQtFont(const TFontState &a, const TFontState &b)
{
    return a.PixelSize == b.PixelSize && a.Bold == b.Bold && a.Italic == b.Italic && a.Underline == b.Underline
        && a.Name == b.Name;
}

TFontKey KeyOf(const TFontState &state)
{
    return {state.Name, state.PixelSize > 0 ? state.PixelSize : 1, state.Bold, state.Italic, state.Underline};
}

} // namespace

// Metrics and advances of single characters, per font. The forms measure every character
// they draw, and measuring again in the same font gives the same figures every time.
struct TPageCanvas::TFontMetricsCache
{
    int Ascent = 0;
    int Descent = 0;
    int AverageCharWidth = 0;
    QHash<char32_t, int> Advances;
    std::optional<QFontMetrics> Metrics; // made when a character is first measured
    QFont Font;
};

TPageCanvas::TFontMetricsCache &TPageCanvas::Metrics() const
{
    const TFontState &state = m_font.State();
    if (m_metrics && SameQtFont(m_metricsFont, state))
        return *m_metrics;
    static QHash<TFontKey, std::shared_ptr<TFontMetricsCache>> cache;
    if (cache.size() > 64) // a run uses a handful of fonts; this only bounds the memory
        cache.clear();
    std::shared_ptr<TFontMetricsCache> &entry = cache[KeyOf(state)];
    if (!entry) {
        entry = std::make_shared<TFontMetricsCache>();
        entry->Font = QtFont();
        const QFontMetrics metrics(entry->Font);
        entry->Ascent = metrics.ascent();
        entry->Descent = metrics.descent();
        entry->AverageCharWidth = metrics.averageCharWidth();
    }
    m_metrics = entry;
    m_metricsFont = state;
    return *m_metrics;
}

QList<int> TPageCanvas::Advances(const QString &text) const
{
    TFontMetricsCache &metrics = Metrics();
    QList<int> result;
    const QList<uint> chars = text.toUcs4();
    result.reserve(chars.size());
    for (uint c : chars) {
        if (IsUserDefinedCharacter(c)) {
            // Drawn by the canvas itself in a full-width cell.
            result.append(m_font.Height());
            continue;
        }
        const auto found = metrics.Advances.constFind(c);
        if (found != metrics.Advances.constEnd()) {
            result.append(*found);
            continue;
        }
        if (!metrics.Metrics)
            metrics.Metrics.emplace(metrics.Font);
        char32_t one = c;
        const int advance = metrics.Metrics->horizontalAdvance(QString::fromUcs4(&one, 1));
        metrics.Advances.insert(c, advance);
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
    const TFontMetricsCache &metrics = Metrics();
    return metrics.Ascent + metrics.Descent;
}

int TPageCanvas::AverageCharWidth() const
{
    return Metrics().AverageCharWidth;
}

void TPageCanvas::TextOut(int x, int y, const QString &text)
{
    TextOutScaled(x, y, text, 0, 100);
}

void TPageCanvas::TextOutScaled(int x, int y, const QString &text, int angle, int widthPercent)
{
    const TFontMetricsCache &metrics = Metrics();
    TPageCommand cmd;
    cmd.Kind = TCommandKind::Text;
    cmd.Text = text;
    cmd.Font = m_font.State();
    cmd.Pen = m_pen.State();
    cmd.Brush = m_brush.State();
    cmd.Angle = angle;
    cmd.WidthPercent = widthPercent;
    cmd.Advances = Advances(text);
    cmd.Ascent = metrics.Ascent;
    int width = 0;
    for (int a : cmd.Advances)
        width += a;
    if (widthPercent != 100) {
        // The squeezed font has a whole-pixel average character width, as a built font has.
        const int average = metrics.AverageCharWidth;
        const int squeezed = average * widthPercent / 100;
        cmd.ScaleX = average > 0 ? double(squeezed) / average : 1.0;
        width = int(width * cmd.ScaleX);
    }
    cmd.Box = QRect(x, y, width, metrics.Ascent + metrics.Descent);
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
