#include "app/Errors.h"
#include "app/uDatabase.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"

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
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("short lock: waits and writes") << 1500 << true;
    QTest::newRow("lock held too long: clear message") << 7000 << false;
}

void TestSharedFolder::secondWriterWaits()
{
    QFETCH(int, holdMs);
    QFETCH(bool, succeeds);
    TTestEnv env;
    env.UseDataFolder(u"shared"_s);
    TKosyu kosyu;
    kosyu.CreateTableIfMissing();
    kosyu.RewriteList({u"路盤工"_s, u"舗装工"_s});

    QProcess other;
    {
        // This program holds a write transaction on the work types while the other writes.
        TTransaction transaction;
        TQuery(u"update Kosyu4 set KOSYUMEI = KOSYUMEI"_s).ExecSQL();
        other.start(qEnvironmentVariable("KELMO4_TEST_BIN_DIR") + u"/helper_crashwriter"_s,
                    {u"once"_s, u"7"_s});
        QVERIFY(other.waitForStarted());
        QTest::qWait(holdMs);
        transaction.Commit();
    }
    // It may have ended during the wait already.
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(15000));
    const QString err = QString::fromUtf8(other.readAllStandardError());
    QStringList names;
    kosyu.GetList(names);
    if (succeeds) {
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(names.size(), 10);
        QCOMPARE(names.first(), u"v7-1"_s);
    } else {
        QCOMPARE(other.exitCode(), 1);
        QVERIFY2(err.contains(u"使用中"_s), qPrintable(err));
        QCOMPARE(names, QStringList({u"路盤工"_s, u"舗装工"_s}));
    }
    TQuery check(u"PRAGMA \"Kosyu4\".integrity_check"_s);
    check.Open();
    QCOMPARE(check.FieldText(u"integrity_check"_s), u"ok"_s);
}

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_SharedFolder.moc"
