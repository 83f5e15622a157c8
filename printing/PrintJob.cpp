#include "printing/PrintJob.h"

#include "printing/NkPrinter.h"
#include "printing/PrevError.h"
#include "printing/RecordedPage.h"
#include "printing/uPdfFileName.h"

#include <QFile>
#include <QFileDialog>
#include <QPrinter>

using namespace Qt::Literals::StringLiterals;

TPrintJob::TPrintJob(const QString &title, QWidget *parent, const QString &fileTitle)
    : m_title(title)
    , m_parent(parent)
    , m_fileTitle(fileTitle)
{
}

TPrintJob::~TPrintJob()
{
    // A job broken off by an error is withdrawn: no half document on paper or on disk, and
    // the printer as it was found.
    if (m_painter.isActive()) {
        QPrinter *printer = NkPrinter().Printer();
        if (m_toPdf) {
            m_painter.end();
            QFile::remove(printer->outputFileName());
        } else {
            printer->abort();
            if (m_painter.isActive())
                m_painter.end();
        }
    }
    if (m_started)
        Restore();
}

void TPrintJob::Restore()
{
    if (QPrinter *printer = NkPrinter().Printer())
        printer->setPageLayout(m_settings);
    m_started = false;
}

void TPrintJob::Start(const TRecordedPage &first)
{
    QPrinter *printer = NkPrinter().Printer();
    if (!printer)
        throw EPrevError(u"プリンタが登録されていません"_s);
    m_toPdf = NkPrinter().IsPdfPrinter();
    if (m_toPdf) {
        QString fileName = NkPrinter().PdfFileName();
        if (fileName.isEmpty()) {
            const QString suggestion = ProposedPdfPath(m_fileTitle.isEmpty() ? m_title : m_fileTitle);
            fileName = QFileDialog::getSaveFileName(m_parent, u"PDFファイルに印刷"_s, suggestion,
                                                    u"PDFファイル (*.pdf)"_s);
            if (fileName.isEmpty()) {
                m_cancelled = true;
                return;
            }
            if (!fileName.endsWith(u".pdf"_s, Qt::CaseInsensitive))
                fileName += u".pdf"_s;
        }
        printer->setOutputFileName(fileName);
    }
    printer->setDocName(m_title);
    m_settings = printer->pageLayout();
    m_started = true;
    printer->setPageLayout(first.Caps().Layout);
    if (!m_painter.begin(printer)) {
        Restore();
        if (m_toPdf)
            throw EPrevError(u"PDFファイルに書き込めません。\n"_s + printer->outputFileName());
        throw EPrevError(u"印刷を開始できません。プリンタ「"_s + NkPrinter().CurrentName() + u"」を確かめてください。"_s);
    }
}

bool TPrintJob::AddPage(const TRecordedPage &page)
{
    if (m_cancelled)
        return false;
    QPrinter *printer = NkPrinter().Printer();
    if (!m_started) {
        Start(page);
        if (m_cancelled)
            return false;
    } else {
        printer->setPageLayout(page.Caps().Layout);
        printer->newPage();
    }
    const int dpi = page.Caps().LogPixelsY;
    page.Replay(m_painter, dpi > 0 ? double(printer->resolution()) / dpi : 1.0);
    return true;
}

bool TPrintJob::Finish()
{
    if (m_cancelled)
        return false;
    if (!m_started)
        return true;
    m_painter.end();
    QPrinter *printer = NkPrinter().Printer();
    Restore();
    if (m_toPdf) {
        NkPrinter().SetLastPdfWritten(printer->outputFileName());
        // Only after the pages are out: a folder that cannot be remembered spoils no print.
        if (NkPrinter().PdfFileName().isEmpty())
            RememberPdfFolder(printer->outputFileName());
    }
    return true;
}
