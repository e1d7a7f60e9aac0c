#include "vouchers/history.h"

#include "printing/spooler.h"
#include "store/connection.h"
#include "store/printjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vouchers {

namespace {

using printing::HandOver;

QByteArray rowsAsJson(const QList<HistoryRow> &rows)
{
    QJsonArray all;
    for (const HistoryRow &r : rows) {
        QJsonArray one;
        for (const QVariant &v : r.values())
            one.append(v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate) : v.toString());
        all.append(one);
    }
    return QJsonDocument(all).toJson(QJsonDocument::Compact);
}

QList<QVariantList> rowsFromJson(const QByteArray &json)
{
    QList<QVariantList> rows;
    for (const QJsonValue &one : QJsonDocument::fromJson(json).array()) {
        QVariantList values;
        for (const QJsonValue &v : one.toArray())
            values.append(v.toString());
        rows.append(values);
    }
    return rows;
}

QList<QVariantList> valuesOf(const QList<HistoryRow> &rows, int count)
{
    QList<QVariantList> out;
    for (int i = 0; i < rows.size() && i < count; ++i)
        out.append(rows[i].values());
    return out;
}

class HistoryRecord : public printing::IssueRecord {
public:
    HistoryRecord(store::Connection &connection, QList<HistoryRow> rows)
        : m_connection(connection), m_rows(std::move(rows))
    {
    }

    bool prepare(const HandOver &h, QString *error) override
    {
        m_handOver = h;
        const int count = h.vouchers < 0 ? int(m_rows.size()) : qMin(h.vouchers, int(m_rows.size()));
        store::Transaction transaction(m_connection);
        if (!transaction.isActive())
            return fail(error, transaction.errorText());
        QString why;
        if (h.target == HandOver::Target::Printer) {
            // The queue does not have the job yet: the rows wait beside it.
            store::JournalEntry e;
            e.target = store::JournalEntry::Target::Printer;
            e.printer = h.printer;
            e.job = h.job;
            e.title = h.title;
            e.vouchers = count;
            e.rows = rowsAsJson(m_rows.mid(0, count));
            if (!(m_entry = store::addJournalEntry(m_connection, e, &why)))
                return fail(error, why);
        } else {
            if (!store::appendHistoryRows(m_connection, valuesOf(m_rows, count), &m_first, &m_last, &why))
                return fail(error, why);
            if (h.target == HandOver::Target::PdfFile) {
                store::JournalEntry e;
                e.target = store::JournalEntry::Target::PdfFile;
                e.path = h.path;
                e.partial = h.partial;
                e.title = h.title;
                e.vouchers = count;
                e.firstRow = m_first;
                e.lastRow = m_last;
                if (!(m_entry = store::addJournalEntry(m_connection, e, &why)))
                    return fail(error, why);
            }
        }
        if (!transaction.commit())
            return fail(error, transaction.errorText());
        return true;
    }

    bool finish(bool handedOver, QString *error) override
    {
        if (m_handOver.target == HandOver::Target::Direct)
            return true;
        store::Transaction transaction(m_connection);
        if (!transaction.isActive())
            return fail(error, transaction.errorText());
        QString why;
        if (m_handOver.target == HandOver::Target::Printer && handedOver) {
            const int count = m_handOver.vouchers < 0 ? int(m_rows.size()) : qMin(m_handOver.vouchers, int(m_rows.size()));
            if (!store::appendHistoryRows(m_connection, valuesOf(m_rows, count), &m_first, &m_last, &why))
                return fail(error, why);
        }
        if (m_handOver.target == HandOver::Target::PdfFile && !handedOver && m_first != 0
            && !store::removeHistoryRows(m_connection, m_first, m_last, &why))
            return fail(error, why);
        if (!store::removeJournalEntry(m_connection, m_entry, &why))
            return fail(error, why);
        if (!transaction.commit())
            return fail(error, transaction.errorText());
        return true;
    }

private:
    static bool fail(QString *error, const QString &why)
    {
        if (error)
            *error = why;
        return false;
    }

    store::Connection &m_connection;
    QList<HistoryRow> m_rows;
    HandOver m_handOver;
    qint64 m_entry = 0;
    qint64 m_first = 0, m_last = 0;
};

// The vouchers of an entry as the clerk knows them: type, number, payee, amount.
QString listOf(const QList<QVariantList> &rows)
{
    QStringList lines;
    for (int i = 0; i < rows.size() && i < 10; ++i) {
        const QVariantList &r = rows[i];
        lines << QStringLiteral("  第%1张 %2 %3 %4 %5元")
                     .arg(i + 1)
                     .arg(r.value(2).toString(), r.value(3).toString(), r.value(9).toString(), r.value(4).toString());
    }
    if (rows.size() > 10)
        lines << QStringLiteral("  ……共 %1 张").arg(rows.size());
    return lines.join(QLatin1Char('\n'));
}

QString interruptedPrint(const store::JournalEntry &e)
{
    const QString when = e.started.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (e.vouchers > 1)
        return QStringLiteral("上次批量打印被中断：第1张起未确认是否打印（%1，共 %2 张，打印机“%3”，%4）。")
            .arg(e.title)
            .arg(e.vouchers)
            .arg(e.printer, when);
    return QStringLiteral("上次打印被中断：“%1”未确认是否打印（打印机“%2”，%3）。").arg(e.title, e.printer, when);
}

// Records the entry's rows and drops the entry, together.
bool recordEntry(store::Connection &connection, const store::JournalEntry &e, QString *why)
{
    store::Transaction transaction(connection);
    qint64 first = 0, last = 0;
    if (!transaction.isActive()) {
        *why = transaction.errorText();
        return false;
    }
    if (!store::appendHistoryRows(connection, rowsFromJson(e.rows), &first, &last, why)
        || !store::removeJournalEntry(connection, e.id, why))
        return false;
    if (!transaction.commit()) {
        *why = transaction.errorText();
        return false;
    }
    return true;
}

QString settlePrinterEntry(store::Connection &connection, const store::JournalEntry &e, const PrintedOrNot &decide)
{
    const QString head = interruptedPrint(e);
    printing::Spooler *queues = printing::spooler();
    const printing::Spooler::JobState state =
        queues ? queues->jobState(e.printer, e.job) : printing::Spooler::JobState::Unknown;
    QString why;
    switch (state) {
    case printing::Spooler::JobState::Taken:
        if (!recordEntry(connection, e, &why))
            return head + QStringLiteral("\n打印机已收到这些凭证，但打印记录仍无法保存：%1").arg(why);
        return head + QStringLiteral("\n打印机已收到这些凭证（作业 %1），已记入打印查询。").arg(e.job);
    case printing::Spooler::JobState::Interrupted:
        queues->cancelJob(e.printer, e.job);
        [[fallthrough]];
    case printing::Spooler::JobState::Cancelled: {
        if (!store::removeJournalEntry(connection, e.id, &why))
            return head + QStringLiteral("\n%1").arg(why);
        return head
            + (state == printing::Spooler::JobState::Interrupted
                   ? QStringLiteral("\n打印机没有收到完整的作业，这些凭证没有打印，也没有记入打印查询。")
                   : QStringLiteral("\n该作业已在打印机上被取消，没有记入打印查询。请查看打印机是否已打出其中的凭证。"));
    }
    case printing::Spooler::JobState::Unknown: break;
    }
    const QList<QVariantList> rows = rowsFromJson(e.rows);
    if (!decide)
        return head + QStringLiteral("\n打印机“%1”无法告知这次作业的结果，请在程序窗口中确认这些凭证是否已打印：\n%2")
                          .arg(e.printer, listOf(rows));
    const bool printed = decide(head + QStringLiteral("\n打印机“%1”无法告知这次作业的结果。下列凭证打印出来了吗？\n%2\n\n"
                                                      "选择“是”记入打印查询，选择“否”不记录。")
                                           .arg(e.printer, listOf(rows)));
    if (printed ? !recordEntry(connection, e, &why) : !store::removeJournalEntry(connection, e.id, &why))
        return head + QStringLiteral("\n%1").arg(why);
    return QString(); // the clerk has just said what to do
}

QString settlePdfEntry(store::Connection &connection, const store::JournalEntry &e)
{
    QString why;
    const QString path = QDir::toNativeSeparators(e.path);
    if (QFileInfo::exists(e.partial)) {
        // Recorded with the complete file, which was not yet in its place.
        if (std::rename(QFile::encodeName(e.partial).constData(), QFile::encodeName(e.path).constData()) != 0)
            return QStringLiteral("上次保存的PDF文件“%1”被中断，已记入打印查询，但无法把它放到原处：%2")
                .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (!store::removeJournalEntry(connection, e.id, &why))
            return why;
        return QStringLiteral("上次保存PDF文件时被中断：“%1”（%2 张凭证）已补全，已在打印查询中。").arg(path).arg(e.vouchers);
    }
    // The file was put in place; only its note was left.
    if (!store::removeJournalEntry(connection, e.id, &why))
        return why;
    return QString();
}

} // namespace

QString historyDate(const QDate &d) { return QStringLiteral("%1/%2/%3").arg(d.year()).arg(d.month()).arg(d.day()); }

QVariantList HistoryRow::values() const
{
    return {printed,   voucherDate, type,      number,    amount,       purpose,
            payerName, payerAccount, payerBank, payeeName, payeeAccount, payeeBank};
}

bool appendHistory(store::Connection &connection, const QList<HistoryRow> &rows, QString *error)
{
    HistoryRecord record(connection, rows);
    const HandOver now; // the rows go in at once
    QString why;
    if (!record.prepare(now, &why)) {
        if (error)
            *error = why;
        return false;
    }
    return true;
}

printing::Issued recordOf(store::Connection &connection, QList<HistoryRow> rows)
{
    return printing::Issued(std::make_shared<HistoryRecord>(connection, std::move(rows)));
}

QStringList settleInterruptedPrints(store::Connection &connection, const PrintedOrNot &decide)
{
    // On a shared server the entries are every clerk's, their files and queues on other machines:
    // a start must never settle a colleague's print that is still going on. Until an entry says
    // which machine made it, a server 账套's interrupted prints are left as they are.
    if (connection.isServer())
        return {};
    QStringList told;
    QString error;
    const QList<store::JournalEntry> entries = store::journalEntries(connection, &error);
    if (!error.isEmpty())
        return {QStringLiteral("无法读取未完成的打印：%1").arg(error)};
    for (const store::JournalEntry &e : entries) {
        const QString text = e.target == store::JournalEntry::Target::Printer ? settlePrinterEntry(connection, e, decide)
                                                                              : settlePdfEntry(connection, e);
        if (!text.isEmpty())
            told << text;
    }
    return told;
}

} // namespace vouchers
