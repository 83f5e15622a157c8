#include "support/PgCluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QVersionNumber>

#include <libpq-fe.h>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
bool HasServerPrograms(const QString &bin)
{
    for (const char *program : {"initdb", "pg_ctl", "postgres"}) {
        if (!QFileInfo(bin + u'/' + QLatin1StringView(program)).isExecutable())
            return false;
    }
    return true;
}

// Debian keeps each major version's server programs apart; the newest is taken.
QString ServerBinFolder()
{
    QVersionNumber best;
    QString found;
    const QDir versions(u"/usr/lib/postgresql"_s);
    for (const QFileInfo &entry : versions.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry.fileName());
        const QString bin = entry.filePath() + u"/bin"_s;
        if (version.isNull() || !HasServerPrograms(bin))
            continue;
        if (found.isEmpty() || version > best) {
            best = version;
            found = bin;
        }
    }
    if (!found.isEmpty())
        return found;
    const QString initdb = QStandardPaths::findExecutable(u"initdb"_s);
    if (initdb.isEmpty())
        return QString();
    const QString bin = QFileInfo(initdb).absolutePath();
    return HasServerPrograms(bin) ? bin : QString();
}

// A port nobody listens on now; the server may still lose it to someone else before it
// binds, which Start() answers by trying another.
int FreePort(QString *why)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return 0;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    else
        *why = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return port;
}

// A zombie has ended too: it only waits for a parent that may never reap it.
bool ProcessEnded(pid_t pid)
{
    if (::kill(pid, 0) != 0 && errno == ESRCH)
        return true;
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return !QFileInfo::exists(u"/proc/%1"_s.arg(pid));
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("State:"))
            return line.mid(6).trimmed().startsWith('Z');
    }
    return false;
}

bool WaitEnded(pid_t pid, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (ProcessEnded(pid))
            return true;
        ::usleep(20 * 1000);
    }
    return ProcessEnded(pid);
}

QString ConfString(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', u"''"_s) + u'\'';
}

QString Tail(const QString &text, int lines)
{
    const QStringList all = text.trimmed().split(u'\n');
    return all.mid(qMax(0, all.size() - lines)).join(u'\n');
}
} // namespace

TPgCluster::~TPgCluster()
{
    Stop();
}

TPgCluster &TPgCluster::Shared()
{
    static TPgCluster cluster;
    static bool tried = false;
    if (!tried) {
        tried = true;
        cluster.Start();
    }
    return cluster;
}

bool TPgCluster::Fail(const QString &why)
{
    m_error = u"PostgreSQL test cluster: "_s + why;
    Stop();
    return false;
}

bool TPgCluster::Run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    if (m_asPostgres) {
        process.setProgram(m_runuser);
        process.setArguments(QStringList{u"-u"_s, u"postgres"_s, u"--"_s, program} + arguments);
    } else {
        process.setProgram(program);
        process.setArguments(arguments);
    }
    // The working folder of a test is closed to the postgres user.
    process.setWorkingDirectory(m_folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"PGDATA", "PGHOST", "PGHOSTADDR", "PGPORT", "PGUSER", "PGDATABASE", "PGOPTIONS"})
        environment.remove(QLatin1StringView(name));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(10000)) {
        *output = process.errorString();
        return false;
    }
    const bool finished = process.waitForFinished(120000);
    *output = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (!finished) {
        process.kill();
        process.waitForFinished();
        *output += u"\n(still running after 120 s, killed)"_s;
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TPgCluster::Start()
{
    if (IsRunning())
        return true;
    m_error.clear();
    m_bin = ServerBinFolder();
    if (m_bin.isEmpty())
        return Fail(u"no initdb, pg_ctl and postgres in /usr/lib/postgresql/<version>/bin or on PATH; "
                    "install the Debian package postgresql (scripts/setup.sh)"_s);

    const passwd *postgres = nullptr;
    m_asPostgres = ::geteuid() == 0;
    if (m_asPostgres) {
        postgres = ::getpwnam("postgres");
        if (!postgres)
            return Fail(u"running as root, and the server refuses root, but there is no system user "
                        "\"postgres\" to run it as; install the Debian package postgresql"_s);
        m_runuser = QStandardPaths::findExecutable(u"runuser"_s);
        if (m_runuser.isEmpty())
            m_runuser = QStandardPaths::findExecutable(u"runuser"_s, {u"/usr/sbin"_s, u"/sbin"_s});
        if (m_runuser.isEmpty())
            return Fail(u"running as root, and the server refuses root, but runuser (util-linux) is missing to run "
                        "it as the postgres user"_s);
    }

    QByteArray folder = QFile::encodeName(QDir::tempPath() + u"/kelmo4-pg-XXXXXX"_s);
    if (!::mkdtemp(folder.data()))
        return Fail(u"cannot create a temporary folder in %1: %2"_s.arg(QDir::tempPath(),
                                                                        QString::fromLocal8Bit(std::strerror(errno))));
    m_folder = QFile::decodeName(folder);
    QString output;
    if (m_asPostgres) {
        if (::chown(folder.constData(), postgres->pw_uid, postgres->pw_gid) != 0)
            return Fail(u"cannot give %1 to the postgres user: %2"_s.arg(m_folder,
                                                                         QString::fromLocal8Bit(std::strerror(errno))));
        if (!Run(u"/bin/sh"_s, {u"-c"_s, u"test -w \"$1\" && test -x \"$1\""_s, u"sh"_s, m_folder}, &output))
            return Fail(u"the postgres user cannot reach %1 (a folder above it is closed to it?); "
                        "point TMPDIR at a folder it can reach, such as /tmp%2"_s.arg(
                            m_folder, output.isEmpty() ? QString() : u"\n"_s + output));
    }

    const QString data = m_folder + u"/data"_s;
    const QString initdb = m_bin + u"/initdb"_s;
    if (!Run(initdb, {u"-D"_s, data, u"-U"_s, SuperUser(), u"-A"_s, u"trust"_s, u"-E"_s, u"UTF8"_s,
                      u"--locale=C"_s, u"--no-sync"_s},
             &output))
        return Fail(u"%1 failed:\n%2"_s.arg(initdb, output));

    QFile conf(data + u"/postgresql.conf"_s);
    if (!conf.open(QIODevice::Append | QIODevice::Text))
        return Fail(u"cannot add the test settings to %1: %2"_s.arg(conf.fileName(), conf.errorString()));
    // Nothing here needs to survive a crash, so nothing waits for the disk.
    conf.write(u"\nlisten_addresses = '127.0.0.1'\n"
               "unix_socket_directories = %1\n"
               "fsync = off\n"
               "synchronous_commit = off\n"
               "full_page_writes = off\n"_s.arg(ConfString(m_folder))
                   .toUtf8());
    conf.close();

    const QString pgCtl = m_bin + u"/pg_ctl"_s;
    const QString log = m_folder + u"/server.log"_s;
    for (int attempt = 1;; ++attempt) {
        QString why;
        m_port = FreePort(&why);
        if (m_port == 0)
            return Fail(u"cannot find a free port on 127.0.0.1: %1"_s.arg(why));
        QFile::remove(log);
        if (Run(pgCtl, {u"-D"_s, data, u"-l"_s, log, u"-o"_s, u"-p %1"_s.arg(m_port), u"-w"_s, u"-t"_s, u"60"_s,
                        u"start"_s},
                &output))
            break;
        QFile logFile(log);
        const QString logText = logFile.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(logFile.readAll()) : QString();
        const bool portTaken = logText.contains(u"could not bind"_s) || logText.contains(u"already in use"_s);
        if (!portTaken || attempt == 5)
            return Fail(u"%1 start on port %2 failed:\n%3\nserver log:\n%4"_s.arg(pgCtl, QString::number(m_port), output,
                                                                                 Tail(logText, 20)));
    }

    QFile pidFile(data + u"/postmaster.pid"_s);
    const pid_t pid = pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readLine().trimmed().toLong()) : 0;
    if (pid <= 0)
        return Fail(u"the server started, but %1 names no process"_s.arg(pidFile.fileName()));
    m_serverPid = pid;
    StartWatchdog();
    return true;
}

// A child that waits for the end of its pipe from this process; when this process goes
// without Stop() (a crash, a kill), it stops the server and removes the folder.
void TPgCluster::StartWatchdog()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return; // Stop() still does the work on a normal end
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    static const char script[] =
        "cat >/dev/null\n"
        "kill -INT \"$1\" 2>/dev/null\n"
        "i=0\n"
        "while kill -0 \"$1\" 2>/dev/null && ! grep -qs '^State:[[:space:]]*Z' /proc/\"$1\"/status && [ $i -lt 300 ]; do\n"
        "  sleep 0.1; i=$((i+1))\n"
        "done\n"
        "kill -KILL \"$1\" 2>/dev/null\n"
        "rm -rf \"$2\"\n";
    const QByteArray pid = QByteArray::number(m_serverPid);
    const QByteArray folder = QFile::encodeName(m_folder);
    const char *argv[] = {"/bin/sh", "-c", script, "kelmo4-pg-watchdog", pid.constData(), folder.constData(), nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        // Its own session: a signal to the test's process group leaves it running.
        ::setsid();
        ::dup2(fds[0], 0);
        if (null >= 0) {
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execv("/bin/sh", const_cast<char *const *>(argv));
        ::_exit(127);
    }
    ::close(fds[0]);
    if (null >= 0)
        ::close(null);
    if (child < 0) {
        ::close(fds[1]);
        return;
    }
    m_watchdogPid = child;
    m_watchdogPipe = fds[1];
}

void TPgCluster::EndWatchdog()
{
    if (m_watchdogPid > 0) {
        ::kill(-m_watchdogPid, SIGKILL);
        ::waitpid(m_watchdogPid, nullptr, 0);
        m_watchdogPid = 0;
    }
    if (m_watchdogPipe >= 0) {
        ::close(m_watchdogPipe);
        m_watchdogPipe = -1;
    }
}

// Plain system calls only: the shared cluster stops after main() has returned.
void TPgCluster::Stop()
{
    EndWatchdog();
    if (m_serverPid > 0) {
        // Fast shutdown: open sessions are ended, not waited for.
        ::kill(m_serverPid, SIGINT);
        if (!WaitEnded(m_serverPid, 30000)) {
            ::kill(m_serverPid, SIGKILL);
            WaitEnded(m_serverPid, 5000);
        }
        m_serverPid = 0;
    }
    if (!m_folder.isEmpty()) {
        QDir(m_folder).removeRecursively();
        m_folder.clear();
    }
    m_port = 0;
}

bool TPgCluster::Execute(const QString &statement)
{
    if (!IsRunning()) {
        m_error = u"PostgreSQL test cluster: not running (%1)"_s.arg(m_error);
        return false;
    }
    const QByteArray port = QByteArray::number(m_port);
    const QByteArray user = SuperUser().toUtf8();
    const char *keywords[] = {"host", "port", "user", "dbname", "connect_timeout", nullptr};
    const char *values[] = {"127.0.0.1", port.constData(), user.constData(), "postgres", "10", nullptr};
    PGconn *connection = PQconnectdbParams(keywords, values, 0);
    bool done = false;
    if (PQstatus(connection) != CONNECTION_OK) {
        m_error = u"PostgreSQL test cluster: cannot connect to port %1: %2"_s.arg(
            QString::number(m_port), QString::fromUtf8(PQerrorMessage(connection)).trimmed());
    } else {
        PGresult *result = PQexec(connection, statement.toUtf8().constData());
        done = PQresultStatus(result) == PGRES_COMMAND_OK;
        if (!done)
            m_error = u"PostgreSQL test cluster: %1: %2"_s.arg(statement,
                                                               QString::fromUtf8(PQresultErrorMessage(result)).trimmed());
        PQclear(result);
    }
    PQfinish(connection);
    return done;
}

namespace {
QString Identifier(const QString &name)
{
    return u'"' + QString(name).replace(u'"', u"\"\""_s) + u'"';
}
} // namespace

QString TPgCluster::CreateDatabase()
{
    const QString name = u"kelmo4_%1"_s.arg(++m_databases);
    return Execute(u"create database "_s + Identifier(name)) ? name : QString();
}

bool TPgCluster::DropDatabase(const QString &name)
{
    return Execute(u"drop database if exists %1 with (force)"_s.arg(Identifier(name)));
}
