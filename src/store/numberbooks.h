#pragma once
// The register of numbered forms (pzhmb): cheque books and the other vouchers' numbered pads, each
// a run of numbers for one voucher kind and one own account, and the numbers the history has used.

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace store {

class Connection;

struct NumberBook {
    qint64 id = 0;
    QString kind;    // the voucher window: "zpdy"
    QString account; // the own account the forms are for
    QString first;   // "10203001": digits, leading zeros kept
    QString last;    // "10203025": as many digits as first, not below it
    // How many numbers the book holds.
    qint64 size() const;
    bool holds(const QString &number) const;
};

// What is wrong with a book about to be added beside the others (in Chinese, for the clerk), or
// empty: numbers of 1 to 16 digits, of one length, the last not below the first, no number in two
// books of the same kind and account.
QString numberBookProblem(const NumberBook &book, const QList<NumberBook> &others);

// Every book, in the order entered; empty with *error when the table cannot be read.
QList<NumberBook> numberBooks(Connection &connection, QString *error = nullptr);
bool addNumberBook(Connection &connection, NumberBook *book, QString *error);
bool removeNumberBook(Connection &connection, qint64 id, QString *error);

// Where the history keeps a kind's vouchers: its type (pzlx) and the column of the own account
// (fkrzhh when the own company pays, skrzhh when it is paid).
struct HistoryKey {
    QString type;
    QString accountColumn; // "fkrzhh" or "skrzhh"
};

// The day a number of the kind was printed for the account, when the history holds it.
std::optional<QDate> numberPrinted(Connection &connection, const HistoryKey &key, const QString &account,
                                   const QString &number);

// The number after the highest of the book that the history holds or taken names (numbers a list
// has given its earlier rows), its first when none; empty when the book is used up.
QString nextInBook(Connection &connection, const HistoryKey &key, const NumberBook &book,
                   const QSet<QString> &taken = {});

// The number the next voucher of the kind for the account takes: the one after the highest the
// history holds of the first book (in entered order) not used up, or its first number.
struct NextNumber {
    QString number;  // empty: no book, or every book used up
    qint64 left = 0; // numbers of its book from this one to the last, this one included
    bool usedUp = false; // there are books, and every one is used up
    NumberBook book;
};
NextNumber nextNumber(Connection &connection, const HistoryKey &key, const QString &kind, const QString &account,
                      const QSet<QString> &taken = {});

} // namespace store
