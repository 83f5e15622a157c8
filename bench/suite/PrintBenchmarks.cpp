// Printed forms: the data sheet of the full record into a PDF, and the batch of 50 records
// (data sheet, histogram and control chart of each) into one PDF.
#include "suite/Suite.h"

#include "measure/uKelmo4Head.h"
#include "printing/PageExport.h"
#include "printing/PdfPageWriter.h"
#include "printing/PrevX.h"
#include "printing/RecordedPage.h"
#include "printing/uPrintView.h"
#include "sheets/uBatchPrint.h"
#include "sheets/uDataSheet.h"
#include "common/BenchClock.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

QString OutputFile(const QString &name)
{
    return QDir(SuiteData().Root).filePath(name);
}

void WriteDocument(const TPrevX &prev, const QString &file)
{
    SavePagesAsPdf(prev.PagesInRange(1, prev.PageCount()), file, prev.Title());
}

// The baseline draws what our pages hold, but straight: one QPainter on one QPdfWriter,
// each text in one call, pens and fonts set only when they change.
void WritePagesDirectly(const QList<QList<TPageCommand>> &pages, const TDeviceCaps &caps, const QString &file)
{
    QPdfWriter writer(file);
    writer.setResolution(caps.LogPixelsY);
    writer.setPageLayout(QPageLayout(caps.Layout.pageSize(), caps.Layout.orientation(), QMarginsF()));
    QPainter painter(&writer);
    QFont font;
    QString fontName;
    int fontPixels = -1;
    int penWidth = -1;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0)
            writer.newPage();
        for (const TPageCommand &cmd : pages[p]) {
            if (cmd.Kind != TCommandKind::Text && cmd.Pen.Width != penWidth) {
                penWidth = cmd.Pen.Width;
                painter.setPen(QPen(Qt::black, qMax(1, penWidth)));
            }
            switch (cmd.Kind) {
            case TCommandKind::Line:
                painter.drawLine(cmd.From, cmd.To);
                break;
            case TCommandKind::Rectangle:
                painter.drawRect(cmd.Box);
                break;
            case TCommandKind::FillRect:
                painter.fillRect(cmd.Box, Qt::lightGray);
                break;
            case TCommandKind::Ellipse:
                painter.drawEllipse(cmd.Box);
                break;
            case TCommandKind::Text:
                if (cmd.Font.Name != fontName || cmd.Font.PixelSize != fontPixels) {
                    fontName = cmd.Font.Name;
                    fontPixels = cmd.Font.PixelSize;
                    font = QFont(fontName);
                    font.setPixelSize(qMax(1, fontPixels));
                    painter.setFont(font);
                }
                if (cmd.Angle != 0) {
                    painter.save();
                    painter.translate(cmd.Box.topLeft());
                    painter.rotate(-cmd.Angle);
                    painter.drawText(QPoint(0, cmd.Ascent), cmd.Text);
                    painter.restore();
                } else {
                    painter.drawText(cmd.Box.left(), cmd.Box.top() + cmd.Ascent, cmd.Text);
                }
                break;
            }
        }
        penWidth = -1;
    }
}

void BM_DataSheet(benchmark::State &state)
{
    UseFolder(SuiteData().Full);
    TKelmo4Head head;
    head.LoadByID(SuiteData().FullRecordId);
    // What the baseline writes: the texts and lines of our own pages.
    QList<QList<TPageCommand>> commands;
    TDeviceCaps caps;
    {
        TPrevX prev;
        DrawDataSheetDocument(&prev, head, false);
        for (int n = 1; n <= prev.PageCount(); ++n)
            commands.append(prev.Page(n).Commands());
        caps = prev.Page(1).Caps();
    }
    int pages = 0;
    RunAgainstBaseline(
        state,
        [&] {
            TPrevX prev;
            DrawDataSheetDocument(&prev, head, false);
            pages = prev.PageCount();
            WriteDocument(prev, OutputFile(u"datasheet.pdf"_s));
        },
        [&] { WritePagesDirectly(commands, caps, OutputFile(u"datasheet-baseline.pdf"_s)); });
    state.counters["pages"] = pages;
    if (pages != 48)
        state.SkipWithError("the full record's data sheet should have 48 pages");
}

void BM_Batch(benchmark::State &state)
{
    UseFolder(SuiteData().Batch);
    int pages = 0;
    double seconds = 0;
    for (auto _ : state) {
        const double t0 = MonotonicSeconds();
        TPdfPageWriter writer(OutputFile(u"batch.pdf"_s), QString());
        WriteBatchDocument(writer, u"0003"_s, false);
        writer.Finish();
        pages = writer.PageCount();
        const double t1 = MonotonicSeconds();
        state.SetIterationTime(t1 - t0);
        seconds += t1 - t0;
    }
    state.counters["pages"] = pages;
    state.counters["ours_ms"] = seconds / double(state.iterations()) * 1e3;
    state.counters["ms_per_page"] = pages > 0 ? seconds / double(state.iterations()) * 1e3 / pages : 0;
}

// Counts the paints of a widget, to wait for the page to be on screen.
class TPaintCount final : public QObject
{
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        Paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Until the widget has been painted once more than Before; false when it never was.
bool WaitForPaint(const TPaintCount &count, int before)
{
    for (int spins = 0; count.Paints <= before && spins < 1000; ++spins)
        QCoreApplication::processEvents();
    return count.Paints > before;
}

// Opening the preview of the 48-page data sheet as the main window's button does (drawing
// it, showing the window, painting the first page), against writing the same sheet to a
// PDF; then each "次ページ" until its page is painted, the slowest of them counted.
void BM_Preview(benchmark::State &state)
{
    UseFolder(SuiteData().Full);
    TKelmo4Head head;
    head.LoadByID(SuiteData().FullRecordId);
    double oursSum = 0, baseSum = 0, slowestPage = 0, pageSum = 0;
    int pageTurns = 0;
    int pages = 0;
    for (auto _ : state) {
        const double t0 = MonotonicSeconds();
        auto preview = std::make_unique<TfrmPreView>();
        TPaintCount count;
        preview->PrevX1->installEventFilter(&count);
        DrawDataSheetDocument(preview->PrevX1, head, false);
        preview->show();
        bool painted = WaitForPaint(count, 0);
        const double t1 = MonotonicSeconds();
        pages = preview->PrevX1->PageCount();
        for (int n = 2; n <= pages; ++n) {
            const double start = MonotonicSeconds();
            const int before = count.Paints;
            preview->Button4->click();
            painted = WaitForPaint(count, before) && painted;
            const double took = MonotonicSeconds() - start;
            slowestPage = qMax(slowestPage, took);
            pageSum += took;
            ++pageTurns;
        }
        if (!painted || preview->PrevX1->CurrentPage() != pages) {
            state.SkipWithError("a page of the preview was not painted");
            return;
        }
        preview.reset();
        const double t2 = MonotonicSeconds();
        TPrevX prev;
        DrawDataSheetDocument(&prev, head, false);
        WriteDocument(prev, OutputFile(u"preview-baseline.pdf"_s));
        const double t3 = MonotonicSeconds();
        state.SetIterationTime(t1 - t0);
        oursSum += t1 - t0;
        baseSum += t3 - t2;
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = oursSum / n * 1e3;
    state.counters["baseline_ms"] = baseSum / n * 1e3;
    state.counters["ratio"] = baseSum > 0 ? oursSum / baseSum : 0;
    state.counters["pages"] = pages;
    state.counters["page_max_ms"] = slowestPage * 1e3;
    state.counters["page_mean_ms"] = pageTurns > 0 ? pageSum / pageTurns * 1e3 : 0;
}

} // namespace

BENCHMARK(BM_DataSheet)->Name("DataSheet1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Batch)->Name("Batch50")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Preview)->Name("Preview1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
