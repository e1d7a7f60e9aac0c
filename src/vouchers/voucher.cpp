#include "vouchers/voucher.h"

#include "printing/pagewriter_recorder.h"
#include "text/numbers.h"
#include "vouchers/printtable.h"
#include "vouchers/repeats.h"
#include "vouchers/voucherdata.h"

namespace vouchers {

namespace {

// Draws nothing and keeps nothing but the texts too wide for their places, with their fields: all a
// check before printing needs of a drawing (a recorder would keep every operation).
class TooWideProbe : public PageWriter {
public:
    QStringList fields, texts;
    void setPageHeight(int) override {}
    void setPageWidth(int) override {}
    void setFontSize(double) override {}
    void setCurrentX(double) override {}
    void setCurrentY(double) override {}
    void printText(const QString &text) override
    {
        if (m_next)
            texts << text;
        m_next = false;
    }
    void line(double, double, double, double) override {}
    void endDocument() override {}
    void nextText(const QString &field, bool tooWide) override
    {
        m_next = tooWide;
        if (tooWide)
            fields << field;
    }

private:
    bool m_next = false;
};

Review refused(const QString &key, const QString &message)
{
    Review r;
    r.outcome = Review::Outcome::Refused;
    r.key = key;
    r.message = message;
    return r;
}

Review declined(const QString &key)
{
    Review r;
    r.outcome = Review::Outcome::Declined;
    r.key = key;
    return r;
}

} // namespace

HistoryRow historyRow(const QDate &printed, const QString &voucherDate, const QString &type, const QString &number,
                      const QString &amount, const QString &purpose, const Party &payer, const Party &payee)
{
    return {printed,    voucherDate,   type,       number,     text::halfWidth(amount), purpose,
            payer.name, payer.account, payer.bank, payee.name, payee.account,           payee.bank};
}

QStringList amountCells(const QString &amount, text::AmountVariant places, int count)
{
    const text::AmountDisplay d = text::convertAmount(amount, places, count);
    QStringList cells = d.cellsChanged ? d.cells : QStringList();
    while (cells.size() < count)
        cells.append(QString());
    return cells;
}

QString amountWords(const QString &amount, text::AmountVariant places, int count)
{
    return text::convertAmount(amount, places, count).words;
}

Review review(const Voucher &v, store::Connection &connection, const Answer &answer)
{
    for (const Requirement &r : v.requirements)
        if (r.text.isEmpty())
            return refused(r.key, r.message);
    if (v.refusal)
        return refused(v.refusal->key, v.refusal->message);
    // The live display writes anything; paper gets only an amount the voucher can carry.
    if (const text::AmountProblem p = text::checkPrintable(v.amount, v.places); p != text::AmountProblem::None)
        return refused(key::amount, text::amountProblemMessage(p));

    // An empty payee may be written by hand later (a cheque often is).
    if (v.payee.trimmed().isEmpty()) {
        const Question q{Question::Kind::EmptyPayee, QStringLiteral("收款人为空，仍然打印吗？"), {}};
        if (!answer(q)) {
            Review r = declined(key::counterparty);
            r.message = q.text;
            return r;
        }
    }

    // A text wider than its place even at the smallest size would run into the next field.
    TooWideProbe probe;
    if (v.routine)
        v.routine(probe);
    if (!probe.fields.isEmpty()) {
        QStringList fields;
        for (const QString &f : std::as_const(probe.fields))
            fields << QStringLiteral("“%1”").arg(f);
        const QStringList &texts = probe.texts;
        const Question q{Question::Kind::TooWide,
                         QStringLiteral("%1的内容太长，缩小到%2磅仍超出凭证上留给它的位置，仍然打印吗？\n"
                                        "选择“否”可以缩短后再打印。")
                             .arg(fields.join(QStringLiteral("、")))
                             .arg(kSmallestPoints),
                         texts};
        if (!answer(q)) {
            Review r = declined(key::tooWide);
            r.message = q.text;
            r.tooWideTexts = texts;
            return r;
        }
    }

    // The same payment printed twice is money paid twice.
    const QDate date = listDate(v.row.voucherDate).value_or(QDate());
    if (const std::optional<EarlierVoucher> earlier = findRepeat(connection, v.row, date)) {
        const Question q{Question::Kind::RepeatPayment, repeatQuestion(v.row, *earlier), {}};
        if (!answer(q)) {
            Review r = declined(key::repeat);
            r.message = q.text;
            return r;
        }
    }
    return Review();
}

} // namespace vouchers
