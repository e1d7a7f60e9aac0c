#pragma once
// What every voucher window shares: its connection, the customer search and the pickers it opens,
// the checks before printing, the print with its history row, and the activation when shown.

#include "vouchers/vocabulary.h"
#include "reference/customersearch.h"
#include "reference/picktargets.h"
#include "store/connection.h"
#include "store/datasource.h"
#include "text/amount.h"
#include "vouchers/history.h"
#include "printing/printing.h"
#include "vouchers/voucherdata.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;

namespace vouchers {

// One check before printing: when the field's text is exactly empty (blanks count as content),
// the message is shown and the focus goes to the target.
struct PrintCheck {
    QLineEdit *field;
    QString message;
    QWidget *focus;
    QString key = {}; // the data key of the entry (key::amount ...), for a list's problems
};

class VoucherWindow : public QWidget, public reference::CustomerPickTarget, public reference::PurposePickTarget {
    Q_OBJECT
public:
    ~VoucherWindow() override;

    // How a print leaves the window: the system printer by default; tests put a recorder or a
    // PDF file in its place. Must record the voucher through the Issued it is given: around the
    // hand-over (printing/issue.h), or by calling it once the voucher has gone out.
    using PrintPath = std::function<PrintOutcome(const PrintRoutine &, QWidget *parent, const Issued &)>;
    void setPrintPath(PrintPath path) { m_printPath = std::move(path); }
    PrintSettings &printSettings() { return m_printSettings; }

    // The customer data source (Adodc2) the search, the grid and the picker work on.
    store::DataSource &customers();

    // The pickers' hand-overs: the customer picker's name (Text7) queries the customers whose
    // name begins with it; the purpose picker empties the purpose field and writes its choice.
    void customerPicked(const QString &name) override;
    void setPurposeText(const QString &text) override;

    // Fills the entries as the clerk would, from data (a row of a payment list); what cannot be
    // taken is returned. print() then checks and prints them as it does typed ones.
    virtual QList<DataProblem> fill(const VoucherData &data) = 0;
    // The data key of the entry the last print() refused, with the message it showed; empty
    // when the last print() went through its checks.
    QString refusedKey() const { return m_refusedKey; }
    // The history row of the last print() that went through its checks (a list prints many at once
    // and records them together).
    const HistoryRow &lastHistoryRow() const { return m_lastRow; }
    // The texts the last print() found too wide for their places (when it refused for that).
    const QStringList &tooWideTexts() const { return m_tooWideTexts; }
    virtual void print() = 0;
    // The voucher as it would print now, with the calibration as typed (saved or not): what the
    // form preview draws.
    virtual PrintRoutine previewRoutine() const = 0;
    // 套打预览: the voucher over the scan of its blank form.
    void openFormPreview();

protected:
    // customerTag and purposeTag: the caller tags the pickers are opened with.
    VoucherWindow(QWidget *parent, QString customerTag, QString purposeTag);

    store::Connection &connection() { return m_connection; }

    // Sets up the customer search block; setup.takeOver is replaced by takeOver().
    void setUpCustomerSearch(reference::CustomerSearchSetup setup);
    reference::CustomerSearch *search() const { return m_search; }
    void setPurposeField(QLineEdit *field) { m_purposeField = field; }

    // Runs when the program shows the window and when a picker it opened closes again; not when
    // the user merely comes back from another application.
    virtual void activate() = 0;
    // Fills the voucher's fields from the current customer (and whatever else it shows).
    virtual void takeOver() = 0;

    void openCustomerPicker();
    void openPurposePicker();

    // Makes the customer of that exact name current and takes it over. A name not in the
    // address book is taken with the account and bank given (setCounterparty); without them it is
    // a problem.
    QList<DataProblem> chooseCustomer(const VoucherData &data);
    // Writes a customer the address book does not hold into the voucher's fields.
    virtual void setCounterparty(const VoucherData &data) = 0;
    // The date of the data, or a problem.
    static std::optional<QDate> dataDate(const VoucherData &data, QList<DataProblem> &problems);
    // Marks the entry the current print refuses (for checks beyond passChecks()).
    void refuse(const QString &key) { m_refusedKey = key; }

    // The checks before printing, in order; false (told, focus moved) at the first that fails.
    bool passChecks(const QList<PrintCheck> &checks);
    // The amount's refusal (negative, zero, too many places ...), told with the focus to the field.
    bool amountPrintable(QLineEdit *amount, text::AmountVariant variant);
    // An empty payee (收款人) is a question, not a refusal: the form may be completed by hand.
    // 否 is the default; focus goes to `focus` when the user declines.
    bool payeeAccepted(const QString &payee, QWidget *focus);

    // Prints through the print path and appends the history row once the voucher is issued.
    // pdfName: the start of a proposed PDF file name ("进账单-<name>").
    PrintOutcome printWithHistory(const PrintRoutine &routine, const HistoryRow &row, const QString &pdfName);

    void showEvent(QShowEvent *event) override;

private:
    QString m_customerTag;
    QString m_purposeTag;
    store::Connection m_connection;
    reference::CustomerSearch *m_search = nullptr; // Adodc2 and the grid
    QLineEdit *m_purposeField = nullptr;
    PrintSettings m_printSettings;
    PrintPath m_printPath;
    QString m_pickedName;  // Text7: the name the customer picker handed back
    bool m_picked = false; // the open customer picker has handed a name back
    QString m_refusedKey;
    HistoryRow m_lastRow;
    QStringList m_tooWideTexts;
};

// The date as the history keeps it: year/month/day without leading zeros ("2010/4/14").
QString historyDate(const QDate &date);

} // namespace vouchers
