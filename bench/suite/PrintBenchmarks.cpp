// Printed forms: the data sheet of the full record into a PDF, and the batch of 50 records
// (data sheet, histogram and control chart of each) into one PDF.
#include "suite/Suite.h"

#include "app/uDatabase.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKoji.h"
#include "printing/PageExport.h"
#include "printing/PdfPageWriter.h"
#include "printing/PrevX.h"
#include "printing/RecordedPage.h"
#include "printing/uPrintView.h"
#include "sheets/uBatchPrint.h"
#include "sheets/uDataSheet.h"
#include "sheets/uDekigataTorimatome.h"
#include "sheets/uTorimatomePrint.h"
#include "common/BenchClock.h"
#include "common/BenchData.h"
#include "common/ChildProcess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>
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

struct TProbeRun
{
    bool Ok = false;
    int Pages = 0;
    double Seconds = 0;
    double PeakMiB = 0;
};

// The batch of project Code in Folder into one PDF, in a process of its own so that its
// peak memory is the batch's alone; Pages > 0 stops it after that many pages.
TProbeRun RunBatchProbe(const QString &folder, const QString &code, int pages = 0)
{
    QStringList arguments{folder, code, OutputFile(u"batch-probe.pdf"_s)};
    if (pages > 0)
        arguments.append(QString::number(pages));
    TProbeRun run;
    const std::string text = RunChild(QDir(ProgramFolder()).filePath(u"kelmo4-batch-probe"_s), arguments, &run.Ok);
    long peakKiB = 0;
    run.Ok = run.Ok && std::sscanf(text.c_str(), "%d %lf %ld", &run.Pages, &run.Seconds, &peakKiB) == 3;
    run.PeakMiB = double(peakKiB) / 1024.0;
    return run;
}

// The batch of the large project (200 records) into one PDF, and its peak memory against
// that of the first 50 pages of the same batch: the pages must not pile up.
void BM_BatchLarge(benchmark::State &state)
{
    TDatabase::Close();
    double seconds = 0, peak = 0, peak50 = 0;
    int pages = 0;
    for (auto _ : state) {
        const TProbeRun all = RunBatchProbe(SuiteData().Large, u"0002"_s);
        const TProbeRun first = RunBatchProbe(SuiteData().Large, u"0002"_s, 50);
        if (!all.Ok || !first.Ok || first.Pages != 50) {
            state.SkipWithError("the batch probe failed");
            return;
        }
        state.SetIterationTime(all.Seconds);
        seconds += all.Seconds;
        pages = all.Pages;
        peak = qMax(peak, all.PeakMiB);
        peak50 = qMax(peak50, first.PeakMiB);
    }
    const double ms = seconds / double(state.iterations()) * 1e3;
    state.counters["pages"] = pages;
    state.counters["ours_ms"] = ms;
    state.counters["ms_per_page"] = pages > 0 ? ms / pages : 0;
    state.counters["peak_mib"] = peak;
    state.counters["peak50_mib"] = peak50;
    state.counters["peak_ratio"] = peak50 > 0 ? peak / peak50 : 0;
}

// The batch of the 2000-record project against that of the 200-record one, per record,
// both in the same iteration.
void BM_Batch2000(benchmark::State &state)
{
    const QString huge = HugeFolder();
    TDatabase::Close();
    const int records10 = BenchData::HugeProject().Records;
    const int records1 = BenchData::LargeProject().Records;
    double seconds10 = 0, seconds1 = 0, peak = 0;
    int pages = 0;
    for (auto _ : state) {
        const TProbeRun x10 = RunBatchProbe(huge, BenchData::HugeProject().Code);
        const TProbeRun x1 = RunBatchProbe(SuiteData().Large, BenchData::LargeProject().Code);
        if (!x10.Ok || !x1.Ok) {
            state.SkipWithError("the batch probe failed");
            return;
        }
        state.SetIterationTime(x10.Seconds);
        seconds10 += x10.Seconds;
        seconds1 += x1.Seconds;
        pages = x10.Pages;
        peak = qMax(peak, x10.PeakMiB);
    }
    const double n = double(state.iterations());
    const double perRecord10 = seconds10 / n * 1e3 / records10;
    const double perRecord1 = seconds1 / n * 1e3 / records1;
    state.counters["pages"] = pages;
    state.counters["ours_ms"] = seconds10 / n * 1e3;
    state.counters["ms_per_page"] = pages > 0 ? seconds10 / n * 1e3 / pages : 0;
    state.counters["per_record_ms"] = perRecord10;
    state.counters["per_record_x1_ms"] = perRecord1;
    state.counters["growth"] = perRecord1 > 0 ? perRecord10 / perRecord1 : 0;
    state.counters["peak_mib"] = peak;
}

// The summary table's export of a project whose table is built, and what the baseline
// writes of the same pages.
struct TSummaryExport
{
    explicit TSummaryExport(const QString &folder, const QString &code)
        : Folder(folder)
        , Code(code)
    {
        UseFolder(folder);
        TDekigataTorimatome summary;
        summary.CreateTableIfMissing();
        summary.Koji->LoadByCode(code);
        summary.BuildFromMeasurements();
        TPrevX prev;
        ExportTorimatome(&prev, code);
        for (int n = 1; n <= prev.PageCount(); ++n)
            Commands.append(prev.Page(n).Commands());
        Caps = prev.Page(1).Caps();
    }
    double Ours()
    {
        // A fresh connection compiles its statements first: warmed outside the time.
        if (SwitchFolder(Folder))
            Write();
        const double t0 = MonotonicSeconds();
        Write();
        return MonotonicSeconds() - t0;
    }
    void Write()
    {
        TPrevX prev;
        ExportTorimatome(&prev, Code);
        WriteDocument(prev, OutputFile(u"summary.pdf"_s));
    }
    double Baseline()
    {
        const double t0 = MonotonicSeconds();
        WritePagesDirectly(Commands, Caps, OutputFile(u"summary-baseline.pdf"_s));
        return MonotonicSeconds() - t0;
    }
    QString Folder;
    QString Code;
    QList<QList<TPageCommand>> Commands;
    TDeviceCaps Caps;
};

// The summary export of the 2000-record project against its baseline, and per record
// against that of the 200-record project, in the same iteration.
void BM_Summary2000(benchmark::State &state)
{
    TSummaryExport x10(HugeFolder(), BenchData::HugeProject().Code);
    TSummaryExport x1(SuiteData().Large, BenchData::LargeProject().Code);
    double ours = 0, base = 0, ours1 = 0, base1 = 0;
    for (auto _ : state) {
        const double a = x10.Ours();
        ours += a;
        base += x10.Baseline();
        ours1 += x1.Ours();
        base1 += x1.Baseline();
        state.SetIterationTime(a);
    }
    const double n = double(state.iterations());
    const double perRecord10 = ours / n * 1e3 / BenchData::HugeProject().Records;
    const double perRecord1 = ours1 / n * 1e3 / BenchData::LargeProject().Records;
    state.counters["pages"] = int(x10.Commands.size());
    state.counters["ours_ms"] = ours / n * 1e3;
    state.counters["baseline_ms"] = base / n * 1e3;
    state.counters["ratio"] = base > 0 ? ours / base : 0;
    state.counters["x1_ratio"] = base1 > 0 ? ours1 / base1 : 0;
    state.counters["per_record_ms"] = perRecord10;
    state.counters["per_record_x1_ms"] = perRecord1;
    state.counters["growth"] = perRecord1 > 0 ? perRecord10 / perRecord1 : 0;
}

} // namespace

BENCHMARK(BM_DataSheet)->Name("DataSheet1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Batch)->Name("Batch50")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Preview)->Name("Preview1000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BatchLarge)->Name("BatchLarge")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Batch2000)->Name("Batch2000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Summary2000)->Name("Summary2000")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
