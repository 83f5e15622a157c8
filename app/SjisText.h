#pragma once

#include <QByteArray>
#include <QString>

// Texts are limited in Shift-JIS bytes wherever they are stored: a full-width character
// takes two. The user-defined characters U+E5E1..U+E5E3 map to F841..F843.
namespace SjisText {

// Bytes of Text in Shift-JIS, or -1 when a character has no Shift-JIS form.
int ByteLength(const QString &text);

// The longest start of Text that fits in MaxBytes, never cutting a double-byte character.
QString CutToBytes(const QString &text, int maxBytes);

QByteArray Encode(const QString &text);
QString Decode(const QByteArray &bytes);

// The first character of Text that has no Shift-JIS form, or a null QChar string.
QString FirstUnencodable(const QString &text);

} // namespace SjisText
