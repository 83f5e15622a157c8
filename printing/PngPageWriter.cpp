#include "printing/PngPageWriter.h"

#include "app/Errors.h"
#include "printing/PageExport.h"

#include <QImage>

using namespace Qt::Literals::StringLiterals;

TPngPageWriter::TPngPageWriter(const QString &fileName, int dpi)
    : m_fileName(fileName)
    , m_dpi(dpi)
{
}

bool TPngPageWriter::AddPage(const TRecordedPage &page)
{
    const QString name = PageImageFileName(m_fileName, int(m_written.size() + 1));
    if (!RenderPage(page, m_dpi).save(name, "PNG"))
        throw EFileError(u"画像ファイルを書き込めません。\n"_s + name);
    m_written.append(name);
    return true;
}
