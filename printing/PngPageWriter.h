#pragma once

#include "printing/PageSink.h"

#include <QString>
#include <QStringList>

// Page images written as the pages come: each page as a whole sheet at Dpi, numbered on
// over the whole document (PageImageFileName).
class TPngPageWriter final : public TPageSink
{
public:
    TPngPageWriter(const QString &fileName, int dpi);

    // Raises EFileError when the image cannot be written.
    bool AddPage(const TRecordedPage &page) override;
    const QStringList &Written() const { return m_written; }

private:
    QString m_fileName;
    int m_dpi;
    QStringList m_written;
};
