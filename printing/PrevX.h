#pragma once

#include "printing/PageCanvas.h"
#include "printing/PrevError.h"
#include "printing/RecordedPage.h"

#include <QWidget>
#include <memory>
#include <vector>

// The page canvas control: a report opens a document on it, draws each page on Canvas and
// closes the document; the control keeps the recorded pages, shows one of them scaled to
// the zoom, and sends a range of them to the printer.
class TPrevX final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPrevX)

public:
    explicit TPrevX(QWidget *parent = nullptr);
    ~TPrevX() override;

    // Raises EPrevError "プリンタが登録されていません" when the system has no printer.
    static void CheckPrinter();
    void CalcLayout();

    void BeginDoc();
    void NewPage();
    void EndDoc();

    // The canvas of the page being drawn; null outside BeginDoc … EndDoc.
    TPageCanvas *Canvas() const { return m_canvas.get(); }
    int PageCount() const { return int(m_pages.size()); }
    // Page n, 1-based.
    const TRecordedPage &Page(int n) const { return *m_pages.at(std::size_t(n - 1)); }
    int CurrentPage() const { return m_currentPage; }
    int PrintFrom() const { return m_printFrom; }
    int PrintTo() const { return m_printTo; }

    void ShowPage(int n);
    void SetPrintFrom(int n);
    void SetPrintTo(int n);

    int ZoomScale() const { return m_zoomScale; }
    void SetZoomScale(int v);

    const QString &Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }
    // The name a saved copy proposes, without folder and suffix (DocumentFileTitle);
    // empty: the title.
    QString FileTitle() const { return m_fileTitle.isEmpty() ? m_title : m_fileTitle; }
    void SetFileTitle(const QString &fileTitle) { m_fileTitle = fileTitle; }

    // Sends pages PrintFrom … min(PageCount, PrintTo) as one job (at least PrintFrom).
    // False when the user cancelled the PDF file name.
    bool Print();

    // The pages of a range, for saving them elsewhere.
    QList<const TRecordedPage *> PagesInRange(int first, int last) const;

    // Layout of the last CalcLayout, in screen pixels at the zoom.
    int PrinterDpiX() const { return m_printerDpiX; }
    int PrinterDpiY() const { return m_printerDpiY; }
    int PaperWidth() const { return m_paperWidth; }
    int PaperHeight() const { return m_paperHeight; }
    int AreaLeft() const { return m_areaLeft; }
    int AreaTop() const { return m_areaTop; }
    int AreaWidth() const { return m_areaWidth; }
    int AreaHeight() const { return m_areaHeight; }

    // Sets the control's size from the layout, as painting does: the sheet plus a margin
    // of 10 pixels around it.
    void FitSizeToLayout();
    // The size the control takes at Zoom for the current printer's sheet.
    QSize SizeAtZoom(int zoom) const;

    // The display resolution the zoom refers to (zoom 100 is the sheet's physical size).
    static constexpr int kScreenPixelsPerInch = 96;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Layout(const TDeviceCaps &caps);
    void OpenCanvasOnLastPage();

    std::vector<std::unique_ptr<TRecordedPage>> m_pages;
    std::unique_ptr<TPageCanvas> m_canvas;
    int m_currentPage = 1;
    int m_printFrom = 1;
    int m_printTo = 9999;
    int m_zoomScale = 25;
    QString m_title;
    QString m_fileTitle;
    int m_printerDpiX = 0;
    int m_printerDpiY = 0;
    int m_paperWidth = 0;
    int m_paperHeight = 0;
    int m_areaLeft = 0;
    int m_areaTop = 0;
    int m_areaWidth = 0;
    int m_areaHeight = 0;
};
