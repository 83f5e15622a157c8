#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;
class QWidget;

// Stops typing beyond a width in Shift-JIS bytes (a full-width character takes two).
// Pasted or dropped text is cut at the width on a character boundary, characters without
// a Shift-JIS form are left out, and a short notice says so. Texts the program puts in
// are shown as they are, and an over-long one may still be shortened.
class TByteLengthValidator final : public QValidator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TByteLengthValidator)

public:
    TByteLengthValidator(int maxBytes, QLineEdit *edit);
    State validate(QString &input, int &pos) const override;
    // The last notice shown, or the empty text.
    const QString &Notice() const { return m_notice; }

private:
    void Notify(const QString &notice) const;

    int m_maxBytes;
    QLineEdit *m_edit;
    QString m_shown; // the edit's text before the change being validated
    mutable QString m_notice;
};

void LimitBytes(QLineEdit *edit, int maxBytes);

// Text cut to MaxBytes for storing as it was typed; Notice gets what was dropped, in the
// user's words, or stays as it is when nothing was.
QString FitToBytes(const QString &text, int maxBytes, QString *notice);
// The notice beside Widget, without interrupting the typing.
void ShowInputNotice(QWidget *widget, const QString &notice);
