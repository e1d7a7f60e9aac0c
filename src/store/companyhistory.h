#pragma once
// The print history of every 账套 at once: the same search run on each 账套's database, each row
// with the 账套 it belongs to.

#include "store/statements.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace store {

struct CompanyHistoryRow {
    QString company;      // the 账套's name
    QVariantList values;  // the row's columns, in the table's order
};

struct CompanyHistory {
    QStringList columns;            // the table's columns
    QList<CompanyHistoryRow> rows;  // 账套 by 账套 in the list's order, each in the statement's order
    QStringList problems;           // a 账套 that could not be read, and why; the others are read
};

// Runs statement (a history search of store/statements.h) read-only on the database of every 账套
// of the list, their files never changed.
CompanyHistory searchAllCompanies(const Statement &statement);

} // namespace store
