#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

#include "app/uDataSource.h"

// Table storage: each table is its own SQLite file <Table>.db in the folder named by the
// alias "tomaruk". One connection per folder: Kel4Head.db is the main database and every
// other table file is attached under its table name, so SQL names tables unqualified.

enum class TFieldType { Alpha, LongInt, Date, Logical, Float };

struct TFieldDef
{
    QString Name;
    TFieldType Type;
    int Size = 0; // bytes in Shift-JIS, for Alpha fields
    QString Label = QString(); // what the windows call the field, for messages
    // A column older table files lack: opening the folder adds it (NULL in the old rows).
    bool AddedLater = false;
};

// A table's columns, declared once; the create statement and the text limits come from it.
class TTableDef
{
public:
    TTableDef(QString name, QList<TFieldDef> fields);

    const QString &Name() const { return m_name; }
    const QList<TFieldDef> &Fields() const { return m_fields; }
    const TFieldDef *Field(const QString &name) const; // case-insensitive
    QString CreateStatement() const;

    // Raises EDatabaseError naming the field by its label (the column in brackets) when Value is too long for it or has a
    // character without a Shift-JIS form. Fields other than Alpha are not checked.
    void CheckText(const QString &field, const QString &value) const;
    // The same for a field of this table already looked up (bulk checks).
    void CheckText(const TFieldDef &field, const QString &value) const;

private:
    QString m_name;
    QList<TFieldDef> m_fields;
};

// The tables of the data folder, in a fixed order; Kel4Head is the main database.
const QStringList &KnownTableNames();
// Definitions registered by the table owners (at static initialisation).
void RegisterTableDef(const TTableDef *def);
const TTableDef *FindTableDef(const QString &table);

// What an engine result code (primary or extended) means to the user and what to do, in
// Japanese; Folder is named where the user has to act on it.
QString EngineCodeMessage(int code, const QString &folder);

// Opens a connection of its own to Source, reads from it and closes it again: the empty
// text when that works, otherwise what failed, in Japanese, naming the server or folder.
QString TestDataSource(const TDataSource &source);

// When the table's file does not hold the table, creates it and returns false.
bool CreateTableIfMissing(const TTableDef &def);
bool TableExists(const QString &table);

// The connection of the current alias folder, opened on first use. Outside a transaction
// every statement first makes sure the folder is still there (and still the alias's);
// inside one, the transaction's start and its commit do.
class TDatabase
{
public:
    static QSqlDatabase Connection();
    static void Close();
    // Folder of the open connection (a server's description), or the empty text.
    static QString OpenFolder();
};

struct TParsedSql;

// One statement: lines added, named parameters bound by name (case-insensitive; a name
// used twice takes one value), then opened or executed. Built fresh for every operation;
// the connection keeps the compiled statement of each text for the next TQuery of it.
// Inside a transaction, an update of the form "update T set a=:a, b=:b ... where ..." that
// would leave every row as it is does not run, so its table file stays out of the commit.
class TQuery
{
public:
    TQuery();
    explicit TQuery(const QString &sql);

    TQuery &Add(const QString &line);
    // QString, int, double, bool, QDate (an invalid date is NULL) or a null QVariant.
    TQuery &SetParam(const QString &name, const QVariant &value);

    void Open();    // select
    void ExecSQL(); // insert, update, delete, create

    int RecordCount() const { return int(m_rowCount); }
    bool Eof() const { return m_row >= m_rowCount; }
    void First() { m_row = 0; }
    void Next() { ++m_row; }

    // Field of the current row; NULL reads as empty, a date as yyyy/MM/dd.
    QString FieldText(const QString &name) const;
    // For reading many rows: the column of a field once (raises EDatabaseError when the
    // result has no such field), then its text in each row as FieldText gives it.
    int FieldIndex(const QString &name) const;
    int FieldCount() const { return int(m_columns.size()); }
    QString FieldTextAt(int column) const;
    int FieldIntAt(int column) const;
    // The value as the engine holds it (NULL as a null QVariant), for exact comparisons.
    QVariant FieldValueAt(int column) const;
    int FieldInt(const QString &name) const;
    double FieldFloat(const QString &name) const;
    bool FieldBool(const QString &name) const;
    QDate FieldDate(const QString &name) const;
    QVariant FieldValue(const QString &name) const;
    bool HasField(const QString &name) const;

    QString Sql() const { return m_lines.join(u'\n'); }

private:
    int ColumnIndex(const QString &name) const;
    const QVariant &Value(int column) const { return m_values[m_row * m_columns.size() + column]; }
    void Run(bool select);
    bool LeavesRowsAsTheyAre(const TParsedSql &parsed) const;

    QStringList m_lines;
    QList<QPair<QString, QVariant>> m_params;
    QStringList m_columns;
    QList<bool> m_dateColumns;
    QList<QVariant> m_values; // row by row, m_columns.size() a row
    qsizetype m_rowCount = 0;
    qsizetype m_row = 0;
};

// One insert, update or delete prepared once and executed for many parameter sets, for
// the bulk writes that run inside one TTransaction (a record's lines). Text parameters are
// checked against their columns like TQuery's. The connection must stay open while it lives.
class TPreparedQuery
{
public:
    explicit TPreparedQuery(const QString &sql);

    TPreparedQuery &SetParam(const QString &name, const QVariant &value);
    void ExecSQL();

private:
    struct TParam
    {
        QString Name;
        QVariant Value;
        const TFieldDef *Field = nullptr; // the column it fills, for the text check
    };

    QString m_sql;
    std::shared_ptr<const TParsedSql> m_parsed;
    QList<TParam> m_params;
    QList<int> m_binding;    // for each placeholder, its entry in m_params
    qsizetype m_nextParam = 0; // where the next SetParam looks first
};

// One transaction on the connection: rolled back unless Commit was called, so a failure
// half-way leaves the old rows in place.
class TTransaction
{
public:
    TTransaction();
    ~TTransaction();
    void Commit();
    TTransaction(const TTransaction &) = delete;
    TTransaction &operator=(const TTransaction &) = delete;

private:
    bool m_done = false;
};
