#pragma once
// The statement catalogue: every query the windows run, with user text only ever as bound values.

#include <QDate>
#include <QString>
#include <QVariantList>

namespace store {

// One catalogue entry: the table a data source reads and the condition that picks its rows.
// Only the catalogue below makes them, so no window ever composes SQL.
class Statement {
public:
    Statement() = default; // no statement: a data source refreshed with it stays empty

    bool isValid() const { return !m_table.isEmpty(); }
    QString table() const { return m_table; }
    QString condition() const { return m_condition; } // SQL with ? placeholders; empty = all rows
    QVariantList values() const { return m_values; }

    friend bool operator==(const Statement &a, const Statement &b)
    {
        return a.m_table == b.m_table && a.m_condition == b.m_condition && a.m_values == b.m_values;
    }
    friend bool operator!=(const Statement &a, const Statement &b) { return !(a == b); }

private:
    friend struct StatementMaker;
    Statement(QString table, QString condition, QVariantList values)
        : m_table(std::move(table)), m_condition(std::move(condition)), m_values(std::move(values))
    {
    }

    QString m_table;
    QString m_condition;
    QVariantList m_values;
};

namespace statements {

// Every query keeps the rows in the order they were stored. "like" ignores the case of Latin
// letters; % and _ typed by the user match themselves.

Statement customers();                                       // every customer
Statement customersNamed(const QString &name);               // gsmc equals name exactly
Statement customersBeginningWith(const QString &name);       // gsmc begins with name
Statement customersNameContains(const QString &text);        // gsmc contains text
Statement customersInitialsContain(const QString &text);     // gsmczmjc contains text
// No row at all: an import only appends and need not read the address book first.
Statement customersForAppending();

Statement ownCompany(); // the one bssz row

Statement purposes();                          // every purpose
Statement purposeNamed(const QString &text);   // yt equals text exactly

Statement history(); // every print history row
// No row at all: a voucher window only appends to the history and need not read it first.
Statement historyForAppending();
// Payee name contains name and the voucher date lies from..to, both days included.
Statement historyByPayeeAndDates(const QString &name, const QDate &from, const QDate &to);
Statement historyPayeeBeginsWith(const QString &name); // skrmc begins with name

Statement printOffsets();  // the one dytj row
Statement generalLayout(); // the one tydysz row

// A user's text as a like pattern that matches it literally (escape character \).
QString likeLiteral(const QString &text);

} // namespace statements

} // namespace store
