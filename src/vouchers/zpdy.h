#pragma once
// The cheque window zpdy: fills in a cheque and its counterfoil, records it and prints it.

#include "reference/picktargets.h"
#include "store/connection.h"
#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/cheque.h"
#include "vouchers/history.h"
#include "vouchers/printing.h"

#include <QDate>
#include <QWidget>

#include <functional>

namespace Ui { class zpdy; }
namespace reference { class CustomerSearch; }

namespace vouchers {

class AmountBlock;

class ChequeWindow : public QWidget, public reference::CustomerPickTarget, public reference::PurposePickTarget {
    Q_OBJECT
public:
    explicit ChequeWindow(QWidget *parent = nullptr);
    ~ChequeWindow() override;

    // How a print leaves the window: the system printer by default; tests put a recorder or a
    // PDF file in its place. Must call onIssued once the voucher is issued (job started or PDF complete).
    using PrintPath = std::function<PrintOutcome(const PrintRoutine &, QWidget *parent, const Issued &)>;
    void setPrintPath(PrintPath path) { m_printPath = std::move(path); }
    PrintSettings &printSettings() { return m_printSettings; }

    const Calibration &calibration() const { return m_calibration; }
    store::DataSource &customers();

    // The texts the print would put on paper now.
    ChequeFace face() const;

    // The pickers' hand-overs.
    void customerPicked(const QString &name) override; // the customer picker writes Text7
    void setPurposeText(const QString &text) override; // the purpose picker writes Text19

    // The commands, as their buttons run them.
    void confirmDate(); // "确定日期(&Q)"
    void print();       // "打印(&P)"

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Hidden holders of the window, named after the fields that kept them.
    struct Held {
        QString text23, text30, text41; // own company's gsmc, khh, zhh for the history row
        QString text2, text4;           // own company's khh and zhh behind Text3 and Text22
        QString text101;                // payee's gsmc behind Text5
        QString text24, text26;         // payee's zhh and khh for the history row
        QString text6;                  // the confirmed date as year/month/day
        QString text7;                  // the name the customer picker handed back
        QDate confirmed;                // the date Text38..Text40 and Text33..Text35 were made from
    };

    void activate();
    void takeOver();
    void applySwitches();
    bool bankOn() const;
    bool counterfoilOn() const;
    void purposeChanged();
    void refresh();
    void openCustomerPicker();
    void openPurposePicker();
    void chooseBank(bool on);
    void chooseCounterfoil(bool on);
    void saveCalibration();
    void editCalibration();
    bool checkInput();

    Ui::zpdy *ui;
    Held m_held;
    Calibration m_calibration;
    store::Connection m_connection;
    store::DataSource m_company; // Adodc1
    HistoryAppender m_history;   // Adodc4
    reference::CustomerSearch *m_search = nullptr; // Adodc2 and the grid
    AmountBlock *m_amount = nullptr;
    PrintSettings m_printSettings;
    PrintPath m_printPath;
    bool m_picked = false; // the open customer picker has handed a name back
};

} // namespace vouchers
