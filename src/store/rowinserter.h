#pragma once
// Many rows into one table through one statement prepared once, as an import writes them.

#include <QString>

#include <memory>

namespace store {

class Connection;

// Prepares an INSERT with `columns` ? placeholders on the connection and runs it once per row.
// On SQLite the texts are bound straight into the engine's statement: Qt's driver spends as long
// naming and converting each bound value as the engine spends storing the row. Another driver
// goes through QSqlQuery with the same statement. Runs inside whatever transaction the caller
// holds; the connection must outlive the inserter.
class RowInserter {
public:
    RowInserter(Connection &connection, const QString &sql, int columns);
    ~RowInserter();
    RowInserter(const RowInserter &) = delete;
    RowInserter &operator=(const RowInserter &) = delete;

    bool isValid() const;    // false: the statement could not be prepared (errorText says why)
    QString errorText() const;

    // Inserts one row: values[0 .. columns-1], a null or empty text as NULL. False on failure
    // (a constraint, a full disk), with errorText() saying why; the statement stays usable.
    bool insert(const QString *values);

private:
    struct Engine;
    struct Driver;
    std::unique_ptr<Engine> m_engine;
    std::unique_ptr<Driver> m_driver;
    int m_columns;
    QString m_error;
};

} // namespace store
