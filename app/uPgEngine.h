#pragma once

#include "app/uDataSource.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

#include <libpq-fe.h>

class TTableDef;

// The server side of the storage layer: one libpq connection to an office database, the
// statements of the program prepared once per text, values in and out as the SQLite side
// gives them (whole numbers as qlonglong, reals as double, NULL as a null QString, dates
// as yyyy-MM-dd texts).
namespace PgEngine {

// Opens the Qt driver's connection Name to Source and returns its libpq handle, or nullptr
// with *Error set to what failed, in Japanese (and no connection Name left).
PGconn *Connect(const TDataSource &source, const QString &name, QString *error);
// Why a connection attempt failed, from libpq's text, naming the server.
QString ConnectMessage(const TDataSource &source, const QString &engineText);
// What a failed statement means to the user, from its SQLSTATE, naming the server.
QString StatementMessage(const TDataSource &source, const QString &sqlState);

// A statement text of the program in the server's terms: "?" placeholders numbered $1…,
// quoted names in lower case (the tables are created with unquoted, so folded, names),
// and a table name in front of another quoted name (SQLite's attached file) dropped.
QString ServerSql(const QString &placeholderSql);
// The create statement of a table on the server, and its indexes.
QStringList CreateStatements(const TTableDef &def);
// The unique index of a server table's row key (rowid), made where missing.
QString RowidIndexStatement(const QString &table);

struct TResult
{
    QStringList Columns;
    QList<QVariant> Values; // row by row
    qsizetype Rows = 0;
    qlonglong Affected = 0;
};

class TConnection
{
public:
    // Raises EDatabaseError when the server cannot be reached.
    explicit TConnection(const TDataSource &source);
    ~TConnection();
    TConnection(const TConnection &) = delete;
    TConnection &operator=(const TConnection &) = delete;

    const TDataSource &Source() const { return m_source; }
    // The Qt driver's connection, for QSqlQuery where the program needs one.
    const QString &Name() const { return m_name; }
    PGconn *Handle() const { return m_conn; }

    // Runs a statement in the server's terms with the values of its placeholders in order.
    // What is a caller's text, for the log; raises EDatabaseError on failure.
    TResult Exec(const QString &serverSql, const QList<QVariant> &values, const QString &what, bool wantRows);
    // Prepares the statement now, so one the server refuses fails before any row is written.
    void Compile(const QString &serverSql, const QString &what) { Prepare(serverSql, what); }
    // A statement without parameters and rows (begin, commit, create).
    void Command(const char *sql, const QString &what);

    // Begins a transaction as the one writer of the database: every writer takes the same
    // lock first, so a transaction's reads see every save committed before it began and
    // no other save slips in before its commit.
    void Begin();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    bool TableExists(const QString &table);
    // Columns of the table as the server holds them (lower case).
    QStringList TableColumns(const QString &table);
    void CreateTable(const TTableDef &def);

private:
    struct TPrepared
    {
        QByteArray Name;
        QList<unsigned int> Types; // the server's types of the parameters
    };
    const TPrepared &Prepare(const QString &serverSql, const QString &what);
    [[noreturn]] void Fail(PGresult *result, const QString &what);

    TDataSource m_source;
    QString m_name; // of the Qt driver's connection, which owns the handle
    PGconn *m_conn = nullptr;
    QHash<QString, TPrepared> m_prepared;
    int m_nextName = 0;
};

} // namespace PgEngine
