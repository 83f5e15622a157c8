#include "app/Errors.h"
#include "app/uDatabase.h"
#include "support/ConcurrentSaves.h"
#include "support/TestEnv.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

// Two programs that loaded the same data: the later save is refused when the other saved
// (or deleted, or first stored) it since, and nothing of it is written; saves of different
// records, projects or keys both stay. The other program is a process of its own.
class TestConcurrency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void laterSaveOfChangedDataIsRefused_data();
    void laterSaveOfChangedDataIsRefused();
    void olderFileWithoutCounterOpensAndSaves_data();
    void olderFileWithoutCounterOpensAndSaves();
};

namespace {
// How Stored shows a value saved through Change.
QString StoredForm(const QString &kind, const QString &value)
{
    if (kind == u"record"_s)
        return value + u'|' + value; // header and line
    return value;
}

// The other program: loads Key, then saves Value into it (or deletes it).
void RunOther(const QString &kind, const QString &key, const QString &value)
{
    QProcess other;
    other.start(qEnvironmentVariable("KELMO4_TEST_BIN_DIR") + u"/helper_saver"_s, {kind, key, value});
    QVERIFY2(other.waitForFinished(60000), "the other program did not finish");
    QVERIFY2(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0,
             other.readAllStandardError().constData());
}

const QStringList kKinds = {u"record"_s, u"koji"_s, u"kikakuti"_s, u"summary"_s, u"roadplan"_s, u"kouku"_s};

// The key of each kind that StoreConcurrentStartData stores, and a second one.
QString FirstKey(const QString &kind)
{
    return kind == u"record"_s || kind == u"kikakuti"_s ? u"A"_s : u"K1"_s;
}
QString SecondKey(const QString &kind)
{
    return kind == u"record"_s || kind == u"kikakuti"_s ? u"B"_s : u"K2"_s;
}
} // namespace

void TestConcurrency::laterSaveOfChangedDataIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");      // what this program loads and saves
    QTest::addColumn<QString>("otherKey"); // what the other one saves
    QTest::addColumn<QString>("otherValue");
    QTest::addColumn<bool>("refused");
    for (const QString &kind : kKinds) {
        const QString first = FirstKey(kind);
        QTest::addRow("%s: the same, changed", qPrintable(kind)) << kind << first << first << u"theirs"_s << true;
        QTest::addRow("%s: another, changed", qPrintable(kind)) << kind << first << SecondKey(kind) << u"theirs"_s << false;
    }
    QTest::newRow("record: the same, deleted") << u"record"_s << u"A"_s << u"A"_s << u"--delete"_s << true;
    QTest::newRow("record: new, stored by the other first") << u"record"_s << u"C"_s << u"C"_s << u"theirs"_s << true;
    QTest::newRow("koji: the same, deleted") << u"koji"_s << u"K1"_s << u"K1"_s << u"--delete"_s << true;
    QTest::newRow("koji: new, stored by the other first") << u"koji"_s << u"K3"_s << u"K3"_s << u"theirs"_s << true;
    QTest::newRow("road plan: the same, deleted") << u"roadplan"_s << u"K1"_s << u"K1"_s << u"--delete"_s << true;
}

void TestConcurrency::laterSaveOfChangedDataIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(QString, otherKey);
    QFETCH(QString, otherValue);
    QFETCH(bool, refused);
    TTestEnv env;
    env.UseDataFolder(u"shared"_s);
    StoreConcurrentStartData();

    const std::unique_ptr<TConcurrentSaver> mine = TConcurrentSaver::Make(kind);
    mine->Load(key);
    RunOther(kind, otherKey, otherValue);
    if (QTest::currentTestFailed())
        return;
    const QString theirs = otherValue == u"--delete"_s ? QString() : StoredForm(kind, otherValue);
    mine->Change(u"mine"_s);
    if (refused) {
        QString message;
        try {
            mine->Save();
        } catch (const EConflictError &e) {
            message = e.Message();
        }
        QCOMPARE(message, EConflictError().Message());
        // Nothing of the refused save was written; the other's data stays.
        QCOMPARE(mine->Stored(key), theirs);
        // Read again, the data saves.
        mine->Load(key);
        mine->Change(u"mine"_s);
        mine->Save();
        QCOMPARE(mine->Stored(key), StoredForm(kind, u"mine"_s));
    } else {
        mine->Save();
        QCOMPARE(mine->Stored(key), StoredForm(kind, u"mine"_s));
        QCOMPARE(mine->Stored(otherKey), theirs);
    }
}

void TestConcurrency::olderFileWithoutCounterOpensAndSaves_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : kKinds)
        QTest::newRow(qPrintable(kind)) << kind;
}

// Table files written before the counter existed: the folder opens, the stored rows read,
// and saves work and are checked from then on.
void TestConcurrency::olderFileWithoutCounterOpensAndSaves()
{
    if (qEnvironmentVariable("KELMO4_TEST_ENGINE") == u"QPSQL")
        QSKIP("table files exist only in a data folder");
    QFETCH(QString, kind);
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"old"_s);
    StoreConcurrentStartData();
    TDatabase::Close();

    // Every table as an older program made it: the create statement without the counter.
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        QVERIFY(def);
        if (!def->Field(u"KOUSIN"_s))
            continue;
        const QString statement = def->CreateStatement()
                                      .replace(u"\"%1\".\"%1\""_s.arg(table), u"\"%1\""_s.arg(table))
                                      .replace(u", \"KOUSIN\" INTEGER"_s, QString());
        QVERIFY(!statement.contains(u"KOUSIN"_s));
        QStringList columns;
        for (const TFieldDef &field : def->Fields()) {
            if (field.Name != u"KOUSIN"_s)
                columns.append(u'"' + field.Name + u'"');
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
            db.setDatabaseName(folder + table + u".db"_s);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(u"ALTER TABLE \"%1\" RENAME TO stored"_s.arg(table)));
            QVERIFY2(q.exec(statement), qPrintable(statement));
            QVERIFY(q.exec(u"INSERT INTO \"%1\" SELECT %2 FROM stored"_s.arg(table, columns.join(u','))));
            QVERIFY(q.exec(u"DROP TABLE stored"_s));
            db.close();
        }
        QSqlDatabase::removeDatabase(u"old"_s);
    }

    const std::unique_ptr<TConcurrentSaver> mine = TConcurrentSaver::Make(kind);
    mine->Load(FirstKey(kind));
    QCOMPARE(mine->Stored(FirstKey(kind)), StoredForm(kind, u"start"_s));
    mine->Change(u"mine"_s);
    mine->Save();
    QCOMPARE(mine->Stored(FirstKey(kind)), StoredForm(kind, u"mine"_s));
    // The column is there now, so the next save sees the other program's.
    RunOther(kind, FirstKey(kind), u"theirs"_s);
    if (QTest::currentTestFailed())
        return;
    mine->Change(u"again"_s);
    QVERIFY_THROWS_EXCEPTION(EConflictError, mine->Save());
    QCOMPARE(mine->Stored(FirstKey(kind)), StoredForm(kind, u"theirs"_s));
}

QTEST_MAIN(TestConcurrency)
#include "tst_Concurrency.moc"
