#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated files as spreadsheets write them: fields in double quotes may hold
// commas, doubled quotes and line breaks; lines end in CRLF or LF.

enum class TCsvEncoding { Utf8, Utf8Bom, ShiftJis };

// One record of a file: the physical line it starts on (from 1), its fields, and why it
// cannot be read when it cannot (empty otherwise).
struct TCsvRecord
{
    int Line = 0;
    QStringList Fields;
    QString Problem;

    bool IsBlank() const { return Fields.size() <= 1 && (Fields.isEmpty() || Fields.first().isEmpty()); }
};

namespace Csv {

// A byte order mark means UTF-8 with it; bytes that are valid UTF-8 mean UTF-8; anything
// else is taken for Shift-JIS (code page 932), as older spreadsheet tools write.
TCsvEncoding DetectEncoding(const QByteArray &bytes);
QString EncodingCaption(TCsvEncoding encoding);

// Every record of the file; a file that ends with a line break has no empty last record.
QList<TCsvRecord> Parse(const QByteArray &bytes, TCsvEncoding encoding);

// Rows joined with CRLF, fields quoted where a spreadsheet needs it. Shift-JIS refuses a
// text that has no Shift-JIS form (EKelmoError naming it) instead of writing "?".
QByteArray Compose(const QList<QStringList> &rows, TCsvEncoding encoding);

} // namespace Csv
