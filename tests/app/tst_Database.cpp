#include "app/Errors.h"
#include "app/uDatabase.h"
#include "app/uPgEngine.h"
#include "support/PgCluster.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <libpq-fe.h>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const TTableDef kSample(u"Koji1"_s,
                        {{u"ID"_s, TFieldType::LongInt},
                         {u"KOJIMEI"_s, TFieldType::Alpha, 10, u"工事名"_s},
                         {u"KOJIBI"_s, TFieldType::Date},
                         {u"FLAG"_s, TFieldType::Logical},
                         {u"VALUE"_s, TFieldType::Float}});
// A second table file, for transactions over two files.
const TTableDef kOther(u"Kosyu4"_s, {{u"KOSYUMEI"_s, TFieldType::Alpha, 32}});

// SQLite's change counter in the file header: it moves with every commit that writes the file.
QByteArray ChangeCounter(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(28).mid(24);
}

// Runs a statement as User on Database of the cluster at Port: the first row of its result,
// its fields joined by "|" (the empty text for a statement without rows); what failed.
QString ServerRow(int port, const QString &user, const QString &database, const char *statement)
{
    const QByteArray portText = QByteArray::number(port);
    const QByteArray userText = user.toUtf8();
    const QByteArray databaseText = database.toUtf8();
    const char *keywords[] = {"host", "port", "user", "dbname", "connect_timeout", nullptr};
    const char *values[] = {"127.0.0.1", portText.constData(), userText.constData(), databaseText.constData(), "5",
                            nullptr};
    PGconn *connection = PQconnectdbParams(keywords, values, 0);
    QString row;
    if (PQstatus(connection) != CONNECTION_OK) {
        row = u"connection failed: "_s + QString::fromUtf8(PQerrorMessage(connection));
    } else {
        PGresult *result = PQexec(connection, statement);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && (status != PGRES_TUPLES_OK || PQntuples(result) < 1)) {
            row = u"statement failed: "_s + QString::fromUtf8(PQresultErrorMessage(result));
        } else if (status == PGRES_TUPLES_OK) {
            QStringList fields;
            for (int i = 0; i < PQnfields(result); ++i)
                fields.append(QString::fromUtf8(PQgetvalue(result, 0, i)));
            row = fields.join(u'|');
        }
        PQclear(result);
    }
    PQfinish(connection);
    return row;
}

bool ProcessGone(pid_t pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return true;
    return status.readAll().contains("State:\tZ"); // ended, only not reaped
}
}

class TestDatabase : public QObject
{
    Q_OBJECT

private:
    static void Engines()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("folder") << false;
        QTest::newRow("server") << true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        RegisterTableDef(&kSample);
        RegisterTableDef(&kOther);
    }
    void createOnceAndFilePerTable();
    void roundTripEveryFieldType_data() { Engines(); }
    void roundTripEveryFieldType();
    void nameUsedTwiceTakesOneValue_data() { Engines(); }
    void nameUsedTwiceTakesOneValue();
    void serverStatements_data();
    void serverStatements();
    void textLimits_data();
    void textLimits();
    void engineCodesInUserWords_data();
    void engineCodesInUserWords();
    void transactionRollsBack();
    void updateThatChangesNothingWritesNoFile_data();
    void updateThatChangesNothingWritesNoFile();
    void folderRemovedBeforeCommit();
    void readsLeaveNoLock();
    void aliasPath();
    void throwAwayServer();
    void serverRowKeyIndexed();
    void unusableFolders();
    void foreignFileInTablePlace();
    void unusableTableFileNamed_data();
    void unusableTableFileNamed();
};

void TestDatabase::createOnceAndFilePerTable()
{
    TTestEnv env;
    QCOMPARE(CreateTableIfMissing(kSample), false);
    QCOMPARE(CreateTableIfMissing(kSample), true);
    QVERIFY(QFileInfo::exists(env.DataFolder() + u"Koji1.db"_s));
    QVERIFY(TableExists(u"KOJI1"_s));
    QVERIFY(!TableExists(u"Kosyu4"_s));
}

void TestDatabase::roundTripEveryFieldType()
{
    TTestEnv env;
    QFETCH(bool, server);
    if (server)
        env.UseServer();
    CreateTableIfMissing(kSample);
    TQuery insert;
    insert.Add(u"insert into Koji1 (ID, KOJIMEI, KOJIBI, FLAG, VALUE)"_s)
        .Add(u"values (:ID, :KOJIMEI, :KOJIBI, :FLAG, :VALUE)"_s);
    insert.SetParam(u"ID"_s, 7).SetParam(u"kojimei"_s, u"道路改良"_s)
        .SetParam(u"KOJIBI"_s, QDate(2020, 1, 31)).SetParam(u"FLAG"_s, true)
        .SetParam(u"VALUE"_s, -1.25);
    insert.ExecSQL();
    TQuery blank(u"insert into Koji1 (ID, KOJIMEI, KOJIBI) values (8, :K, :D)"_s);
    blank.SetParam(u"K"_s, QVariant()).SetParam(u"D"_s, QDate());
    blank.ExecSQL();

    TQuery q(u"select * from Koji1 order by ID"_s);
    q.Open();
    QCOMPARE(q.RecordCount(), 2);
    QCOMPARE(q.FieldInt(u"ID"_s), 7);
    QCOMPARE(q.FieldText(u"KOJIMEI"_s), u"道路改良"_s);
    QCOMPARE(q.FieldText(u"KOJIBI"_s), u"2020/01/31"_s);
    QCOMPARE(q.FieldDate(u"KOJIBI"_s), QDate(2020, 1, 31));
    QVERIFY(q.FieldBool(u"FLAG"_s));
    QCOMPARE(q.FieldFloat(u"VALUE"_s), -1.25);
    q.Next();
    QCOMPARE(q.FieldText(u"KOJIMEI"_s), QString());
    QCOMPARE(q.FieldText(u"KOJIBI"_s), QString());
    QVERIFY(!q.FieldDate(u"KOJIBI"_s).isValid());
    q.Next();
    QVERIFY(q.Eof());

    TQuery max(u"select Max(ID) as M from Koji1 where KOJIMEI = 'none'"_s);
    max.Open();
    QCOMPARE(max.FieldInt(u"M"_s), 0);
}

// The server's form of a statement text: placeholders numbered outside literals, quoted names
// folded, SQLite's file prefix dropped, a plain select in the order rows were added.
void TestDatabase::serverStatements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("server");
    QTest::newRow("placeholders") << u"update Koji1 set A=?, B='?' where C=?"_s << u"update Koji1 set A=$1, B='?' where C=$2"_s;
    QTest::newRow("quoted names") << u"create index if not exists \"Kel4Line\".\"Kel4LineKID\" on \"Kel4Line\" (KID)"_s
                                  << u"create index if not exists \"kel4linekid\" on \"kel4line\" (KID)"_s;
    QTest::newRow("plain select") << u"select * from Kel4Head where KojiCode=?"_s
                                  << u"select * from Kel4Head where KojiCode=$1 order by rowid"_s;
    QTest::newRow("own order") << u"select * from Kel4Line where KID=? order by LNO"_s
                               << u"select * from Kel4Line where KID=$1 order by LNO"_s;
    QTest::newRow("aggregate") << u"select count(*) as N from Kel4Line"_s << u"select count(*) as N from Kel4Line"_s;
    QTest::newRow("distinct") << u"select distinct ITI from Kel4Line where ITI<>''"_s
                              << u"select distinct ITI from Kel4Line where ITI<>''"_s;
    QTest::newRow("subselect") << u"select ID from Kel4Head where ID in (select KID from Kel4Line)"_s
                               << u"select ID from Kel4Head where ID in (select KID from Kel4Line)"_s;
    QTest::newRow("join") << u"select Kosyu4.ID from Kikakuti4 inner join Kosyu4 on Kosyu4.Kosyumei=Kikakuti4.Kosyumei"_s
                          << u"select Kosyu4.ID from Kikakuti4 inner join Kosyu4 on Kosyu4.Kosyumei=Kikakuti4.Kosyumei"_s;
    QTest::newRow("no table of ours") << u"select 1 from pg_tables"_s << u"select 1 from pg_tables"_s;
}

void TestDatabase::serverStatements()
{
    QFETCH(QString, sql);
    QFETCH(QString, server);
    QCOMPARE(PgEngine::ServerSql(sql), server);
}

void TestDatabase::nameUsedTwiceTakesOneValue()
{
    TTestEnv env;
    QFETCH(bool, server);
    if (server)
        env.UseServer();
    CreateTableIfMissing(kSample);
    TQuery insert(u"insert into Koji1 (ID, VALUE) values (:N, :n)"_s);
    insert.SetParam(u"N"_s, 3);
    insert.ExecSQL();
    TQuery q(u"select VALUE from Koji1 where ID = :n and KOJIMEI is null and ':x' = ':x'"_s);
    q.SetParam(u"n"_s, 3);
    q.Open();
    QCOMPARE(q.RecordCount(), 1);
    QCOMPARE(q.FieldFloat(u"VALUE"_s), 3.0);
}

void TestDatabase::textLimits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::newRow("ten ascii") << u"0123456789"_s << true << QString();
    QTest::newRow("five full-width") << u"道路改良工"_s << true << QString();
    QTest::newRow("eleven bytes") << u"道路改良工a"_s << false
        << u"工事名（KOJIMEI）は 10 バイト（全角 5 文字）までです。入力は 11 バイトあります。短くしてください。"_s;
    QTest::newRow("no Shift-JIS form") << u"😀"_s << false
        << u"工事名（KOJIMEI）に使えない文字「😀」があります。別の文字に置き換えてください。"_s;
}

void TestDatabase::textLimits()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    TTestEnv env;
    CreateTableIfMissing(kSample);
    TQuery insert(u"insert into Koji1 (ID, KOJIMEI) values (1, :KOJIMEI)"_s);
    insert.SetParam(u"KOJIMEI"_s, text);
    QString thrown;
    try {
        insert.ExecSQL();
    } catch (const EDatabaseError &e) {
        thrown = e.Message();
    }
    QCOMPARE(thrown, message);
    TQuery count(u"select count(*) as C from Koji1"_s);
    count.Open();
    QCOMPARE(count.FieldInt(u"C"_s), accepted ? 1 : 0);
}

void TestDatabase::engineCodesInUserWords_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("busy") << SQLITE_BUSY << u"データフォルダが他のプログラムで使用中です。"_s;
    QTest::newRow("locked, shared cache") << SQLITE_LOCKED_SHAREDCACHE << u"データフォルダが他のプログラムで使用中です。"_s;
    QTest::newRow("read-only, moved") << SQLITE_READONLY_DBMOVED << u"データフォルダに書き込めません（読み取り専用です）。"_s;
    QTest::newRow("cannot open") << SQLITE_CANTOPEN << u"データフォルダのテーブルファイルを開けません。"_s;
    QTest::newRow("corrupt") << SQLITE_CORRUPT << u"テーブルファイルが壊れているか"_s;
    QTest::newRow("not a database") << SQLITE_NOTADB << u"テーブルファイルが壊れているか"_s;
    QTest::newRow("disk full") << SQLITE_FULL << u"ディスクがいっぱいで書き込めません。"_s;
    QTest::newRow("write failed") << SQLITE_IOERR_WRITE << u"データフォルダの読み書きに失敗しました。"_s;
}

void TestDatabase::engineCodesInUserWords()
{
    QFETCH(int, code);
    QFETCH(QString, meaning);
    const QString message = EngineCodeMessage(code, u"/data/"_s);
    QVERIFY2(message.startsWith(meaning), qPrintable(message));
    QVERIFY2(message.contains(u"てください。"_s), qPrintable(message));
}

void TestDatabase::transactionRollsBack()
{
    TTestEnv env;
    CreateTableIfMissing(kSample);
    TQuery(u"insert into Koji1 (ID) values (1)"_s).ExecSQL();
    try {
        TTransaction transaction;
        TQuery(u"delete from Koji1"_s).ExecSQL();
        TQuery(u"insert into Koji1 (ID) values (2)"_s).ExecSQL();
        TQuery(u"insert into NoSuchTable values (3)"_s).ExecSQL();
        transaction.Commit();
        QFAIL("no error");
    } catch (const EDatabaseError &) {
    }
    TQuery q(u"select ID from Koji1"_s);
    q.Open();
    QCOMPARE(q.RecordCount(), 1);
    QCOMPARE(q.FieldInt(u"ID"_s), 1);
}

void TestDatabase::updateThatChangesNothingWritesNoFile_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("reads"); // quote() of the stored value afterwards
    QTest::newRow("same text") << u"KOJIMEI"_s << QVariant(u"道路"_s) << QVariant(u"道路"_s) << false << u"'道路'"_s;
    QTest::newRow("other text") << u"KOJIMEI"_s << QVariant(u"道路"_s) << QVariant(u"道路a"_s) << true << u"'道路a'"_s;
    QTest::newRow("letter case") << u"KOJIMEI"_s << QVariant(u"abc"_s) << QVariant(u"ABC"_s) << true << u"'ABC'"_s;
    QTest::newRow("NULL to empty text") << u"KOJIMEI"_s << QVariant() << QVariant(u""_s) << true << u"''"_s;
    QTest::newRow("empty text to NULL") << u"KOJIMEI"_s << QVariant(u""_s) << QVariant(QString()) << true << u"NULL"_s;
    QTest::newRow("NULL stays") << u"KOJIMEI"_s << QVariant() << QVariant(QString()) << false << u"NULL"_s;
    QTest::newRow("same number") << u"VALUE"_s << QVariant(2.5) << QVariant(2.5) << false << u"2.5"_s;
    QTest::newRow("whole number as real") << u"VALUE"_s << QVariant(2.0) << QVariant(2) << false << u"2.0"_s;
    QTest::newRow("other number") << u"VALUE"_s << QVariant(2.5) << QVariant(2.25) << true << u"2.25"_s;
    QTest::newRow("same date") << u"KOJIBI"_s << QVariant(QDate(2024, 5, 7)) << QVariant(QDate(2024, 5, 7)) << false
                               << u"'2024-05-07'"_s;
    QTest::newRow("flag set") << u"FLAG"_s << QVariant(false) << QVariant(true) << true << u"1"_s;
}

void TestDatabase::updateThatChangesNothingWritesNoFile()
{
    QFETCH(QString, field);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, value);
    QFETCH(bool, written);
    QFETCH(QString, reads);
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"data"_s);
    CreateTableIfMissing(kSample);
    CreateTableIfMissing(kOther);
    TQuery insert(u"insert into Koji1 (ID, %1) values (1, :V)"_s.arg(field));
    insert.SetParam(u"V"_s, stored);
    insert.ExecSQL();
    const QByteArray counter = ChangeCounter(folder + u"Koji1.db"_s);
    QVERIFY(!counter.isEmpty());
    {
        TTransaction transaction;
        TQuery update(u"update Koji1 set %1=:%1 where ID=:ID"_s.arg(field));
        update.SetParam(field, value);
        update.SetParam(u"ID"_s, 1);
        update.ExecSQL();
        TQuery(u"insert into Kosyu4 (KOSYUMEI) values ('路盤工')"_s).ExecSQL();
        transaction.Commit();
    }
    QCOMPARE(ChangeCounter(folder + u"Koji1.db"_s) != counter, written);
    TQuery read(u"select quote(%1) as Q from Koji1 where ID=1"_s.arg(field));
    read.Open();
    QCOMPARE(read.FieldText(u"Q"_s), reads);
    TQuery other(u"select count(*) as N from Kosyu4"_s);
    other.Open();
    QCOMPARE(other.FieldInt(u"N"_s), 1);
}

void TestDatabase::folderRemovedBeforeCommit()
{
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"gone"_s);
    CreateTableIfMissing(kSample);
    try {
        TTransaction transaction;
        TQuery(u"insert into Koji1 (ID) values (1)"_s).ExecSQL();
        QVERIFY(QDir(folder).removeRecursively());
        TQuery(u"insert into Koji1 (ID) values (2)"_s).ExecSQL();
        transaction.Commit();
        QFAIL("a commit into a removed folder was reported as done");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(u"見つかりません"_s), qPrintable(e.Message()));
    }
    env.UseDataFolder(u"new"_s);
    QCOMPARE(CreateTableIfMissing(kSample), false);
}

void TestDatabase::readsLeaveNoLock()
{
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"data"_s);
    CreateTableIfMissing(kSample);
    for (int i = 1; i <= 3; ++i)
        TQuery(u"insert into Koji1 (ID) values (%1)"_s.arg(i)).ExecSQL();
    // Read part of a result and all of another; neither may keep the file locked.
    TQuery first(u"select ID from Koji1 order by ID"_s);
    first.Open();
    QCOMPARE(first.RecordCount(), 3);
    TQuery(u"update Koji1 set KOJIMEI='a' where ID=:ID"_s).SetParam(u"ID"_s, 1).ExecSQL();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        other.setDatabaseName(folder + u"Koji1.db"_s);
        QVERIFY(other.open());
        QSqlQuery write(other);
        QVERIFY2(write.exec(u"insert into Koji1 (ID) values (4)"_s), qPrintable(write.lastError().text()));
        other.close();
    }
    QSqlDatabase::removeDatabase(u"other"_s);
    TQuery count(u"select count(*) as N from Koji1"_s);
    count.Open();
    QCOMPARE(count.FieldInt(u"N"_s), 4);
}

void TestDatabase::aliasPath()
{
    TTestEnv env;
    QVERIFY(GetAliasPath(u"tomaruk"_s).endsWith(u"/tomaruk/data/"_s));
    const QString folder = env.Root() + u"/elsewhere"_s;
    QVERIFY(SetAliasPath(u"TOMARUK"_s, folder));
    QCOMPARE(GetAliasPath(u"tomaruk"_s), folder + u'/');
    QCOMPARE(GetAliasPath(u"tomaruk"_s), GetAliasPath(u"Tomaruk"_s));
}

void TestDatabase::throwAwayServer()
{
    const char *kQuery = "select current_database(), current_user, (select rolsuper from pg_roles where rolname = "
                         "current_user), (select count(*) from pg_class where relnamespace = 'public'::regnamespace)";
    QString folder;
    pid_t server = 0;
    {
        TPgCluster cluster;
        QVERIFY2(cluster.Start(), qPrintable(cluster.Error()));
        folder = cluster.Folder();
        server = cluster.ServerPid();
        QVERIFY(QFileInfo::exists(folder + u"/data/PG_VERSION"_s));
        QVERIFY(!ProcessGone(server));
        const QString first = cluster.CreateDatabase();
        const QString second = cluster.CreateDatabase();
        QVERIFY2(!first.isEmpty() && !second.isEmpty(), qPrintable(cluster.Error()));
        QVERIFY(first != second);
        // Empty, and the superuser's.
        QCOMPARE(ServerRow(cluster.Port(), cluster.SuperUser(), second, kQuery),
                 second + u'|' + cluster.SuperUser() + u"|t|0"_s);
        QVERIFY(cluster.DropDatabase(first));
        QVERIFY(ServerRow(cluster.Port(), cluster.SuperUser(), first, kQuery).startsWith(u"connection failed"_s));
    }
    QVERIFY(ProcessGone(server));
    QVERIFY(!QFileInfo::exists(folder));

    // A test run on the server: the alias names a fresh database of the process's cluster
    // for each folder and keeps the folder.
    const QByteArray engine = qgetenv("KELMO4_TEST_ENGINE");
    qputenv("KELMO4_TEST_ENGINE", "QPSQL");
    const auto restore = qScopeGuard([&] {
        if (engine.isNull())
            qunsetenv("KELMO4_TEST_ENGINE");
        else
            qputenv("KELMO4_TEST_ENGINE", engine);
    });
    QVERIFY(TTestEnv::OnServer());
    TTestEnv env;
    const TPgCluster &shared = TPgCluster::Shared();
    QVERIFY2(shared.IsRunning(), qPrintable(shared.Error()));
    const TDataSource start = GetAliasSource(u"tomaruk"_s);
    QVERIFY(QFileInfo(start.Folder).isDir());
    const QString data = env.UseDataFolder(u"data"_s);
    QCOMPARE(data, env.Root() + u"/data/"_s);
    QVERIFY(QFileInfo(data).isDir());
    const TDataSource source = GetAliasSource(u"tomaruk"_s);
    QVERIFY(source.IsServer());
    QVERIFY2(source.Problem().isEmpty(), qPrintable(source.Problem()));
    QCOMPARE(source.Folder, data);
    QCOMPARE(source.Host, u"127.0.0.1"_s);
    QCOMPARE(source.Port, shared.Port());
    QCOMPARE(source.User, shared.SuperUser());
    QVERIFY(start.IsServer() && start.Database != source.Database);
    QCOMPARE(ServerRow(source.Port, source.User, source.Database, kQuery),
             source.Database + u'|' + source.User + u"|t|0"_s);
}

// Lines are changed by their row key one by one: on the server that key needs an index,
// on a table the program makes and on one made before the index existed.
void TestDatabase::serverRowKeyIndexed()
{
    const QByteArray engine = qgetenv("KELMO4_TEST_ENGINE");
    qputenv("KELMO4_TEST_ENGINE", "QPSQL");
    const auto restore = qScopeGuard([&] {
        if (engine.isNull())
            qunsetenv("KELMO4_TEST_ENGINE");
        else
            qputenv("KELMO4_TEST_ENGINE", engine);
    });
    TTestEnv env;
    const TPgCluster &shared = TPgCluster::Shared();
    QVERIFY2(shared.IsRunning(), qPrintable(shared.Error()));
    const TDataSource source = GetAliasSource(u"tomaruk"_s);
    QVERIFY(source.IsServer());
    const char *kIndexed = "select count(*) from pg_indexes where tablename = 'koji1' and indexname = 'koji1_rowid' "
                           "and indexdef like 'CREATE UNIQUE INDEX%(rowid)'";
    QCOMPARE(CreateTableIfMissing(kSample), false);
    QCOMPARE(ServerRow(source.Port, source.User, source.Database, kIndexed), u"1"_s);

    // A table of an older version: no index; the next connection adds it.
    TDatabase::Close();
    QCOMPARE(ServerRow(source.Port, source.User, source.Database, "drop index koji1_rowid"), QString());
    QCOMPARE(ServerRow(source.Port, source.User, source.Database, kIndexed), u"0"_s);
    QVERIFY(TableExists(u"Koji1"_s));
    QCOMPARE(ServerRow(source.Port, source.User, source.Database, kIndexed), u"1"_s);
}

void TestDatabase::unusableFolders()
{
    TTestEnv env;
    SetAliasPath(u"tomaruk"_s, env.Root() + u"/missing"_s);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, CreateTableIfMissing(kSample));
    QFile plain(env.Root() + u"/plain"_s);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    SetAliasPath(u"tomaruk"_s, plain.fileName());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, TableExists(u"Koji1"_s));
    // Pointing back at a good folder works again.
    env.UseDataFolder(u"good"_s);
    QCOMPARE(CreateTableIfMissing(kSample), false);
}

void TestDatabase::foreignFileInTablePlace()
{
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"paradox"_s);
    QFile file(folder + u"KOJI1.DB"_s);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x05'));
    file.close();
    try {
        CreateTableIfMissing(kSample);
        QFAIL("no error");
    } catch (const EDatabaseError &e) {
        QVERIFY(e.Message().contains(u"KOJI1.DB"_s));
    }
    // The other tables stay usable.
    QVERIFY(!TableExists(u"Kosyu4"_s));
}

void TestDatabase::unusableTableFileNamed_data()
{
    QTest::addColumn<QString>("file");      // the table file made unusable
    QTest::addColumn<QString>("tables");    // "create table" statements of the file, or "cut"
    QTest::addColumn<QString>("expected");  // what the message says beyond the file name
    QTest::newRow("main file cut short") << u"Kel4Head.db"_s << u"cut"_s << u"壊れて"_s;
    QTest::newRow("other file cut short") << u"Kosyu4.db"_s << u"cut"_s << u"壊れて"_s;
    QTest::newRow("column missing") << u"Koji1.db"_s
                                    << u"create table Koji1 (ID integer, KOJIMEI text, FLAG integer)"_s
                                    << u"KOJIBI、VALUE"_s;
    QTest::newRow("same name, other columns") << u"Kosyu4.db"_s << u"create table Kosyu4 (CODE text, AREA text)"_s
                                              << u"別のプログラム"_s;
    QTest::newRow("database of another program") << u"Koji1.db"_s << u"create table accounts (id integer)"_s
                                                 << u"別のプログラム"_s;
}

// A table file that is damaged, of another program or short of columns is found when the
// folder is opened; every use of its table names that file, and nothing is written to it.
void TestDatabase::unusableTableFileNamed()
{
    QFETCH(QString, file);
    QFETCH(QString, tables);
    QFETCH(QString, expected);
    TTestEnv env;
    const QString folder = env.UseDataFolder(u"data"_s);
    CreateTableIfMissing(kSample);
    CreateTableIfMissing(kOther);
    // Enough rows that the file spans several pages.
    const QString table = QFileInfo(file).completeBaseName();
    if (table == u"Kel4Head"_s)
        TQuery(u"create table main.Kel4Head (ID integer, NAME text)"_s).ExecSQL();
    for (int i = 0; i < 300; ++i) {
        if (table == u"Kel4Head"_s)
            TQuery(u"insert into Kel4Head (ID, NAME) values (%1, '%2')"_s.arg(i).arg(QString(40, u'x'))).ExecSQL();
        else if (table == u"Kosyu4"_s)
            TQuery(u"insert into Kosyu4 (KOSYUMEI) values ('%1')"_s.arg(QString(30, u'y'))).ExecSQL();
    }
    TDatabase::Close();
    const QString path = folder + file;
    if (tables == u"cut"_s) {
        QFile f(path);
        QVERIFY(f.size() > 4096);
        QVERIFY(f.resize(1000));
    } else {
        QFile::remove(path);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY(q.exec(tables));
            other.close();
        }
        QSqlDatabase::removeDatabase(u"other"_s);
    }
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    // Each table in turn, as the program touches them at start, and a write.
    for (const QString &used : {u"Koji1"_s, u"Kosyu4"_s}) {
        QString message;
        try {
            CreateTableIfMissing(used == u"Koji1"_s ? kSample : kOther);
            if (used == u"Koji1"_s)
                TQuery(u"insert into Koji1 (ID, KOJIMEI) values (1, 'a')"_s).ExecSQL();
            else
                TQuery(u"insert into Kosyu4 (KOSYUMEI) values ('a')"_s).ExecSQL();
        } catch (const EDatabaseError &e) {
            message = e.Message();
        }
        const bool blamed = table == u"Kel4Head"_s || used == table;
        if (!blamed) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            continue;
        }
        QVERIFY2(message.contains(path), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
        for (const QString &name : KnownTableNames()) {
            if (name != table)
                QVERIFY2(!message.contains(name + u".db"_s), qPrintable(message));
        }
        for (const char *sql : {"select", "insert", "where"})
            QVERIFY2(!message.contains(QLatin1String(sql), Qt::CaseInsensitive), qPrintable(message));
    }
    TDatabase::Close();
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_Database.moc"
