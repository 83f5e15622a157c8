#include "app/uPgEngine.h"

#include "app/Errors.h"
#include "app/uDatabase.h"

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QList>

using namespace Qt::Literals::StringLiterals;

namespace PgEngine {

namespace {
QString Server(const TDataSource &source)
{
    return u"\nサーバー: %1:%2　データベース: %3　ユーザー: %4"_s.arg(
        source.Host, QString::number(source.Port), source.Database, source.User.isEmpty() ? u"（既定）"_s : source.User);
}
} // namespace

PGconn *Connect(const TDataSource &source, const QString &name, QString *error)
{
    if (const QString problem = source.Problem(); !problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    if (!QSqlDatabase::isDriverAvailable(u"QPSQL"_s)) {
        *error = u"PostgreSQL 用の Qt ドライバーがインストールされていないため、サーバーに接続できません。パッケージ libqt6sql6-psql をインストールしてください。"_s;
        return nullptr;
    }
    PGconn *conn = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setHostName(source.Host);
        db.setPort(source.Port);
        db.setDatabaseName(source.Database);
        db.setUserName(source.User);
        // No password: libpq reads ~/.pgpass or PGPASSWORD. Dates come back as yyyy-mm-dd
        // whatever the server's own setting.
        db.setConnectOptions(u"connect_timeout=10;application_name=kelmo4;options='-c DateStyle=ISO,YMD'"_s);
        if (!db.open()) {
            const QSqlError sqlError = db.lastError();
            *error = ConnectMessage(source, sqlError.databaseText().isEmpty() ? sqlError.text() : sqlError.databaseText());
        } else {
            const QVariant handle = db.driver()->handle();
            // The driver names libpq's connection by its struct ("pg_conn*").
            if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
                conn = *static_cast<PGconn *const *>(handle.constData());
            if (!conn)
                *error = u"PostgreSQL 用の Qt ドライバーが使えません。パッケージ libqt6sql6-psql を入れ直してください。"_s;
            if (conn) {
                PQsetClientEncoding(conn, "UTF8");
                // The server's notices ("already exists, skipping") are not for the user.
                PQsetNoticeProcessor(conn, [](void *, const char *) {}, nullptr);
            }
        }
    }
    if (!conn)
        QSqlDatabase::removeDatabase(name);
    return conn;
}

QString ConnectMessage(const TDataSource &source, const QString &engineText)
{
    qWarning("kelmo4: server connection failed: %s", qUtf8Printable(engineText));
    const QString t = engineText.toLower();
    QString why;
    if (t.contains(u"password authentication failed"_s) || t.contains(u"authentication failed"_s))
        why = u"ユーザー名かパスワードが違うため、サーバーが接続を断りました。~/.pgpass（または環境変数 PGPASSWORD）のパスワードと、ユーザー名を確かめてください。"_s;
    else if (t.contains(u"no password supplied"_s) || t.contains(u"password is required"_s))
        why = u"サーバーがパスワードを求めていますが、パスワードが見つかりません。~/.pgpass にこのサーバーの行を書くか、環境変数 PGPASSWORD を設定してください。"_s;
    else if (t.contains(u"database"_s) && t.contains(u"does not exist"_s))
        why = u"サーバーにデータベース「%1」がありません。サーバーの管理者に作成を頼むか、データベース名を確かめてください。"_s.arg(source.Database);
    else if (t.contains(u"role"_s) && t.contains(u"does not exist"_s))
        why = u"サーバーにユーザー「%1」がありません。ユーザー名を確かめてください。"_s.arg(source.User);
    else if (t.contains(u"no pg_hba.conf entry"_s) || t.contains(u"not permitted"_s) || t.contains(u"permission denied"_s))
        why = u"サーバーがこのコンピューターからの接続を許可していません。サーバーの管理者に、このコンピューターとユーザーの接続の許可（pg_hba.conf）を頼んでください。"_s;
    else if (t.contains(u"could not translate host name"_s) || t.contains(u"name or service not known"_s)
             || t.contains(u"temporary failure in name resolution"_s))
        why = u"サーバー名「%1」が見つかりません。サーバー名を確かめてください。"_s.arg(source.Host);
    else if (t.contains(u"timeout"_s) || t.contains(u"timed out"_s))
        why = u"サーバーが応答しません（時間切れ）。サーバーが動いていること、ネットワークにつながっていることを確かめてください。"_s;
    else if (t.contains(u"connection refused"_s) || t.contains(u"could not connect"_s) || t.contains(u"connection to server"_s))
        why = u"サーバーに接続できません。サーバーが動いていること、サーバー名とポート番号、ネットワークを確かめてください。"_s;
    else if (t.contains(u"too many"_s))
        why = u"サーバーへの接続が多すぎるため、接続できません。しばらくしてからやり直してください。"_s;
    else
        why = u"サーバーに接続できません。サーバーの設定を確かめてください。"_s;
    return why + Server(source);
}

QString StatementMessage(const TDataSource &source, const QString &sqlState)
{
    const QString cls = sqlState.left(2);
    QString why;
    if (sqlState == u"40001"_s || sqlState == u"40P01"_s || sqlState == u"55P03"_s)
        why = u"他の端末と同時に同じデータを変更しようとしたため、保存できませんでした。もう一度やり直してください。"_s;
    else if (cls == u"08"_s || sqlState == u"57P01"_s || sqlState == u"57P02"_s || sqlState == u"57P03"_s)
        why = u"サーバーとの接続が切れました。サーバーとネットワークを確かめてからやり直してください。"_s;
    else if (cls == u"42"_s && (sqlState == u"42501"_s))
        why = u"このユーザーにはサーバーのデータを読み書きする許可がありません。サーバーの管理者に許可を頼んでください。"_s;
    else if (sqlState == u"53100"_s)
        why = u"サーバーのディスクがいっぱいで書き込めません。サーバーの管理者に連絡してください。"_s;
    else if (cls == u"53"_s)
        why = u"サーバーの資源（メモリや接続数）が足りません。しばらくしてからやり直してください。"_s;
    else if (sqlState == u"22P02"_s || sqlState == u"22003"_s || sqlState == u"22007"_s || sqlState == u"22008"_s)
        why = u"値が項目の種類（数・日付）に合わないため、サーバーに書き込めませんでした。入力した値を確かめてください。"_s;
    else if (sqlState == u"42P01"_s)
        why = u"サーバーのデータベースに、このプログラムのテーブルがありません。データベース名を確かめてください。"_s;
    else if (sqlState == u"25006"_s)
        why = u"サーバーのデータベースが読み取り専用です。サーバーの管理者に連絡してください。"_s;
    else if (cls == u"42"_s)
        why = u"サーバーのテーブルがこのプログラムのものと合いません（別の版か別のプログラムのテーブルです）。サーバーの管理者に連絡してください。"_s;
    else
        why = u"サーバーのデータを読み書きできませんでした。もう一度やり直し、続くときはサーバーの管理者か開発元に連絡してください。"_s;
    return why + Server(source);
}

namespace {
// Type identifiers of the server's built-in types (pg_type.oid; fixed for all versions).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
              kDate = 1082, kNumeric = 1700;

bool IsAsciiBytes(const char *text, int size)
{
    for (int i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

QVariant ValueOf(const PGresult *result, int row, int column, Oid type)
{
    if (PQgetisnull(result, row, column))
        return QVariant(QMetaType::fromType<QString>());
    const char *text = PQgetvalue(result, row, column);
    const int size = PQgetlength(result, row, column);
    switch (type) {
    case kBool:
        return QVariant(qlonglong(text[0] == 't' ? 1 : 0));
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return QVariant(QByteArray::fromRawData(text, size).toLongLong());
    case kFloat4:
    case kFloat8:
        return QVariant(QByteArray::fromRawData(text, size).toDouble());
    case kNumeric: {
        const QByteArray bytes = QByteArray::fromRawData(text, size);
        if (bytes.contains('.') || bytes.contains('e') || bytes.contains('E'))
            return QVariant(bytes.toDouble());
        return QVariant(bytes.toLongLong());
    }
    default:
        if (IsAsciiBytes(text, size))
            return QVariant(QString::fromLatin1(text, size));
        return QVariant(QString::fromUtf8(text, size));
    }
}

bool IsTextless(Oid type)
{
    return type == kBool || type == kInt2 || type == kInt4 || type == kInt8 || type == kFloat4 || type == kFloat8
           || type == kDate || type == kNumeric;
}

// A value as the text the server reads for a parameter of Type; false for NULL. An empty
// text where a number, date or truth value goes is NULL, as the SQLite side reads it back.
bool ParamText(const QVariant &value, Oid type, QByteArray *out)
{
    if (!value.isValid() || value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(value.constData());
        if (text.isNull() || (text.isEmpty() && IsTextless(type)))
            return false;
        *out = text.toUtf8();
        return true;
    }
    case QMetaType::Bool:
        *out = value.toBool() ? "1" : "0";
        return true;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        *out = QByteArray::number(value.toLongLong());
        return true;
    case QMetaType::Double:
        *out = QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        return true;
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        if (!date.isValid())
            return false;
        *out = date.toString(u"yyyy-MM-dd"_s).toLatin1();
        return true;
    }
    default:
        *out = value.toString().toUtf8();
        if (out->isEmpty() && IsTextless(type))
            return false;
        return true;
    }
}

// The one lock all writers of a database take, so saves follow one another as on a folder.
constexpr const char *kBeginAsWriter = "BEGIN; SELECT pg_advisory_xact_lock(118074918134580)";
} // namespace

namespace {
// A select of one table without an order of its own lists its rows as SQLite does, in the
// order they were added; the server's order changes as rows are updated.
QString InAddedOrder(const QString &sql)
{
    static const QRegularExpression plain(
        u"^\\s*select\\s+(.*?)\\s+from\\s+\"?(\\w+)\"?(\\s+where\\s+.*)?\\s*$"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression ordered(
        u"\\b(order\\s+by|group\\s+by|distinct|union|join|limit)\\b|\\b(count|max|min|sum|avg)\\s*\\(|\\bselect\\b.*\\bselect\\b"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = plain.match(sql);
    if (!m.hasMatch() || ordered.match(sql).hasMatch() || !KnownTableNames().contains(m.captured(2), Qt::CaseInsensitive))
        return sql;
    return sql + u" order by rowid"_s;
}
} // namespace

QString ServerSql(const QString &text)
{
    const QString sql = InAddedOrder(text);
    QString out;
    out.reserve(sql.size() + 16);
    int number = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            const qsizetype end = sql.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = sql.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end;
            const QString name = sql.mid(i + 1, stop - i - 1);
            // "Table"."name": the table's own file on the SQLite side, one database here.
            if (stop + 2 < sql.size() && sql.at(stop + 1) == u'.' && sql.at(stop + 2) == u'"'
                && KnownTableNames().contains(name, Qt::CaseInsensitive)) {
                i = stop + 1;
                continue;
            }
            out += u'"' + name.toLower() + u'"';
            i = stop;
            continue;
        }
        if (c == u'?') {
            out += u'$' + QString::number(++number);
            continue;
        }
        out += c;
    }
    return out;
}

QString RowidIndexStatement(const QString &table)
{
    return u"CREATE UNIQUE INDEX IF NOT EXISTS \"%1_rowid\" ON \"%1\" (rowid)"_s.arg(table);
}

QStringList CreateStatements(const TTableDef &def)
{
    QStringList columns;
    for (const TFieldDef &f : def.Fields()) {
        QString type;
        switch (f.Type) {
        case TFieldType::Alpha: type = u"TEXT"_s; break;
        case TFieldType::LongInt: type = u"INTEGER"_s; break;
        case TFieldType::Date: type = u"DATE"_s; break;
        case TFieldType::Logical: type = u"BOOLEAN"_s; break;
        case TFieldType::Float: type = u"DOUBLE PRECISION"_s; break;
        }
        columns.append(u'"' + f.Name.toLower() + u"\" "_s + type);
    }
    // SQLite gives every row a key in the order rows were added (rowid): the lines are
    // matched to their stored rows by it, and selects list rows in its order. The server
    // has one only where the table declares it.
    columns.append(u"rowid BIGINT GENERATED BY DEFAULT AS IDENTITY"_s);
    const QString table = def.Name().toLower();
    // Lines are updated and deleted by that key one by one; without an index each of those
    // statements reads the whole table.
    return {u"CREATE TABLE IF NOT EXISTS \"%1\" (%2)"_s.arg(table, columns.join(u", "_s)), RowidIndexStatement(table)};
}

TConnection::TConnection(const TDataSource &source)
    : m_source(source)
{
    static int opened = 0;
    m_name = u"tomaruk-server:%1"_s.arg(++opened);
    QString error;
    m_conn = Connect(source, m_name, &error);
    if (!m_conn)
        throw EDatabaseError(error);
}

TConnection::~TConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void TConnection::Fail(PGresult *result, const QString &what)
{
    const QString state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const QString text = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn)).trimmed();
    PQclear(result);
    qWarning("kelmo4: server error %s: %s [%s]", qUtf8Printable(state), qUtf8Printable(text), qUtf8Printable(what));
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw EDatabaseError(StatementMessage(m_source, u"08006"_s));
    throw EDatabaseError(StatementMessage(m_source, state));
}

const TConnection::TPrepared &TConnection::Prepare(const QString &serverSql, const QString &what)
{
    if (const auto found = m_prepared.constFind(serverSql); found != m_prepared.constEnd())
        return found.value();
    // Texts built with literals in them must not pile up on the server.
    if (m_prepared.size() >= 200) {
        PQclear(PQexec(m_conn, "DEALLOCATE ALL"));
        m_prepared.clear();
    }
    TPrepared prepared;
    prepared.Name = "k" + QByteArray::number(++m_nextName);
    PGresult *result = PQprepare(m_conn, prepared.Name.constData(), serverSql.toUtf8().constData(), 0, nullptr);
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        Fail(result, what);
    PQclear(result);
    result = PQdescribePrepared(m_conn, prepared.Name.constData());
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        Fail(result, what);
    for (int i = 0; i < PQnparams(result); ++i)
        prepared.Types.append(PQparamtype(result, i));
    PQclear(result);
    return *m_prepared.insert(serverSql, prepared);
}

TResult TConnection::Exec(const QString &serverSql, const QList<QVariant> &values, const QString &what, bool wantRows)
{
    const TPrepared &prepared = Prepare(serverSql, what);
    if (prepared.Types.size() != values.size())
        throw EDatabaseError(u"プログラムの誤りでデータを読み書きできませんでした。作業内容を控えて、開発元に連絡してください。"_s);
    QList<QByteArray> texts(values.size());
    QList<const char *> pointers(values.size(), nullptr);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (ParamText(values[i], prepared.Types[i], &texts[i]))
            pointers[i] = texts[i].constData();
    }
    PGresult *result = PQexecPrepared(m_conn, prepared.Name.constData(), int(values.size()), pointers.constData(),
                                      nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        Fail(result, what);
    TResult out;
    out.Affected = QByteArray(PQcmdTuples(result)).toLongLong();
    if (wantRows && status == PGRES_TUPLES_OK) {
        const int columns = PQnfields(result);
        const int rows = PQntuples(result);
        QList<Oid> types;
        for (int c = 0; c < columns; ++c) {
            out.Columns.append(QString::fromUtf8(PQfname(result, c)));
            types.append(PQftype(result, c));
        }
        out.Values.reserve(qsizetype(rows) * columns);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                out.Values.append(ValueOf(result, r, c, types[c]));
        }
        out.Rows = columns == 0 ? 0 : rows;
    }
    PQclear(result);
    return out;
}

void TConnection::Command(const char *sql, const QString &what)
{
    PGresult *result = PQexec(m_conn, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        Fail(result, what);
    PQclear(result);
}

void TConnection::Begin()
{
    Command(kBeginAsWriter, u"変更を始められません"_s);
}

void TConnection::Commit()
{
    Command("COMMIT", u"変更を保存できません"_s);
}

void TConnection::Rollback()
{
    if (InTransaction())
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

bool TConnection::InTransaction() const
{
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

bool TConnection::TableExists(const QString &table)
{
    const TResult r = Exec(u"SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND tablename = $1"_s,
                           {QVariant(table.toLower())}, u"対象: "_s + table, true);
    return r.Rows > 0 && r.Values[0].toLongLong() > 0;
}

QStringList TConnection::TableColumns(const QString &table)
{
    const TResult r = Exec(u"SELECT column_name::text FROM information_schema.columns WHERE table_schema = current_schema() AND table_name = $1"_s,
                           {QVariant(table.toLower())}, u"対象: "_s + table, true);
    QStringList columns;
    for (const QVariant &v : r.Values)
        columns.append(v.toString());
    return columns;
}

void TConnection::CreateTable(const TTableDef &def)
{
    // Two programs starting on a new database create the tables one after the other.
    const bool own = !InTransaction();
    if (own)
        Begin();
    try {
        for (const QString &statement : CreateStatements(def))
            Command(statement.toUtf8().constData(), u"対象: "_s + def.Name() + u"（作成できません）"_s);
        if (own)
            Commit();
    } catch (...) {
        if (own)
            Rollback();
        throw;
    }
}

} // namespace PgEngine
