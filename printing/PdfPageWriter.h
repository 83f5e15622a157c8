#pragma once

#include "printing/PageSink.h"

#include <QPainter>
#include <QString>
#include <memory>

class QPdfWriter;
class QSaveFile;

// One PDF file written page by page: each page on its own paper and orientation, at the
// position it has on the printer, in the resolution of the first page. All or nothing: the
// file appears (or replaces the old one) only with Finish, so a document broken off by an
// error leaves no half file, and one without pages writes nothing.
class TPdfPageWriter final : public TPageSink
{
public:
    TPdfPageWriter(const QString &fileName, const QString &title);
    ~TPdfPageWriter() override;
    TPdfPageWriter(const TPdfPageWriter &) = delete;
    TPdfPageWriter &operator=(const TPdfPageWriter &) = delete;

    bool AddPage(const TRecordedPage &page) override;
    // Closes the file. Raises EFileError when it cannot be written or holds no page.
    void Finish();
    int PageCount() const { return m_pages; }

private:
    QString m_fileName;
    QString m_title;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    int m_dpi = 600;
    int m_pages = 0;
};
