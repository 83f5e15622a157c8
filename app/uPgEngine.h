#pragma once

#include "app/uDataSource.h"

#include <QString>

#include <libpq-fe.h>

// What the storage layer needs of libpq that does not depend on its own state: connecting
// and turning the server's refusals into messages for the user.
namespace PgEngine {

// The keywords of a connection to Source (host, port, dbname, user; no password: libpq
// reads ~/.pgpass or PGPASSWORD itself).
QString ConnectionOptions(const TDataSource &source);
// A connection of its own, or nullptr with *Error set to what failed, in Japanese.
PGconn *Connect(const TDataSource &source, QString *error);
// Why a connection attempt failed, from libpq's text, naming the server.
QString ConnectMessage(const TDataSource &source, const QString &engineText);
// What a failed statement means to the user, from its SQLSTATE, naming the server.
QString StatementMessage(const TDataSource &source, const QString &sqlState);

} // namespace PgEngine
