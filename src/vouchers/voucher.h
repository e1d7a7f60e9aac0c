#pragma once
// One voucher as data, whoever filled it (its window, a row of a payment list): what the checks
// before printing read, what goes on paper and what the history records. And the one order in
// which every voucher is checked, asked about and printed.

#include "vouchers/vocabulary.h"
#include "text/amount.h"
#include "vouchers/history.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace store { class Connection; }

namespace vouchers {

// An entry that must not be empty: its text is checked exactly (blanks count as content).
struct Requirement {
    QString key;     // the entry's data key (key::number ...), for the focus and a list's column
    QString text;
    QString message; // 请输入金额
};

// The two ends of a payment as a voucher names them.
struct Party {
    QString name, account, bank;
};

struct Voucher {
    QList<Requirement> requirements; // in the order they are checked
    // A refusal of the voucher's own, checked after the requirements (a typed date that is no
    // real date); its message names what is wrong.
    std::optional<Requirement> refusal;
    QString amount; // as typed
    text::AmountVariant places = text::AmountVariant::ElevenPlaces;
    QString payee;  // 收款人: empty is a question, not a refusal
    PrintRoutine routine; // with the calibration the print uses
    HistoryRow row;
    QString pdfName; // the start of a proposed PDF file name: "支票-<收款人>"
};

// What a print asks before it goes on, as a kind of question rather than a text to match.
struct Question {
    enum class Kind { EmptyPayee, TooWide, RepeatPayment };
    Kind kind;
    QString text;            // as the clerk reads it
    QStringList tooWideTexts; // TooWide: the texts that do not fit
};
// The answer to a question: true goes on.
using Answer = std::function<bool(const Question &)>;

struct Review {
    enum class Outcome {
        Ready,    // may print
        Refused,  // an entry is missing or wrong: key and message say which
        Declined  // a question was answered no: key says which (counterparty, tooWide, repeat),
                  // message is the question
    };
    Outcome outcome = Outcome::Ready;
    QString key;
    QString message;
    QStringList tooWideTexts;
    bool ready() const { return outcome == Outcome::Ready; }
};

// The history row of a voucher: the day of printing, the voucher's date as the history keeps it
// (2010/4/14), its type, number, amount (as typed; kept in ASCII), purpose and the two parties.
HistoryRow historyRow(const QDate &printed, const QString &voucherDate, const QString &type, const QString &number,
                      const QString &amount, const QString &purpose, const Party &payer, const Party &payee);

// The digit cells an amount fills, cells[0] the 分 cell, and its capital words; empty for an amount
// the cells cannot hold (what a fresh window shows).
QStringList amountCells(const QString &amount, text::AmountVariant places, int count);
QString amountWords(const QString &amount, text::AmountVariant places, int count);

// Checks a voucher in the one order every print keeps: the requirements, the voucher's own
// refusal, the amount, then the questions (an empty payee, a text too wide for its place even at
// the smallest size, the same payment printed within 30 days, from the history on connection).
Review review(const Voucher &voucher, store::Connection &connection, const Answer &answer);

} // namespace vouchers
