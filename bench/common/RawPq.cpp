#include "common/RawPq.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {
[[noreturn]] void Fail(PGconn *conn, PGresult *result, const char *what)
{
    std::string message = std::string(what) + ": " + (result ? PQresultErrorMessage(result) : PQerrorMessage(conn));
    PQclear(result);
    throw std::runtime_error(message);
}

PGresult *Checked(PGconn *conn, PGresult *result, const char *what)
{
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        Fail(conn, result, what);
    return result;
}
} // namespace

TRawPq::TRawPq(const TDataSource &source)
{
    const QByteArray host = source.Host.toUtf8();
    const QByteArray port = QByteArray::number(source.Port);
    const QByteArray database = source.Database.toUtf8();
    const QByteArray user = source.User.toUtf8();
    const char *keys[] = {"host", "port", "dbname", "user", "client_encoding", nullptr};
    const char *values[] = {host.constData(), port.constData(), database.constData(),
                            user.isEmpty() ? nullptr : user.constData(), "UTF8", nullptr};
    m_conn = PQconnectdbParams(keys, values, 0);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const std::string message = std::string("connect: ") + PQerrorMessage(m_conn);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw std::runtime_error(message);
    }
}

TRawPq::~TRawPq()
{
    PQfinish(m_conn);
}

void TRawPq::Exec(const char *sql)
{
    PQclear(Checked(m_conn, PQexec(m_conn, sql), sql));
}

long long TPqResult::Affected() const
{
    return std::atoll(PQcmdTuples(m_result));
}

TPqStatement::TPqStatement(TRawPq &db, const char *sql)
    : m_db(db)
    , m_name("b" + QByteArray::number(++db.m_statements))
{
    PQclear(Checked(db.m_conn, PQprepare(db.m_conn, m_name.constData(), sql, 0, nullptr), sql));
}

TPqResult TPqStatement::Run(const char *const *values, int count)
{
    return TPqResult(Checked(m_db.m_conn,
                             PQexecPrepared(m_db.m_conn, m_name.constData(), count, values, nullptr, nullptr, 0),
                             m_name.constData()));
}

TPqResult TPqStatement::Run(const QList<QByteArray> &values)
{
    QList<const char *> pointers;
    pointers.reserve(values.size());
    for (const QByteArray &value : values)
        pointers.append(value.isNull() ? nullptr : value.constData());
    return Run(pointers.constData(), int(pointers.size()));
}
