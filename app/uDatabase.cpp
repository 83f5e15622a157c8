#include "app/uDatabase.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/IniFile.h"
#include "app/SjisText.h"
#include "app/uCommon.h"
#include "app/uParadoxFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

// ---- table definitions ------------------------------------------------------------------

TTableDef::TTableDef(QString name, QList<TFieldDef> fields)
    : m_name(std::move(name))
    , m_fields(std::move(fields))
{
}

const TFieldDef *TTableDef::Field(const QString &name) const
{
    for (const TFieldDef &f : m_fields) {
        if (f.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

QString TTableDef::CreateStatement() const
{
    QStringList columns;
    for (const TFieldDef &f : m_fields) {
        QString type;
        switch (f.Type) {
        case TFieldType::Alpha: type = u"TEXT"_s; break;
        case TFieldType::LongInt: type = u"INTEGER"_s; break;
        case TFieldType::Date: type = u"DATE"_s; break;
        case TFieldType::Logical: type = u"BOOLEAN"_s; break;
        case TFieldType::Float: type = u"REAL"_s; break;
        }
        columns.append(u'"' + f.Name + u"\" "_s + type);
    }
    return u"CREATE TABLE \"%1\".\"%1\" (%2)"_s.arg(m_name, columns.join(u", "_s));
}

void TTableDef::CheckText(const QString &field, const QString &value) const
{
    const TFieldDef *f = Field(field);
    if (!f || f->Type != TFieldType::Alpha)
        return;
    // Plain ASCII is one byte a character and always encodable; most values are numbers,
    // and a record's lines check thousands of them at once.
    if (value.size() <= f->Size) {
        bool ascii = true;
        for (QChar c : value) {
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (ascii)
            return;
    }
    // One conversion of the whole text; the character-by-character search only on failure.
    const int bytes = SjisText::ByteLength(value);
    if (bytes < 0) {
        const QString bad = SjisText::FirstUnencodable(value);
        throw EDatabaseError(u"%1 の項目 %2 に使えない文字「%3」があります。"_s.arg(m_name, f->Name, bad));
    }
    if (bytes > f->Size) {
        throw EDatabaseError(
            u"%1 の項目 %2 は %3 バイトまでです（全角文字は2バイト）。入力は %4 バイトあります。"_s.arg(
                m_name, f->Name, QString::number(f->Size), QString::number(bytes)));
    }
}

const QStringList &KnownTableNames()
{
    static const QStringList names = {
        u"Kel4Head"_s, u"Kel4Line"_s, u"Koji1"_s, u"Kosyu4"_s, u"Kouku"_s, u"Simei"_s,
        u"Ukeoisya"_s, u"Hacchusya"_s, u"Kikakuti4"_s, u"TakasaFormation"_s,
        u"DekigataTorimatome4"_s,
    };
    return names;
}

namespace {
QHash<QString, const TTableDef *> &TableDefs()
{
    static QHash<QString, const TTableDef *> defs;
    return defs;
}

QString CanonicalTableName(const QString &table)
{
    for (const QString &name : KnownTableNames()) {
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return name;
    }
    return QString();
}

bool IsDateColumn(const QString &column)
{
    for (const TTableDef *def : std::as_const(TableDefs())) {
        const TFieldDef *f = def->Field(column);
        if (f && f->Type == TFieldType::Date)
            return true;
    }
    return false;
}
} // namespace

void RegisterTableDef(const TTableDef *def)
{
    TableDefs().insert(def->Name().toLower(), def);
}

const TTableDef *FindTableDef(const QString &table)
{
    return TableDefs().value(table.toLower(), nullptr);
}

// ---- alias ------------------------------------------------------------------------------

namespace {
QString WithSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QHash<QString, QString> &AliasOverrides()
{
    static QHash<QString, QString> overrides;
    return overrides;
}
} // namespace

void OverrideAliasPath(const QString &alias, const QString &folder)
{
    TDatabase::Close();
    if (folder.isEmpty())
        AliasOverrides().remove(alias.toLower());
    else
        AliasOverrides().insert(alias.toLower(), folder);
}

QString GetAliasPath(const QString &alias)
{
    const auto found = AliasOverrides().constFind(alias.toLower());
    if (found != AliasOverrides().constEnd())
        return WithSlash(QDir(found.value()).absolutePath());
    TIniFile config(AppPaths::AliasFile());
    const QString path = config.Read(alias.toLower(), u"Path"_s, false);
    if (path.isEmpty())
        return WithSlash(AppPaths::DefaultDataFolder());
    return WithSlash(path);
}

bool SetAliasPath(const QString &alias, const QString &folder)
{
    TDatabase::Close();
    AliasOverrides().remove(alias.toLower());
    TIniFile config(AppPaths::AliasFile());
    return config.Write(alias.toLower(), u"Path"_s, folder);
}

// ---- connection -------------------------------------------------------------------------

namespace {
struct TConnectionState
{
    QString Name;   // connection name, empty when closed
    QString Folder; // folder with "/"
    QHash<QString, QString> BadTables; // table -> why its file cannot be used
};

TConnectionState &State()
{
    static TConnectionState state;
    return state;
}

// The file of a table in the folder, matched without regard to case.
QString TableFile(const QString &folder, const QString &table)
{
    const QString wanted = table + u".db"_s;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder + entry;
    }
    return folder + wanted;
}

QString FriendlyEngineMessage(const QString &engineText)
{
    const QString lower = engineText.toLower();
    if (lower.contains(u"locked"_s) || lower.contains(u"busy"_s))
        return u"データフォルダが他のプログラムで使用中です。しばらく待ってからやり直してください。"_s;
    if (lower.contains(u"readonly"_s) || lower.contains(u"read-only"_s))
        return u"データフォルダに書き込めません（読み取り専用です）。"_s;
    if (lower.contains(u"not a database"_s) || lower.contains(u"malformed"_s))
        return u"テーブルファイルが壊れているか、このプログラムのものではありません。"_s;
    if (lower.contains(u"unable to open"_s) || lower.contains(u"disk i/o"_s))
        return u"データフォルダのテーブルファイルを開けません。"_s;
    if (lower.contains(u"full"_s))
        return u"ディスクがいっぱいで書き込めません。"_s;
    return u"データベースの操作に失敗しました。"_s;
}

[[noreturn]] void ThrowEngineError(const QString &what, const QSqlError &error)
{
    const QString engineText = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    throw EDatabaseError(FriendlyEngineMessage(engineText) + u"\n"_s + what + u"\n（"_s + engineText + u"）"_s);
}

void OpenConnection()
{
    TConnectionState &state = State();
    const QString folder = GetAliasPath(u"tomaruk"_s);
    const QString defaultFolder = WithSlash(AppPaths::DefaultDataFolder());
    if (folder == defaultFolder)
        QDir().mkpath(folder);
    const QFileInfo info(folder);
    if (!info.exists())
        throw EDatabaseError(
            u"データフォルダ「%1」が見つかりません。「オプション」-「標準値の登録」でフォルダを選び直してください。"_s.arg(folder));
    if (!info.isDir())
        throw EDatabaseError(
            u"「%1」はフォルダではありません。「オプション」-「標準値の登録」でフォルダを選び直してください。"_s.arg(folder));

    const QString name = u"tomaruk:"_s + folder;
    {
        QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                       : QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(TableFile(folder, u"Kel4Head"_s));
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            ThrowEngineError(u"データフォルダ: "_s + folder, error);
        }
        state.BadTables.clear();
        // Each table file must be a database we can read; a file that is not keeps its
        // table out of reach without barring the others.
        for (const QString &table : KnownTableNames()) {
            QSqlQuery q(db);
            if (table != u"Kel4Head"_s) {
                q.prepare(u"ATTACH DATABASE ? AS \"%1\""_s.arg(table));
                q.addBindValue(TableFile(folder, table));
                if (!q.exec()) {
                    state.BadTables.insert(table, q.lastError().databaseText());
                    continue;
                }
            }
            const QString schema = table == u"Kel4Head"_s ? u"main"_s : table;
            if (!q.exec(u"SELECT count(*) FROM \"%1\".sqlite_master"_s.arg(schema))) {
                state.BadTables.insert(table, q.lastError().databaseText());
                if (table != u"Kel4Head"_s)
                    q.exec(u"DETACH DATABASE \"%1\""_s.arg(table));
            }
        }
    }
    state.Name = name;
    state.Folder = folder;
}

[[noreturn]] void ThrowBadTable(const QString &table)
{
    const QString file = TableFile(State().Folder, table);
    if (IsParadoxTableFile(file))
        throw EDatabaseError(
            u"テーブルファイル「%1」は旧形式（Paradox）のテーブルです。「ファイル」-「旧データの取り込み…」（コマンドラインでは kelmo4-export --import-paradox）で取り込んでください。"_s.arg(
                file));
    throw EDatabaseError(
        u"テーブルファイル「%1」は壊れているか、このプログラムのものではありません。\n（%2）"_s.arg(
            file, State().BadTables.value(table)));
}
} // namespace

QSqlDatabase TDatabase::Connection()
{
    TConnectionState &state = State();
    const QString folder = GetAliasPath(u"tomaruk"_s);
    // A folder removed while the program runs would take every later write into files that
    // no longer exist; close and report it instead.
    if (!state.Name.isEmpty() && (state.Folder != folder || !QFileInfo(state.Folder).isDir()))
        Close();
    if (state.Name.isEmpty())
        OpenConnection();
    return QSqlDatabase::database(state.Name, false);
}

void TDatabase::Close()
{
    TConnectionState &state = State();
    if (state.Name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(state.Name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(state.Name);
    state.Name.clear();
    state.Folder.clear();
    state.BadTables.clear();
}

QString TDatabase::OpenFolder()
{
    return State().Folder;
}

bool TableExists(const QString &table)
{
    const QString canonical = CanonicalTableName(table);
    QSqlDatabase db = TDatabase::Connection();
    if (canonical.isEmpty())
        return false;
    if (State().BadTables.contains(canonical))
        ThrowBadTable(canonical);
    const QString schema = canonical == u"Kel4Head"_s ? u"main"_s : canonical;
    QSqlQuery q(db);
    q.prepare(u"SELECT sum(name = ? COLLATE NOCASE), count(*) FROM \"%1\".sqlite_master WHERE type = 'table'"_s.arg(schema));
    q.addBindValue(canonical);
    if (!q.exec() || !q.next())
        ThrowEngineError(u"テーブル "_s + canonical, q.lastError());
    if (q.value(0).toInt() > 0)
        return true;
    // A database of some other program in the table's place is not ours to write into.
    if (q.value(1).toInt() > 0) {
        throw EDatabaseError(
            u"テーブルファイル「%1」は別のデータベースで、テーブル %2 がありません。ファイルを移すか、別のデータフォルダを選んでください。"_s.arg(
                TableFile(State().Folder, canonical), canonical));
    }
    return false;
}

bool CreateTableIfMissing(const TTableDef &def)
{
    if (TableExists(def.Name()))
        return true;
    QString statement = def.CreateStatement();
    if (def.Name() == u"Kel4Head"_s)
        statement.replace(u"\"Kel4Head\".\"Kel4Head\""_s, u"main.\"Kel4Head\""_s);
    QSqlQuery q(TDatabase::Connection());
    if (!q.exec(statement))
        ThrowEngineError(u"テーブル "_s + def.Name() + u" を作成できません"_s, q.lastError());
    return false;
}

// ---- query ------------------------------------------------------------------------------

TQuery::TQuery() = default;

TQuery::TQuery(const QString &sql)
{
    Add(sql);
}

TQuery &TQuery::Add(const QString &line)
{
    m_lines.append(line);
    return *this;
}

TQuery &TQuery::SetParam(const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(u':') ? name.mid(1) : name;
    for (auto &p : m_params) {
        if (p.first.compare(key, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return *this;
        }
    }
    m_params.append({key, value});
    return *this;
}

void TQuery::Open()
{
    Run(true);
}

void TQuery::ExecSQL()
{
    Run(false);
}

namespace {
// Rewrites ":name" placeholders (outside quotes) as "?", listing the names in the order they
// occur, so a name used twice is bound twice with its one value.
QString NumberPlaceholders(const QString &sql, QStringList *order)
{
    QString out;
    out.reserve(sql.size());
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
            continue;
        }
        if (c == u':' && i + 1 < sql.size() && (sql.at(i + 1).isLetter() || sql.at(i + 1) == u'_')) {
            qsizetype j = i + 1;
            while (j < sql.size() && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            order->append(sql.mid(i + 1, j - i - 1));
            out += u'?';
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

QVariant BindableValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QMetaType::fromType<QString>());
    switch (value.typeId()) {
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return d.isValid() ? QVariant(d.toString(u"yyyy-MM-dd"_s)) : QVariant(QMetaType::fromType<QString>());
    }
    case QMetaType::Bool:
        return QVariant(value.toBool() ? 1 : 0);
    default:
        return value;
    }
}
} // namespace

void TQuery::CheckTextParams() const
{
    // Inserts and updates name their parameters after the columns they fill, so a text
    // that is too long for its column is refused before anything is written.
    static const QRegularExpression target(u"^\\s*(?:insert\\s+into|update)\\s+\"?(\\w+)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    const auto match = target.match(Sql());
    if (!match.hasMatch())
        return;
    const TTableDef *def = FindTableDef(match.captured(1));
    if (!def)
        return;
    for (const auto &p : m_params) {
        if (p.second.typeId() == QMetaType::QString)
            def->CheckText(p.first, p.second.toString());
    }
}

void TQuery::Run(bool select)
{
    CheckTextParams();
    QSqlDatabase db = TDatabase::Connection();
    QStringList order;
    const QString sql = NumberPlaceholders(Sql(), &order);

    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        const QSqlError error = q.lastError();
        for (auto it = State().BadTables.cbegin(); it != State().BadTables.cend(); ++it) {
            if (Sql().contains(it.key(), Qt::CaseInsensitive))
                ThrowBadTable(it.key());
        }
        ThrowEngineError(Sql(), error);
    }
    for (const QString &name : order) {
        QVariant value;
        bool found = false;
        for (const auto &p : m_params) {
            if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
                value = p.second;
                found = true;
                break;
            }
        }
        if (!found)
            throw EDatabaseError(u"パラメータ :%1 に値がありません。\n%2"_s.arg(name, Sql()));
        q.addBindValue(BindableValue(value));
    }
    if (!q.exec())
        ThrowEngineError(Sql(), q.lastError());

    m_rows.clear();
    m_columns.clear();
    m_dateColumns.clear();
    m_row = 0;
    if (!select)
        return;
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i) {
        m_columns.append(record.fieldName(i));
        m_dateColumns.append(IsDateColumn(record.fieldName(i)));
    }
    while (q.next()) {
        QList<QVariant> row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row.append(q.value(i));
        m_rows.append(std::move(row));
    }
    if (q.lastError().isValid())
        ThrowEngineError(Sql(), q.lastError());
}

int TQuery::ColumnIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool TQuery::HasField(const QString &name) const
{
    return ColumnIndex(name) >= 0;
}

QVariant TQuery::FieldValue(const QString &name) const
{
    const int column = ColumnIndex(name);
    if (column < 0)
        throw EDatabaseError(u"項目 %1 が見つかりません。\n%2"_s.arg(name, Sql()));
    if (Eof())
        return QVariant();
    return m_rows[m_row][column];
}

int TQuery::FieldIndex(const QString &name) const
{
    const int column = ColumnIndex(name);
    if (column < 0)
        throw EDatabaseError(u"項目 %1 が見つかりません。\n%2"_s.arg(name, Sql()));
    return column;
}

QString TQuery::FieldText(const QString &name) const
{
    return FieldTextAt(FieldIndex(name));
}

QString TQuery::FieldTextAt(int column) const
{
    if (Eof())
        return QString();
    const QVariant &v = m_rows[m_row][column];
    if (v.isNull())
        return QString();
    if (m_dateColumns.value(column))
        return DateToText(QDate::fromString(v.toString(), u"yyyy-MM-dd"_s));
    if (v.typeId() == QMetaType::Double)
        return FormatGeneral(v.toDouble());
    return v.toString();
}

int TQuery::FieldInt(const QString &name) const
{
    const QVariant v = FieldValue(name);
    return v.isNull() ? 0 : int(v.toLongLong());
}

double TQuery::FieldFloat(const QString &name) const
{
    const QVariant v = FieldValue(name);
    return v.isNull() ? 0 : v.toDouble();
}

bool TQuery::FieldBool(const QString &name) const
{
    const QVariant v = FieldValue(name);
    return !v.isNull() && v.toLongLong() != 0;
}

QDate TQuery::FieldDate(const QString &name) const
{
    const QVariant v = FieldValue(name);
    if (v.isNull())
        return QDate();
    return QDate::fromString(v.toString(), u"yyyy-MM-dd"_s);
}

// ---- prepared statement -----------------------------------------------------------------

TPreparedQuery::TPreparedQuery(const QString &sql)
    : m_sql(sql)
    , m_query(TDatabase::Connection())
{
    static const QRegularExpression target(u"^\\s*(?:insert\\s+into|update)\\s+\"?(\\w+)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    if (const auto match = target.match(m_sql); match.hasMatch())
        m_def = FindTableDef(match.captured(1));
    if (!m_query.prepare(NumberPlaceholders(m_sql, &m_order)))
        ThrowEngineError(m_sql, m_query.lastError());
}

TPreparedQuery &TPreparedQuery::SetParam(const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(u':') ? name.mid(1) : name;
    for (auto &p : m_params) {
        if (p.first.compare(key, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return *this;
        }
    }
    m_params.append({key, value});
    return *this;
}

void TPreparedQuery::ExecSQL()
{
    if (m_def) {
        for (const auto &p : m_params) {
            if (p.second.typeId() == QMetaType::QString)
                m_def->CheckText(p.first, p.second.toString());
        }
    }
    for (int i = 0; i < m_order.size(); ++i) {
        const QVariant *value = nullptr;
        for (const auto &p : m_params) {
            if (p.first.compare(m_order[i], Qt::CaseInsensitive) == 0) {
                value = &p.second;
                break;
            }
        }
        if (!value)
            throw EDatabaseError(u"パラメータ :%1 に値がありません。\n%2"_s.arg(m_order[i], m_sql));
        m_query.bindValue(i, BindableValue(*value));
    }
    if (!m_query.exec())
        ThrowEngineError(m_sql, m_query.lastError());
}

// ---- transaction ------------------------------------------------------------------------

namespace {
// Nested transactions join the outermost one; an inner one left without Commit spoils it.
int g_transactionDepth = 0;
bool g_transactionSpoiled = false;
}

TTransaction::TTransaction()
{
    if (g_transactionDepth++ == 0) {
        g_transactionSpoiled = false;
        QSqlDatabase db = TDatabase::Connection();
        if (!db.transaction()) {
            --g_transactionDepth;
            ThrowEngineError(u"トランザクションを開始できません"_s, db.lastError());
        }
    }
}

TTransaction::~TTransaction()
{
    if (m_done)
        return;
    g_transactionSpoiled = true;
    if (--g_transactionDepth == 0) {
        const QString name = u"tomaruk:"_s + TDatabase::OpenFolder();
        if (QSqlDatabase::contains(name))
            QSqlDatabase::database(name, false).rollback();
    }
}

void TTransaction::Commit()
{
    if (m_done)
        return;
    m_done = true;
    if (--g_transactionDepth == 0) {
        QSqlDatabase db = TDatabase::Connection();
        if (g_transactionSpoiled) {
            db.rollback();
            throw EDatabaseError(u"変更の途中で失敗したため、保存しませんでした。"_s);
        }
        if (!db.commit()) {
            const QSqlError error = db.lastError();
            db.rollback();
            ThrowEngineError(u"変更を保存できません"_s, error);
        }
    }
}
