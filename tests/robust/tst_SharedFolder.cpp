#include "app/Errors.h"
#include "app/uDatabase.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKosyu.h"
#include "startup/uParadoxImport.h"
#include "support/TestEnv.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

// Two programs on one data folder: a writer that meets the other's open write waits for it
// and then succeeds; when the folder stays locked it fails with a clear message and the
// other's data is untouched.
class TestSharedFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondWriterWaits_data();
    void secondWriterWaits();
};

void TestSharedFolder::secondWriterWaits_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("heldTable");
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("short lock: waits and writes") << u"once"_s << u"Kosyu4"_s << 1500 << true;
    QTest::newRow("lock held too long: clear message") << u"once"_s << u"Kosyu4"_s << 7000 << false;
    // The line replacement reads the stored lines before it writes them.
    QTest::newRow("reads, then writes: waits and writes") << u"lines-once"_s << u"Kel4Line"_s << 1500 << true;
    QTest::newRow("reads, then writes: clear message") << u"lines-once"_s << u"Kel4Line"_s << 7000 << false;
}

void TestSharedFolder::secondWriterWaits()
{
    QFETCH(QString, mode);
    QFETCH(QString, heldTable);
    QFETCH(int, holdMs);
    QFETCH(bool, succeeds);
    TTestEnv env;
    env.UseDataFolder(u"shared"_s);
    // Every table in place, as after the first start of the program.
    for (const TTableDef *def : ImportTableDefs())
        CreateTableIfMissing(*def);
    TKelmo4Line line;
    line.CreateTableIfMissing();
    TKosyu kosyu;
    kosyu.RewriteList({u"路盤工"_s, u"舗装工"_s});
    TKel4LineRow stored;
    stored.LNO = 1;
    stored.Cells[0] = u"No.1"_s;
    stored.Cells[6] = u"old"_s;
    line.ReplaceLines(1, {stored});

    QProcess other;
    QElapsedTimer clock;
    qint64 waited = 0;
    {
        // This program holds a write transaction while the other writes.
        TTransaction transaction;
        TQuery(heldTable == u"Kosyu4"_s ? u"update Kosyu4 set KOSYUMEI = KOSYUMEI"_s
                                        : u"update Kel4Line set BIKO = BIKO"_s)
            .ExecSQL();
        other.start(qEnvironmentVariable("KELMO4_TEST_BIN_DIR") + u"/helper_crashwriter"_s, {mode, u"7"_s});
        QVERIFY(other.waitForStarted());
        clock.start();
        // Gives up while the lock is held, or waits for the commit.
        other.waitForFinished(holdMs);
        waited = clock.elapsed();
        transaction.Commit();
    }
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(15000));
    const QString err = QString::fromUtf8(other.readAllStandardError());
    QStringList names;
    kosyu.GetList(names);
    const QList<TKel4LineRow> lines = line.LoadLines(1);
    if (succeeds) {
        QVERIFY2(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0, qPrintable(err));
        if (mode == u"once"_s) {
            QCOMPARE(names.size(), 10);
            QCOMPARE(names.first(), u"v7-1"_s);
        } else {
            QCOMPARE(lines.size(), 1000);
            QCOMPARE(lines.first().Cells[6], u"7"_s);
        }
    } else {
        QCOMPARE(other.exitCode(), 1);
        QVERIFY2(err.contains(u"使用中"_s), qPrintable(err));
        // No statement text in the message.
        for (const char *sql : {"select", "insert", "update", "delete", "where"})
            QVERIFY2(!err.contains(QLatin1String(sql), Qt::CaseInsensitive), qPrintable(err));
        // It waited for the other program before it gave up.
        QVERIFY2(waited >= 4000, qPrintable(QString::number(waited)));
        QCOMPARE(names, QStringList({u"路盤工"_s, u"舗装工"_s}));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().Cells[6], u"old"_s);
    }
    for (const QString &table : {u"Kosyu4"_s, u"Kel4Line"_s}) {
        TQuery check(u"PRAGMA \"%1\".integrity_check"_s.arg(table));
        check.Open();
        QCOMPARE(check.FieldText(u"integrity_check"_s), u"ok"_s);
    }
}

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_SharedFolder.moc"
