#pragma once
// Database files seen from outside the program: another SQLite program writing to one, the
// sqlite3 tool reading one, and deliberate damage.

#include <QString>

// A connection of its own, as another SQLite program would open the file (no application
// directory, no checks). Closed when destroyed.
class RawDatabase {
public:
    explicit RawDatabase(const QString &path);
    ~RawDatabase();
    RawDatabase(const RawDatabase &) = delete;
    RawDatabase &operator=(const RawDatabase &) = delete;
    bool run(const QString &sql);

private:
    QString m_name;
    bool m_ok = false;
};

// What the sqlite3 program prints for sql on file (trimmed), or a text starting "sqlite3 failed".
QString sqlite3(const QString &file, const QString &sql);

// The root page of a table, as sqlite3 reads it from the schema.
int rootPage(const QString &file, const QString &table);

// Overwrites page number page (1-based) of the file with random bytes (the same every time).
bool scramblePage(const QString &file, int page, int pageSize = 4096);
