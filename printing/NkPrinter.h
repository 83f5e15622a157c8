#pragma once

#include "printing/RecordedPage.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QWidget;

// Which printers the program sees: normally the system's print queues plus the built-in PDF
// printer. The other two choices make the page geometry independent of the machine (the
// exporter, tests) or simulate a system without any printer.
enum class TPrinterSource { SystemAndPdf, PdfOnly, None };

// The current printer and its settings. The built-in PDF printer is A4, 600 dpi, with no
// unprintable margin; it is the current printer when the system has none of its own.
class TNkPrinter
{
public:
    static TNkPrinter &Instance();
    TNkPrinter(const TNkPrinter &) = delete;
    TNkPrinter &operator=(const TNkPrinter &) = delete;
    ~TNkPrinter();

    void SetSource(TPrinterSource source);
    TPrinterSource Source() const { return m_source; }

    static QString PdfPrinterName();
    QStringList PrinterNames() const;
    int PrinterCount() const { return int(PrinterNames().size()); }
    bool HasPrinter() const { return PrinterCount() > 0; }
    QString CurrentName();
    bool IsPdfPrinter();
    // Makes the named printer current, keeping paper and orientation; false when unknown.
    bool SelectPrinter(const QString &name);

    // The capabilities of the current printer in its pixels; all zero without a printer.
    TDeviceCaps DeviceCaps();
    QPageLayout::Orientation Orientation();
    int PaperSizeNumber();

    // Paper by its Windows code (9 A4, 8 A3, …) and orientation; both take effect with
    // ApplySettings. An unknown code is ignored.
    void SetPaperSizeNumber(int number);
    void SetOrientation(QPageLayout::Orientation orientation);
    void ApplySettings();

    // When set, jobs on the PDF printer write this file instead of asking for a name.
    void SetPdfFileName(const QString &fileName) { m_pdfFileName = fileName; }
    const QString &PdfFileName() const { return m_pdfFileName; }

    // Sends the pages as one print job titled Title, each page 1:1 in its own paper and
    // orientation. False when the user cancelled the file name of the PDF printer, which
    // proposes FileTitle (else Title) in the folder last used.
    bool PrintPages(const QString &title, const QList<const TRecordedPage *> &pages, QWidget *parent,
                    const QString &fileTitle = QString());
    // The file the PDF printer wrote last; empty before.
    const QString &LastPdfWritten() const { return m_lastPdfWritten; }
    void SetLastPdfWritten(const QString &fileName) { m_lastPdfWritten = fileName; }

    // The current printer itself (null without a printer).
    QPrinter *Printer();

    static QPageSize PageSizeOfNumber(int number, bool *known = nullptr);
    static int NumberOfPageSize(const QPageSize &size);

private:
    TNkPrinter();
    void EnsureCurrent();
    void MakePrinter(const QString &name);

    TPrinterSource m_source = TPrinterSource::SystemAndPdf;
    std::unique_ptr<QPrinter> m_printer;
    QString m_name;
    QPageSize m_pendingPaper;
    QPageLayout::Orientation m_pendingOrientation = QPageLayout::Portrait;
    QString m_pdfFileName;
    QString m_lastPdfWritten;
};

inline TNkPrinter &NkPrinter()
{
    return TNkPrinter::Instance();
}

// Reads the capabilities of a printer.
TDeviceCaps DeviceCapsOf(QPrinter &printer);
