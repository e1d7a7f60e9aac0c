#pragma once
// A 账套 on a PostgreSQL server: where it is, its schema made from the one description the file
// databases are made from (the SQLite schema and its steps, read back in store/database.h), a
// file 账套 uploaded into an empty server database, and a server 账套 written into an ordinary
// sjk.mdb (its backup, which restores into either kind).

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

class QJsonObject;

namespace store {

struct ServerAddress {
    QString host;     // a name, an address, or the folder of the server's socket (/run/postgresql)
    int port = 5432;
    QString database; // its name on the server
    QString user;
    // The password is never kept by the program: libpq reads it from the user's ~/.pgpass (or
    // PGPASSFILE), as for every PostgreSQL client.

    bool isValid() const { return !host.isEmpty() && !database.isEmpty() && !user.isEmpty() && port > 0 && port < 65536; }
    // "user@host:port/database", for the clerk.
    QString toString() const;
};

QJsonObject serverJson(const ServerAddress &address);
// Nothing when the object does not name a server completely.
std::optional<ServerAddress> serverFromJson(const QJsonObject &json);

// The server the current 账套's database lives on; nothing for a file 账套 (the default).
std::optional<ServerAddress> currentServer();
void useServer(const std::optional<ServerAddress> &server);
// Whether the server's database holds a 账套 of this program's version: empty when it does,
// otherwise what the clerk is told.
QString checkServerDatabase(const ServerAddress &address);

// Opens a connection of its own name (QPSQL); on failure it is closed and *error says why, in
// Chinese with the server's own words.
QSqlDatabase openServer(const ServerAddress &address, const QString &connectionName, QString *error);

// The statements that make the current schema on a server: the same tables with the same columns
// in the same order, the same indexes, and triggers doing what the file's do. A construct of the
// file schema with no server form is an error (*error), never silently dropped.
QStringList serverSchema(QString *error = nullptr);

// Makes the schema in an empty server database, in one transaction; a database that already holds
// tables is refused. Empty on success, otherwise the message.
QString createServerSchema(QSqlDatabase &server);
// The version of the schema a server database holds; 0 when it holds none of ours.
int serverSchemaVersion(QSqlDatabase &server);

// "上传到服务器": every row of the file database at path into an empty server database, in one
// transaction (all or nothing), then every row read back and compared with the file's. Empty on
// success, otherwise the message (and the server database is as it was).
QString uploadToServer(const QString &path, QSqlDatabase &server);

// The backup of a server 账套: one consistent snapshot of every table written into a new sjk.mdb at
// path (which must not exist), the same format as a file 账套's database. The file appears whole or
// not at all. Empty on success, otherwise the message.
QString backupServer(QSqlDatabase &server, const QString &path);

// Whether two databases hold the same rows, table by table in key order; empty when they do,
// otherwise where they first differ.
QString compareRows(QSqlDatabase &a, QSqlDatabase &b);

} // namespace store
