#pragma once
// The named controls of the agricultural-bank settlement application (nhjsywsqs.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_nhjsywsqs.h"

#include <QList>

namespace vouchers {

struct SettlementFields {
    QPushButton *byInitials; // Command8 简称查找(&J)
    QPushButton *pickCustomer; // Command2 the customer picker
    QPushButton *pickPurpose; // Command6 the purpose picker
    QLineEdit *number; // Text39 申请书号码: where the search leaves the focus
    QLineEdit *paymentCode; // Text42 支付密码: printed, never stored
    QCheckBox *typeWire; // Check3 电汇
    QCheckBox *typeMail; // Check4 信汇
    QCheckBox *typeDraft; // Check5 汇票
    QCheckBox *typeNote; // Check6 本票
    QCheckBox *typeOther; // Check7 其它

    explicit SettlementFields(const Ui::nhjsywsqs &ui)
        : byInitials(ui.Command8),
          pickCustomer(ui.Command2),
          pickPurpose(ui.Command6),
          number(ui.Text39),
          paymentCode(ui.Text42),
          typeWire(ui.Check3),
          typeMail(ui.Check4),
          typeDraft(ui.Check5),
          typeNote(ui.Check6),
          typeOther(ui.Check7)
    {
    }
};

} // namespace vouchers
