#include "support/TestEnv.h"

#include "app/AppPaths.h"
#include "app/uDataSource.h"
#include "app/uDatabase.h"
#include "app/uDekigataDef.h"
#include "support/PgCluster.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kAlias = u"tomaruk"_s;

// Unset or empty: files. A value not known fails the test rather than quietly testing files.
QString EngineProblem()
{
    const QByteArray engine = qgetenv("KELMO4_TEST_ENGINE");
    if (engine.isEmpty() || engine.compare("QPSQL", Qt::CaseInsensitive) == 0)
        return QString();
    return u"KELMO4_TEST_ENGINE=%1 is not known: QPSQL runs the tables on a throw-away PostgreSQL "
           "cluster, unset runs them in files"_s.arg(QString::fromLocal8Bit(engine));
}
} // namespace

bool TTestEnv::OnServer()
{
    return qgetenv("KELMO4_TEST_ENGINE").compare("QPSQL", Qt::CaseInsensitive) == 0;
}

TTestEnv::TTestEnv()
    : m_oldHome(qgetenv("HOME"))
    , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_oldData(qgetenv("XDG_DATA_HOME"))
    , m_oldCurrent(QDir::currentPath())
{
    TDatabase::Close();
    qputenv("HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + u"/config"_s));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + u"/data"_s));
    QStandardPaths::setTestModeEnabled(true);
    AppPaths::EnterWorkingFolder();
    DekigataDef().Clear();
    if (const QString problem = EngineProblem(); !problem.isEmpty())
        QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
    if (OnServer()) {
        // Tests write other files beside the tables; the server engine makes no folder.
        QDir().mkpath(DataFolder());
        UseServerDatabase(DataFolder());
    }
}

TTestEnv::~TTestEnv()
{
    TDatabase::Close();
    // On the server no table file may appear: one means the tables quietly went to the
    // alias's folder, and the test passed on files.
    for (auto it = m_databases.constBegin(); it != m_databases.constEnd(); ++it) {
        QStringList files;
        for (const QString &table : KnownTableNames()) {
            if (QFileInfo::exists(it.key() + table + u".db"_s))
                files.append(table + u".db"_s);
        }
        if (!files.isEmpty())
            QTest::qFail(qPrintable(u"run on the server (database %1), yet the tables were written to files in %2: %3"_s
                                        .arg(it.value(), it.key(), files.join(u", "_s))),
                         __FILE__, __LINE__);
    }
    // Keeps the cluster small over a long test program; it goes at the end anyway.
    if (!m_databases.isEmpty()) {
        TPgCluster &cluster = TPgCluster::Shared();
        for (const QString &database : std::as_const(m_databases))
            cluster.DropDatabase(database);
    }
    QDir::setCurrent(m_oldCurrent);
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
    DekigataDef().Clear();
}

QString TTestEnv::DataFolder() const
{
    return GetAliasPath(kAlias);
}

QString TTestEnv::UseDataFolder(const QString &name)
{
    const QString folder = m_dir.path() + u'/' + name;
    QDir().mkpath(folder);
    SetAliasPath(kAlias, folder);
    if (OnServer())
        UseServerDatabase(GetAliasPath(kAlias));
    return GetAliasPath(kAlias);
}

void TTestEnv::UseServer()
{
    const QString folder = m_dir.path() + u"/server"_s;
    QDir().mkpath(folder);
    SetAliasPath(kAlias, folder);
    UseServerDatabase(GetAliasPath(kAlias));
}

// The alias keeps its Path (the folder just set) and gains the server's keys. A folder
// used again in this test gets its database again, as a folder keeps its files.
void TTestEnv::UseServerDatabase(const QString &folder)
{
    TPgCluster &cluster = TPgCluster::Shared();
    if (!cluster.IsRunning()) {
        QTest::qFail(qPrintable(cluster.Error()), __FILE__, __LINE__);
        return;
    }
    QString database = m_databases.value(folder);
    if (database.isEmpty()) {
        database = cluster.CreateDatabase();
        if (database.isEmpty()) {
            QTest::qFail(qPrintable(cluster.Error()), __FILE__, __LINE__);
            return;
        }
        m_databases.insert(folder, database);
    }
    TDataSource source = GetAliasSource(kAlias);
    source.Kind = TDataSource::TKind::Server;
    source.Host = cluster.Host();
    source.Port = cluster.Port();
    source.Database = database;
    source.User = cluster.SuperUser();
    if (!SetAliasSource(kAlias, source))
        QTest::qFail(qPrintable(u"cannot write the alias file %1"_s.arg(AppPaths::AliasFile())), __FILE__, __LINE__);
}
