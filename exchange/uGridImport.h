#pragma once

#include "exchange/uCsv.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A CSV file on its way into the measurement grid: how its columns map to the grid's and
// where each line lands. It changes nothing; the main window enters the planned rows.
class TGridImport
{
public:
    // Detects the encoding, whether the first line holds the grid's headings, and the
    // mapping (by those headings, else by position).
    explicit TGridImport(QByteArray bytes);

    TCsvEncoding Encoding() const { return m_encoding; }
    // Reads the file again in Encoding; the heading line and the mapping are detected anew.
    void SetEncoding(TCsvEncoding encoding);
    bool HeadingLine() const { return m_headingLine; }
    // Maps by the headings of the first line, or by position without them.
    void SetHeadingLine(bool headingLine);
    bool DetectedHeadingLine() const;

    // Fields of the widest line.
    int FileColumns() const;
    // The first line's text of a file column (0-based), for the mapping's captions.
    QString FileHeading(int fileColumn) const;
    // Grid column 1..12 for each file column, 0 for a column that is not read.
    QList<int> Mapping;

    struct TEntry
    {
        int Row = 0;  // grid row
        int Line = 0; // line of the file
        QList<QPair<int, QString>> Cells; // grid column, text
    };
    struct TProblem
    {
        int Line = 0;
        QString Reason;
    };
    struct TPlan
    {
        QList<TEntry> Entries;    // readable lines, blank ones included
        QList<TProblem> Problems; // lines that cannot be read; their rows stay as they are
        QStringList Notes;        // about columns that are left out
        int FirstRow = 0;
        int LastRow = 0;          // last grid row the file needs (0 without data lines)
        bool TooMany = false;     // LastRow lies beyond the grid
    };
    // Form type 0 "高さ", 1 "厚さ", 2 "幅": the last two use only the centre columns.
    TPlan Plan(int startRow, int formType) const;

private:
    void Detect();
    void MapByPosition();
    void MapByHeadings();
    QList<TCsvRecord> DataRecords() const;

    QByteArray m_bytes;
    TCsvEncoding m_encoding;
    QList<TCsvRecord> m_records;
    bool m_headingLine = false;
};
