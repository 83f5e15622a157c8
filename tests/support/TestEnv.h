#pragma once

#include <QHash>
#include <QString>
#include <QTemporaryDir>

// A private home for one test: HOME and the XDG folders point into a temporary folder, so
// settings, the alias configuration, DekigataDef and the tables never touch a real user's
// files. The working folder becomes the current directory, as at program start.
//
// With KELMO4_TEST_ENGINE=QPSQL the tables live on the process's throw-away PostgreSQL
// cluster instead (support/PgCluster): the alias names a fresh database for the default
// data folder and for each folder UseDataFolder names, and keeps the folder as its Path.
class TTestEnv
{
public:
    TTestEnv();
    ~TTestEnv();
    TTestEnv(const TTestEnv &) = delete;
    TTestEnv &operator=(const TTestEnv &) = delete;

    // Whether the tables of this run live on the server rather than in files.
    static bool OnServer();

    QString Root() const { return m_dir.path(); }
    QString DataFolder() const; // the alias folder, with "/"
    // Points the alias at a fresh subfolder of the root (created) and returns it; on the
    // server, also at the fresh database of that folder.
    QString UseDataFolder(const QString &name);

    // Points the alias at a fresh database of the process's cluster, whatever the engine of
    // the run (its Path an empty subfolder "server"); a test fails when the cluster cannot start.
    void UseServer();

private:
    void UseServerDatabase(const QString &folder);

    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
    QString m_oldCurrent;
    QHash<QString, QString> m_databases; // folder -> database on the cluster
};
