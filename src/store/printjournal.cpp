#include "store/printjournal.h"

#include "store/connection.h"
#include "store/dates.h"
#include "store/failures.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace store {

namespace {

QString targetName(JournalEntry::Target t)
{
    return t == JournalEntry::Target::Printer ? QStringLiteral("printer") : QStringLiteral("pdf");
}

QVariant orNull(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }
QVariant orNull(qint64 n) { return n == 0 ? QVariant() : QVariant(n); }

} // namespace

qint64 addJournalEntry(Connection &connection, const JournalEntry &e, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("INSERT INTO dyb_jobs (started, target, printer, job, path, partial, title, vouchers, "
                             "rows, firstxh, lastxh) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
              + connection.returning(QStringLiteral("id")));
    const QDateTime started = e.started.isValid() ? e.started : QDateTime::currentDateTime();
    q.addBindValue(started.toString(Qt::ISODate));
    q.addBindValue(targetName(e.target));
    q.addBindValue(orNull(e.printer));
    q.addBindValue(orNull(qint64(e.job)));
    q.addBindValue(orNull(e.path));
    q.addBindValue(orNull(e.partial));
    q.addBindValue(e.title);
    q.addBindValue(e.vouchers);
    q.addBindValue(e.rows.isEmpty() ? QVariant() : QVariant(QString::fromUtf8(e.rows)));
    q.addBindValue(orNull(e.firstRow));
    q.addBindValue(orNull(e.lastRow));
    if (!q.exec()) {
        *error = writeFailure(q.lastError());
        return 0;
    }
    return Connection::insertedKey(q);
}

bool removeJournalEntry(Connection &connection, qint64 id, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("DELETE FROM dyb_jobs WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        *error = writeFailure(q.lastError());
        return false;
    }
    return true;
}

bool appendHistoryRows(Connection &connection, const QList<QVariantList> &rows, qint64 *first, qint64 *last,
                       QString *error)
{
    *first = *last = 0;
    QSqlQuery q(connection.database());
    // Clerks sharing a server append one at a time (the lock lasts to the caller's commit), so that
    // the rows of one print are the run first..last that its journal entry names and nobody else's.
    if (connection.isServer() && !q.exec(QStringLiteral("LOCK TABLE dyb IN SHARE ROW EXCLUSIVE MODE"))) {
        *error = writeFailure(q.lastError());
        return false;
    }
    if (!q.prepare(QStringLiteral("INSERT INTO dyb (dyrq, fkrq, pzlx, pzhm, fkje, fkyt, fkrmc, fkrzhh, fkrkhh, skrmc, "
                                  "skrzhh, skrkhh) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                   + connection.returning(QStringLiteral("xh")))) {
        *error = writeFailure(q.lastError());
        return false;
    }
    for (const QVariantList &row : rows) {
        for (int i = 0; i < 12; ++i) {
            QVariant v = row.value(i);
            if (i < 2) { // dyrq and fkrq are dates
                bool ok = false;
                v = storedDate(v, &ok);
                if (!ok) {
                    *error = QStringLiteral("日期“%1”不正确").arg(row.value(i).toString());
                    return false;
                }
            }
            q.bindValue(i, v);
        }
        if (!q.exec()) {
            *error = writeFailure(q.lastError());
            return false;
        }
        *last = Connection::insertedKey(q);
        if (*first == 0)
            *first = *last;
    }
    return true;
}

bool removeHistoryRows(Connection &connection, qint64 first, qint64 last, QString *error)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral("DELETE FROM dyb WHERE xh BETWEEN ? AND ?"));
    q.addBindValue(first);
    q.addBindValue(last);
    if (!q.exec()) {
        *error = writeFailure(q.lastError());
        return false;
    }
    return true;
}

QList<JournalEntry> journalEntries(Connection &connection, QString *error)
{
    QList<JournalEntry> out;
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, started, target, printer, job, path, partial, title, vouchers, rows, "
                               "firstxh, lastxh FROM dyb_jobs ORDER BY id"))) {
        *error = q.lastError().text();
        return out;
    }
    while (q.next()) {
        JournalEntry e;
        e.id = q.value(0).toLongLong();
        e.started = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        e.target = q.value(2).toString() == QLatin1String("pdf") ? JournalEntry::Target::PdfFile
                                                                 : JournalEntry::Target::Printer;
        e.printer = q.value(3).toString();
        e.job = q.value(4).toInt();
        e.path = q.value(5).toString();
        e.partial = q.value(6).toString();
        e.title = q.value(7).toString();
        e.vouchers = q.value(8).toInt();
        e.rows = q.value(9).toString().toUtf8();
        e.firstRow = q.value(10).toLongLong();
        e.lastRow = q.value(11).toLongLong();
        out.append(e);
    }
    return out;
}

} // namespace store
