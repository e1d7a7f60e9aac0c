#pragma once
// The print jobs being handed over (table dyb_jobs): what a print writes down before it gives its
// vouchers to a printer queue or renames its PDF file into place, and removes once the history
// holds its rows, so that a print cut off in between is found and settled at the next start.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>

namespace store {

class Connection;

struct JournalEntry {
    enum class Target { Printer, PdfFile };

    qint64 id = 0;
    QDateTime started;
    Target target = Target::Printer;
    QString printer;  // the queue (Printer)
    int job = 0;      // the queue's job number (Printer)
    QString path;     // the file (PdfFile)
    QString partial;  // the complete file beside it until it is renamed into place (PdfFile)
    QString title;    // what was printed, for the clerk: "支票", "批量打印-支票"
    int vouchers = 0; // how many vouchers the job or file holds
    QByteArray rows;  // a printer job's history rows, to be written once the queue has the job
    qint64 firstRow = 0, lastRow = 0; // a file's history rows (dyb.xh), written with the entry
};

// Adds the entry inside whatever transaction the connection has open; its id, or 0 with *error.
qint64 addJournalEntry(Connection &connection, const JournalEntry &entry, QString *error);
bool removeJournalEntry(Connection &connection, qint64 id, QString *error);
// Every entry, oldest first; empty with *error set when the table cannot be read.
QList<JournalEntry> journalEntries(Connection &connection, QString *error);

// Appends history rows (dyb), each the twelve values of columns 1 to 12 in order (dates as QDate
// or "2010/4/14"), inside whatever transaction the connection has open; *first and *last get the
// keys (xh) of the first and the last row written. False with *error at the first row refused.
bool appendHistoryRows(Connection &connection, const QList<QVariantList> &rows, qint64 *first, qint64 *last,
                       QString *error);
// Removes the history rows first..last (keys), as appended together by a print that did not go out.
bool removeHistoryRows(Connection &connection, qint64 first, qint64 last, QString *error);

} // namespace store
