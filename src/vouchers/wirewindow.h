#pragma once
// The construction-bank wire voucher window jhdhpz: the own company wires money to a customer.

#include "vouchers/bankformwindow.h"
#include "vouchers/jhdhpzfields.h"


namespace vouchers {

class WireWindow : public BankFormWindow {
    Q_OBJECT
public:
    explicit WireWindow(QWidget *parent = nullptr);
    ~WireWindow() override;

    // The texts the print would put on paper now.
    WireFace face() const;
    Voucher voucher(Settings settings) const override;

private:
    Ui::jhdhpz *ui;
    WireFields m_f;
};

} // namespace vouchers
