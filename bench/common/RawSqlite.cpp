#include "common/RawSqlite.h"

#include <QDir>

#include <stdexcept>
#include <string>

TRawSqlite::TRawSqlite(const QString &folder, const QStringList &attached)
{
    const QByteArray main = QFile::encodeName(QDir(folder).filePath(QStringLiteral("Kel4Head.db")));
    if (sqlite3_open(main.constData(), &m_db) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    for (const QString &table : attached) {
        const QByteArray file = QFile::encodeName(QDir(folder).filePath(table + QStringLiteral(".db")));
        const std::string sql = "ATTACH DATABASE '" + file.toStdString() + "' AS \"" + table.toStdString() + "\"";
        Exec(sql.c_str());
    }
}

TRawSqlite::~TRawSqlite()
{
    sqlite3_close(m_db);
}

void TRawSqlite::Exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite3_exec";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

sqlite3_stmt *TRawSqlite::Prepare(const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    return stmt;
}
