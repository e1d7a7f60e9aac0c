#pragma once
// The agricultural-bank settlement application window nhjsywsqs: the own company applies for a
// wire, mail transfer, draft or cashier's cheque in favour of a customer.

#include "vouchers/bankformwindow.h"
#include "vouchers/nhjsywsqsfields.h"


namespace vouchers {

class TickChoice;

class SettlementWindow : public BankFormWindow {
    Q_OBJECT
public:
    explicit SettlementWindow(QWidget *parent = nullptr);
    ~SettlementWindow() override;

    // The texts the print would put on paper now.
    ApplicationFace face() const;
    TickChoice &businessType() const { return *m_type; }
    QList<DataProblem> fill(const VoucherData &data) override;
    Voucher voucher(Settings settings) const override;

private:
    Ui::nhjsywsqs *ui;
    SettlementFields m_f;
    TickChoice *m_type = nullptr;
};

} // namespace vouchers
