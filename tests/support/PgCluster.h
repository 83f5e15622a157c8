#pragma once

#include <QString>

#include <sys/types.h>

// A throw-away PostgreSQL cluster for tests: initdb into a temporary folder, a server on a
// free port of 127.0.0.1 (socket in the same folder, fsync off), a superuser with trust
// authentication. The destructor stops the server and removes the folder. Should the test
// process die before that, a watchdog child that waits on a pipe from it does the same.
// As root the server programs run as the system user "postgres", since they refuse root.
class TPgCluster
{
public:
    TPgCluster() = default;
    ~TPgCluster();
    TPgCluster(const TPgCluster &) = delete;
    TPgCluster &operator=(const TPgCluster &) = delete;

    // The process's cluster, started at the first call and stopped when the process ends.
    // When it could not start, Error() says why (each later call too).
    static TPgCluster &Shared();

    // False when it did not start: Error() names the program and what it wrote.
    bool Start();
    void Stop();
    bool IsRunning() const { return m_serverPid > 0; }
    QString Error() const { return m_error; }

    QString Host() const { return QStringLiteral("127.0.0.1"); }
    int Port() const { return m_port; }
    QString SuperUser() const { return QStringLiteral("kelmo4"); }
    QString Folder() const { return m_folder; } // the temporary folder, data directory inside
    pid_t ServerPid() const { return m_serverPid; }

    // A new empty database, named by a counter; its name, or the empty text with Error() set.
    QString CreateDatabase();
    // Ends its sessions and drops it; false with Error() set when that fails.
    bool DropDatabase(const QString &name);

private:
    bool Fail(const QString &why);
    bool Run(const QString &program, const QStringList &arguments, QString *output);
    bool Execute(const QString &statement);
    void StartWatchdog();
    void EndWatchdog();

    QString m_bin;
    QString m_runuser;
    QString m_folder;
    QString m_error;
    int m_port = 0;
    pid_t m_serverPid = 0;
    pid_t m_watchdogPid = 0;
    int m_watchdogPipe = -1;
    int m_databases = 0;
    bool m_asPostgres = false;
};
