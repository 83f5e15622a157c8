#include "app/uPgEngine.h"

#include <QByteArray>
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

QString ConnectionOptions(const TDataSource &source)
{
    return u"host=%1 port=%2 dbname=%3 user=%4"_s.arg(source.Host, QString::number(source.Port), source.Database, source.User);
}

PGconn *Connect(const TDataSource &source, QString *error)
{
    if (const QString problem = source.Problem(); !problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    const QByteArray host = source.Host.toUtf8();
    const QByteArray port = QByteArray::number(source.Port);
    const QByteArray db = source.Database.toUtf8();
    const QByteArray user = source.User.toUtf8();
    QList<const char *> keys = {"host", "port", "dbname", "connect_timeout", "client_encoding", "application_name"};
    QList<const char *> values = {host.constData(), port.constData(), db.constData(), "10", "UTF8", "kelmo4"};
    if (!user.isEmpty()) {
        keys.append("user");
        values.append(user.constData());
    }
    keys.append(nullptr);
    values.append(nullptr);
    PGconn *conn = PQconnectdbParams(keys.constData(), values.constData(), 0);
    if (!conn) {
        *error = u"メモリが足りないため、サーバーに接続できません。"_s + Server(source);
        return nullptr;
    }
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString text = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        PQfinish(conn);
        *error = ConnectMessage(source, text);
        return nullptr;
    }
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
    else if (sqlState == u"25006"_s)
        why = u"サーバーのデータベースが読み取り専用です。サーバーの管理者に連絡してください。"_s;
    else if (cls == u"42"_s)
        why = u"サーバーのテーブルがこのプログラムのものと合いません（別の版か別のプログラムのテーブルです）。サーバーの管理者に連絡してください。"_s;
    else
        why = u"サーバーのデータを読み書きできませんでした。もう一度やり直し、続くときはサーバーの管理者か開発元に連絡してください。"_s;
    return why + Server(source);
}

} // namespace PgEngine
