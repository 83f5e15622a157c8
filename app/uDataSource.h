#pragma once

#include <QString>

// Where the tables of an alias live: a folder of table files, or a PostgreSQL database
// shared by an office. The password of a server is never kept here: libpq takes it from
// the user's ~/.pgpass or PGPASSWORD.
struct TDataSource
{
    enum class TKind { Folder, Server };

    TKind Kind = TKind::Folder;
    QString Folder; // with "/"
    QString Host;
    int Port = 5432;
    QString Database;
    QString User;

    bool IsServer() const { return Kind == TKind::Server; }
    // For messages and captions: the folder, or "サーバー host:port のデータベース db（ユーザー user）".
    QString Describe() const;
    // What is missing or wrong in a server's settings, in Japanese; empty when usable.
    QString Problem() const;
    bool operator==(const TDataSource &other) const;
};

// The alias as configured in aliases.ini (group [alias]: Path, or Driver=QPSQL with Host,
// Port, Database and User), or as overridden for this run. A folder alias without a path
// names the default data folder.
TDataSource GetAliasSource(const QString &alias);
// Saves the alias (a folder keeps only Path; a server drops Path) and closes the open
// connection; false when the configuration cannot be saved.
bool SetAliasSource(const QString &alias, const TDataSource &source);
// For this run only (the exporter's options): the alias names Source; nothing is saved.
void OverrideAliasSource(const QString &alias, const TDataSource &source);
void EndAliasOverride(const QString &alias);
bool IsAliasOverridden(const QString &alias);

// The alias folder with "/" appended; the default data folder when the alias has none.
// For a server alias, the folder it would name as a folder alias (never used for tables).
QString GetAliasPath(const QString &alias);
// For this run only (the exporter's --data-dir): the alias names Folder; nothing is saved.
// An empty Folder ends the override.
void OverrideAliasPath(const QString &alias, const QString &folder);
// Sets the alias folder, saves the configuration and reopens the connection; false when
// the configuration cannot be saved (the caller shows "Failed").
bool SetAliasPath(const QString &alias, const QString &folder);
