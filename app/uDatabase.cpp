#include "app/uDatabase.h"

#include "app/AppPaths.h"
#include "app/Errors.h"
#include "app/IniFile.h"
#include "app/SjisText.h"
#include "app/uCommon.h"
#include "app/uFileMoves.h"
#include "app/uParadoxFile.h"
#include "app/uPgEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

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
    if (const TFieldDef *f = Field(field))
        CheckText(*f, value);
}

void TTableDef::CheckText(const TFieldDef &field, const QString &value) const
{
    const TFieldDef *f = &field;
    if (f->Type != TFieldType::Alpha)
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
    // The same few texts (a remark on every line) come again and again; a conversion
    // costs a converter of its own.
    static QHash<QString, int> known;
    int bytes = 0;
    if (const auto found = known.constFind(value); found != known.constEnd()) {
        bytes = found.value();
    } else {
        bytes = SjisText::ByteLength(value);
        if (known.size() >= 4096)
            known.clear();
        known.insert(value, bytes);
    }
    const QString name = f->Label.isEmpty() ? f->Name : u"%1（%2）"_s.arg(f->Label, f->Name);
    if (bytes < 0) {
        const QString bad = SjisText::FirstUnencodable(value);
        throw EDatabaseError(u"%1に使えない文字「%2」があります。別の文字に置き換えてください。"_s.arg(name, bad));
    }
    if (bytes > f->Size) {
        throw EDatabaseError(u"%1は %2 バイト（全角 %3 文字）までです。入力は %4 バイトあります。短くしてください。"_s.arg(
            name, QString::number(f->Size), QString::number(f->Size / 2), QString::number(bytes)));
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

// Columns already looked up by IsDateColumn; a result names the same few dozen columns
// over and over.
QHash<QString, bool> &DateColumns()
{
    static QHash<QString, bool> known;
    return known;
}

bool IsDateColumn(const QString &column)
{
    QHash<QString, bool> &known = DateColumns();
    const auto found = known.constFind(column);
    if (found != known.constEnd())
        return found.value();
    bool date = false;
    for (const TTableDef *def : std::as_const(TableDefs())) {
        const TFieldDef *f = def->Field(column);
        if (f && f->Type == TFieldType::Date) {
            date = true;
            break;
        }
    }
    if (known.size() > 1000)
        known.clear();
    known.insert(column, date);
    return date;
}
} // namespace

void RegisterTableDef(const TTableDef *def)
{
    TableDefs().insert(def->Name().toLower(), def);
    DateColumns().clear();
}

const TTableDef *FindTableDef(const QString &table)
{
    return TableDefs().value(table.toLower(), nullptr);
}

QString EngineCodeMessage(int code, const QString &folder)
{
    const QString where = folder.isEmpty() ? QString() : u"\nデータフォルダ: "_s + folder;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return u"データフォルダが他のプログラムで使用中です。同じデータフォルダを使っている他のプログラム（別に起動したケルモ４など）を閉じてからやり直してください。"_s
               + where;
    case SQLITE_READONLY:
        return u"データフォルダに書き込めません（読み取り専用です）。フォルダとファイルに書き込みを許可するか、別のデータフォルダを選んでからやり直してください。"_s
               + where;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return u"データフォルダのファイルを使う許可がありません。フォルダとファイルの許可を確かめてからやり直してください。"_s + where;
    case SQLITE_CANTOPEN:
        return u"データフォルダのテーブルファイルを開けません。フォルダがあり、読み書きできることを確かめてからやり直してください。"_s + where;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return u"テーブルファイルが壊れているか、このプログラムのものではありません。バックアップから戻すか、ファイルをデータフォルダの外へ移してください。"_s
               + where;
    case SQLITE_FULL:
        return u"ディスクがいっぱいで書き込めません。ディスクに空きを作ってからやり直してください。"_s + where;
    case SQLITE_IOERR:
        return u"データフォルダの読み書きに失敗しました。ディスクやネットワークの接続を確かめてからやり直してください。"_s + where;
    case SQLITE_NOMEM:
        return u"メモリが足りません。他のプログラムを閉じてからやり直してください。"_s;
    case SQLITE_MISUSE:
        return u"プログラムの誤りでデータを読み書きできませんでした。作業内容を控えて、開発元に連絡してください。"_s;
    default:
        return u"データを読み書きできませんでした。もう一度やり直し、続くときはデータフォルダのバックアップを取ってから開発元に連絡してください。"_s
               + where;
    }
}

namespace {
QString WithSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}
} // namespace

// ---- connection -------------------------------------------------------------------------

namespace {
// How long a statement waits for another program's write to the same table file.
constexpr int kBusyTimeoutMs = 5000;

// Nested transactions join the outermost one; an inner one left without Commit spoils it.
int g_transactionDepth = 0;
bool g_transactionSpoiled = false;

struct TConnectionState
{
    QString Name;   // connection name, empty when closed
    QString Folder; // folder with "/"
    sqlite3 *Handle = nullptr; // the engine's handle of the open connection
    QHash<QString, QString> BadTables; // table -> why its file cannot be used
    // Compiled statements by text; each is reset after every use, so none holds a lock.
    QHash<QString, sqlite3_stmt *> Statements;
    // On a server alias: the server's connection instead of the handle and the folder.
    std::unique_ptr<PgEngine::TConnection> Pg;
    TDataSource Source;
    // Past the application's end the Qt driver is gone; the process ends the connection.
    ~TConnectionState() { (void)Pg.release(); }
};

TConnectionState &State()
{
    static TConnectionState state;
    return state;
}

void FinalizeStatements()
{
    TConnectionState &state = State();
    for (sqlite3_stmt *stmt : std::as_const(state.Statements))
        sqlite3_finalize(stmt);
    state.Statements.clear();
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

// What the user calls a table, with the table's own name behind it.
QString TableLabel(const QString &table)
{
    static const QHash<QString, QString> labels = {
        {u"Kel4Head"_s, u"測定データ"_s},     {u"Kel4Line"_s, u"測点データ"_s},
        {u"Koji1"_s, u"工事"_s},              {u"Kosyu4"_s, u"工種"_s},
        {u"Kouku"_s, u"工区"_s},              {u"Simei"_s, u"氏名"_s},
        {u"Ukeoisya"_s, u"請負者"_s},         {u"Hacchusya"_s, u"発注者"_s},
        {u"Kikakuti4"_s, u"規格値"_s},        {u"TakasaFormation"_s, u"道路計画"_s},
        {u"DekigataTorimatome4"_s, u"出来形管理総括表"_s},
    };
    const QString label = labels.value(table);
    return label.isEmpty() ? table : u"%1（%2）"_s.arg(label, table);
}

// What a statement works on, for a message: its tables, never its text.
QString StatementSubject(const QString &what)
{
    static const QRegularExpression sql(u"^\\s*(select|insert|update|delete|create|drop|pragma|attach|detach|begin|commit|rollback)\\b"_s,
                                        QRegularExpression::CaseInsensitiveOption);
    if (!sql.match(what).hasMatch())
        return what;
    QStringList tables;
    for (const QString &table : KnownTableNames()) {
        const QRegularExpression word(u"\\b"_s + table + u"\\b"_s, QRegularExpression::CaseInsensitiveOption);
        if (word.match(what).hasMatch())
            tables.append(TableLabel(table));
    }
    return tables.isEmpty() ? QString() : u"対象: "_s + tables.join(u"、"_s);
}

QString CurrentFolder()
{
    if (State().Pg)
        return State().Source.Describe();
    return QDir::toNativeSeparators(State().Folder.isEmpty() ? GetAliasPath(u"tomaruk"_s) : State().Folder);
}

// The engine's own words go to the log only; the user reads their meaning.
[[noreturn]] void ThrowEngine(const QString &what, int code, const QString &engineText)
{
    qWarning("kelmo4: database error %d: %s [%s]", code, qUtf8Printable(engineText), qUtf8Printable(what));
    const int primary = code & 0xff;
    const QString subject = primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? QString() : StatementSubject(what);
    throw EDatabaseError(EngineCodeMessage(code, CurrentFolder()) + (subject.isEmpty() ? QString() : u"\n"_s + subject));
}

[[noreturn]] void ThrowEngineError(const QString &what, const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    ThrowEngine(what, ok ? code : SQLITE_ERROR, error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

[[noreturn]] void ThrowEngineError(const QString &what, sqlite3 *db)
{
    ThrowEngine(what, sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

// A statement of the program that does not fit its tables: nothing the user can mend.
[[noreturn]] void ThrowProgramFault(const QString &what, const QString &sql)
{
    qWarning("kelmo4: %s missing in: %s", qUtf8Printable(what), qUtf8Printable(sql));
    const QString subject = StatementSubject(sql);
    throw EDatabaseError(u"プログラムの誤りでデータを読み書きできませんでした。作業内容を控えて、開発元に連絡してください。"_s
                         + (subject.isEmpty() ? QString() : u"\n"_s + subject));
}

[[noreturn]] void ThrowFolderMissing(const QString &folder)
{
    throw EDatabaseError(
        u"データフォルダ「%1」が見つかりません。「オプション」-「標準値の登録」でフォルダを選び直してください。"_s.arg(folder));
}

QString BadFileMessage(const QString &folder, const QString &table, const QString &engineText)
{
    const QString file = TableFile(folder, table);
    if (IsParadoxTableFile(file))
        return u"テーブルファイル「%1」は旧形式（Paradox）のテーブルです。「ファイル」-「旧データの取り込み…」（コマンドラインでは kelmo4-export --import-paradox）で取り込んでください。"_s.arg(
            file);
    qWarning("kelmo4: table file %s: %s", qUtf8Printable(file), qUtf8Printable(engineText));
    return u"テーブルファイル「%1」は壊れているか、このプログラムのものではありません。バックアップから戻すか、ファイルをデータフォルダの外へ移してください。"_s.arg(
        file);
}

// Why the table in its file cannot be used as declared, or the empty text: a file of some
// other program, or a table without columns the program reads and writes. Extra columns
// do no harm (every insert names its columns). Tables without a declaration are not checked.
QString ColumnProblem(const QSqlDatabase &db, const QString &folder, const QString &table)
{
    const QString schema = table == u"Kel4Head"_s ? u"main"_s : table;
    QSqlQuery q(db);
    if (!q.exec(u"SELECT name, type FROM \"%1\".sqlite_master"_s.arg(schema)))
        return BadFileMessage(folder, table, q.lastError().databaseText());
    QString stored;
    int others = 0;
    while (q.next()) {
        if (q.value(1).toString() != u"table"_s)
            continue;
        if (q.value(0).toString().compare(table, Qt::CaseInsensitive) == 0)
            stored = q.value(0).toString();
        else
            ++others;
    }
    const QString file = TableFile(folder, table);
    if (stored.isEmpty()) {
        if (others == 0)
            return QString(); // an empty file: the table is created at first use
        return u"テーブルファイル「%1」は別のプログラムのデータベースで、テーブル %2 がありません。ファイルをデータフォルダの外へ移すか、別のデータフォルダを選んでください。"_s.arg(
            file, table);
    }
    const TTableDef *def = FindTableDef(table);
    if (!def)
        return QString();
    QSqlQuery info(db);
    if (!info.exec(u"PRAGMA \"%1\".table_info(\"%2\")"_s.arg(schema, stored)))
        return BadFileMessage(folder, table, info.lastError().databaseText());
    QStringList present;
    while (info.next())
        present.append(info.value(1).toString());
    QStringList missing;
    for (const TFieldDef &field : def->Fields()) {
        const bool found = std::any_of(present.cbegin(), present.cend(), [&](const QString &c) {
            return c.compare(field.Name, Qt::CaseInsensitive) == 0;
        });
        if (!found && !field.AddedLater)
            missing.append(field.Name);
    }
    if (missing.isEmpty())
        return QString();
    if (missing.size() == def->Fields().size())
        return u"テーブルファイル「%1」のテーブル %2 は別のプログラムのもので、このプログラムの項目が一つもありません。ファイルをデータフォルダの外へ移すか、別のデータフォルダを選んでください。"_s.arg(
            file, table);
    return u"テーブルファイル「%1」のテーブル %2 には、項目 %3 がありません（別の版か別のプログラムのテーブルです）。このままでは使えないため、何も書き込んでいません。ファイルをデータフォルダの外へ移すか、別のデータフォルダを選んでください。"_s.arg(
        file, table, missing.join(u"、"_s));
}

// Columns added to a table after its files were first written (AddedLater) go into each
// usable table that lacks them. A file that cannot be written keeps its old columns: reads
// take the missing one as NULL.
void AddLaterColumns(const QSqlDatabase &db, const QHash<QString, QString> &badTables)
{
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        if (!def || badTables.contains(table))
            continue;
        const QString schema = table == u"Kel4Head"_s ? u"main"_s : table;
        QSqlQuery info(db);
        if (!info.exec(u"PRAGMA \"%1\".table_info(\"%2\")"_s.arg(schema, table)))
            continue;
        QStringList present;
        while (info.next())
            present.append(info.value(1).toString().toUpper());
        if (present.isEmpty())
            continue; // created at first use, with every column
        for (const TFieldDef &field : def->Fields()) {
            if (!field.AddedLater || present.contains(field.Name.toUpper()))
                continue;
            QSqlQuery alter(db);
            QString type = u"TEXT"_s;
            switch (field.Type) {
            case TFieldType::Alpha: break;
            case TFieldType::LongInt: type = u"INTEGER"_s; break;
            case TFieldType::Date: type = u"DATE"_s; break;
            case TFieldType::Logical: type = u"BOOLEAN"_s; break;
            case TFieldType::Float: type = u"REAL"_s; break;
            }
            if (!alter.exec(u"ALTER TABLE \"%1\".\"%2\" ADD COLUMN \"%3\" %4"_s.arg(schema, table, field.Name, type)))
                qWarning("kelmo4: column %s not added to %s: %s", qUtf8Printable(field.Name), qUtf8Printable(table),
                         qUtf8Printable(alter.lastError().databaseText()));
        }
    }
}

// The super-journal of a multi-file commit (Kel4Head.db-mj…) is removed by the engine when
// it rolls back the journals that name it; a program killed before the journals named it,
// or after they were gone, leaves it for ever. One that no journal names is removed, and
// only while this connection holds every table file for writing: then no other program is
// in the middle of a commit that could still need it.
void RemoveOrphanSuperJournals(sqlite3 *db, const QString &folder)
{
    const QDir dir(folder);
    const QStringList leftovers = dir.entryList({u"*.db-mj*"_s}, QDir::Files | QDir::Hidden | QDir::System);
    if (leftovers.isEmpty())
        return;
    sqlite3_busy_timeout(db, 0);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
        QList<QByteArray> journals;
        for (const QString &entry : dir.entryList({u"*-journal"_s}, QDir::Files | QDir::Hidden | QDir::System)) {
            // Only a journal whose header is complete can be rolled back; one killed before
            // its header was written is ignored by the engine, and so is the name in it.
            static const QByteArray magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
            QFile journal(dir.filePath(entry));
            if (journal.open(QIODevice::ReadOnly) && journal.peek(8) == magic)
                journals.append(journal.readAll());
        }
        for (const QString &entry : leftovers) {
            const QByteArray path = QFile::encodeName(dir.filePath(entry));
            const bool named = std::any_of(journals.cbegin(), journals.cend(),
                                           [&](const QByteArray &j) { return j.contains(path); });
            if (!named)
                QFile::remove(dir.filePath(entry));
        }
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

// The server's tables are checked against their definitions as a folder's files are: a
// table without columns the program writes stays out of reach, the others work.
void OpenServerConnection(const TDataSource &source)
{
    TConnectionState &state = State();
    auto pg = std::make_unique<PgEngine::TConnection>(source);
    const PgEngine::TResult stored = pg->Exec(
        u"SELECT table_name::text, column_name::text FROM information_schema.columns WHERE table_schema = current_schema()"_s,
        {}, u"テーブルの確認"_s, true);
    QHash<QString, QStringList> columns;
    for (qsizetype r = 0; r < stored.Rows; ++r)
        columns[stored.Values[r * 2].toString()].append(stored.Values[r * 2 + 1].toString());
    const PgEngine::TResult indexes = pg->Exec(
        u"SELECT indexname::text FROM pg_catalog.pg_indexes WHERE schemaname = current_schema()"_s, {},
        u"テーブルの確認"_s, true);
    QSet<QString> indexed;
    for (const QVariant &name : indexes.Values)
        indexed.insert(name.toString());
    state.BadTables.clear();
    for (const QString &table : KnownTableNames()) {
        const TTableDef *def = FindTableDef(table);
        const QStringList present = columns.value(table.toLower());
        if (!def || present.isEmpty())
            continue;
        QStringList added;
        if (!present.contains(u"rowid"_s))
            added.append(u"rowid BIGINT GENERATED BY DEFAULT AS IDENTITY"_s);
        QStringList missing;
        for (const TFieldDef &field : def->Fields()) {
            if (present.contains(field.Name.toLower()))
                continue;
            if (!field.AddedLater) {
                missing.append(field.Name);
                continue;
            }
            added.append(field.Name.toLower() + (field.Type == TFieldType::LongInt ? u" INTEGER"_s : u" TEXT"_s));
        }
        // Columns of a later version (and the row key of a table made before it) are added
        // under the writers' lock, as another program may be adding them too; where the role
        // may not, reads count them as empty.
        for (const QString &column : std::as_const(added)) {
            try {
                pg->Begin();
                pg->Command(u"ALTER TABLE %1 ADD COLUMN IF NOT EXISTS %2"_s.arg(table.toLower(), column).toUtf8().constData(),
                            table);
                pg->Commit();
            } catch (const EDatabaseError &) {
                pg->Rollback();
            }
        }
        // Tables made before their row key had an index: every change of a line by that
        // key read the whole table. Where the role may not add it, the key works unindexed.
        if (!indexed.contains(table.toLower() + u"_rowid"_s)) {
            try {
                pg->Begin();
                pg->Command(PgEngine::RowidIndexStatement(table.toLower()).toUtf8().constData(), table);
                pg->Commit();
            } catch (const EDatabaseError &) {
                pg->Rollback();
            }
        }
        if (!missing.isEmpty())
            state.BadTables.insert(
                table, u"サーバーのテーブル %1 には、項目 %2 がありません（別の版か別のプログラムのテーブルです）。このままでは使えないため、何も書き込んでいません。サーバーの管理者に連絡してください。\n%3"_s.arg(
                           table, missing.join(u"、"_s), source.Describe()));
    }
    // Closed while the Qt driver is still there.
    static const bool closeAtEnd = [] {
        qAddPostRoutine([] { TDatabase::Close(); });
        return true;
    }();
    Q_UNUSED(closeAtEnd);
    state.Name = pg->Name();
    state.Folder.clear();
    state.Source = source;
    state.Pg = std::move(pg);
}

void OpenConnection()
{
    TConnectionState &state = State();
    if (const TDataSource source = GetAliasSource(u"tomaruk"_s); source.IsServer()) {
        OpenServerConnection(source);
        return;
    }
    const QString folder = GetAliasPath(u"tomaruk"_s);
    const QString defaultFolder = WithSlash(AppPaths::DefaultDataFolder());
    if (folder == defaultFolder)
        QDir().mkpath(folder);
    const QFileInfo info(folder);
    if (!info.exists())
        ThrowFolderMissing(folder);
    if (!info.isDir())
        throw EDatabaseError(
            u"「%1」はフォルダではありません。「オプション」-「標準値の登録」でフォルダを選び直してください。"_s.arg(folder));
    // Table files that an import was moving when it was killed are put in place (or back)
    // before any of them is opened.
    FinishInterruptedMoves(folder);

    const QString name = u"tomaruk:"_s + folder;
    sqlite3 *handle = nullptr;
    {
        QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                       : QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(TableFile(folder, u"Kel4Head"_s));
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(kBusyTimeoutMs));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            ThrowEngineError(u"データフォルダ: "_s + folder, error);
        }
        // The statements run on the driver's own handle (the driver uses the system's
        // SQLite library, the one this program is linked with).
        const QVariant driverHandle = db.driver()->handle();
        if (driverHandle.isValid() && qstrcmp(driverHandle.typeName(), "sqlite3*") == 0)
            handle = *static_cast<sqlite3 *const *>(driverHandle.constData());
        if (!handle) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw EDatabaseError(u"データベースの操作に失敗しました。\nデータフォルダ: "_s + folder);
        }
        state.BadTables.clear();
        // Every statement reads the main file's schema first: when Kel4Head.db is damaged or
        // not ours, no table can be used, and that file is the one to name.
        {
            QSqlQuery q(db);
            QString why;
            if (!q.exec(u"SELECT count(*) FROM main.sqlite_master"_s))
                why = BadFileMessage(folder, u"Kel4Head"_s, q.lastError().databaseText());
            else
                why = ColumnProblem(db, folder, u"Kel4Head"_s);
            if (!why.isEmpty()) {
                q = QSqlQuery();
                db.close();
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(name);
                throw EDatabaseError(why);
            }
        }
        // Each other table file must be a database of ours; a file that is not keeps its
        // table out of reach (detached, so nothing is written to it) without barring the others.
        for (const QString &table : KnownTableNames()) {
            if (table == u"Kel4Head"_s)
                continue;
            QSqlQuery q(db);
            q.prepare(u"ATTACH DATABASE ? AS \"%1\""_s.arg(table));
            q.addBindValue(TableFile(folder, table));
            if (!q.exec()) {
                state.BadTables.insert(table, BadFileMessage(folder, table, q.lastError().databaseText()));
                continue;
            }
            QString why;
            if (!q.exec(u"SELECT count(*) FROM \"%1\".sqlite_master"_s.arg(table)))
                why = BadFileMessage(folder, table, q.lastError().databaseText());
            else
                why = ColumnProblem(db, folder, table);
            if (!why.isEmpty()) {
                state.BadTables.insert(table, why);
                q.exec(u"DETACH DATABASE \"%1\""_s.arg(table));
            }
        }
        AddLaterColumns(db, state.BadTables);
        RemoveOrphanSuperJournals(handle, folder);
    }
    state.Name = name;
    state.Folder = folder;
    state.Handle = handle;
}

[[noreturn]] void ThrowBadTable(const QString &table)
{
    throw EDatabaseError(State().BadTables.value(table));
}

// The open connection, checked first unless a transaction (which checked at its start)
// is running: a folder removed while the program runs would take every later write into
// files that no longer exist; close and report it instead.
void EnsureConnection(bool check)
{
    TConnectionState &state = State();
    if (!state.Name.isEmpty() && !check)
        return;
    if (!state.Name.isEmpty() && state.Pg) {
        // A connection the server dropped is opened again at the next statement.
        if (!(GetAliasSource(u"tomaruk"_s) == state.Source) || PQstatus(state.Pg->Handle()) != CONNECTION_OK)
            TDatabase::Close();
    } else if (!state.Name.isEmpty()) {
        const QString folder = GetAliasPath(u"tomaruk"_s);
        if (state.Folder != folder || !QFileInfo(state.Folder).isDir())
            TDatabase::Close();
    }
    if (state.Name.isEmpty())
        OpenConnection();
}

sqlite3 *Handle()
{
    EnsureConnection(g_transactionDepth == 0);
    return State().Handle;
}

// The server's connection when the alias names a server, else nullptr (the folder's handle
// is then open).
PgEngine::TConnection *Server()
{
    EnsureConnection(g_transactionDepth == 0);
    return State().Pg.get();
}
} // namespace

QSqlDatabase TDatabase::Connection()
{
    EnsureConnection(g_transactionDepth == 0);
    return QSqlDatabase::database(State().Name, false);
}

void TDatabase::Close()
{
    TConnectionState &state = State();
    if (state.Name.isEmpty())
        return;
    if (state.Pg) {
        state.Pg.reset();
        state.Name.clear();
        state.Source = TDataSource();
        state.BadTables.clear();
        return;
    }
    FinalizeStatements();
    {
        QSqlDatabase db = QSqlDatabase::database(state.Name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(state.Name);
    state.Name.clear();
    state.Folder.clear();
    state.Handle = nullptr;
    state.BadTables.clear();
}

QString TDatabase::OpenFolder()
{
    return State().Pg ? State().Source.Describe() : State().Folder;
}

bool TableExists(const QString &table)
{
    const QString canonical = CanonicalTableName(table);
    QSqlDatabase db = TDatabase::Connection();
    if (canonical.isEmpty())
        return false;
    if (State().BadTables.contains(canonical))
        ThrowBadTable(canonical);
    if (PgEngine::TConnection *server = State().Pg.get())
        return server->TableExists(canonical);
    const QString schema = canonical == u"Kel4Head"_s ? u"main"_s : canonical;
    QSqlQuery q(db);
    q.prepare(u"SELECT sum(name = ? COLLATE NOCASE), count(*) FROM \"%1\".sqlite_master WHERE type = 'table'"_s.arg(schema));
    q.addBindValue(canonical);
    if (!q.exec() || !q.next())
        ThrowEngineError(u"対象: "_s + TableLabel(canonical), q.lastError());
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
    if (PgEngine::TConnection *server = State().Pg.get()) {
        server->CreateTable(def);
        return false;
    }
    QString statement = def.CreateStatement();
    if (def.Name() == u"Kel4Head"_s)
        statement.replace(u"\"Kel4Head\".\"Kel4Head\""_s, u"main.\"Kel4Head\""_s);
    QSqlQuery q(TDatabase::Connection());
    if (!q.exec(statement))
        ThrowEngineError(u"対象: "_s + TableLabel(def.Name()) + u"（作成できません）"_s, q.lastError());
    return false;
}

// ---- statements -------------------------------------------------------------------------

// What a statement text says, worked out once per text.
struct TParsedSql
{
    QString Sql;        // with "?" placeholders
    QStringList Order;  // parameter names in the order of their placeholders
    const TTableDef *Target = nullptr; // insert or update: the table its parameters fill
    // For "update T set a=:a, ... where C": a select of the rows the update would change,
    // and its parameter names; empty for other statements.
    QString ChangesSql;
    QStringList ChangesOrder;
    QString ServerSql; // the text in the server's terms
};

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

// The select that finds the rows an update of plain "column=:name" assignments would
// change; empty when the update has any other form.
QString ChangesSelect(const QString &sql)
{
    static const QRegularExpression update(
        u"^\\s*update\\s+\"?(\\w+)\"?\\s+set\\s+(.+?)(?:\\s+where\\s+(.*))?\\s*$"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression assignment(u"^\\s*\"?(\\w+)\"?\\s*=\\s*(:\\w+)\\s*$"_s);
    const auto match = update.match(sql);
    if (!match.hasMatch())
        return QString();
    QStringList same;
    for (const QString &item : match.captured(2).split(u',')) {
        const auto a = assignment.match(item);
        if (!a.hasMatch())
            return QString();
        same.append(u'"' + a.captured(1) + u"\" IS "_s + a.captured(2));
    }
    const QString where = match.captured(3).trimmed();
    QString select = u"select 1 from \"%1\" where "_s.arg(match.captured(1));
    if (!where.isEmpty())
        select += u'(' + where + u") and "_s;
    return select + u"not ("_s + same.join(u" and "_s) + u") limit 1"_s;
}

std::shared_ptr<const TParsedSql> ParsedSql(const QString &sql)
{
    static QHash<QString, std::shared_ptr<const TParsedSql>> parsed;
    if (const auto found = parsed.constFind(sql); found != parsed.constEnd())
        return found.value();
    auto p = std::make_shared<TParsedSql>();
    p->Sql = NumberPlaceholders(sql, &p->Order);
    p->ServerSql = PgEngine::ServerSql(p->Sql);
    // Inserts and updates name their parameters after the columns they fill, so a text
    // that is too long for its column is refused before anything is written.
    static const QRegularExpression target(u"^\\s*(?:insert\\s+into|update)\\s+\"?(\\w+)"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    if (const auto match = target.match(sql); match.hasMatch())
        p->Target = FindTableDef(match.captured(1));
    if (const QString changes = ChangesSelect(sql); !changes.isEmpty())
        p->ChangesSql = NumberPlaceholders(changes, &p->ChangesOrder);
    if (parsed.size() > 500)
        parsed.clear();
    parsed.insert(sql, p);
    return p;
}

// The compiled statement of the text on the open connection; Sql is the caller's text,
// for the messages.
sqlite3_stmt *Statement(sqlite3 *db, const QString &placeholderSql, const QString &sql)
{
    TConnectionState &state = State();
    if (sqlite3_stmt *stmt = state.Statements.value(placeholderSql))
        return stmt;
    const QByteArray utf8 = placeholderSql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, &tail) != SQLITE_OK) {
        const QString engineText = QString::fromUtf8(sqlite3_errmsg(db));
        const int code = sqlite3_extended_errcode(db);
        sqlite3_finalize(stmt);
        // The table the engine did not find is the one to blame; failing that, the first
        // unusable table the statement names (whole words, in the folder's order).
        static const QRegularExpression noSuchTable(u"no such table: (?:\\w+\\.)?(\\w+)"_s);
        if (const auto m = noSuchTable.match(engineText); m.hasMatch()) {
            const QString missing = CanonicalTableName(m.captured(1));
            if (state.BadTables.contains(missing))
                ThrowBadTable(missing);
        }
        for (const QString &table : KnownTableNames()) {
            const QRegularExpression word(u"\\b"_s + table + u"\\b"_s, QRegularExpression::CaseInsensitiveOption);
            if (state.BadTables.contains(table) && word.match(sql).hasMatch())
                ThrowBadTable(table);
        }
        ThrowEngine(sql, code, engineText);
    }
    if (tail && !QByteArrayView(tail, utf8.constData() + utf8.size() - tail).trimmed().isEmpty()) {
        sqlite3_finalize(stmt);
        ThrowEngine(sql, SQLITE_MISUSE, u"Unable to execute multiple statements at a time"_s);
    }
    if (!stmt)
        ThrowEngine(sql, SQLITE_MISUSE, u"No query"_s);
    // A handful of texts make up nearly all statements; texts built with literals in them
    // must not pile up.
    if (state.Statements.size() >= 200)
        FinalizeStatements();
    state.Statements.insert(placeholderSql, stmt);
    return stmt;
}

// Leaves the statement ready for its next use, whatever happens in between.
class TResetOnExit
{
public:
    explicit TResetOnExit(sqlite3_stmt *stmt)
        : m_stmt(stmt)
    {
    }
    ~TResetOnExit()
    {
        sqlite3_reset(m_stmt);
    }
    TResetOnExit(const TResetOnExit &) = delete;
    TResetOnExit &operator=(const TResetOnExit &) = delete;

private:
    sqlite3_stmt *m_stmt;
};

bool IsAscii(const QChar *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i].unicode() >= 0x80)
            return false;
    }
    return true;
}

int BindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    // Plain ASCII (nearly every value) goes as its bytes; anything else as UTF-16, converted
    // by the engine as the driver always had it.
    constexpr qsizetype kBuffer = 256;
    if (text.size() <= kBuffer && IsAscii(text.constData(), text.size())) {
        char buffer[kBuffer];
        for (qsizetype i = 0; i < text.size(); ++i)
            buffer[i] = char(text.at(i).unicode());
        return sqlite3_bind_text(stmt, index, buffer, int(text.size()), SQLITE_TRANSIENT);
    }
    return sqlite3_bind_text16(stmt, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

// Binds a value the way the Qt SQLite driver binds it: null values and null texts, dates
// and times as NULL; numbers as numbers; everything else as text.
int BindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(value.constData());
        return text.isNull() ? sqlite3_bind_null(stmt, index) : BindText(stmt, index, text);
    }
    case QMetaType::QByteArray: {
        const QByteArray &bytes = *static_cast<const QByteArray *>(value.constData());
        if (bytes.isNull())
            return sqlite3_bind_null(stmt, index);
        return sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, value.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        if (!dateTime.isValid())
            return sqlite3_bind_null(stmt, index);
        return BindText(stmt, index, dateTime.toString(Qt::ISODateWithMs));
    }
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        if (!time.isValid())
            return sqlite3_bind_null(stmt, index);
        return BindText(stmt, index, time.toString(u"hh:mm:ss.zzz"_s));
    }
    case QMetaType::QDate:
        if (!value.toDate().isValid())
            return sqlite3_bind_null(stmt, index);
        return BindText(stmt, index, value.toString());
    default:
        return BindText(stmt, index, value.toString());
    }
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

// Binds the named values in the order of the placeholders.
void BindParams(sqlite3_stmt *stmt, sqlite3 *db, const QStringList &order,
                const QList<QPair<QString, QVariant>> &params, const QString &sql)
{
    if (sqlite3_bind_parameter_count(stmt) != order.size())
        ThrowEngine(sql, SQLITE_MISUSE, u"Parameter count mismatch"_s);
    for (int i = 0; i < order.size(); ++i) {
        const QVariant *value = nullptr;
        for (const auto &p : params) {
            if (p.first.compare(order[i], Qt::CaseInsensitive) == 0) {
                value = &p.second;
                break;
            }
        }
        if (!value)
            ThrowProgramFault(u"parameter :%1"_s.arg(order[i]), sql);
        if (BindValue(stmt, i + 1, BindableValue(*value)) != SQLITE_OK)
            ThrowEngineError(sql, db);
    }
}

QString ColumnText(sqlite3_stmt *stmt, int column)
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    const int bytes = sqlite3_column_bytes(stmt, column);
    if (bytes == 0)
        return u""_s;
    bool ascii = true;
    for (int i = 0; i < bytes; ++i) {
        if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(utf8, bytes);
    // Anything else exactly as the engine turns it into UTF-16.
    const auto *utf16 = static_cast<const QChar *>(sqlite3_column_text16(stmt, column));
    return QString(utf16, sqlite3_column_bytes16(stmt, column) / 2);
}

// A column value as the Qt SQLite driver gives it.
QVariant ColumnValue(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    default:
        return QVariant(ColumnText(stmt, column));
    }
}

// The name of a result column as the Qt SQLite driver gives it: without quotes and
// without the table in front.
QString ColumnName(sqlite3_stmt *stmt, int column)
{
    QString name = QString::fromUtf8(sqlite3_column_name(stmt, column)).remove(u'"');
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.mid(dot + 1);
}
} // namespace

namespace {
// The values of the named parameters in the order of the placeholders, for the server.
QList<QVariant> OrderedValues(const QStringList &order, const QList<QPair<QString, QVariant>> &params, const QString &sql)
{
    QList<QVariant> values;
    values.reserve(order.size());
    for (const QString &name : order) {
        const QVariant *value = nullptr;
        for (const auto &p : params) {
            if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
                value = &p.second;
                break;
            }
        }
        if (!value)
            ThrowProgramFault(u"parameter :%1"_s.arg(name), sql);
        values.append(BindableValue(*value));
    }
    return values;
}
} // namespace

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

bool TQuery::LeavesRowsAsTheyAre(const TParsedSql &parsed) const
{
    sqlite3 *db = Handle();
    sqlite3_stmt *stmt = Statement(db, parsed.ChangesSql, Sql());
    TResetOnExit reset(stmt);
    BindParams(stmt, db, parsed.ChangesOrder, m_params, Sql());
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngineError(Sql(), db);
    return rc == SQLITE_DONE;
}

void TQuery::Run(bool select)
{
    const QString sql = Sql();
    const std::shared_ptr<const TParsedSql> parsed = ParsedSql(sql);
    if (parsed->Target) {
        for (const auto &p : m_params) {
            if (p.second.typeId() == QMetaType::QString)
                parsed->Target->CheckText(p.first, p.second.toString());
        }
    }
    m_values.clear();
    m_columns.clear();
    m_dateColumns.clear();
    m_rowCount = 0;
    m_row = 0;
    if (PgEngine::TConnection *server = Server()) {
        PgEngine::TResult result = server->Exec(parsed->ServerSql, OrderedValues(parsed->Order, m_params, sql), sql, select);
        if (!select)
            return;
        m_columns = std::move(result.Columns);
        for (const QString &column : std::as_const(m_columns))
            m_dateColumns.append(IsDateColumn(column));
        m_values = std::move(result.Values);
        m_rowCount = result.Rows;
        return;
    }
    sqlite3 *db = Handle();

    // A statement that writes a table file takes that file into the commit, and a commit
    // over several files goes through a super-journal with syncs of its own.
    if (!select && g_transactionDepth > 0 && !parsed->ChangesSql.isEmpty() && LeavesRowsAsTheyAre(*parsed))
        return;

    sqlite3_stmt *stmt = Statement(db, parsed->Sql, sql);
    TResetOnExit reset(stmt);
    BindParams(stmt, db, parsed->Order, m_params, sql);
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngineError(sql, db);
    if (!select)
        return;
    const int columns = sqlite3_column_count(stmt);
    for (int i = 0; i < columns; ++i) {
        m_columns.append(ColumnName(stmt, i));
        m_dateColumns.append(IsDateColumn(m_columns.last()));
    }
    while (rc == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i)
            m_values.append(ColumnValue(stmt, i));
        ++m_rowCount;
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        m_values.clear();
        m_rowCount = 0;
        ThrowEngineError(sql, db);
    }
    if (columns == 0)
        m_rowCount = 0;
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
        ThrowProgramFault(u"column %1"_s.arg(name), Sql());
    if (Eof())
        return QVariant();
    return Value(column);
}

int TQuery::FieldIndex(const QString &name) const
{
    const int column = ColumnIndex(name);
    if (column < 0)
        ThrowProgramFault(u"column %1"_s.arg(name), Sql());
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
    const QVariant &v = Value(column);
    if (v.isNull())
        return QString();
    if (m_dateColumns.value(column))
        return DateToText(QDate::fromString(v.toString(), u"yyyy-MM-dd"_s));
    if (v.typeId() == QMetaType::Double)
        return FormatGeneral(v.toDouble());
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString *>(v.constData());
    return v.toString();
}

QVariant TQuery::FieldValueAt(int column) const
{
    return Eof() ? QVariant() : Value(column);
}

int TQuery::FieldIntAt(int column) const
{
    if (Eof())
        return 0;
    const QVariant &v = Value(column);
    return v.isNull() ? 0 : int(v.toLongLong());
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
    , m_parsed(ParsedSql(sql))
{
    // Compiled now, so a statement the engine refuses fails before any row is written.
    if (PgEngine::TConnection *server = Server())
        server->Compile(m_parsed->ServerSql, m_sql);
    else
        Statement(Handle(), m_parsed->Sql, m_sql);
}

TPreparedQuery &TPreparedQuery::SetParam(const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(u':') ? name.mid(1) : name;
    // The rows of a bulk write set their parameters in the same order each time.
    if (m_nextParam < m_params.size()) {
        TParam &p = m_params[m_nextParam];
        if (p.Name.compare(key, Qt::CaseInsensitive) == 0) {
            p.Value = value;
            m_nextParam = (m_nextParam + 1) % m_params.size();
            return *this;
        }
    }
    for (qsizetype i = 0; i < m_params.size(); ++i) {
        if (m_params[i].Name.compare(key, Qt::CaseInsensitive) == 0) {
            m_params[i].Value = value;
            m_nextParam = (i + 1) % m_params.size();
            return *this;
        }
    }
    const TFieldDef *field = m_parsed->Target ? m_parsed->Target->Field(key) : nullptr;
    m_params.append({key, value, field});
    m_binding.clear();
    m_nextParam = 0;
    return *this;
}

void TPreparedQuery::ExecSQL()
{
    for (const TParam &p : std::as_const(m_params)) {
        if (p.Field && p.Value.typeId() == QMetaType::QString)
            m_parsed->Target->CheckText(*p.Field, *static_cast<const QString *>(p.Value.constData()));
    }
    if (m_binding.isEmpty() && !m_parsed->Order.isEmpty()) {
        for (const QString &name : m_parsed->Order) {
            int found = -1;
            for (qsizetype i = 0; i < m_params.size(); ++i) {
                if (m_params[i].Name.compare(name, Qt::CaseInsensitive) == 0) {
                    found = int(i);
                    break;
                }
            }
            if (found < 0)
                ThrowProgramFault(u"parameter :%1"_s.arg(name), m_sql);
            m_binding.append(found);
        }
    }
    if (PgEngine::TConnection *server = Server()) {
        QList<QVariant> values;
        values.reserve(m_binding.size());
        for (const int index : std::as_const(m_binding))
            values.append(BindableValue(m_params[index].Value));
        server->Exec(m_parsed->ServerSql, values, m_sql, false);
        return;
    }
    sqlite3 *db = Handle();
    sqlite3_stmt *stmt = Statement(db, m_parsed->Sql, m_sql);
    TResetOnExit reset(stmt);
    if (sqlite3_bind_parameter_count(stmt) != m_binding.size())
        ThrowEngine(m_sql, SQLITE_MISUSE, u"Parameter count mismatch"_s);
    for (int i = 0; i < m_binding.size(); ++i) {
        if (BindValue(stmt, i + 1, BindableValue(m_params[m_binding[i]].Value)) != SQLITE_OK)
            ThrowEngineError(m_sql, db);
    }
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngineError(m_sql, db);
}

// ---- transaction ------------------------------------------------------------------------

TTransaction::TTransaction()
{
    if (g_transactionDepth == 0) {
        g_transactionSpoiled = false;
        // As a writer from the start: a transaction that reads first and writes later cannot
        // wait for another program's write (the engine refuses at once to avoid a deadlock),
        // while a writer's start waits up to the busy timeout.
        if (PgEngine::TConnection *server = Server()) {
            server->Begin();
            ++g_transactionDepth;
            return;
        }
        sqlite3 *db = Handle();
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            ThrowEngineError(u"変更を始められません"_s, db);
    }
    ++g_transactionDepth;
}

TTransaction::~TTransaction()
{
    if (m_done)
        return;
    g_transactionSpoiled = true;
    if (--g_transactionDepth == 0 && State().Pg)
        State().Pg->Rollback();
    else if (g_transactionDepth == 0 && State().Handle && !sqlite3_get_autocommit(State().Handle))
        sqlite3_exec(State().Handle, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TTransaction::Commit()
{
    if (m_done)
        return;
    m_done = true;
    if (--g_transactionDepth == 0) {
        if (PgEngine::TConnection *server = State().Pg.get()) {
            if (g_transactionSpoiled) {
                server->Rollback();
                throw EDatabaseError(u"変更の途中で失敗したため、保存しませんでした。"_s);
            }
            server->Commit();
            return;
        }
        // The folder may have gone since the start; the commit reports it.
        EnsureConnection(true);
        sqlite3 *db = State().Handle;
        if (g_transactionSpoiled) {
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw EDatabaseError(u"変更の途中で失敗したため、保存しませんでした。"_s);
        }
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            const QString engineText = QString::fromUtf8(sqlite3_errmsg(db));
            const int code = sqlite3_extended_errcode(db);
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            ThrowEngine(u"変更を保存できません"_s, code, engineText);
        }
    }
}

// ---- trying a data source ---------------------------------------------------------------

QString TestDataSource(const TDataSource &source)
{
    if (!source.IsServer()) {
        const QFileInfo info(source.Folder);
        if (source.Folder.isEmpty())
            return u"データフォルダが指定されていません。"_s;
        if (!info.exists())
            return u"データフォルダ「%1」が見つかりません。"_s.arg(QDir::toNativeSeparators(source.Folder));
        if (!info.isDir())
            return u"「%1」はフォルダではありません。"_s.arg(QDir::toNativeSeparators(source.Folder));
        if (!info.isWritable())
            return u"データフォルダ「%1」に書き込めません。フォルダに書き込みを許可してください。"_s.arg(
                QDir::toNativeSeparators(source.Folder));
        return QString();
    }
    try {
        PgEngine::TConnection connection(source);
        connection.Exec(u"SELECT 1"_s, {}, u"接続テスト"_s, true);
    } catch (const EDatabaseError &e) {
        return e.Message();
    }
    return QString();
}
