#include "batch/voucherlist.h"

#include "text/amount.h"
#include "store/connection.h"
#include "vouchers/repeats.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"

#include <QHash>

namespace batch {

namespace {

QString normalized(const QString &caption) { return caption.simplified().remove(QLatin1Char(' ')).toLower(); }

} // namespace

QString RowProblem::toString() const
{
    return column.isEmpty() ? QStringLiteral("第%1行：%2").arg(sheetRow).arg(message)
                            : QStringLiteral("第%1行“%2”：%3").arg(sheetRow).arg(column, message);
}

VoucherList::VoucherList(const vouchers::VoucherKind &kind)
    : m_kind(kind), m_connection(std::make_unique<store::Connection>()),
      m_context(std::make_unique<vouchers::ListContext>(*m_connection))
{
}

VoucherList::~VoucherList() = default;

QList<RowProblem> VoucherList::setHeader(const QStringList &header)
{
    m_columnOfKey.clear();
    m_numbers.clear(); // a new reading of the list
    // Numbers are given out only where the kind has a book; without one nothing need be kept.
    m_numbered = false;
    if (vouchers::numbersOwnForms(m_kind))
        for (const store::NumberBook &book : store::numberBooks(*m_connection))
            m_numbered = m_numbered || book.kind == m_kind.window;
    QList<RowProblem> problems;
    for (const vouchers::ListColumn &column : m_kind.columns) {
        QStringList names = column.aliases;
        names.prepend(column.caption);
        for (int i = 0; i < header.size() && !m_columnOfKey.contains(column.key); ++i)
            for (const QString &name : names)
                if (normalized(header[i]) == normalized(name))
                    m_columnOfKey.insert(column.key, i);
        if (column.required && !m_columnOfKey.contains(column.key))
            problems.append({1, column.caption, QStringLiteral("表头中没有这一列")});
    }
    return problems;
}

QString VoucherList::columnsHolding(const vouchers::VoucherData &data, const QStringList &texts) const
{
    // The list's columns whose cells were printed as these texts; a text of the own company (not
    // of the list) names no column, and the message names its place on the form.
    QStringList captions;
    for (const vouchers::ListColumn &c : m_kind.columns) {
        const QString cell = data.value(c.key).trimmed();
        if (!cell.isEmpty() && texts.contains(cell) && !captions.contains(c.caption))
            captions << c.caption;
    }
    return captions.join(QStringLiteral("、"));
}

Entry VoucherList::prepare(const ListRow &row, bool allowRepeat)
{
    vouchers::VoucherData data;
    for (auto it = m_columnOfKey.cbegin(); it != m_columnOfKey.cend(); ++it)
        data.insert(it.key(), row.cells.value(it.value()).trimmed());

    Entry entry;
    entry.sheetRow = row.sheetRow;
    entry.counterparty = data.value(vouchers::key::counterparty);
    entry.amount = data.value(vouchers::key::amount);
    entry.date = data.value(vouchers::key::date);
    entry.number = data.value(vouchers::key::number);

    QList<vouchers::DataProblem> problems;
    vouchers::Voucher voucher = m_kind.fromData(data, *m_context, problems);
    const bool ownForms = m_numbered;
    if (ownForms && entry.number.isEmpty()) {
        // The next form of the account's book, as the window would propose it.
        QSet<QString> taken;
        for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
            taken.insert(it.key());
        const store::NextNumber next = store::nextNumber(*m_connection, vouchers::historyKeyOf(m_kind), m_kind.window,
                                                         vouchers::ownAccountOf(m_kind, voucher.row), taken);
        if (!next.number.isEmpty()) {
            data.insert(vouchers::key::number, next.number);
            entry.number = next.number;
            problems.clear();
            voucher = m_kind.fromData(data, *m_context, problems);
        }
    }
    for (const vouchers::DataProblem &p : std::as_const(problems))
        entry.problems.append({row.sheetRow, m_kind.captionOf(p.key), p.message});
    // The numbers the list has given out, so that the next row without one takes the one after.
    // (A number printed before is the window's question; a list keeps what its rows say.)
    if (ownForms && !entry.number.isEmpty() && !m_numbers.contains(entry.number))
        m_numbers.insert(entry.number, row.sheetRow);

    // A list cannot ask its clerk row by row: every question is a no, but a repeat the clerk has
    // allowed for the whole list.
    const vouchers::Review review =
        vouchers::review(voucher, *m_connection, [allowRepeat](const vouchers::Question &q) {
            return allowRepeat && q.kind == vouchers::Question::Kind::RepeatPayment;
        });
    if (!review.ready()) {
        const QString column = review.key.isEmpty() ? QString() : m_kind.captionOf(review.key);
        // The voucher's own check may repeat what reading the row found already.
        bool known = false;
        for (const RowProblem &p : std::as_const(entry.problems))
            known = known || p.column == column;
        const bool repeat = review.key == vouchers::key::repeat;
        QString shownColumn = repeat ? m_kind.captionOf(vouchers::key::counterparty) : column;
        if (review.key == vouchers::key::tooWide)
            shownColumn = columnsHolding(data, review.tooWideTexts);
        if (!known)
            entry.problems.append({row.sheetRow, shownColumn, review.message, repeat});
    }
    if (entry.problems.isEmpty()) {
        entry.routine = voucher.routine;
        entry.row = voucher.row;
    }
    return entry;
}

QList<RowProblem> ListCheck::blocking(const QSet<int> &skippedRows) const
{
    QList<RowProblem> out = header;
    for (const Entry &e : entries)
        if (!skippedRows.contains(e.sheetRow))
            out += e.problems;
    return out;
}

QList<const Entry *> ListCheck::toPrint(const QSet<int> &skippedRows) const
{
    QList<const Entry *> out;
    for (const Entry &e : entries)
        if (!skippedRows.contains(e.sheetRow) && e.ready())
            out.append(&e);
    return out;
}

ListCheck checkList(VoucherList &list, const QStringList &header, const QList<ListRow> &rows, bool allowRepeat)
{
    ListCheck check;
    check.header = list.setHeader(header);
    if (!check.header.isEmpty())
        return check; // rows cannot be read without their columns
    // The history does not hold the list's own earlier rows yet: the ready ones by payee and
    // amount, with their dates, in the list's order.
    struct Earlier {
        QDate date;
        int sheetRow;
    };
    QHash<std::pair<QString, qint64>, QList<Earlier>> earlierRows;
    for (const ListRow &row : rows) {
        Entry entry = list.prepare(row, allowRepeat);
        const std::optional<qint64> fen = text::parseFen(entry.amount);
        const std::optional<QDate> date = vouchers::listDate(entry.date);
        if (!allowRepeat && entry.ready() && fen && date) {
            const std::pair<QString, qint64> key{entry.counterparty, *fen};
            for (const Earlier &earlier : earlierRows.value(key)) {
                if (qAbs(earlier.date.daysTo(*date)) > vouchers::kRepeatDays)
                    continue;
                entry.problems.append({row.sheetRow, list.kind().captionOf(vouchers::key::counterparty),
                                       QStringLiteral("与本表第%1行的收款人、金额相同，日期相差不到%2天")
                                           .arg(earlier.sheetRow)
                                           .arg(vouchers::kRepeatDays),
                                       true});
                entry.routine = {};
            }
            if (entry.ready())
                earlierRows[key].append({*date, row.sheetRow});
        }
        check.entries.append(entry);
    }
    return check;
}

namespace {

// Each voucher's drawing is made when the job comes to its page.
vouchers::Pages pagesOf(const QList<const Entry *> &entries)
{
    return {int(entries.size()), [&entries](int page) { return vouchers::recordRoutine(entries[page]->routine); }};
}

QList<vouchers::HistoryRow> rowsOf(const QList<const Entry *> &entries)
{
    QList<vouchers::HistoryRow> rows;
    for (const Entry *e : entries)
        rows.append(e->row);
    return rows;
}

} // namespace

Outcome printEntries(const QList<const Entry *> &entries, QPrinter &printer, const Progress &progress)
{
    Outcome out;
    int drawn = 0;
    const auto before = [&](int page) {
        if (progress && !progress(page, int(entries.size()))) {
            out.cancelled = true;
            return false;
        }
        return true;
    };
    store::Connection connection;
    QString error;
    const vouchers::JobResult result = vouchers::runPages(printer, pagesOf(entries), before, &drawn,
                                                          vouchers::recordOf(connection, rowsOf(entries)), &error);
    const int total = int(entries.size());
    out.error = error;
    switch (result) {
    case vouchers::JobResult::Done:
        out.printed = drawn; // a cancel leaves the rest neither printed nor failed
        break;
    case vouchers::JobResult::Unrecorded:
        out.printed = drawn;
        out.unrecorded = true;
        break;
    case vouchers::JobResult::NotStarted:
    case vouchers::JobResult::NotRecorded:
        out.failed = total;
        out.cancelled = false;
        break;
    case vouchers::JobResult::FailedAfterStart:
        // The pages drawn have their rows; whether they came out whole the printer did not say.
        out.printed = drawn;
        out.failed = total - drawn;
        out.error = QStringLiteral("打印过程中出错，票据可能没有打印完整。请检查打印机；已开出的凭证见打印查询。");
        break;
    }
    return out;
}

Outcome saveEntriesPdf(const QList<const Entry *> &entries, const QString &path, const Progress &progress)
{
    Outcome out;
    int drawn = 0;
    const auto before = [&](int page) {
        if (progress && !progress(page, int(entries.size()))) {
            out.cancelled = true;
            return false;
        }
        return true;
    };
    store::Connection connection;
    QString error;
    if (!vouchers::savePdfPages(pagesOf(entries), path, QStringLiteral("批量打印"), before, &drawn, &error,
                                vouchers::recordOf(connection, rowsOf(entries)))) {
        out.error = QStringLiteral("PDF文件保存失败：%1").arg(error);
        out.failed = int(entries.size());
        out.cancelled = false;
        return out;
    }
    out.printed = drawn;
    return out;
}

} // namespace batch
