#pragma once
// The named controls of the batch window (pldy.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_pldy.h"

#include <QList>

namespace batch {

struct BatchFields {
    QComboBox *kind; // Combo1 凭证种类
    QPushButton *open; // Command1 打开
    QPushButton *reload; // Command2 重新读取
    QPushButton *saveTemplate; // Command3 保存模板
    QPushButton *print; // Command4 打印
    QPushButton *savePdf; // Command5 保存为PDF
    QPushButton *exit; // Command6 退出
    QCheckBox *allowRepeats; // Check1 30天内重复的付款也打印
    QLabel *status; // Label1 what the list holds and what stands in the way
    QLineEdit *path; // Text1 the list file
    QTableView *grid; // DataGrid1 the rows of the list

    explicit BatchFields(const Ui::pldy &ui)
        : kind(ui.Combo1),
          open(ui.Command1),
          reload(ui.Command2),
          saveTemplate(ui.Command3),
          print(ui.Command4),
          savePdf(ui.Command5),
          exit(ui.Command6),
          allowRepeats(ui.Check1),
          status(ui.Label1),
          path(ui.Text1),
          grid(ui.DataGrid1)
    {
    }
};

} // namespace batch
