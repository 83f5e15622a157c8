#pragma once

#include "printing/PageSink.h"

#include <QPageLayout>
#include <QPainter>
#include <QString>

class QWidget;

// One print job on the current printer, fed page by page, each page 1:1 in its own paper and
// orientation. The job starts with its first page: the built-in PDF printer then asks for
// the file name, proposing FileTitle (else Title) in the folder last used.
class TPrintJob final : public TPageSink
{
public:
    TPrintJob(const QString &title, QWidget *parent, const QString &fileTitle = QString());
    ~TPrintJob() override;
    TPrintJob(const TPrintJob &) = delete;
    TPrintJob &operator=(const TPrintJob &) = delete;

    // False once the user cancelled the file name. Raises EPrevError when the printer
    // cannot start.
    bool AddPage(const TRecordedPage &page) override;
    // Ends the job and gives the printer back its paper; false when it was cancelled.
    bool Finish();

private:
    void Start(const TRecordedPage &first);
    void Restore();

    QString m_title;
    QWidget *m_parent;
    QString m_fileTitle;
    QPainter m_painter;
    QPageLayout m_settings;
    bool m_started = false;
    bool m_cancelled = false;
    bool m_toPdf = false;
};
