#pragma once
// The named controls of the general layout settings (tydysz.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_tydysz.h"

#include <QList>

namespace vouchers {

struct GeneralLayoutFields {
    QPushButton *modify; // Command1 修改(&M)
    QPushButton *save; // Command2 保存(&S)
    QPushButton *cancel; // Command3 取消(&C)
    QPushButton *exit; // Command4 退出(&X)
    QLineEdit *firstBox; // Text1 the first box, where editing starts
    QLineEdit *passwordSpacing; // Text73 the password spacing, kept but not shown
    QLabel *passwordSpacingLabel; // label_Text73

    explicit GeneralLayoutFields(const Ui::tydysz &ui)
        : modify(ui.Command1),
          save(ui.Command2),
          cancel(ui.Command3),
          exit(ui.Command4),
          firstBox(ui.Text1),
          passwordSpacing(ui.Text73),
          passwordSpacingLabel(ui.label_Text73)
    {
    }
};

} // namespace vouchers
