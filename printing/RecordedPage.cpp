#include "printing/RecordedPage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

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

void ReplayText(QPainter &painter, const TPageCommand &cmd)
{
    painter.save();
    painter.translate(cmd.Box.topLeft());
    if (cmd.Angle != 0)
        painter.rotate(-cmd.Angle);
    if (cmd.ScaleX != 1.0)
        painter.scale(cmd.ScaleX, 1.0);
    if (cmd.Brush.Style == TBrushStyle::Solid) {
        int width = 0;
        for (int a : cmd.Advances)
            width += a;
        painter.fillRect(QRect(0, 0, width, cmd.Box.height()), ColorToQColor(cmd.Brush.Color));
    }
    const QFont font = MakeFont(cmd.Font);
    painter.setFont(font);
    const QPen textPen(ColorToQColor(cmd.Font.Color));
    double x = 0;
    qsizetype i = 0;
    const QList<uint> chars = cmd.Text.toUcs4();
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
