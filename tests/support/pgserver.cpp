#include "pgserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {
const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
bool asRoot() { return geteuid() == 0; }
} // namespace

QString PgServer::run(const QString &program, const QStringList &args, int *status) const
{
    QProcess p;
    QStringList all = args;
    QString command = program;
    // The cluster is the postgres user's when the tests run as root.
    if (asRoot() && program.startsWith(kBin)) {
        all = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args;
        command = QStringLiteral("runuser");
    }
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command, all);
    p.waitForFinished(120000);
    if (status)
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll()).trimmed();
}

PgServer::PgServer()
{
    if (!QFile::exists(kBin + QStringLiteral("initdb"))) {
        m_error = QStringLiteral("postgresql-15 is not installed");
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/lanshi-pg-XXXXXX"));
    m_data = m_dir->filePath(QStringLiteral("data"));
    m_socket = m_dir->path();
    m_port = 40000 + int(QCoreApplication::applicationPid() % 20000);
    if (asRoot())
        run(QStringLiteral("chown"), {QStringLiteral("postgres"), m_dir->path()});
    int status = 0;
    const QString out = run(kBin + QStringLiteral("initdb"),
                            {QStringLiteral("-D"), m_data, QStringLiteral("-U"), m_user, QStringLiteral("-A"),
                             QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                             QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
                            &status);
    if (status != 0) {
        m_error = QStringLiteral("initdb: ") + out;
        return;
    }
    start();
}

bool PgServer::start()
{
    int status = 0;
    const QString out = run(kBin + QStringLiteral("pg_ctl"),
                            {QStringLiteral("-D"), m_data, QStringLiteral("-l"), m_dir->filePath(QStringLiteral("log")),
                             QStringLiteral("-w"), QStringLiteral("-o"),
                             QStringLiteral("-k %1 -p %2 -c listen_addresses='' -c fsync=off").arg(m_socket).arg(m_port),
                             QStringLiteral("start")},
                            &status);
    QFile pidFile(m_data + QStringLiteral("/postmaster.pid"));
    if (status != 0 || !pidFile.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("pg_ctl: ") + out;
        m_pid = 0;
        return false;
    }
    m_pid = QString::fromLatin1(pidFile.readLine()).trimmed().toLongLong();
    return m_pid > 0;
}

bool PgServer::stop()
{
    if (m_pid <= 0)
        return true;
    ::kill(pid_t(m_pid), SIGINT); // fast shutdown: sessions are ended, what is committed stays
    for (int i = 0; i < 600 && ::kill(pid_t(m_pid), 0) == 0; ++i)
        QThread::msleep(50);
    const bool gone = ::kill(pid_t(m_pid), 0) != 0;
    m_pid = 0;
    return gone;
}

PgServer::~PgServer() { stop(); }

store::ServerAddress PgServer::createDatabase(const QString &name)
{
    psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
    return {m_socket, m_port, name, m_user};
}

QString PgServer::psql(const QString &database, const QString &sql) const
{
    return run(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
                                        QStringLiteral("-h"), m_socket, QStringLiteral("-p"), QString::number(m_port),
                                        QStringLiteral("-U"), m_user, QStringLiteral("-d"), database,
                                        QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
}
