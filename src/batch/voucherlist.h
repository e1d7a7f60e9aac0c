#pragma once
// A list of vouchers of one kind, one per row of a payment list: each row becomes the kind's
// voucher as data (vouchers/voucher.h) and goes through the same checks and questions as a print
// from its window, without any window.

#include "printing/printing.h"
#include "store/connection.h"
#include "vouchers/history.h"
#include "vouchers/voucherdata.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace vouchers { class ListContext; }

namespace batch {

// One data row of a list: its row number as the spreadsheet shows it, and its cells.
struct ListRow {
    int sheetRow = 0;
    QStringList cells;
};

// A problem of a row (row 1 is the header), named by its column.
struct RowProblem {
    int sheetRow = 0;
    QString column;
    QString message;
    // The row repeats a payment (of the history or of the list itself): the clerk may print it
    // all the same.
    bool repeat = false;
    QString toString() const; // 第3行 “金额”：金额必须大于零
};

// A row after its checks: ready to print (a drawing and the history row it writes once issued)
// or with its problems.
struct Entry {
    int sheetRow = 0;
    QString counterparty; // for the grid and the summary
    QString amount;
    QString date;
    QString number;
    QList<RowProblem> problems;
    vouchers::PrintRoutine routine;
    vouchers::HistoryRow row; // the history row the window would write for it
    bool ready() const { return problems.isEmpty() && bool(routine); }
};

class VoucherList {
public:
    // Reads the customers, the own company and the saved calibration through a connection of its
    // own, once for all rows.
    explicit VoucherList(const vouchers::VoucherKind &kind);
    ~VoucherList();

    const vouchers::VoucherKind &kind() const { return m_kind; }

    // Finds the columns by their captions (or the other names they go by); problems for the
    // columns a row must give and the header lacks.
    QList<RowProblem> setHeader(const QStringList &header);
    // Makes the row's voucher and checks it as a print would. A repeat of a payment of the
    // history is a problem unless allowRepeat; every other question is answered no. A row
    // without a number takes the next of its account's book (after those the list's earlier rows
    // took).
    Entry prepare(const ListRow &row, bool allowRepeat = false);

private:
    QString columnsHolding(const vouchers::VoucherData &data, const QStringList &texts) const;

    const vouchers::VoucherKind &m_kind;
    std::unique_ptr<store::Connection> m_connection;
    std::unique_ptr<vouchers::ListContext> m_context;
    QHash<QString, int> m_columnOfKey; // data key -> column position
    QHash<QString, int> m_numbers;     // the numbers of the rows prepared since setHeader -> sheet row
    bool m_numbered = false;           // the kind has a number book: rows without a number take one
};

// A whole list after its checks: the header's problems and every row's entry.
struct ListCheck {
    QList<RowProblem> header;
    QList<Entry> entries;

    // What stands in the way of printing: the header's problems and those of every row the
    // clerk has not chosen to skip. Nothing prints while there is one.
    QList<RowProblem> blocking(const QSet<int> &skippedRows = {}) const;
    // The entries to print: every row not skipped (all ready when nothing blocks).
    QList<const Entry *> toPrint(const QSet<int> &skippedRows = {}) const;
};

// Checks a list: header first, then every row through the voucher's window. A row that pays the
// same customer the same amount as an earlier row of the list within 30 days is a repeat too.
ListCheck checkList(VoucherList &list, const QStringList &header, const QList<ListRow> &rows,
                    bool allowRepeat = false);

// How a batch went.
struct Outcome {
    int printed = 0; // vouchers issued (pages drawn, each with its history row)
    int failed = 0;  // vouchers meant to print that did not
    bool cancelled = false;
    bool unrecorded = false; // printed, but the history rows could not be written (the next start does)
    QString error; // for the user, in Chinese; empty when nothing failed
};

// Called before each voucher; false stops the batch there.
using Progress = std::function<bool(int done, int total)>;

// The ready entries as one job on the printer, one page each. The history rows of the vouchers the
// job holds are recorded around its hand-over: written down beside the job before the printer's
// queue gets it, recorded once the queue has taken it whole (vouchers/history.h).
Outcome printEntries(const QList<const Entry *> &entries, QPrinter &printer, const Progress &progress = {});
// The ready entries into one PDF file; their history rows go in together with the complete file.
Outcome saveEntriesPdf(const QList<const Entry *> &entries, const QString &path, const Progress &progress = {});

} // namespace batch
