#pragma once

#include "app/uDataSource.h"

#include <libpq-fe.h>

#include <QByteArray>
#include <QList>

#include <initializer_list>

// The baselines' access to a server database: libpq directly, one connection, prepared
// statements with text parameters whose types the server infers from the columns.
// Failures raise std::runtime_error with the server's message.
class TRawPq
{
public:
    explicit TRawPq(const TDataSource &source);
    ~TRawPq();
    TRawPq(const TRawPq &) = delete;
    TRawPq &operator=(const TRawPq &) = delete;

    PGconn *Handle() const { return m_conn; }
    // A statement without parameters (BEGIN, COMMIT, ...).
    void Exec(const char *sql);

private:
    friend class TPqStatement;
    PGconn *m_conn = nullptr;
    int m_statements = 0;
};

// A result, cleared on destruction.
class TPqResult
{
public:
    explicit TPqResult(PGresult *result) : m_result(result) {}
    ~TPqResult() { PQclear(m_result); }
    TPqResult(const TPqResult &) = delete;
    TPqResult &operator=(const TPqResult &) = delete;
    TPqResult(TPqResult &&other) noexcept : m_result(other.m_result) { other.m_result = nullptr; }

    int Rows() const { return PQntuples(m_result); }
    const char *Value(int row, int column) const { return PQgetvalue(m_result, row, column); }
    int Length(int row, int column) const { return PQgetlength(m_result, row, column); }
    bool IsNull(int row, int column) const { return PQgetisnull(m_result, row, column) != 0; }
    long long Affected() const;

private:
    PGresult *m_result;
};

// A statement prepared once on the connection (PQprepare), run with PQexecPrepared.
class TPqStatement
{
public:
    TPqStatement(TRawPq &db, const char *sql);
    // Values in the order of $1, $2, ...; nullptr is NULL.
    TPqResult Run(const char *const *values, int count);
    TPqResult Run(std::initializer_list<const char *> values) { return Run(values.begin(), int(values.size())); }
    TPqResult Run(const QList<QByteArray> &values);

private:
    TRawPq &m_db;
    QByteArray m_name;
};
