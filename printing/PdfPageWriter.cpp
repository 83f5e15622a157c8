#include "printing/PdfPageWriter.h"

#include "app/Errors.h"
#include "printing/RecordedPage.h"

#include <QPdfWriter>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace {

QPageLayout SheetLayout(const TDeviceCaps &caps)
{
    return QPageLayout(caps.Layout.pageSize(), caps.Layout.orientation(), QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

} // namespace

TPdfPageWriter::TPdfPageWriter(const QString &fileName, const QString &title)
    : m_fileName(fileName)
    , m_title(title)
{
}

// Unfinished, the save file is discarded with it.
TPdfPageWriter::~TPdfPageWriter()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool TPdfPageWriter::AddPage(const TRecordedPage &page)
{
    if (!m_writer) {
        m_file = std::make_unique<QSaveFile>(m_fileName);
        if (!m_file->open(QIODevice::WriteOnly))
            throw EFileError(u"PDFファイルを書き込めません（%1）。書き込めるフォルダーを指定してください。\n"_s.arg(
                                 m_file->errorString()) + m_fileName);
        m_writer = std::make_unique<QPdfWriter>(m_file.get());
        m_dpi = page.Caps().LogPixelsY > 0 ? page.Caps().LogPixelsY : 600;
        m_writer->setResolution(m_dpi);
        m_writer->setTitle(m_title);
        m_writer->setCreator(u"ケルモ４"_s);
        m_writer->setPageLayout(SheetLayout(page.Caps()));
        if (!m_painter.begin(m_writer.get()))
            throw EFileError(u"PDFファイルを書き込めません。\n"_s + m_fileName);
    } else {
        m_writer->setPageLayout(SheetLayout(page.Caps()));
        m_writer->newPage();
    }
    const int recorded = page.Caps().LogPixelsY;
    const double scale = recorded > 0 ? double(m_dpi) / recorded : 1.0;
    m_painter.save();
    m_painter.translate(page.Caps().PhysicalOffsetX * scale, page.Caps().PhysicalOffsetY * scale);
    page.Replay(m_painter, scale);
    m_painter.restore();
    ++m_pages;
    return true;
}

void TPdfPageWriter::Finish()
{
    if (!m_writer)
        throw EFileError(u"保存するページがありません。"_s);
    if (m_painter.isActive() && !m_painter.end())
        throw EFileError(u"PDFファイルを書き込めません。\n"_s + m_fileName);
    if (!m_file->commit())
        throw EFileError(u"PDFファイルを書き込めません（%1）。\n"_s.arg(m_file->errorString()) + m_fileName);
}
