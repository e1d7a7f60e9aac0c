#pragma once
// What the construction-bank wire voucher and the agricultural-bank application windows share:
// the own company as payer and a customer as payee, a typed date, the 普通/加急 ticks, eleven digit
// cells, the global printer adjustment, the checks and the history row.

#include "store/datasource.h"
#include "vouchers/bankformfields.h"
#include "vouchers/bankformvoucher.h"
#include "vouchers/typeddate.h"
#include "vouchers/voucherwindow.h"

#include <QDate>
#include <QList>

#include <memory>

class QPushButton;

namespace vouchers {

class AmountBlock;
class TickPair;

class BankFormWindow : public VoucherWindow {
    Q_OBJECT
public:
    ~BankFormWindow() override;

    // The global adjustment as read at the last refill.
    const GlobalOffsets &offsets() const { return m_offsets; }
    TickPair &method() const { return *m_method; }

    void confirmDate(); // "确定日期(&Q)"
    QList<DataProblem> fill(const VoucherData &data) override;

protected:
    // Where the two forms differ.
    struct Setup {
        QPushButton *byInitials = nullptr;
        QList<QPushButton *> customerPickers;
        QPushButton *purposePicker = nullptr;
        QString initialsEmptyMessage;
        QWidget *focusAfterSearch = nullptr; // nullptr: the search field keeps it
        QLineEdit *paymentCode = nullptr;    // printed, never stored
    };

    BankFormWindow(QWidget *parent, const QString &tag);
    // Wires the window once the form is set up: its shared controls and where the forms differ.
    void setUp(const BankFormFields &fields, const Setup &setup);
    const BankFormFields &fields() const { return *m_f; }
    // Parties, date, amount, cells, payment code and purpose as the window shows them now.
    BankFormFace baseFace() const;
    // The number, amount and confirmed date as the window shows them now.
    BankFormEntries entries() const;

    void activate() override;
    void takeOver() override;
    void setCounterparty(const VoucherData &data) override;

private:
    void readSources();

    std::unique_ptr<BankFormFields> m_f;
    Setup m_setup;
    store::DataSource m_company; // bssz
    store::DataSource m_adjust;  // dytj
    GlobalOffsets m_offsets;     // Text1, Text31
    TypedDate *m_date = nullptr;
    TickPair *m_method = nullptr;
    AmountBlock *m_amount = nullptr;
};

} // namespace vouchers
