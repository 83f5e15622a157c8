#include "support/ParadoxFixture.h"

#include "app/SjisText.h"
#include "app/uDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QtDebug>

extern "C" {
#include <paradox.h>
}

using namespace Qt::Literals::StringLiterals;

namespace ParadoxFixture {

QList<TColumn> ColumnsOf(const TTableDef &def)
{
    QList<TColumn> columns;
    for (const TFieldDef &f : def.Fields()) {
        if (f.AddedLater)
            continue; // the old program's tables never had it
        switch (f.Type) {
        case TFieldType::Alpha: columns.append({f.Name.toLatin1(), pxfAlpha, f.Size}); break;
        case TFieldType::LongInt: columns.append({f.Name.toLatin1(), pxfLong, 4}); break;
        case TFieldType::Date: columns.append({f.Name.toLatin1(), pxfDate, 4}); break;
        case TFieldType::Logical: columns.append({f.Name.toLatin1(), pxfLogical, 1}); break;
        case TFieldType::Float: columns.append({f.Name.toLatin1(), pxfNumber, 8}); break;
        }
    }
    return columns;
}

int DayNumber(const QDate &date)
{
    return int(date.toJulianDay() - 1721425);
}

bool Write(const QString &path, const QList<TColumn> &columns, const QList<TRow> &rows, const QByteArray &password)
{
    QFile::remove(path);
    pxdoc_t *doc = PX_new();
    auto *fields = static_cast<pxfield_t *>(doc->malloc(doc, sizeof(pxfield_t) * size_t(columns.size()), "fields"));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        fields[i].px_fname = PX_strdup(doc, columns[i].Name.constData());
        fields[i].px_ftype = char(columns[i].Type);
        fields[i].px_flen = columns[i].Length;
        fields[i].px_fdc = 0;
    }
    if (PX_create_file(doc, fields, int(columns.size()), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) < 0) {
        qWarning() << "PX_create_file failed for" << path;
        PX_delete(doc);
        return false;
    }
    // pxlib scrambles the blocks with the password, as Paradox does.
    if (!password.isEmpty() && PX_set_parameter(doc, "password", password.constData()) < 0) {
        qWarning() << "PX_set_parameter(password) failed for" << path;
        PX_delete(doc);
        return false;
    }
    QByteArray record(PX_get_recordsize(doc), '\0');
    bool ok = true;
    for (const TRow &row : rows) {
        record.fill('\0');
        int offset = 0;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const TColumn &c = columns[i];
            char *p = record.data() + offset;
            offset += c.Length;
            const QVariant v = row.value(i);
            if (v.isNull())
                continue; // a blank field is all zero bytes
            switch (c.Type) {
            case pxfAlpha: {
                QByteArray bytes = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : SjisText::Encode(v.toString());
                bytes.truncate(c.Length);
                memcpy(p, bytes.constData(), size_t(bytes.size()));
                break;
            }
            case pxfDate:
                PX_put_data_long(doc, p, c.Length, v.typeId() == QMetaType::QDate ? DayNumber(v.toDate()) : v.toInt());
                break;
            case pxfTimestamp: {
                // Milliseconds from the start of day 1.
                const QDateTime t = v.toDateTime();
                PX_put_data_double(doc, p, c.Length,
                                   double(DayNumber(t.date())) * 86400000.0 + double(t.time().msecsSinceStartOfDay()));
                break;
            }
            case pxfLong:
            case pxfAutoInc:
                PX_put_data_long(doc, p, c.Length, v.toInt());
                break;
            case pxfShort:
                PX_put_data_short(doc, p, c.Length, short(v.toInt()));
                break;
            case pxfLogical:
                PX_put_data_byte(doc, p, c.Length, v.toBool() ? 1 : 0);
                break;
            case pxfNumber:
            case pxfCurrency:
                PX_put_data_double(doc, p, c.Length, v.toDouble());
                break;
            default:
                break;
            }
        }
        if (PX_put_record(doc, record.data()) < 0)
            ok = false;
    }
    PX_close(doc);
    PX_delete(doc);
    return ok;
}

QVariant SampleValue(const TColumn &column, int row, int columnIndex)
{
    const int kind = (row + columnIndex) % 4;
    switch (column.Type) {
    case pxfAlpha: {
        QString text;
        switch (kind) {
        case 0: text = u"工事ｺｰﾄﾞ第%1号線　舗装"_s.arg(row + 1); break;
        case 1: return QVariant(); // blank
        case 2: text = u"A%1-%2"_s.arg(row).arg(columnIndex); break;
        case 3: text = u"①髙﨑～㈱No.%1"_s.arg(row); break;
        }
        return SjisText::CutToBytes(text, column.Length);
    }
    case pxfLong:
        switch (kind) {
        case 0: return row * 1000 + columnIndex;
        case 1: return QVariant();
        case 2: return 0;
        default: return -row - 1;
        }
    case pxfDate:
        switch (kind) {
        case 0: return QDate(1996, 1, 1).addDays(row);
        case 1: return QVariant();
        case 2: return QDate(2024, 2, 29);
        default: return QDate(1989, 1, 8);
        }
    case pxfLogical:
        switch (kind) {
        case 0: return true;
        case 1: return QVariant();
        case 2: return false;
        default: return true;
        }
    case pxfNumber:
        switch (kind) {
        case 0: return row + 0.125;
        case 1: return QVariant();
        case 2: return 0.0;
        default: return -1234.5678;
        }
    default:
        return QVariant();
    }
}

QList<TRow> SampleRows(const QList<TColumn> &columns, int count)
{
    QList<TRow> rows;
    rows.reserve(count);
    for (int r = 0; r < count; ++r) {
        TRow row;
        for (qsizetype c = 0; c < columns.size(); ++c)
            row.append(SampleValue(columns[c], r, int(c)));
        rows.append(row);
    }
    return rows;
}

} // namespace ParadoxFixture
