#pragma once
// A private PostgreSQL 15 server for one test program: a cluster made by initdb in a temporary
// folder, started by pg_ctl on a socket in that folder only (no TCP port), and stopped at the end
// by signalling its own postmaster. Run as root, the cluster belongs to the postgres system user
// (initdb refuses root); the tests connect through the socket without a password.

#include "store/server.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    bool isRunning() const { return m_pid > 0; }
    QString error() const { return m_error; } // why it did not start
    qint64 pid() const { return m_pid; }

    // A new, empty database on the server and its address.
    store::ServerAddress createDatabase(const QString &name);
    // psql's answer to a statement (unaligned, without headers), as an independent reader.
    QString psql(const QString &database, const QString &sql) const;
    // Stops the server (fast shutdown) and starts it again on the same cluster.
    bool stop();
    bool start();

private:
    QString run(const QString &program, const QStringList &args, int *status = nullptr) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_data, m_socket, m_user = QStringLiteral("lanshi");
    int m_port = 0;
    qint64 m_pid = 0;
    QString m_error;
};
