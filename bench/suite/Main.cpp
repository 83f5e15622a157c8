// kelmo4-bench: every benchmark of the program against its baseline, in one run.
// "make bench" runs it with repetitions and prints the table (bench/report.py).
#include "suite/Suite.h"

#include "app/Errors.h"
#include "app/uApplication.h"
#include "app/uDatabase.h"
#include "app/uTableCopy.h"
#include "app/uDekigataDef.h"
#include "measure/uKelmo4Head.h"
#include "printing/NkPrinter.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"
#include "common/BenchData.h"
#include "support/PgCluster.h"
#include "support/TestEnv.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QHash>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
TSuiteData g_data;

QString MakeSuiteFolder(const QString &root, const QString &kind)
{
    const QString folder = QDir(root).filePath(kind);
    QDir().mkpath(folder);
    BenchData::MakeFolder(folder, kind);
    return folder;
}
} // namespace

const TSuiteData &SuiteData()
{
    return g_data;
}

const QString &HugeFolder()
{
    static const QString folder = [] {
        std::fprintf(stderr, "making the 2000-record project\n");
        const QString made = MakeSuiteFolder(g_data.Root, u"huge"_s);
        TDatabase::Close();
        return made;
    }();
    return folder;
}

namespace {
QString g_current;
} // namespace

void UseFolder(const QString &folder)
{
    OverrideAliasPath(u"tomaruk"_s, folder);
    g_current = folder;
}

bool SwitchFolder(const QString &folder)
{
    if (folder == g_current)
        return false;
    UseFolder(folder);
    return true;
}

TDataSource ServerCopy(const QString &folder, QString *error)
{
    static QHash<QString, TDataSource> copies;
    if (const auto found = copies.constFind(folder); found != copies.constEnd())
        return found.value();
    TPgCluster &cluster = TPgCluster::Shared();
    if (!cluster.IsRunning()) {
        *error = u"the server did not start: "_s + cluster.Error();
        return {};
    }
    TDataSource server;
    server.Kind = TDataSource::TKind::Server;
    server.Host = cluster.Host();
    server.Port = cluster.Port();
    server.User = cluster.SuperUser();
    server.Database = cluster.CreateDatabase();
    if (server.Database.isEmpty()) {
        *error = u"no database on the server: "_s + cluster.Error();
        return {};
    }
    TDataSource from;
    from.Folder = QDir(folder).absolutePath() + u'/';
    // The folder's own connection must not hold a write open while it is read.
    TDatabase::Close();
    g_current.clear();
    try {
        const TTableCopyResult copied = CopyTables(from, server);
        std::fprintf(stderr, "copied %lld rows of %s to the server database %s\n", copied.Total(),
                     qPrintable(folder), qPrintable(server.Database));
    } catch (const EKelmoError &e) {
        *error = u"copy to the server: "_s + e.Message();
        return {};
    }
    copies.insert(folder, server);
    return server;
}

void UseServer(const TDataSource &source)
{
    OverrideAliasSource(u"tomaruk"_s, source);
    g_current.clear();
}

void EndServer()
{
    EndAliasOverride(u"tomaruk"_s);
    g_current.clear();
}

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    TKelmoApplication app(argc, argv);
    RegisterFontSubstitutions();
    // The pages must not depend on the machine's printers.
    NkPrinter().SetSource(TPrinterSource::PdfOnly);

    auto env = std::make_unique<TTestEnv>();
    try {
        g_data.Root = env->Root();
        std::fprintf(stderr, "making the data folders in %s\n", qPrintable(g_data.Root));
        g_data.Small = MakeSuiteFolder(g_data.Root, u"small"_s);
        g_data.Large = MakeSuiteFolder(g_data.Root, u"large"_s);
        g_data.Batch = MakeSuiteFolder(g_data.Root, u"batch"_s);
        g_data.Full = MakeSuiteFolder(g_data.Root, u"full"_s);
        TKelmo4Head head;
        head.Koji->LoadByCode(u"0004"_s);
        head.Kosyu->LoadByName(u"表層工"_s);
        head.Kouku->Koukumei = QString::fromUtf16(NoSectionName);
        head.SokuteiKoumoku = u"基準高"_s;
        if (!head.FindByKey())
            throw EKelmoError(u"the full record is missing"_s);
        g_data.FullRecordId = head.ID;
    } catch (const EKelmoError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
    TDatabase::Close();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TDatabase::Close();
    env.reset();
    return 0;
}
