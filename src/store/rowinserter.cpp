#include "store/rowinserter.h"

#include "store/connection.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace store {

struct RowInserter::Engine {
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    ~Engine() { sqlite3_finalize(statement); }
};

struct RowInserter::Driver {
    explicit Driver(const QSqlDatabase &db) : query(db) {}
    QSqlQuery query;
};

namespace {

sqlite3 *rawHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

RowInserter::RowInserter(Connection &connection, const QString &sql, int columns) : m_columns(columns)
{
    const QSqlDatabase db = connection.database();
    if (sqlite3 *raw = db.isOpen() ? rawHandle(db) : nullptr) {
        auto engine = std::make_unique<Engine>();
        engine->db = raw;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v3(raw, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT,
                               &engine->statement, nullptr)
                != SQLITE_OK
            || !engine->statement) {
            m_error = QString::fromUtf8(sqlite3_errmsg(raw));
            return;
        }
        if (sqlite3_bind_parameter_count(engine->statement) != columns) {
            m_error = QStringLiteral("语句的参数个数不是 %1。").arg(columns);
            return;
        }
        m_engine = std::move(engine);
        return;
    }
    auto driver = std::make_unique<Driver>(db);
    if (!driver->query.prepare(sql)) {
        m_error = driver->query.lastError().text();
        return;
    }
    m_driver = std::move(driver);
}

RowInserter::~RowInserter() = default;

bool RowInserter::isValid() const { return m_engine || m_driver; }

QString RowInserter::errorText() const { return m_error; }

bool RowInserter::insert(const QString *values)
{
    if (m_engine) {
        sqlite3_stmt *statement = m_engine->statement;
        for (int i = 0; i < m_columns; ++i) {
            const QString &value = values[i];
            // The texts live until the step below, so the engine need not copy them.
            const int rc = value.isEmpty()
                ? sqlite3_bind_null(statement, i + 1)
                : sqlite3_bind_text16(statement, i + 1, value.utf16(), int(value.size() * sizeof(char16_t)),
                                      SQLITE_STATIC);
            if (rc != SQLITE_OK) {
                m_error = QString::fromUtf8(sqlite3_errmsg(m_engine->db));
                sqlite3_reset(statement);
                return false;
            }
        }
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE)
            m_error = QString::fromUtf8(sqlite3_errmsg(m_engine->db));
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return rc == SQLITE_DONE;
    }
    if (!m_driver)
        return false;
    QSqlQuery &query = m_driver->query;
    for (int i = 0; i < m_columns; ++i) {
        const QString &value = values[i];
        query.bindValue(i, value.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(value));
    }
    if (!query.exec()) {
        m_error = query.lastError().text();
        return false;
    }
    return true;
}

} // namespace store
