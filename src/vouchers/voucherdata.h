#pragma once
// A voucher's entries given as data rather than typed into its window (a row of a payment list,
// the command line), and the six kinds of voucher with the list columns each takes.

#include "store/numberbooks.h"
#include "vouchers/history.h"
#include "vouchers/vocabulary.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

#include <functional>
#include <optional>

namespace vouchers {

class VoucherWindow;

// What the entries mean, whatever the column is called (keys below).
using VoucherData = QHash<QString, QString>;

namespace key {
inline const QString counterparty = QStringLiteral("counterparty"); // the customer's name
inline const QString account = QStringLiteral("account");           // used when the customer is unknown
inline const QString bank = QStringLiteral("bank");
inline const QString amount = QStringLiteral("amount");
inline const QString date = QStringLiteral("date");
inline const QString purpose = QStringLiteral("purpose");
inline const QString number = QStringLiteral("number");
inline const QString billKind = QStringLiteral("billKind");
inline const QString billCount = QStringLiteral("billCount");
inline const QString method = QStringLiteral("method");
inline const QString businessType = QStringLiteral("businessType");
inline const QString paymentCode = QStringLiteral("paymentCode");
inline const QString address = QStringLiteral("address");
inline const QString remark = QStringLiteral("remark");
inline const QString province = QStringLiteral("province");
inline const QString city = QStringLiteral("city");
// Not an entry: the voucher repeats a payment of the history (a question, not an error).
inline const QString repeat = QStringLiteral("repeat");
// Not an entry: a text is too long for its place on the form even at the smallest size.
inline const QString tooWide = QStringLiteral("tooWide");
} // namespace key

// A problem of one entry: the data key it concerns and the message for the clerk.
struct DataProblem {
    QString key;
    QString message;
};

// A column of a payment list: its caption (other captions that mean the same), the data key it
// fills, whether a row must give it, and what it holds (for the README and the templates).
struct ListColumn {
    QString caption;
    QStringList aliases;
    QString key;
    bool required;
    QString note;
};

class ListContext;
struct Voucher;

// One kind of voucher: everything the program knows of it outside its own files. The main
// window's button and menu entry, the window registry, the batch, the command line, the history
// type and the help all read this list (voucherKinds()); a new kind is one more entry.
struct VoucherKind {
    QString window;      // "zpdy": the window's object name, its .ini and scan files, the command line
    QString name;        // "支票"
    QString customer;    // the customer's role: 收款人, 付款人 or 交款人
    QString historyType; // pzlx: "支票" (the general wire voucher records "汇款凭证")
    QString mainButton;  // the main window's button that opens it ("Command10")
    QString menuAction;  // the action of the 票据打印 menu that opens it ("pjdyc01")
    QList<ListColumn> columns;
    std::function<VoucherWindow *(QWidget *parent)> make;
    // The voucher a row of a payment list makes, without a window; what the row gets wrong is
    // added to problems.
    std::function<Voucher(const VoucherData &, ListContext &, QList<DataProblem> &)> fromData;

    // The column of a data key (its caption), or the key itself when no column has it.
    QString captionOf(const QString &dataKey) const;
};

const QList<VoucherKind> &voucherKinds();
// By window name or Chinese name ("zpdy", "支票"); nullptr when there is none.
const VoucherKind *findVoucherKind(const QString &name);
// The history type (pzlx) a kind records, by its window name.
QString historyTypeOf(const QString &window);

// Numbered forms (store/numberbooks.h). Whether the kind's number is one of the own company's
// forms: a deposit slip's is the number of the cheque paid in, which another slip may carry.
bool numbersOwnForms(const VoucherKind &kind);
// Where the history keeps the kind's vouchers: its type and the column of the own account, the
// payer's when the own company pays (the customer is the payee), else the payee's.
store::HistoryKey historyKeyOf(const VoucherKind &kind);
QString ownAccountOf(const VoucherKind &kind, const HistoryRow &row);

// The date of a list cell: 2010-04-14, 2010/4/14, 2010.4.14, 2010年4月14日, 20100414 (full-width
// digits count); nothing when it names no real date with a four-digit year.
std::optional<QDate> listDate(const QString &text);

} // namespace vouchers
