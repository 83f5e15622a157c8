#include "printing/PrevX.h"

#include "printing/NkPrinter.h"

#include <QPainter>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// Nearest integer, halves to even.
int RoundEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

TPrevX::TPrevX(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TPrevX::~TPrevX() = default;

void TPrevX::CheckPrinter()
{
    if (!NkPrinter().HasPrinter())
        throw EPrevError(u"プリンタが登録されていません"_s);
}

void TPrevX::Layout(const TDeviceCaps &caps)
{
    m_printerDpiX = caps.LogPixelsX;
    m_printerDpiY = caps.LogPixelsY;
    const double k = m_printerDpiY > 0
        ? double(kScreenPixelsPerInch) / m_printerDpiY * m_zoomScale / 100.0 : 0.0;
    m_paperWidth = RoundEven(caps.PhysicalWidth * k);
    m_paperHeight = RoundEven(caps.PhysicalHeight * k);
    m_areaLeft = RoundEven(caps.PhysicalOffsetX * k);
    m_areaTop = RoundEven(caps.PhysicalOffsetY * k);
    m_areaWidth = RoundEven(caps.HorzRes * k);
    m_areaHeight = RoundEven(caps.VertRes * k);
}

void TPrevX::CalcLayout()
{
    CheckPrinter();
    Layout(NkPrinter().DeviceCaps());
}

void TPrevX::OpenCanvasOnLastPage()
{
    m_canvas = std::make_unique<TPageCanvas>(m_pages.back().get());
}

void TPrevX::BeginDoc()
{
    CalcLayout();
    m_currentPage = 1;
    m_printFrom = 1;
    m_printTo = 9999;
    m_canvas.reset();
    m_pages.clear();
    m_pages.push_back(std::make_unique<TRecordedPage>(NkPrinter().DeviceCaps()));
    OpenCanvasOnLastPage();
}

void TPrevX::NewPage()
{
    CheckPrinter();
    m_pages.push_back(std::make_unique<TRecordedPage>(NkPrinter().DeviceCaps()));
    OpenCanvasOnLastPage();
}

void TPrevX::EndDoc()
{
    m_canvas.reset();
    update();
}

void TPrevX::ShowPage(int n)
{
    if (n == m_currentPage || n < 1 || n > PageCount())
        return;
    m_currentPage = n;
    update();
}

void TPrevX::SetPrintFrom(int n)
{
    if (n == m_printFrom || n < 1 || n > PageCount())
        return;
    m_printFrom = n;
}

void TPrevX::SetPrintTo(int n)
{
    if (n == m_printTo || n < 1)
        return;
    m_printTo = n;
}

void TPrevX::SetZoomScale(int v)
{
    if (v == m_zoomScale || v < 25 || v > 200)
        return;
    m_zoomScale = v;
    update();
}

QList<const TRecordedPage *> TPrevX::PagesInRange(int first, int last) const
{
    QList<const TRecordedPage *> pages;
    for (int i = qMax(first, 1); i <= qMin(last, PageCount()); ++i)
        pages.append(m_pages.at(std::size_t(i - 1)).get());
    return pages;
}

bool TPrevX::Print()
{
    CheckPrinter();
    if (m_pages.empty())
        return true;
    const int last = qMin(PageCount(), m_printTo);
    QList<const TRecordedPage *> pages = PagesInRange(m_printFrom, last);
    if (pages.isEmpty()) // the first page of the range is always sent
        pages.append(m_pages.at(std::size_t(m_printFrom - 1)).get());
    return NkPrinter().PrintPages(m_title, pages, this, FileTitle());
}

void TPrevX::FitSizeToLayout()
{
    if (!NkPrinter().HasPrinter())
        return;
    if (m_currentPage <= PageCount())
        Layout(Page(m_currentPage).Caps());
    else
        CalcLayout();
    resize(m_paperWidth + 20, m_paperHeight + 20);
}

QSize TPrevX::SizeAtZoom(int zoom) const
{
    const TDeviceCaps caps = NkPrinter().DeviceCaps();
    if (caps.LogPixelsY <= 0)
        return size();
    const double k = double(kScreenPixelsPerInch) / caps.LogPixelsY * zoom / 100.0;
    return QSize(RoundEven(caps.PhysicalWidth * k) + 20, RoundEven(caps.PhysicalHeight * k) + 20);
}

void TPrevX::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Without a printer the document could not have been begun; an error box from every
    // repaint would only bring up the next one.
    if (!NkPrinter().HasPrinter())
        return;
    // The shown page keeps the sheet it was drawn for, which is the current printer's in
    // all but a document of mixed orientations.
    CalcLayout();
    if (m_currentPage <= PageCount())
        Layout(Page(m_currentPage).Caps());
    const QSize wanted(m_paperWidth + 20, m_paperHeight + 20);
    if (size() != wanted)
        resize(wanted);
    painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(10, 10, m_paperWidth, m_paperHeight));
    const QRect area(m_areaLeft + 10, m_areaTop + 10, m_areaWidth, m_areaHeight);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.drawRect(area);
    if (m_pages.empty() || m_currentPage > PageCount())
        return;
    const TRecordedPage &page = Page(m_currentPage);
    if (page.Caps().HorzRes <= 0 || page.Caps().VertRes <= 0)
        return;
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    page.Replay(painter, double(area.width()) / page.Caps().HorzRes, double(area.height()) / page.Caps().VertRes);
}
