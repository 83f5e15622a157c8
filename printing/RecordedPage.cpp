#include "printing/RecordedPage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QVarLengthArray>

#include <memory>

QColor ColorToQColor(TColor color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    return TColor(color.red()) | (TColor(color.green()) << 8) | (TColor(color.blue()) << 16);
}

bool IsUserDefinedCharacter(char32_t c)
{
    return c == kAverageSign || c == kVerticalOpenParen || c == kVerticalCloseParen;
}

TRecordedPage::TRecordedPage(const TDeviceCaps &caps)
    : m_caps(caps)
{
}

QList<TPageCommand> TRecordedPage::OfKind(TCommandKind kind) const
{
    QList<TPageCommand> result;
    for (const TPageCommand &c : m_commands) {
        if (c.Kind == kind)
            result.append(c);
    }
    return result;
}

QList<TPageCommand> TRecordedPage::TextsEqual(const QString &text) const
{
    QList<TPageCommand> result;
    for (const TPageCommand &c : m_commands) {
        if (c.Kind == TCommandKind::Text && c.Text == text)
            result.append(c);
    }
    return result;
}

QString TRecordedPage::AllText() const
{
    QString result;
    for (const TPageCommand &c : m_commands) {
        if (c.Kind == TCommandKind::Text)
            result += c.Text;
    }
    return result;
}

namespace {

Qt::PenStyle QtPenStyle(TPenStyle style)
{
    switch (style) {
    case TPenStyle::Solid: return Qt::SolidLine;
    case TPenStyle::Dash: return Qt::DashLine;
    case TPenStyle::Dot: return Qt::DotLine;
    case TPenStyle::DashDot: return Qt::DashDotLine;
    case TPenStyle::DashDotDot: return Qt::DashDotDotLine;
    case TPenStyle::Clear: return Qt::NoPen;
    }
    return Qt::SolidLine;
}

// A pen that never gets thinner than one device pixel, as on the printer, when the page is
// shown reduced.
QPen MakePen(const TPenState &state, double scale)
{
    QPen pen(ColorToQColor(state.Color));
    pen.setStyle(QtPenStyle(state.Style));
    const int width = state.Width < 1 ? 1 : state.Width;
    if (width * scale < 1.0)
        pen.setWidth(0);
    else
        pen.setWidthF(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QBrush MakeBrush(const TBrushState &state)
{
    if (state.Style == TBrushStyle::Clear)
        return Qt::NoBrush;
    return QBrush(ColorToQColor(state.Color));
}

QFont MakeFont(const TFontState &state)
{
    QFont font(state.Name);
    font.setPixelSize(state.PixelSize > 0 ? state.PixelSize : 1);
    font.setBold(state.Bold);
    font.setItalic(state.Italic);
    font.setUnderline(state.Underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The three user-defined characters, drawn in their cell: left edge x, baseline at ascent.
void DrawUserDefined(QPainter &painter, char32_t c, double x, double advance, const TPageCommand &cmd,
                     const QFont &font)
{
    const double em = cmd.Font.PixelSize;
    const double ascent = cmd.Ascent;
    QPen pen(ColorToQColor(cmd.Font.Color));
    pen.setWidthF(qMax(1.0, em / 14.0));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (c == kAverageSign) {
        const QFontMetricsF metrics(font);
        const double wx = metrics.horizontalAdvance(u'x');
        const double left = x + (advance - wx) / 2.0;
        painter.drawText(QPointF(left, ascent), QString(u'x'));
        const double barY = ascent - metrics.xHeight() - em * 0.1;
        painter.setPen(pen);
        painter.drawLine(QPointF(left + wx * 0.1, barY), QPointF(left + wx * 0.9, barY));
        return;
    }
    const QRectF arc(x + advance * 0.15, 0, advance * 0.7, em * 0.5);
    if (c == kVerticalOpenParen) // an arch in the lower half of the cell: ︵
        painter.drawArc(arc.translated(0, ascent - em * 0.35), 0, 180 * 16);
    else // a bowl in the upper half: ︶
        painter.drawArc(arc.translated(0, ascent - em * 0.95), 180 * 16, 180 * 16);
}

// How a character drawn alone with drawText comes out: its glyphs, each from the font or
// the fallback font Qt takes it from, at their offsets from the pen position.
struct TCharGlyph
{
    int RawFont; // index into TReplayFont::RawFonts
    quint32 Index;
    QPointF Offset;
};

struct TCharShape
{
    bool DrawAlone = false; // left to drawText: controls and separators, which shaping treats apart
    QList<TCharGlyph> Glyphs;
};

// What replaying needs of one font, kept across pages: shaping a character again in the
// same font gives the same glyphs every time.
struct TReplayFont
{
    QFont Font;
    QList<QRawFont> RawFonts;
    QHash<char32_t, TCharShape> Shapes;
};

bool ShapedApart(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029 || c == 0xFFFC
        || QChar::category(c) == QChar::Other_Surrogate;
}

TCharShape ShapeAlone(TReplayFont &font, char32_t c)
{
    TCharShape shape;
    if (ShapedApart(c)) {
        shape.DrawAlone = true;
        return shape;
    }
    QTextLayout layout(QString::fromUcs4(&c, 1), font.Font);
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) {
        shape.DrawAlone = true;
        return shape;
    }
    const QPointF pen(line.x(), line.y() + line.ascent());
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun &run : runs) {
        const QRawFont raw = run.rawFont();
        qsizetype index = font.RawFonts.indexOf(raw);
        if (index < 0) {
            index = font.RawFonts.size();
            font.RawFonts.append(raw);
        }
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
            shape.Glyphs.append({int(index), glyphs.at(i), positions.at(i) - pen});
    }
    return shape;
}

// Everything MakeFont depends on.
struct TFontKey
{
    QString Name;
    int PixelSize = 0;
    bool Bold = false, Italic = false, Underline = false;
    bool operator==(const TFontKey &) const = default;
};

size_t qHash(const TFontKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.Name, key.PixelSize, key.Bold, key.Italic, key.Underline);
}

TReplayFont &ReplayFontOf(const TFontState &state)
{
    using TKey = TFontKey;
    static QHash<TKey, std::shared_ptr<TReplayFont>> cache;
    static std::shared_ptr<TReplayFont> last;
    static TKey lastKey;
    TKey key{state.Name, state.PixelSize > 0 ? state.PixelSize : 1, state.Bold, state.Italic, state.Underline};
    if (last && key == lastKey)
        return *last;
    if (cache.size() > 64) // a run uses a handful of fonts; this only bounds the memory
        cache.clear();
    std::shared_ptr<TReplayFont> &entry = cache[key];
    if (!entry) {
        entry = std::make_shared<TReplayFont>();
        entry->Font = MakeFont(state);
    }
    last = entry;
    lastKey = std::move(key);
    return *last;
}

const TCharShape &ShapeOf(TReplayFont &font, char32_t c)
{
    auto found = font.Shapes.constFind(c);
    if (found == font.Shapes.constEnd())
        found = font.Shapes.insert(c, ShapeAlone(font, c));
    return *found;
}

// The text's own coordinates: origin at its cell's top-left corner, turned and squeezed.
void EnterTextCoordinates(QPainter &painter, const TPageCommand &cmd)
{
    painter.translate(cmd.Box.topLeft());
    if (cmd.Angle != 0)
        painter.rotate(-cmd.Angle);
    if (cmd.ScaleX != 1.0)
        painter.scale(cmd.ScaleX, 1.0);
}

// The recorded width of the text (unsqueezed), the width of its background.
int TextWidth(const TPageCommand &cmd)
{
    int width = 0;
    for (int a : cmd.Advances)
        width += a;
    return width;
}

// Character by character with drawText, the way every text is placed; the glyph runs below
// put the same glyphs at the same places in fewer calls.
void ReplayTextByCharacter(QPainter &painter, const TPageCommand &cmd, const QList<uint> &chars, const QFont &font)
{
    painter.save();
    EnterTextCoordinates(painter, cmd);
    if (cmd.Brush.Style == TBrushStyle::Solid)
        painter.fillRect(QRect(0, 0, TextWidth(cmd), cmd.Box.height()), ColorToQColor(cmd.Brush.Color));
    painter.setFont(font);
    const QPen textPen(ColorToQColor(cmd.Font.Color));
    double x = 0;
    qsizetype i = 0;
    for (uint c : chars) {
        const int advance = i < cmd.Advances.size() ? cmd.Advances.at(i) : 0;
        if (IsUserDefinedCharacter(c)) {
            DrawUserDefined(painter, c, x, advance, cmd, font);
        } else {
            painter.setPen(textPen);
            char32_t one = c;
            painter.drawText(QPointF(x, cmd.Ascent), QString::fromUcs4(&one, 1));
        }
        x += advance;
        ++i;
    }
    painter.restore();
}

void ReplayText(QPainter &painter, const TPageCommand &cmd)
{
    TReplayFont &font = ReplayFontOf(cmd.Font);
    const QList<uint> chars = cmd.Text.toUcs4();
    // The glyphs of each character, or null when a character must be drawn on its own.
    QVarLengthArray<const TCharShape *, 64> shapes;
    bool byCharacter = cmd.Font.Underline; // drawText underlines each character by its own width
    for (uint c : chars) {
        if (byCharacter)
            break;
        if (IsUserDefinedCharacter(c) || ShapeOf(font, c).DrawAlone)
            byCharacter = true;
    }
    // Only now: shaping a new character may move the ones shaped before.
    if (!byCharacter) {
        for (uint c : chars)
            shapes.append(&*font.Shapes.constFind(c));
    }
    if (byCharacter) {
        ReplayTextByCharacter(painter, cmd, chars, font.Font);
        return;
    }

    // Turned or squeezed texts are drawn in their own coordinates, the others in place.
    const bool transformed = cmd.Angle != 0 || cmd.ScaleX != 1.0;
    QPointF origin;
    if (transformed) {
        painter.save();
        EnterTextCoordinates(painter, cmd);
    } else {
        origin = cmd.Box.topLeft();
    }
    if (cmd.Brush.Style == TBrushStyle::Solid)
        painter.fillRect(QRectF(origin, QSizeF(TextWidth(cmd), cmd.Box.height())), ColorToQColor(cmd.Brush.Color));
    painter.setPen(QPen(ColorToQColor(cmd.Font.Color)));
    QList<quint32> glyphs;
    QList<QPointF> positions;
    int runFont = -1;
    const auto flush = [&] {
        if (glyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(font.RawFonts.at(runFont));
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(), run);
        glyphs.clear();
        positions.clear();
    };
    double x = 0;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        const QPointF pen = origin + QPointF(x, cmd.Ascent);
        for (const TCharGlyph &glyph : shapes.at(i)->Glyphs) {
            if (glyph.RawFont != runFont) {
                flush();
                runFont = glyph.RawFont;
            }
            glyphs.append(glyph.Index);
            positions.append(pen + glyph.Offset);
        }
        x += i < cmd.Advances.size() ? cmd.Advances.at(i) : 0;
    }
    flush();
    if (transformed)
        painter.restore();
}

} // namespace

void TRecordedPage::Replay(QPainter &painter, double scaleX, double scaleY) const
{
    const double scale = qMin(scaleX, scaleY);
    painter.save();
    painter.scale(scaleX, scaleY);
    for (const TPageCommand &cmd : m_commands) {
        switch (cmd.Kind) {
        case TCommandKind::Line:
            painter.setPen(MakePen(cmd.Pen, scale));
            painter.drawLine(cmd.From, cmd.To);
            break;
        case TCommandKind::Rectangle:
            painter.setPen(MakePen(cmd.Pen, scale));
            painter.setBrush(MakeBrush(cmd.Brush));
            painter.drawRect(QRectF(cmd.Box));
            break;
        case TCommandKind::FillRect:
            if (cmd.Brush.Style == TBrushStyle::Solid)
                painter.fillRect(QRectF(cmd.Box), ColorToQColor(cmd.Brush.Color));
            break;
        case TCommandKind::Ellipse:
            painter.setPen(MakePen(cmd.Pen, scale));
            painter.setBrush(MakeBrush(cmd.Brush));
            painter.drawEllipse(QRectF(cmd.Box));
            break;
        case TCommandKind::Text:
            ReplayText(painter, cmd);
            break;
        }
    }
    painter.restore();
}
