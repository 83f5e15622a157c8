#include "app/Errors.h"
#include "app/uDatabase.h"
#include "app/uFileMoves.h"
#include "app/uParadoxFile.h"
#include "startup/uParadoxImport.h"
#include "support/ParadoxFixture.h"
#include "support/TestEnv.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

// A writer process is killed with SIGKILL at random moments while it replaces a record's
// lines or a register list; afterwards every table file must be intact and hold exactly one
// whole version, never a mix and never less than the last version reported as committed.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killDuringReplacement_data();
    void killDuringReplacement();
    void killDuringImport_data();
    void killDuringImport();
    void killAtEverySyncOfACommit();

private:
    static QString WriterPath();
    static void CheckIntegrity();
};

namespace {
// A small old data folder, so that a run of the import takes a fraction of a second.
constexpr int kImportRows = 20;
constexpr int kImportLines = 300;

QString ExporterPath()
{
    return QDir(qEnvironmentVariable("KELMO4_TEST_BIN_DIR") + u"/.."_s).absoluteFilePath(u"kelmo4-export"_s);
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// LeakSanitizer cannot run under ptrace and fails every traced exit; the traced runs are
// about kills, the leak checks run everywhere else.
void StartTraced(QProcess &process, const QString &strace, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString asan = environment.value(u"ASAN_OPTIONS"_s);
    environment.insert(u"ASAN_OPTIONS"_s, asan.isEmpty() ? u"detect_leaks=0"_s : asan + u":detect_leaks=0"_s);
    process.setProcessEnvironment(environment);
    process.start(strace, arguments);
}

int ImportRows(const QString &table)
{
    return table == u"Kel4Line"_s ? kImportLines : kImportRows;
}

// Writes every table of the earlier program (and its defaults file) into Data, and a
// defaults file of our own into the working folder; returns the old files by name.
QMap<QString, QByteArray> WriteOldFolder(const QString &data)
{
    QDir(data).removeRecursively();
    QDir().mkpath(data);
    QMap<QString, QByteArray> originals;
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        const QList<ParadoxFixture::TColumn> columns = ParadoxFixture::ColumnsOf(*def);
        const QString name = table + u".DB"_s;
        if (!ParadoxFixture::Write(data + name, columns, ParadoxFixture::SampleRows(columns, ImportRows(table))))
            return {};
        originals.insert(name, Bytes(data + name));
    }
    QByteArray defaults(472, 'o');
    QFile old(data + u"DekigataDef"_s);
    old.open(QIODevice::WriteOnly);
    old.write(defaults);
    old.close();
    originals.insert(u"DekigataDef"_s, defaults);
    QFile working(u"DekigataDef"_s);
    working.open(QIODevice::WriteOnly | QIODevice::Truncate);
    working.write(QByteArray(472, 'w'));
    return originals;
}

QStringList FolderListing(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(folder).relativeFilePath(it.next()));
    names.sort();
    return names;
}

// After a killed import and the next start: either the old tables as they were, or all the
// imported ones with the originals in a backup folder. Returns true for the imported state.
bool CheckImportOutcome(const QString &data, const QMap<QString, QByteArray> &originals)
{
    const QString listing = FolderListing(data).join(u", "_s);
    bool imported = false;
    [&] {
        QVERIFY2(!QFileInfo::exists(FileMovesJournal(data)), qPrintable(listing));
        const QList<TParadoxTableFile> old = FindParadoxTables(data);
        if (old.size() == KnownTableNames().size()) {
            for (auto it = originals.cbegin(); it != originals.cend(); ++it)
                QVERIFY2(Bytes(data + it.key()) == it.value(), qPrintable(it.key() + u": "_s + listing));
            QCOMPARE(Bytes(u"DekigataDef"_s), QByteArray(472, 'w'));
            return;
        }
        QVERIFY2(old.isEmpty(), qPrintable(u"half imported: "_s + listing));
        imported = true;
        const QStringList backups = QDir(data).entryList({u"paradox-backup-*"_s}, QDir::Dirs);
        QVERIFY2(backups.size() == 1, qPrintable(listing));
        const QString backup = data + backups.first() + u'/';
        for (auto it = originals.cbegin(); it != originals.cend(); ++it)
            QVERIFY2(Bytes(backup + it.key()) == it.value(), qPrintable(it.key() + u": "_s + listing));
        QCOMPARE(Bytes(backup + u"DekigataDef.before-import"_s), QByteArray(472, 'w'));
        QCOMPARE(Bytes(u"DekigataDef"_s), QByteArray(472, 'o'));
        for (const QString &table : KnownTableNames()) {
            QVERIFY2(TableExists(table), qPrintable(table + u": "_s + listing));
            TQuery count(u"select count(*) as N from %1"_s.arg(table));
            count.Open();
            QCOMPARE(count.FieldInt(u"N"_s), ImportRows(table));
        }
        // Nothing of the import is left behind but the backup.
        QVERIFY2(QDir(data).entryList({u".paradox-import-*"_s}, QDir::Dirs | QDir::Hidden).isEmpty(), qPrintable(listing));
    }();
    return imported;
}
} // namespace

QString TestCrashSafety::WriterPath()
{
    return qEnvironmentVariable("KELMO4_TEST_BIN_DIR") + u"/helper_crashwriter"_s;
}

void TestCrashSafety::CheckIntegrity()
{
    for (const QString &table : KnownTableNames()) {
        const QString schema = table == u"Kel4Head"_s ? u"main"_s : table;
        TQuery q(u"PRAGMA \"%1\".integrity_check"_s.arg(schema));
        q.Open();
        QCOMPARE(q.FieldText(u"integrity_check"_s), u"ok"_s);
    }
}

void TestCrashSafety::killDuringReplacement_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("countSql");
    QTest::addColumn<int>("wholeCount");
    // versionSql yields the number of distinct versions and one of them.
    QTest::addColumn<QString>("versionSql");
    QTest::newRow("record lines") << u"lines"_s << u"select count(*) as N from Kel4Line"_s << 1000
                                  << u"select count(distinct C1) as D, max(C1) as V from Kel4Line"_s;
    QTest::newRow("work types") << u"kosyu"_s << u"select count(*) as N from Kosyu4"_s << 200
                                << u"select count(distinct substr(KOSYUMEI, 1, instr(KOSYUMEI, '-'))) as D,"
                                   u" max(substr(KOSYUMEI, 2, instr(KOSYUMEI, '-') - 2)) as V from Kosyu4"_s;
    QTest::newRow("road plan") << u"roadplan"_s << u"select count(*) as N from TakasaFormation"_s << 500
                               << u"select count(distinct substr(SOKUTEN, 1, instr(SOKUTEN, '-'))) as D,"
                                  u" max(substr(SOKUTEN, 2, instr(SOKUTEN, '-') - 2)) as V from TakasaFormation"_s;
    // The summary has no version of its own: it must hold all fifty rows or none.
    QTest::newRow("summary table") << u"summary"_s << u"select count(*) as N from DekigataTorimatome4"_s << 50
                                   << QString();
    // The summary window's "登録": the old grid's 500 rows or the new grid's, never a mix.
    QTest::newRow("summary register") << u"grid"_s << u"select count(*) as N from DekigataTorimatome4"_s << 500
                                      << u"select count(distinct substr(KOSYUMEI, 1, instr(KOSYUMEI, '-'))) as D,"
                                         u" max(substr(KOSYUMEI, 2, instr(KOSYUMEI, '-') - 2)) as V"
                                         u" from DekigataTorimatome4"_s;
    QTest::newRow("sections") << u"kouku"_s << u"select count(*) as N from Kouku"_s << 200
                              << u"select count(distinct substr(KOUKUMEI, 1, instr(KOUKUMEI, '-'))) as D,"
                                 u" max(substr(KOUKUMEI, 2, instr(KOUKUMEI, '-') - 2)) as V from Kouku"_s;
}

void TestCrashSafety::killDuringReplacement()
{
    QFETCH(QString, mode);
    QFETCH(QString, countSql);
    QFETCH(int, wholeCount);
    QFETCH(QString, versionSql);
    QVERIFY2(QFileInfo::exists(WriterPath()), qPrintable(WriterPath()));

    TTestEnv env;
    env.UseDataFolder(u"data"_s);
    int lastCommitted = 0;
    int kills = 0;
    for (int round = 0; round < 100; ++round) {
        TDatabase::Close();
        QProcess writer;
        writer.start(WriterPath(), {mode, QString::number(lastCommitted + 1)});
        QVERIFY(writer.waitForStarted());
        // Die anywhere, mostly early; every tenth run first reports a commit (however long
        // the setup takes on a loaded machine or under the sanitizers) and then dies in one
        // of the following replacements.
        if (round % 10 == 9)
            QVERIFY2(writer.waitForReadyRead(60000), "the writer reported no commit within a minute");
        writer.waitForFinished(int(QRandomGenerator::global()->bounded(30, 400)));
        QCOMPARE(writer.state(), QProcess::Running);
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));
        ++kills;
        const QList<QByteArray> reported = writer.readAllStandardOutput().split('\n');
        for (const QByteArray &line : reported) {
            if (!line.trimmed().isEmpty())
                lastCommitted = qMax(lastCommitted, line.trimmed().toInt());
        }

        CheckIntegrity();
        if (!TableExists(countSql.section(u' ', -1))) {
            QCOMPARE(lastCommitted, 0);
            continue;
        }
        TQuery count(countSql);
        count.Open();
        const int rows = count.FieldInt(u"N"_s);
        if (rows == 0) {
            // Nothing committed yet in this folder.
            QCOMPARE(lastCommitted, 0);
            continue;
        }
        QCOMPARE(rows, wholeCount);
        if (versionSql.isEmpty()) {
            lastCommitted = qMax(lastCommitted, 1);
            continue;
        }
        TQuery version(versionSql);
        version.Open();
        QCOMPARE(version.FieldInt(u"D"_s), 1);
        const int stored = version.FieldText(u"V"_s).toInt();
        // Reported versions are durable; the one being written when killed may have landed.
        QVERIFY2(stored == lastCommitted || stored == lastCommitted + 1,
                 qPrintable(u"stored %1, last reported %2"_s.arg(stored).arg(lastCommitted)));
        lastCommitted = stored;
    }
    QCOMPARE(kills, 100);
    QVERIFY2(lastCommitted > 0, "the writer never committed a version");
}

void TestCrashSafety::killDuringImport_data()
{
    QTest::addColumn<bool>("everyRename");
    // strace kills the exporter at its n-th rename, for n = 1, 2, ... until it gets through.
    QTest::newRow("at every rename") << true;
    // Killed at a random moment after it has begun to read the old tables.
    QTest::newRow("at random moments") << false;
}

void TestCrashSafety::killDuringImport()
{
    QFETCH(bool, everyRename);
    QVERIFY2(QFileInfo::exists(ExporterPath()), qPrintable(ExporterPath()));
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    if (everyRename)
        QVERIFY2(!strace.isEmpty(), "strace is not installed (scripts/setup.sh installs it)");

    TTestEnv env;
    const QString data = env.UseDataFolder(u"folder"_s);
    // The exporter runs without the test paths: its working folder (and DekigataDef) is the
    // one under XDG_DATA_HOME; this process works there too.
    const QString working = qEnvironmentVariable("XDG_DATA_HOME") + u"/tomaruk"_s;
    QVERIFY(QDir().mkpath(working));
    QVERIFY(QDir::setCurrent(working));
    int kills = 0;
    int oldKept = 0;
    int finished = 0;
    qint64 importMs = 500; // measured on the first run that gets through
    const int wanted = everyRename ? 0 : 100;
    for (int round = 1; round <= 400; ++round) {
        TDatabase::Close();
        const QMap<QString, QByteArray> originals = WriteOldFolder(data);
        QVERIFY(!originals.isEmpty());
        const QStringList importArgs = {u"--data-dir"_s, data, u"--import-paradox"_s, data};
        QProcess exporter;
        if (everyRename) {
            StartTraced(exporter, strace,
                        QStringList{u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace=renameat2"_s, u"-e"_s,
                                    u"inject=renameat2:signal=SIGKILL:when=%1"_s.arg(round), ExporterPath()}
                            + importArgs);
            QVERIFY(exporter.waitForStarted());
            QVERIFY(exporter.waitForFinished(120000));
        } else {
            exporter.start(ExporterPath(), importArgs);
            QVERIFY(exporter.waitForStarted());
            // Its first line says that it has begun reading the tables.
            QVERIFY2(exporter.waitForReadyRead(60000), "the exporter reported nothing within a minute");
            QElapsedTimer clock;
            clock.start();
            exporter.waitForFinished(int(QRandomGenerator::global()->bounded(qMax<qint64>(importMs * 6 / 5, 2))));
            if (exporter.state() == QProcess::Running) {
                exporter.kill();
                QVERIFY(exporter.waitForFinished(5000));
                ++kills;
            } else if (finished == 0) {
                importMs = clock.elapsed();
            }
        }
        const bool done = exporter.exitStatus() == QProcess::NormalExit && exporter.exitCode() == 0;
        const QString output = QString::fromUtf8(exporter.readAllStandardOutput() + exporter.readAllStandardError());
        if (done) {
            QVERIFY2(output.contains(u"取り込みが終わりました"_s), qPrintable(output));
            ++finished;
        } else if (everyRename) {
            // strace passes the kill on; an ordinary exit that is not a success is a failure.
            QVERIFY2(exporter.exitStatus() == QProcess::CrashExit,
                     qPrintable(u"round %1, exit code %2: %3"_s.arg(round).arg(exporter.exitCode()).arg(output)));
            ++kills;
        }

        try {
        // The next start, here the exporter's: it finishes or undoes what was left.
        if (everyRename) {
            QProcess next;
            next.start(ExporterPath(), {u"--data-dir"_s, data, u"--list"_s});
            QVERIFY(next.waitForFinished(60000));
        } else {
            FinishInterruptedMoves(data);
        }
        const bool imported = CheckImportOutcome(data, originals);
        if (QTest::currentTestFailed())
            return;
        if (imported)
            CheckIntegrity();
        if (!imported) {
            // Nothing was lost: the next import takes the whole folder over.
            ++oldKept;
            const TParadoxImportResult result = TParadoxImport(data).Run(true);
            QCOMPARE(result.Tables.size(), KnownTableNames().size());
            QVERIFY(CheckImportOutcome(data, originals));
            if (QTest::currentTestFailed())
                return;
        }
        } catch (const EKelmoError &e) {
            QFAIL(qPrintable(u"round %1: %2"_s.arg(round).arg(e.Message())));
        }
        if (everyRename && done)
            break;
        if (!everyRename && kills >= wanted)
            break;
    }
    qInfo("%d kills, %d left the old tables, %d runs got through", kills, oldKept, finished);
    if (everyRename) {
        QVERIFY2(finished == 1, "the import never got through");
        // The journal, the tables with the defaults file and their backups: every one a point.
        QVERIFY2(kills > KnownTableNames().size() * 2, qPrintable(QString::number(kills)));
    } else {
        QCOMPARE(kills, wanted);
    }
}

// A commit over several table files goes through a super-journal (Kel4Head.db-mj…); a
// writer killed at any of the commit's syncs must leave none behind once the folder has been
// opened again, and the work types hold the old list or the new one.
void TestCrashSafety::killAtEverySyncOfACommit()
{
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    QVERIFY2(!strace.isEmpty(), "strace is not installed (scripts/setup.sh installs it)");
    TTestEnv env;
    const QString data = env.UseDataFolder(u"data"_s);
    {
        QProcess first;
        first.start(WriterPath(), {u"once"_s, u"1"_s});
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
    }
    int version = 1;
    int kills = 0;
    for (int n = 1; n <= 40; ++n) {
        TDatabase::Close();
        QProcess writer;
        StartTraced(writer, strace,
                    {u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s, u"trace=fsync,fdatasync"_s, u"-e"_s,
                     u"inject=fsync,fdatasync:signal=SIGKILL:when=%1"_s.arg(n), WriterPath(), u"once"_s,
                     QString::number(version + 1)});
        QVERIFY(writer.waitForFinished(60000));
        const bool through = writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 0;
        QVERIFY2(through || writer.exitStatus() == QProcess::CrashExit,
                 qPrintable(QString::fromUtf8(writer.readAllStandardError())));
        // The next start opens the folder.
        TableExists(u"Kosyu4"_s);
        const QStringList left = QDir(data).entryList({u"*-mj*"_s}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(u"after a kill at sync %1: %2"_s.arg(n).arg(left.join(u", "_s))));
        CheckIntegrity();
        TQuery names(u"select min(KOSYUMEI) as V, count(*) as N from Kosyu4"_s);
        names.Open();
        QCOMPARE(names.FieldInt(u"N"_s), 10);
        const int stored = names.FieldText(u"V"_s).section(u'-', 0, 0).mid(1).toInt();
        QVERIFY2(stored == version || stored == version + 1, qPrintable(names.FieldText(u"V"_s)));
        version = stored;
        if (through)
            break;
        ++kills;
    }
    qInfo("%d kills, one at each sync of the commit", kills);
    QVERIFY(kills >= 3);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_CrashSafety.moc"
