#pragma once

#include <QHash>
#include <QList>
#include <QString>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// One worksheet written to an .xlsx file through libxlsxwriter. Rows and columns count from
// 0. The file appears only when Close succeeds; an earlier failure leaves any old file as
// it was.
class TXlsxWriter final
{
public:
    // Raises EFileError when the file cannot be started.
    TXlsxWriter(const QString &path, const QString &sheetName);
    ~TXlsxWriter();
    TXlsxWriter(const TXlsxWriter &) = delete;
    TXlsxWriter &operator=(const TXlsxWriter &) = delete;

    // Fit: the column is made wide enough for the text (a title or a header value may run
    // over into the empty cells beside it instead).
    void WriteText(int row, int col, const QString &text, bool bold = false, bool fit = true);
    // A text that reads back as the same number ("10.500", "-3") becomes a number shown
    // with its decimals; any other text ("No.20", "00123") stays a text.
    void WriteValue(int row, int col, const QString &text, bool fit = true);
    // Fits the column widths to what was written and writes the file (EFileError on failure).
    void Close();

private:
    lxw_format *NumberFormat(int decimals);
    void Widen(int col, const QString &text);
    void Check(int error, const char *what);

    QString m_path;
    QString m_partPath;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
    QHash<int, lxw_format *> m_numberFormats;
    QList<int> m_widths; // in half-width characters
};
