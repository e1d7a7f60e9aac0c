#pragma once
// A voucher's entries given as data rather than typed into its window (a row of a payment list,
// the command line), and the six kinds of voucher with the list columns each takes.

#include "vouchers/vocabulary.h"
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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

struct VoucherKind {
    QString window;   // "zpdy"
    QString name;     // "支票"
    QString customer; // the customer's role: 收款人, 付款人 or 交款人
    QList<ListColumn> columns;
    std::function<VoucherWindow *()> make;

    // The column of a data key (its caption), or the key itself when no column has it.
    QString captionOf(const QString &dataKey) const;
};

const QList<VoucherKind> &voucherKinds();
// By window name or Chinese name ("zpdy", "支票"); nullptr when there is none.
const VoucherKind *findVoucherKind(const QString &name);

// The date of a list cell: 2010-04-14, 2010/4/14, 2010.4.14, 2010年4月14日, 20100414 (full-width
// digits count); nothing when it names no real date with a four-digit year.
std::optional<QDate> listDate(const QString &text);

} // namespace vouchers
