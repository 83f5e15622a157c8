#pragma once

#include "printing/RecordedPage.h"

#include <QList>
#include <QString>
#include <QStringList>

class QImage;

// Writes the pages into one PDF, each page on its own paper and orientation, at the
// position it has on the printer. Raises EFileError when the file cannot be written.
void SavePagesAsPdf(const QList<const TRecordedPage *> &pages, const QString &fileName, const QString &title);

// The file names of the page images: "name.png" gives name-001.png, name-002.png, …
QString PageImageFileName(const QString &fileName, int pageNumber);

// Renders each page as a whole sheet at Dpi into PageImageFileName files; returns their
// names. Raises EFileError when a file cannot be written.
QStringList SavePagesAsPng(const QList<const TRecordedPage *> &pages, const QString &fileName, int dpi);

// One page as an image of the whole sheet at Dpi.
QImage RenderPage(const TRecordedPage &page, int dpi);
