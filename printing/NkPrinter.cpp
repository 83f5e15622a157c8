#include "printing/NkPrinter.h"

#include "printing/PrevError.h"
#include "printing/PrintJob.h"

#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TPaperCode
{
    int Number;
    QPageSize::PageSizeId Id;
};

// Windows paper codes of the sizes a form or the set-up dialog may choose.
constexpr TPaperCode kPaperCodes[] = {
    {1, QPageSize::Letter}, {5, QPageSize::Legal}, {8, QPageSize::A3},  {9, QPageSize::A4},
    {11, QPageSize::A5},    {12, QPageSize::JisB4}, {13, QPageSize::JisB5},
};

} // namespace

TNkPrinter &TNkPrinter::Instance()
{
    static TNkPrinter printer;
    return printer;
}

TNkPrinter::TNkPrinter()
    : m_pendingPaper(QPageSize::A4)
{
}

TNkPrinter::~TNkPrinter() = default;

QString TNkPrinter::PdfPrinterName()
{
    return u"PDFファイル（内蔵）"_s;
}

void TNkPrinter::SetSource(TPrinterSource source)
{
    m_source = source;
    m_printer.reset();
    m_name.clear();
}

QStringList TNkPrinter::PrinterNames() const
{
    QStringList names;
    if (m_source == TPrinterSource::None)
        return names;
    if (m_source == TPrinterSource::SystemAndPdf)
        names = QPrinterInfo::availablePrinterNames();
    names.append(PdfPrinterName());
    return names;
}

QPageSize TNkPrinter::PageSizeOfNumber(int number, bool *known)
{
    for (const TPaperCode &code : kPaperCodes) {
        if (code.Number == number) {
            if (known)
                *known = true;
            return QPageSize(code.Id);
        }
    }
    if (known)
        *known = false;
    return QPageSize();
}

int TNkPrinter::NumberOfPageSize(const QPageSize &size)
{
    for (const TPaperCode &code : kPaperCodes) {
        if (code.Id == size.id())
            return code.Number;
    }
    return 0;
}

void TNkPrinter::MakePrinter(const QString &name)
{
    std::unique_ptr<QPrinter> printer;
    if (name == PdfPrinterName()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(600);
        printer->setFullPage(false);
        printer->setPageLayout(QPageLayout(m_pendingPaper, m_pendingOrientation, QMarginsF(0, 0, 0, 0),
                                           QPageLayout::Point));
    } else {
        printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
        printer->setFullPage(false);
        printer->setPageSize(m_pendingPaper);
        printer->setPageOrientation(m_pendingOrientation);
    }
    printer->setCreator(u"ケルモ４"_s);
    m_printer = std::move(printer);
    m_name = name;
}

void TNkPrinter::EnsureCurrent()
{
    if (m_printer)
        return;
    const QStringList names = PrinterNames();
    if (names.isEmpty())
        return;
    QString name;
    if (m_source == TPrinterSource::SystemAndPdf) {
        name = QPrinterInfo::defaultPrinterName();
        if (!names.contains(name))
            name.clear();
    }
    if (name.isEmpty())
        name = names.first();
    MakePrinter(name);
}

QString TNkPrinter::CurrentName()
{
    EnsureCurrent();
    return m_name;
}

bool TNkPrinter::IsPdfPrinter()
{
    return CurrentName() == PdfPrinterName();
}

bool TNkPrinter::SelectPrinter(const QString &name)
{
    if (!PrinterNames().contains(name))
        return false;
    EnsureCurrent();
    if (m_printer) {
        m_pendingPaper = m_printer->pageLayout().pageSize();
        m_pendingOrientation = m_printer->pageLayout().orientation();
    }
    MakePrinter(name);
    return true;
}

QPrinter *TNkPrinter::Printer()
{
    EnsureCurrent();
    return m_printer.get();
}

TDeviceCaps DeviceCapsOf(QPrinter &printer)
{
    TDeviceCaps caps;
    caps.LogPixelsX = printer.resolution();
    caps.LogPixelsY = printer.resolution();
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    caps.PhysicalWidth = paper.width();
    caps.PhysicalHeight = paper.height();
    caps.PhysicalOffsetX = page.left() - paper.left();
    caps.PhysicalOffsetY = page.top() - paper.top();
    caps.HorzRes = page.width();
    caps.VertRes = page.height();
    caps.Layout = printer.pageLayout();
    return caps;
}

TDeviceCaps TNkPrinter::DeviceCaps()
{
    QPrinter *printer = Printer();
    return printer ? DeviceCapsOf(*printer) : TDeviceCaps();
}

QPageLayout::Orientation TNkPrinter::Orientation()
{
    QPrinter *printer = Printer();
    return printer ? printer->pageLayout().orientation() : m_pendingOrientation;
}

int TNkPrinter::PaperSizeNumber()
{
    QPrinter *printer = Printer();
    return NumberOfPageSize(printer ? printer->pageLayout().pageSize() : m_pendingPaper);
}

void TNkPrinter::SetPaperSizeNumber(int number)
{
    bool known = false;
    const QPageSize size = PageSizeOfNumber(number, &known);
    if (!known)
        return;
    m_pendingPaper = size;
}

void TNkPrinter::SetOrientation(QPageLayout::Orientation orientation)
{
    m_pendingOrientation = orientation;
}

void TNkPrinter::ApplySettings()
{
    QPrinter *printer = Printer();
    if (!printer)
        return;
    printer->setPageSize(m_pendingPaper);
    printer->setPageOrientation(m_pendingOrientation);
}

bool TNkPrinter::PrintPages(const QString &title, const QList<const TRecordedPage *> &pages, QWidget *parent,
                            const QString &fileTitle)
{
    if (!Printer())
        throw EPrevError(u"プリンタが登録されていません"_s);
    TPrintJob job(title, parent, fileTitle);
    for (const TRecordedPage *page : pages)
        if (!job.AddPage(*page))
            return false;
    return job.Finish();
}
