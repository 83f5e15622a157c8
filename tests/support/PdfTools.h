#pragma once

#include <QList>
#include <QSizeF>
#include <QString>

// What poppler's pdfinfo and pdftotext tell about a PDF written by a test.
struct TPdfInfo
{
    bool Read = false;          // the tool ran and the file was a PDF
    int Pages = 0;
    QList<QSizeF> PageSizes;    // points, in page order
};

// False when poppler-utils is not installed; tests then skip their PDF checks.
bool HavePdfTools();
TPdfInfo ReadPdfInfo(const QString &fileName);
// Text of one page (1-based), as pdftotext extracts it, without blanks and line breaks.
QString PdfPageText(const QString &fileName, int page);
