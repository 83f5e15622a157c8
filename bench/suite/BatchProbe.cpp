// One batch print of a project into one PDF, as its own process, for the batch memory
// benchmark: kelmo4-batch-probe FOLDER CODE OUT.pdf [PAGES]
// With PAGES the batch stops after that many pages. Prints "pages seconds peakKiB", the
// peak being this process's own high-water mark (VmHWM).
#include "app/Errors.h"
#include "app/uApplication.h"
#include "app/uDatabase.h"
#include "printing/NkPrinter.h"
#include "printing/PdfPageWriter.h"
#include "sheets/uBatchPrint.h"
#include "common/Monotonic.h"
#include "common/PeakMemory.h"

#include <QStringList>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Passes pages on until the limit, then stops the batch.
class TPageLimit final : public TPageSink
{
public:
    TPageLimit(TPageSink &next, int limit) : m_next(next), m_limit(limit) {}
    bool AddPage(const TRecordedPage &page) override
    {
        if (m_written >= m_limit)
            return false;
        ++m_written;
        return m_next.AddPage(page);
    }

private:
    TPageSink &m_next;
    int m_limit;
    int m_written = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TKelmoApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: kelmo4-batch-probe FOLDER CODE OUT.pdf [PAGES]\n");
        return 2;
    }
    RegisterFontSubstitutions();
    NkPrinter().SetSource(TPrinterSource::PdfOnly);
    OverrideAliasPath(u"tomaruk"_s, args[1]);
    try {
        const double t0 = MonotonicSeconds();
        TPdfPageWriter writer(args[3], QString());
        TPageLimit limit(writer, args.size() > 4 ? args[4].toInt() : 1 << 30);
        WriteBatchRows(limit, BatchRowsOfProject(args[2]), false, args[2], true);
        writer.Finish();
        const double t1 = MonotonicSeconds();
        std::printf("%d %.6f %ld\n", writer.PageCount(), t1 - t0, PeakKiB());
    } catch (const EKelmoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
    TDatabase::Close();
    return 0;
}
