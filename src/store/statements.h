#pragma once
// The statement catalogue: every query the windows run, with user text only ever as bound values.

#include <QDate>
#include <QString>
#include <QVariantList>

#include <optional>

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
    // The order of the rows (an ORDER BY list); empty: the order they were stored in.
    QString order() const { return m_order; }

    // A second form of the same statement, which finds the same rows by another way; when set,
    // the data source runs whichever form is cheaper on the data at hand (see cheaperForm).
    bool hasAlternative() const { return !m_alternative.isEmpty(); }
    QString alternative() const { return m_alternative; }
    QVariantList alternativeValues() const { return m_alternativeValues; }
    // A third form that reads the whole table instead of an index: cheaper than walking an index
    // and fetching each row it names once the date range holds a good part of the history.
    bool hasScan() const { return !m_scan.isEmpty(); }
    QString scan() const { return m_scan; }
    QVariantList scanValues() const { return m_scanValues; }

    friend bool operator==(const Statement &a, const Statement &b)
    {
        return a.m_table == b.m_table && a.m_condition == b.m_condition && a.m_values == b.m_values
            && a.m_alternative == b.m_alternative && a.m_alternativeValues == b.m_alternativeValues
            && a.m_scan == b.m_scan && a.m_scanValues == b.m_scanValues && a.m_order == b.m_order;
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
    QString m_alternative;
    QVariantList m_alternativeValues;
    QString m_scan;
    QVariantList m_scanValues;
    QString m_order;
};

class Connection;

namespace statements {

// Every query keeps the rows in the order they were stored, unless a history statement is put
// in another order (historyOrderedBy). "like" ignores the case of Latin letters; % and _ typed
// by the user match themselves.

Statement customers();                                       // every customer
Statement customersNamed(const QString &name);               // gsmc equals name exactly
Statement customersBeginningWith(const QString &name);       // gsmc begins with name
Statement customersNameContains(const QString &text);        // gsmc contains text
// gsmczmjc or gsmcdyjc contains text, or text is one initial of each character in turn of a part of
// the name, whichever reading (gsmcdyzm)
Statement customersInitialsContain(const QString &text);
// No row at all: an import only appends and need not read the address book first.
Statement customersForAppending();

Statement ownCompany(); // the one bssz row

Statement purposes();                          // every purpose
Statement purposeNamed(const QString &text);   // yt equals text exactly

Statement history(); // every print history row
// No row at all: a voucher window only appends to the history and need not read it first.
Statement historyForAppending();

// How the payee search finds its rows. NamesFirst tests the text once per distinct payee name
// and seeks each matching name's rows in the date range: cheap when names repeat. DatesFirst
// reads the date range and tests each row's payee: cheap when the range holds few rows. Cheaper
// leaves the choice to the data source, at each refresh.
enum class PayeePlan { Cheaper, NamesFirst, DatesFirst };
// Payee name contains name and the voucher date lies from..to, both days included.
Statement historyByPayeeAndDates(const QString &name, const QDate &from, const QDate &to,
                                 PayeePlan plan = PayeePlan::Cheaper);
Statement historyPayeeBeginsWith(const QString &name); // skrmc begins with name
// The payee is exactly name and the voucher date lies from..to, both days included.
Statement historyOfPayeeBetween(const QString &name, const QDate &from, const QDate &to);

// The history search of the query window: the payee and date search above, narrowed by what
// else is given. Empty texts and unset amounts leave their condition out; without dates
// (anyDate) the payee alone is searched. With nothing but a name and dates it is exactly
// historyByPayeeAndDates.
struct HistoryFilter {
    QString payee;               // skrmc contains it (always tested: a row without payee is never found)
    QDate from, to;              // fkrq within, both days included
    bool anyDate = false;        // no date condition
    QString number;              // pzhm contains it
    QString type;                // pzlx equals it
    std::optional<qint64> minFen, maxFen; // the amount (fkje, read as amount_fen) within, in fen
};
Statement historySearch(const HistoryFilter &filter);

// The same rows ordered by a column of dyb (amounts fkje by their value, texts that are no amount
// first), descending when asked; rows of equal value in their stored order. column empty or not
// a column of dyb: the stored order.
Statement historyOrderedBy(const Statement &statement, const QString &column, bool descending);

// The rows of a history statement, counted and their amounts summed in one aggregate: rows is
// their number, fen the sum of the amounts in fen, unreadable the rows whose amount is no amount
// (not in the sum). ok false (error says why) when it could not be read.
struct AmountTotal {
    bool ok = false;
    qint64 rows = 0;
    qint64 fen = 0;
    qint64 unreadable = 0;
    QString error;
};
AmountTotal historyAmountTotal(const Statement &statement, Connection &connection);

Statement printOffsets();  // the one dytj row
Statement generalLayout(); // the one tydysz row

// A user's text as a like pattern that matches it literally (escape character \).
QString likeLiteral(const QString &text);

// The form of statement to run on connection's data: the statement itself, or its alternative
// or its scan when that is cheaper. For the payee search: the date range is read first when it
// holds no more rows than the history has distinct payee names. The rows in the range are
// estimated from the history's first and last dates and its size (a few index look-ups); the
// number of names is counted once per connection and again when the history has grown by half as
// many rows. The scan is run when the range holds more than a twentieth of the history: walking
// an index and fetching each row costs about ten times what reading the table in order does.
Statement cheaperForm(const Statement &statement, Connection &connection);

} // namespace statements

} // namespace store
