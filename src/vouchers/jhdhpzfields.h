#pragma once
// The named controls of the construction-bank wire voucher (jhdhpz.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_jhdhpz.h"

#include <QList>

namespace vouchers {

struct WireFields {
    QPushButton *byInitials; // Command9 简称查找(&J)
    QPushButton *pickCustomer; // Command6 the customer picker beside the search
    QPushButton *pickPayee; // Command2 the customer picker beside the payee
    QPushButton *pickPurpose; // Command8 the purpose picker
    QLineEdit *paymentCode; // Text40 支付密码: printed, never stored

    explicit WireFields(const Ui::jhdhpz &ui)
        : byInitials(ui.Command9),
          pickCustomer(ui.Command6),
          pickPayee(ui.Command2),
          pickPurpose(ui.Command8),
          paymentCode(ui.Text40)
    {
    }
};

} // namespace vouchers
