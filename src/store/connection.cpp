#include "store/connection.h"

#include "store/database.h"
#include "store/server.h"
#include "store/sqlfunctions.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace store {

namespace {

std::vector<Connection *> &registry()
{
    static std::vector<Connection *> connections;
    return connections;
}

QString nextName()
{
    static int counter = 0;
    return QStringLiteral("lanshi-%1").arg(++counter);
}

} // namespace

Connection::Connection(Of of) : m_of(of), m_name(nextName())
{
    // The data of a server 账套 is on its server; the calibration tables stay in a file.
    if (of == Of::Data)
        m_server = currentServer();
    QSqlDatabase::addDatabase(m_server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_name);
    registry().push_back(this);
    open();
}

Connection::~Connection()
{
    auto &all = registry();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    close();
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::isOpen() const { return database().isOpen(); }

QSqlDatabase Connection::database() const { return QSqlDatabase::database(m_name, false); }

bool Connection::open()
{
    m_error.clear();
    QSqlDatabase db = database();
    if (!db.isValid()) {
        m_error = m_server ? QStringLiteral("这台电脑上没有 PostgreSQL 数据库驱动（libqt6sql6-psql）。")
                           : QStringLiteral("无法使用 SQLite 数据库驱动。");
        return false;
    }
    if (m_server) {
        db.setHostName(m_server->host);
        db.setPort(m_server->port);
        db.setDatabaseName(m_server->database);
        db.setUserName(m_server->user);
        db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=lanshi"));
        if (!db.open()) {
            m_error = QStringLiteral("无法连接数据库服务器 %1：%2").arg(m_server->toString(), db.lastError().text());
            return false;
        }
        return true;
    }
    const QString path = m_of == Of::Data ? databasePath() : calibrationDatabasePath();
    if (!QFileInfo::exists(path)) {
        m_error = QStringLiteral("找不到数据库文件 %1。").arg(path);
        return false;
    }
    // mode=rw: opening must never create an empty file where the database has gone missing.
    db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                       + QStringLiteral("?mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        m_error = QStringLiteral("无法打开数据库文件 %1：%2").arg(path, db.lastError().text());
        return false;
    }
    // Every commit reaches the disk before it is reported done.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=FULL"));
    if (const QString error = registerFunctions(db); !error.isEmpty()) {
        m_error = QStringLiteral("无法打开数据库文件 %1：%2").arg(path, error);
        db.close();
        return false;
    }
    return true;
}

qint64 Connection::insertedKey(QSqlQuery &query)
{
    if (query.isSelect() && query.next())
        return query.value(0).toLongLong();
    return query.lastInsertId().toLongLong();
}

QSqlQuery *Connection::prepared(const QString &sql)
{
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end()) {
        auto q = std::make_unique<QSqlQuery>(database());
        q->setForwardOnly(true);
        if (!q->prepare(sql))
            return nullptr;
        it = m_prepared.emplace(sql, std::move(q)).first;
    }
    return it->second.get();
}

void Connection::close()
{
    m_prepared.clear(); // a statement must not outlive the connection it was prepared on
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
}

void Connection::closeAll()
{
    for (Connection *c : registry())
        c->close();
}

bool Connection::reopenAll()
{
    bool ok = true;
    for (Connection *c : registry()) {
        c->close();
        ++c->m_generation;
        if (!c->open())
            ok = false;
    }
    return ok;
}

int Connection::count() { return int(registry().size()); }

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    QSqlDatabase db = m_connection.database();
    m_active = db.transaction();
    if (!m_active)
        m_error = QStringLiteral("无法开始事务：%1").arg(db.lastError().text());
}

Transaction::~Transaction() { rollback(); }

bool Transaction::commit()
{
    if (!m_active)
        return false;
    QSqlDatabase db = m_connection.database();
    if (!db.commit()) {
        m_error = QStringLiteral("无法提交事务：%1").arg(db.lastError().text());
        return false;
    }
    m_active = false;
    return true;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_connection.database().rollback();
}

} // namespace store
