#pragma once

#include <sqlite3.h>

#include <QString>
#include <QStringList>

// The baselines' access to a data folder: the SQLite C API on the same table files the
// program uses (Kel4Head.db as the main database, the other tables attached by name).
class TRawSqlite
{
public:
    TRawSqlite(const QString &folder, const QStringList &attached);
    ~TRawSqlite();
    TRawSqlite(const TRawSqlite &) = delete;
    TRawSqlite &operator=(const TRawSqlite &) = delete;

    sqlite3 *Handle() const { return m_db; }
    void Exec(const char *sql);
    sqlite3_stmt *Prepare(const char *sql);

private:
    sqlite3 *m_db = nullptr;
};

// A prepared statement, finalised on destruction.
class TRawStatement
{
public:
    TRawStatement(TRawSqlite &db, const char *sql) : m_stmt(db.Prepare(sql)) {}
    ~TRawStatement() { sqlite3_finalize(m_stmt); }
    TRawStatement(const TRawStatement &) = delete;
    TRawStatement &operator=(const TRawStatement &) = delete;
    sqlite3_stmt *operator*() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt;
};
