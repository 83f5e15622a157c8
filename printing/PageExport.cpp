#include "printing/PageExport.h"

#include "app/Errors.h"
#include "printing/PdfPageWriter.h"
#include "printing/PngPageWriter.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

double ScaleOf(const TRecordedPage &page, int dpi)
{
    const int recorded = page.Caps().LogPixelsY;
    return recorded > 0 ? double(dpi) / recorded : 1.0;
}

} // namespace

void SavePagesAsPdf(const QList<const TRecordedPage *> &pages, const QString &fileName, const QString &title)
{
    if (pages.isEmpty())
        throw EFileError(u"保存するページがありません。"_s);
    TPdfPageWriter writer(fileName, title);
    for (const TRecordedPage *page : pages)
        writer.AddPage(*page);
    writer.Finish();
}

QString PageImageFileName(const QString &fileName, int pageNumber)
{
    QString base = fileName;
    if (base.endsWith(u".png"_s, Qt::CaseInsensitive))
        base.chop(4);
    return base + u'-' + QString::number(pageNumber).rightJustified(3, u'0') + u".png"_s;
}

QImage RenderPage(const TRecordedPage &page, int dpi)
{
    const double scale = ScaleOf(page, dpi);
    const QSize size(qMax(1, qRound(page.Caps().PhysicalWidth * scale)),
                     qMax(1, qRound(page.Caps().PhysicalHeight * scale)));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(page.Caps().PhysicalOffsetX * scale, page.Caps().PhysicalOffsetY * scale);
    page.Replay(painter, scale);
    painter.end();
    return image;
}

QStringList SavePagesAsPng(const QList<const TRecordedPage *> &pages, const QString &fileName, int dpi)
{
    TPngPageWriter writer(fileName, dpi);
    for (const TRecordedPage *page : pages)
        writer.AddPage(*page);
    return writer.Written();
}
