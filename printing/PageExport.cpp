#include "printing/PageExport.h"

#include "app/Errors.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::Literals::StringLiterals;

namespace {

QPageLayout SheetLayout(const TDeviceCaps &caps)
{
    return QPageLayout(caps.Layout.pageSize(), caps.Layout.orientation(), QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

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
    QPdfWriter writer(fileName);
    const int dpi = pages.first()->Caps().LogPixelsY > 0 ? pages.first()->Caps().LogPixelsY : 600;
    writer.setResolution(dpi);
    writer.setTitle(title);
    writer.setCreator(u"ケルモ４"_s);
    writer.setPageLayout(SheetLayout(pages.first()->Caps()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw EFileError(u"PDFファイルを書き込めません。\n"_s + fileName);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const TRecordedPage &page = *pages.at(i);
        if (i > 0) {
            writer.setPageLayout(SheetLayout(page.Caps()));
            writer.newPage();
        }
        const double scale = ScaleOf(page, dpi);
        painter.save();
        painter.translate(page.Caps().PhysicalOffsetX * scale, page.Caps().PhysicalOffsetY * scale);
        page.Replay(painter, scale);
        painter.restore();
    }
    if (!painter.end())
        throw EFileError(u"PDFファイルを書き込めません。\n"_s + fileName);
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
    QStringList written;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString name = PageImageFileName(fileName, int(i + 1));
        if (!RenderPage(*pages.at(i), dpi).save(name, "PNG"))
            throw EFileError(u"画像ファイルを書き込めません。\n"_s + name);
        written.append(name);
    }
    return written;
}
