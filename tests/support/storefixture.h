#pragma once
// A fresh database in a temporary application directory, with small helpers to seed and read it.

#include "store/statements.h"
#include "tempappdir.h"

#include <QStringList>
#include <QVariantList>

class StoreFixture {
public:
    StoreFixture(); // creates sjk.mdb from the schema in the temporary directory
    bool isValid() const { return m_ok; }
    const TempAppDir &dir() const { return m_dir; }

    // Every value of one column of a statement's rows, in their order.
    static QStringList column(const store::Statement &statement, const QString &name);
    // Appends a row giving the values by column position; false on a store error.
    static bool append(const store::Statement &table, const QVariantList &values);
    // Deletes every row of a statement's result.
    static void removeAll(const store::Statement &statement);

private:
    TempAppDir m_dir;
    bool m_ok = false;
};
