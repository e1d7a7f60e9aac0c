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
#include "ui/form.h"
#include "vouchers/voucher.h"
#include "vouchers/voucherdata.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace printing { class PrinterChoice; }

namespace vouchers {

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
    // The printer this voucher prints on, chosen beside 打印, and the notice of the last print.
    printing::PrinterChoice *printerChoice() const { return m_printerChoice; }

    // The customer data source (Adodc2) the search, the grid and the picker work on.
    store::DataSource &customers();

    // The pickers' hand-overs: the customer picker's name (Text7) queries the customers whose
    // name begins with it; the purpose picker empties the purpose field and writes its choice.
    void customerPicked(const QString &name) override;
    void setPurposeText(const QString &text) override;

    // Fills the entries as the clerk would, from data (a row of a payment list); what cannot be
    // taken is returned. print() then checks and prints them as it does typed ones.
    virtual QList<DataProblem> fill(const VoucherData &data) = 0;
    // The data key of the entry the last print() refused or asked about and was told no, with
    // the message it showed; empty when the last print() went through.
    QString refusedKey() const { return m_refusedKey; }
    // 补打: the entries as the history row of number xh holds them (data as a list gives them,
    // the account and bank the row's own); the next print writes its own row, marked as the
    // reprint of xh, and is not asked about its number.
    QList<DataProblem> startReprint(const VoucherData &data, qint64 xh);
    // "打印(&P)": the voucher as the entries say now goes through the one order of checks and
    // questions (vouchers/voucher.h), is printed and recorded.
    void print();
    // Which calibration a voucher is made with: the saved one (a print) or the boxes as typed,
    // saved or not (the form preview).
    enum class Settings { Saved, Typed };
    // The voucher as the entries say now.
    virtual Voucher voucher(Settings settings) const = 0;
    // The voucher as it would print now, with the calibration as typed: what the form preview draws.
    PrintRoutine previewRoutine() const { return voucher(Settings::Typed).routine; }
    // 套打预览: the voucher over the scan of its blank form.
    void openFormPreview();
    // An amount is entered that has not been printed as it stands (with its counterparty): what
    // closing the window for another 账套 would lose.
    bool holdsUnprintedEntries() const;

protected:
    // customerTag and purposeTag: the caller tags the pickers are opened with.
    VoucherWindow(QWidget *parent, QString customerTag, QString purposeTag);

    store::Connection &connection() { return m_connection; }
    // The connection to the calibration tables dytj and tydysz (the machine's or the data folder's).
    store::Connection &calibrationConnection() { return m_calibrationConnection; }

    // Sets up the customer search block; setup.takeOver is replaced by takeOver().
    void setUpCustomerSearch(reference::CustomerSearchSetup setup);
    reference::CustomerSearch *search() const { return m_search; }
    void setPurposeField(QLineEdit *field) { m_purposeField = field; }

    // Runs when the program shows the window and when a picker it opened closes again; not when
    // the user merely comes back from another application.
    virtual void activate() = 0;
    // Fills the voucher's fields from the current customer (and whatever else it shows).
    virtual void takeOver() = 0;

    // The boxes whose values the form preview draws from, kept in sight while it is open.
    virtual QList<QWidget *> calibrationBoxes() const { return {}; }

    void openCustomerPicker();
    void openPurposePicker();
    // A name no customer begins with: offered to the clerk as a new customer (客户添加).
    void offerNewCustomer(const QString &name);

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

    // The buttons every voucher window has, wired once: 刷新 shows every customer, the pickers open,
    // 打印 prints, 套打预览 previews.
    struct CommonButtons {
        QPushButton *refresh;
        QList<QPushButton *> customerPickers;
        QPushButton *purposePicker;
        QPushButton *print;
        QPushButton *preview;
    };
    void connectCommonButtons(const CommonButtons &buttons);

    // Where the focus goes when the print refuses an entry (or the empty payee is declined), by the
    // entry's data key: key::number, key::date, key::amount, key::purpose, key::counterparty.
    void setFocusTargets(QHash<QString, QWidget *> targets) { m_focusTargets = std::move(targets); }
    QWidget *focusFor(const QString &key) const { return m_focusTargets.value(key); }

    void showEvent(QShowEvent *event) override;

private:
    void placePrinterChoice(QPushButton *print);
    // The voucher's own number field (the focus target of key::number), if it has one.
    QLineEdit *numberField() const;
    // An empty number field takes the next number of the account's book (store/numberbooks.h).
    void proposeNumber();
    void numberAfterPrint(const HistoryRow &row);
    // The line beside the printer choice: what the last print issued, and where.
    void noticePrint(const HistoryRow &row, const QString &printer);

    QString m_customerTag;
    QString m_purposeTag;
    store::Connection m_connection;
    store::Connection m_calibrationConnection{store::Connection::Of::Calibration};
    reference::CustomerSearch *m_search = nullptr; // Adodc2 and the grid
    QLineEdit *m_purposeField = nullptr;
    PrintSettings m_printSettings;
    PrintPath m_printPath;
    printing::PrinterChoice *m_printerChoice = nullptr;
    QString m_pickedName;  // Text7: the name the customer picker handed back
    bool m_picked = false; // the open customer picker has handed a name back
    QString m_refusedKey;
    QHash<QString, QWidget *> m_focusTargets;
    QString entriesShown() const; // the amount and the counterparty as they stand
    QString m_printedEntries;     // and as they stood at the last print
    qint64 m_reprintOf = 0;  // 补打: the history row the next print prints again
    QString m_reprintNumber; // and its number, which that print is not asked about
};


} // namespace vouchers
