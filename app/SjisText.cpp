#include "app/SjisText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace SjisText {

namespace {
constexpr auto kCodec = "windows-31j";

// Encodes one whole character (a surrogate pair counts as one) and reports failure.
QByteArray EncodeChecked(QStringView text, bool *ok)
{
    QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    *ok = !encoder.hasError();
    return bytes;
}

int CharLength(const QString &text, int i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return 2;
    return 1;
}
} // namespace

int ByteLength(const QString &text)
{
    bool ok = true;
    QByteArray bytes = EncodeChecked(text, &ok);
    return ok ? int(bytes.size()) : -1;
}

QString CutToBytes(const QString &text, int maxBytes)
{
    int used = 0;
    int i = 0;
    while (i < text.size()) {
        const int len = CharLength(text, i);
        bool ok = true;
        const int bytes = int(EncodeChecked(QStringView(text).mid(i, len), &ok).size());
        // An unencodable character is stored as one '?' by Encode, so it counts one byte.
        const int cost = ok ? bytes : 1;
        if (used + cost > maxBytes)
            break;
        used += cost;
        i += len;
    }
    return text.left(i);
}

QByteArray Encode(const QString &text)
{
    QStringEncoder encoder(kCodec);
    return encoder.encode(text);
}

QString Decode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodec);
    return decoder.decode(bytes);
}

QString FirstUnencodable(const QString &text)
{
    int i = 0;
    while (i < text.size()) {
        const int len = CharLength(text, i);
        bool ok = true;
        EncodeChecked(QStringView(text).mid(i, len), &ok);
        if (!ok)
            return text.mid(i, len);
        i += len;
    }
    return QString();
}

} // namespace SjisText
