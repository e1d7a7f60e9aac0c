#pragma once
// One window's own connection to sjk.mdb, and the registry that lets a restore close them all.

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <map>
#include <optional>

#include "store/server.h"

class QSqlQuery;

namespace store {

// Opens the database file of the data folder under a connection name of its own and
// closes it again when destroyed. Data sources and transactions borrow it, so it must outlive
// them (declare it before them in a window).
class Connection {
public:
    // What the connection opens: the data folder's sjk.mdb, or the database of the calibration
    // tables dytj and tydysz (calibrationDatabasePath(), the same file unless the calibration is the
    // machine's). Never creates the file (ensureDatabase() does that).
    enum class Of { Data, Calibration };
    explicit Connection(Of of = Of::Data);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool isOpen() const;
    QString errorText() const { return m_error; }
    QString name() const { return m_name; }
    // Whether the connection is to a server 账套's database (PostgreSQL) rather than a file.
    bool isServer() const { return m_server.has_value(); }
    // What an INSERT adds to hand back the key of its row (a server does not give it otherwise),
    // and the key after it ran.
    QString returning(const QString &key) const
    {
        return m_server ? QStringLiteral(" RETURNING ") + key : QString();
    }
    static qint64 insertedKey(QSqlQuery &query);
    QSqlDatabase database() const;

    // Counts the reopenings, so that a data source can tell that its cached rows are stale.
    int generation() const { return m_generation; }

    // A statement of the store's own, prepared once on this connection and kept for the next call
    // (a list of ten thousand vouchers looks up a customer and a repeat for each); nullptr when it
    // cannot be prepared. Forgotten when the connection closes.
    QSqlQuery *prepared(const QString &sql);

    // Closes every open connection, e.g. before the database file is replaced; queries that
    // run meanwhile fail harmlessly and give empty results.
    static void closeAll();
    // Reopens every connection on the file now in place; false when one could not be opened
    // (its errorText() says why). Data sources see the new contents after their refresh.
    static bool reopenAll();
    // Number of connection objects alive, open or closed.
    static int count();

private:
    bool open();
    void close();

    Of m_of;
    QString m_name;
    QString m_error;
    int m_generation = 0;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
    std::optional<ServerAddress> m_server; // the server of a server 账套's data
};

// A multi-row write as one unit: begun by the constructor, rolled back by the destructor
// unless commit() succeeded. Data sources on the same connection write inside it; refresh them
// after a rollback, since rows they added are then gone.
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();
    void rollback();
    QString errorText() const { return m_error; }

private:
    Connection &m_connection;
    bool m_active = false;
    QString m_error;
};

} // namespace store
