#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class TTableDef;

// Writes Paradox tables with pxlib's writer, as the earlier program's data folders hold them.
namespace ParadoxFixture {

struct TColumn
{
    QByteArray Name;
    int Type;   // pxfAlpha, pxfLong, pxfDate, pxfLogical, pxfNumber, ...
    int Length; // bytes in the record
};

// The Paradox layout of one of our tables: A n, long integer, date, logical, number.
QList<TColumn> ColumnsOf(const TTableDef &def);

// One row: per column a null QVariant (blank field), a QString (written in Shift-JIS), a
// QByteArray (written as it is), an integer, a double, a bool or a QDate.
using TRow = QList<QVariant>;

// Creates the table file, protected by Password when one is given; false (with a warning)
// when pxlib refuses.
bool Write(const QString &path, const QList<TColumn> &columns, const QList<TRow> &rows,
           const QByteArray &password = {});

// The value of row r for a column, cycling through full-width and special characters
// cut to the field's size, blanks, zero, negative numbers and dates.
QVariant SampleValue(const TColumn &column, int row, int columnIndex);
QList<TRow> SampleRows(const QList<TColumn> &columns, int count);

// Paradox day number (0001-01-01 is day 1) of a date.
int DayNumber(const QDate &date);

} // namespace ParadoxFixture
