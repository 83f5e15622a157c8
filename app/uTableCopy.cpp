#include "app/uTableCopy.h"

#include "app/Errors.h"
#include "app/uDatabase.h"
#include "app/uPgEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

using namespace Qt::Literals::StringLiterals;

qlonglong TTableCopyResult::Total() const
{
    qlonglong total = 0;
    for (const auto &[table, rows] : Rows)
        total += rows;
    return total;
}

namespace {
QString RefusalMessage(const TDataSource &to, const QString &table)
{
    return u"コピー先（%1）のテーブル %2 にはすでにデータがあります。何もコピーしていません。空のデータベースか空のフォルダをコピー先にしてください。"_s.arg(
        to.Describe(), table);
}

QString InsertStatement(const TTableDef &def, const QString &table, bool numbered)
{
    QStringList columns;
    QStringList marks;
    int n = 0;
    for (const TFieldDef &f : def.Fields()) {
        columns.append(numbered ? f.Name.toLower() : f.Name);
        marks.append(numbered ? u'$' + QString::number(++n) : u"?"_s);
    }
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, columns.join(u','), marks.join(u','));
}

// Where the copy goes; everything between Begin and Commit is one transaction.
class TWriter
{
public:
    virtual ~TWriter() = default;
    virtual void Begin() = 0;
    // Creates the table where missing; raises EDatabaseError when it holds a row.
    virtual void PrepareTable(const TTableDef &def) = 0;
    virtual void Insert(const TTableDef &def, const QList<QVariant> &values) = 0;
    virtual void Commit() = 0;
};

class TServerWriter final : public TWriter
{
public:
    explicit TServerWriter(const TDataSource &to)
        : m_to(to)
        , m_db(to)
    {
    }
    ~TServerWriter() override { m_db.Rollback(); }
    void Begin() override { m_db.Begin(); }
    void PrepareTable(const TTableDef &def) override
    {
        const QString table = def.Name().toLower();
        if (!m_db.TableExists(table)) {
            m_db.CreateTable(def);
        } else {
            const PgEngine::TResult r = m_db.Exec(u"SELECT count(*) FROM %1"_s.arg(table), {}, def.Name(), true);
            if (r.Rows > 0 && r.Values[0].toLongLong() > 0)
                throw EDatabaseError(RefusalMessage(m_to, def.Name()));
        }
        m_insert.insert(def.Name(), InsertStatement(def, table, true));
    }
    void Insert(const TTableDef &def, const QList<QVariant> &values) override
    {
        m_db.Exec(m_insert.value(def.Name()), values, def.Name(), false);
    }
    void Commit() override { m_db.Commit(); }

private:
    TDataSource m_to;
    PgEngine::TConnection m_db;
    QHash<QString, QString> m_insert;
};

// A folder's table files on a connection of their own: Kel4Head.db the main database, the
// others attached by table name, as the program's own connection has them.
class TFolderWriter final : public TWriter
{
public:
    explicit TFolderWriter(const TDataSource &to)
        : m_to(to)
    {
        if (!QDir().mkpath(to.Folder))
            throw EDatabaseError(u"コピー先のフォルダ「%1」を作れません。"_s.arg(QDir::toNativeSeparators(to.Folder)));
        static int opened = 0;
        m_name = u"tomaruk-copy:%1"_s.arg(++opened);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(FileOf(u"Kel4Head"_s));
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
        if (!db.open())
            Fail(db.lastError(), u"Kel4Head"_s);
        for (const QString &table : KnownTableNames()) {
            if (table == u"Kel4Head"_s)
                continue;
            QSqlQuery q(db);
            q.prepare(u"ATTACH DATABASE ? AS \"%1\""_s.arg(table));
            q.addBindValue(FileOf(table));
            if (!q.exec())
                Fail(q.lastError(), table);
        }
    }
    ~TFolderWriter() override
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (m_begun)
                QSqlQuery(db).exec(u"ROLLBACK"_s);
            m_queries.clear();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    void Begin() override
    {
        Exec(u"BEGIN IMMEDIATE"_s, QString());
        m_begun = true;
    }
    void PrepareTable(const TTableDef &def) override
    {
        const QString schema = def.Name() == u"Kel4Head"_s ? u"main"_s : def.Name();
        QSqlQuery q(Db());
        if (!q.exec(u"SELECT count(*) FROM \"%1\".sqlite_master WHERE type = 'table' AND name = '%2' COLLATE NOCASE"_s.arg(
                schema, def.Name()))
            || !q.next())
            Fail(q.lastError(), def.Name());
        if (q.value(0).toInt() == 0) {
            QString statement = def.CreateStatement();
            if (schema == u"main"_s)
                statement.replace(u"\"Kel4Head\".\"Kel4Head\""_s, u"main.\"Kel4Head\""_s);
            Exec(statement, def.Name());
        } else {
            QSqlQuery count(Db());
            if (!count.exec(u"SELECT count(*) FROM \"%1\".\"%2\""_s.arg(schema, def.Name())) || !count.next())
                Fail(count.lastError(), def.Name());
            if (count.value(0).toLongLong() > 0)
                throw EDatabaseError(RefusalMessage(m_to, def.Name()));
        }
        auto insert = std::make_unique<QSqlQuery>(Db());
        if (!insert->prepare(InsertStatement(def, u"\"%1\".\"%2\""_s.arg(schema, def.Name()), false)))
            Fail(insert->lastError(), def.Name());
        m_queries[def.Name()] = std::move(insert);
    }
    void Insert(const TTableDef &def, const QList<QVariant> &values) override
    {
        QSqlQuery &insert = *m_queries.at(def.Name());
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values[i]);
        if (!insert.exec())
            Fail(insert.lastError(), def.Name());
    }
    void Commit() override
    {
        Exec(u"COMMIT"_s, QString());
        m_begun = false;
    }

private:
    QSqlDatabase Db() const { return QSqlDatabase::database(m_name, false); }
    QString FileOf(const QString &table) const
    {
        const QString wanted = table + u".db"_s;
        for (const QString &entry : QDir(m_to.Folder).entryList(QDir::Files | QDir::Hidden)) {
            if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
                return QDir(m_to.Folder).filePath(entry);
        }
        return QDir(m_to.Folder).filePath(wanted);
    }
    void Exec(const QString &sql, const QString &table)
    {
        QSqlQuery q(Db());
        if (!q.exec(sql))
            Fail(q.lastError(), table);
    }
    [[noreturn]] void Fail(const QSqlError &error, const QString &table)
    {
        qWarning("kelmo4: copy into %s: %s", qUtf8Printable(m_to.Folder), qUtf8Printable(error.text()));
        bool ok = false;
        const int code = error.nativeErrorCode().toInt(&ok);
        throw EDatabaseError(EngineCodeMessage(ok ? code : 1, QDir::toNativeSeparators(m_to.Folder))
                             + (table.isEmpty() ? QString() : u"\n対象: "_s + table));
    }

    TDataSource m_to;
    QString m_name;
    bool m_begun = false;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_queries;
};

// Points the program's connection at the source for the copy and back afterwards.
class TReadFrom
{
public:
    explicit TReadFrom(const TDataSource &from)
        : m_had(IsAliasOverridden(u"tomaruk"_s))
        , m_previous(GetAliasSource(u"tomaruk"_s))
    {
        OverrideAliasSource(u"tomaruk"_s, from);
    }
    ~TReadFrom()
    {
        if (m_had)
            OverrideAliasSource(u"tomaruk"_s, m_previous);
        else
            EndAliasOverride(u"tomaruk"_s);
    }
    TReadFrom(const TReadFrom &) = delete;
    TReadFrom &operator=(const TReadFrom &) = delete;

private:
    bool m_had;
    TDataSource m_previous;
};

// The rows of Query as the definition's columns; a column the source lacks is NULL.
qlonglong CopyRows(TQuery &query, const TTableDef &def, TWriter &writer)
{
    QList<int> columns;
    for (const TFieldDef &f : def.Fields())
        columns.append(query.HasField(f.Name) ? query.FieldIndex(f.Name) : -1);
    qlonglong rows = 0;
    QList<QVariant> values(columns.size());
    for (query.First(); !query.Eof(); query.Next()) {
        for (qsizetype i = 0; i < columns.size(); ++i)
            values[i] = columns[i] < 0 ? QVariant(QMetaType::fromType<QString>()) : query.FieldValueAt(columns[i]);
        writer.Insert(def, values);
        ++rows;
    }
    return rows;
}
} // namespace

TTableCopyResult CopyTables(const TDataSource &from, const TDataSource &to, const QStringList &tables,
                            const TTableCopyProgress &progress)
{
    if (from == to || (!from.IsServer() && !to.IsServer() && QDir(from.Folder) == QDir(to.Folder)))
        throw EDatabaseError(u"コピー元とコピー先が同じ（%1）です。別のコピー先を指定してください。"_s.arg(to.Describe()));
    if (!from.IsServer() && !QFileInfo(from.Folder).isDir())
        throw EDatabaseError(u"コピー元のデータフォルダ「%1」が見つかりません。"_s.arg(from.Describe()));
    const QStringList wanted = tables.isEmpty() ? KnownTableNames() : tables;
    QList<const TTableDef *> defs;
    for (const QString &table : wanted) {
        const TTableDef *def = FindTableDef(table);
        if (!def)
            throw EDatabaseError(u"プログラムの誤りでテーブル %1 をコピーできません。開発元に連絡してください。"_s.arg(table));
        defs.append(def);
    }

    // The target first: one that cannot be reached or already holds data fails before
    // anything is read.
    std::unique_ptr<TWriter> writer;
    if (to.IsServer())
        writer = std::make_unique<TServerWriter>(to);
    else
        writer = std::make_unique<TFolderWriter>(to);
    writer->Begin();
    for (const TTableDef *def : std::as_const(defs))
        writer->PrepareTable(*def);

    TReadFrom source(from);
    TTableCopyResult result;
    for (const TTableDef *def : std::as_const(defs)) {
        qlonglong rows = 0;
        if (TableExists(def->Name())) {
            if (def->Name() == u"Kel4Line"_s) {
                // Record by record, so the copy holds one record's lines at a time.
                TQuery ids(u"select distinct KID from Kel4Line order by KID"_s);
                ids.Open();
                for (; !ids.Eof(); ids.Next()) {
                    // Lines without a header number are copied too; "=" finds none of them.
                    const QVariant kid = ids.FieldValueAt(0);
                    TQuery lines(kid.isNull() ? u"select * from Kel4Line where KID is null order by LNO"_s
                                              : u"select * from Kel4Line where KID=:KID order by LNO"_s);
                    if (!kid.isNull())
                        lines.SetParam(u"KID"_s, kid);
                    lines.Open();
                    rows += CopyRows(lines, *def, *writer);
                    if (progress && !progress(def->Name(), rows))
                        throw EDatabaseError(u"コピーを中止しました。コピー先には何も書き込んでいません。"_s);
                }
            } else {
                TQuery all(u"select * from %1"_s.arg(def->Name()));
                all.Open();
                rows = CopyRows(all, *def, *writer);
            }
        }
        result.Rows.append({def->Name(), rows});
        if (progress && !progress(def->Name(), rows))
            throw EDatabaseError(u"コピーを中止しました。コピー先には何も書き込んでいません。"_s);
    }
    writer->Commit();
    return result;
}
