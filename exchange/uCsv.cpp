#include "exchange/uCsv.h"

#include "app/Errors.h"
#include "app/SjisText.h"

#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

QString Decode(const QByteArray &bytes, TCsvEncoding encoding)
{
    if (encoding == TCsvEncoding::ShiftJis)
        return SjisText::Decode(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder(bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes);
}

QString QuoteField(const QString &field)
{
    // A leading byte-order mark would be taken for the file's own and dropped on reading.
    bool quote = field.startsWith(u' ') || field.endsWith(u' ') || field.startsWith(QChar(0xFEFF));
    for (QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote)
        return field;
    QString quoted = field;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}
} // namespace

namespace Csv {

TCsvEncoding DetectEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith(kBom))
        return TCsvEncoding::Utf8Bom;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes); // the decoding runs when the result is taken
    return decoder.hasError() ? TCsvEncoding::ShiftJis : TCsvEncoding::Utf8;
}

QString EncodingCaption(TCsvEncoding encoding)
{
    switch (encoding) {
    case TCsvEncoding::Utf8:
        return u"UTF-8（BOM なし）"_s;
    case TCsvEncoding::Utf8Bom:
        return u"UTF-8（BOM 付き）"_s;
    case TCsvEncoding::ShiftJis:
        break;
    }
    return u"Shift-JIS"_s;
}

QList<TCsvRecord> Parse(const QByteArray &bytes, TCsvEncoding encoding)
{
    const QString text = Decode(bytes, encoding);
    QList<TCsvRecord> records;
    TCsvRecord record;
    QString field;
    bool inQuotes = false;
    bool closed = false; // the field's closing quote has been read
    int line = 1;
    record.Line = line;
    auto note = [&record](const QString &problem) {
        if (record.Problem.isEmpty())
            record.Problem = problem;
    };
    auto endField = [&] {
        record.Fields << field;
        field.clear();
        closed = false;
    };
    auto endRecord = [&] {
        endField();
        if (record.Problem.isEmpty() && record.Fields.join(QString()).contains(QChar::ReplacementCharacter))
            record.Problem = u"文字コード %1 として読めない文字があります（文字コードの選択を確かめてください）"_s.arg(
                EncodingCaption(encoding));
        records << record;
        record = TCsvRecord();
        record.Line = line;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                    closed = true;
                }
            } else if (c == u'\r' || c == u'\n') {
                // A line break inside a field is kept as one LF, whatever the file used.
                if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                    ++i;
                field += u'\n';
                ++line;
            } else {
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            ++line;
            endRecord();
        } else if (closed) {
            note(u"閉じた引用符（\"）の後に、区切りのない文字があります"_s);
            field += c;
        } else if (c == u'"' && field.isEmpty()) {
            inQuotes = true;
        } else {
            // A quote inside an unquoted field (10" pipe) is a character, as spreadsheets read it.
            field += c;
        }
    }
    if (inQuotes)
        note(u"引用符（\"）が閉じられないまま、ファイルが終わっています"_s);
    if (inQuotes || closed || !field.isEmpty() || !record.Fields.isEmpty())
        endRecord();
    return records;
}

QByteArray Compose(const QList<QStringList> &rows, TCsvEncoding encoding)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString &field : row)
            fields << QuoteField(field);
        text += fields.join(u',') + u"\r\n"_s;
    }
    if (encoding != TCsvEncoding::ShiftJis)
        return (encoding == TCsvEncoding::Utf8Bom ? kBom : QByteArray()) + text.toUtf8();
    const QString bad = SjisText::FirstUnencodable(text);
    if (!bad.isNull())
        throw EKelmoError(u"文字「%1」は Shift-JIS で書けません。文字コードを UTF-8 にして書き出してください。"_s.arg(bad));
    return SjisText::Encode(text);
}

} // namespace Csv
