#include "app/ByteLimit.h"

#include "app/SjisText.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;

namespace {
QString CutNotice(int maxBytes)
{
    return u"%1 バイト（全角 %2 文字）を超える分を切り捨てました。"_s.arg(maxBytes).arg(maxBytes / 2);
}

QString DroppedNotice(const QString &bad)
{
    return u"使えない文字「%1」を取り除きました。"_s.arg(bad);
}

// Text without the characters that have no Shift-JIS form; Bad gets the first of them.
QString Encodable(const QString &text, QString *bad)
{
    if (SjisText::ByteLength(text) >= 0)
        return text;
    QString rest = text;
    for (QString first = SjisText::FirstUnencodable(rest); !first.isEmpty();
         first = SjisText::FirstUnencodable(rest)) {
        if (bad->isEmpty())
            *bad = first;
        rest.remove(first);
    }
    return rest;
}
} // namespace

TByteLengthValidator::TByteLengthValidator(int maxBytes, QLineEdit *edit)
    : QValidator(edit)
    , m_maxBytes(maxBytes)
    , m_edit(edit)
    , m_shown(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_shown = text; });
}

QValidator::State TByteLengthValidator::validate(QString &input, int &pos) const
{
    const int bytes = SjisText::ByteLength(input);
    if (bytes >= 0 && bytes <= m_maxBytes)
        return Acceptable;
    // What this change put between the unchanged start and end of the text.
    qsizetype head = 0;
    const qsizetype shorter = qMin(input.size(), m_shown.size());
    while (head < shorter && input.at(head) == m_shown.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && input.at(input.size() - 1 - tail) == m_shown.at(m_shown.size() - 1 - tail))
        ++tail;
    const QString inserted = input.mid(head, input.size() - head - tail);
    // Shortening a text that was already too long is allowed.
    if (inserted.isEmpty() && input.size() < m_shown.size())
        return Intermediate;
    // A text the program sets has no undo step; it is not the user's to cut.
    if (inserted.isEmpty() || !m_edit->isUndoAvailable())
        return Invalid;
    const QString before = input.left(head);
    const QString after = input.right(tail);
    const int room = m_maxBytes - qMax(0, SjisText::ByteLength(before)) - qMax(0, SjisText::ByteLength(after));
    QString bad;
    const QString encodable = Encodable(inserted, &bad);
    const QString kept = room > 0 ? SjisText::CutToBytes(encodable, room) : QString();
    if (kept.isEmpty() && bad.isEmpty()) {
        // A typed character that does not fit simply stops; a paste says why nothing came.
        if (inserted.toUcs4().size() > 1)
            Notify(CutNotice(m_maxBytes));
        return Invalid;
    }
    if (SjisText::ByteLength(before + kept + after) < 0 || SjisText::ByteLength(before + kept + after) > m_maxBytes)
        return Invalid;
    input = before + kept + after;
    pos = int(head + kept.size());
    Notify(kept.size() < encodable.size() ? CutNotice(m_maxBytes) : DroppedNotice(bad));
    return Acceptable;
}

void TByteLengthValidator::Notify(const QString &notice) const
{
    m_notice = notice;
    ShowInputNotice(m_edit, notice);
}

void LimitBytes(QLineEdit *edit, int maxBytes)
{
    edit->setValidator(new TByteLengthValidator(maxBytes, edit));
}

QString FitToBytes(const QString &text, int maxBytes, QString *notice)
{
    const int bytes = SjisText::ByteLength(text);
    if (bytes >= 0 && bytes <= maxBytes)
        return text;
    QString bad;
    const QString encodable = Encodable(text, &bad);
    const QString kept = SjisText::CutToBytes(encodable, maxBytes);
    *notice = kept.size() < encodable.size() ? CutNotice(maxBytes) : DroppedNotice(bad);
    return kept;
}

void ShowInputNotice(QWidget *widget, const QString &notice)
{
    // After the edit has taken its new text: a tip shown from inside the change would be
    // hidden again by the change's own events.
    QTimer::singleShot(0, widget, [target = QPointer<QWidget>(widget), notice] {
        if (target)
            QToolTip::showText(target->mapToGlobal(QPoint(0, target->height())), notice, target);
    });
}
