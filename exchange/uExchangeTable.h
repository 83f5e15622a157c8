#pragma once

#include "exchange/uCsv.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A table as it leaves the program for a spreadsheet: headings and rows of texts, and for
// Excel a title and a block of labelled values above them.
class TExchangeTable
{
public:
    QString Title;                           // first cell of the sheet, also the sheet's name
    QList<QPair<QString, QString>> Header;   // label, value
    QStringList Headings;
    QList<QStringList> Rows;

    // Headings and rows only, so the file reads back as a table. Written whole or not at
    // all (EKelmoError / EFileError naming the problem).
    void WriteCsv(const QString &path, TCsvEncoding encoding) const;
    // Title, header block, an empty row, then headings and rows; numeric texts as numbers.
    void WriteXlsx(const QString &path) const;
    // By the file's suffix: .xlsx, else CSV.
    void Write(const QString &path, TCsvEncoding encoding) const;

    // Path ending in Suffix (".xlsx" or ".csv"): the other of the two is replaced, any
    // other ending kept and Suffix added.
    static QString PathWithSuffix(const QString &path, const QString &suffix);
};
