#pragma once
// The named controls of the deposit slip (jzddy.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_jzddy.h"

#include <QList>

namespace vouchers {

struct DepositFields {
    QLineEdit *search; // Text43 the customer searched for, by name or initials
    QPushButton *byName; // Command5 查找(&F)
    QPushButton *refresh; // Command4 刷新(&R)
    QTableView *grid; // DataGrid1 the customers found
    QPushButton *exit; // Command7 退出(&X)
    QPushButton *preview; // cmdPreview 套打预览(&Y)
    QLineEdit *amount; // Text8 请输入金额
    QLineEdit *amountWords; // Text28 the amount in capitals
    QLineEdit *purpose; // Text19 用途 as typed
    QLineEdit *purposeCopy; // Text20 its copy on the replica, printed and recorded
    QLineEdit *confirmedYear; // Text33 the confirmed date: year
    QLineEdit *confirmedMonth; // Text34 month
    QLineEdit *confirmedDay; // Text35 day
    QPushButton *byInitials; // Command8 简称查找(&J)
    QPushButton *pickCustomer; // Command2 the customer picker
    QPushButton *pickPurpose; // Command9 the purpose picker
    QPushButton *confirmDate; // Command1 确定日期
    QPushButton *print; // Command3 打印(&P)
    QPushButton *editCalibration; // Command10 修改
    QPushButton *saveCalibration; // Command6  保存
    QDateEdit *datePicker; // DTPicker1 the date picked
    QLineEdit *billKind; // Text4 票据种类 as typed
    QLineEdit *number; // Text5 票据号码 as typed
    QLineEdit *billCount; // Text6 票据张数 as typed
    QLineEdit *billKindCopy; // Text21 their copies on the replica, printed and recorded
    QLineEdit *numberCopy; // Text24
    QLineEdit *billCountCopy; // Text26
    QLineEdit *payerName; // Text3 the customer who pays in: 全称
    QLineEdit *payerAccount; // Text22 帐号
    QLineEdit *payerBank; // Text30 汇出行名称
    QLineEdit *payeeName; // Text25 the own company who receives: 全称
    QLineEdit *payeeAccount; // Text2 帐号
    QLineEdit *payeeBank; // Text23 汇入行名称
    QList<QLineEdit *> cells; // Text9 (分) ... Text29, the digit cells from the right

    explicit DepositFields(const Ui::jzddy &ui)
        : search(ui.Text43),
          byName(ui.Command5),
          refresh(ui.Command4),
          grid(ui.DataGrid1),
          exit(ui.Command7),
          preview(ui.cmdPreview),
          amount(ui.Text8),
          amountWords(ui.Text28),
          purpose(ui.Text19),
          purposeCopy(ui.Text20),
          confirmedYear(ui.Text33),
          confirmedMonth(ui.Text34),
          confirmedDay(ui.Text35),
          byInitials(ui.Command8),
          pickCustomer(ui.Command2),
          pickPurpose(ui.Command9),
          confirmDate(ui.Command1),
          print(ui.Command3),
          editCalibration(ui.Command10),
          saveCalibration(ui.Command6),
          datePicker(ui.DTPicker1),
          billKind(ui.Text4),
          number(ui.Text5),
          billCount(ui.Text6),
          billKindCopy(ui.Text21),
          numberCopy(ui.Text24),
          billCountCopy(ui.Text26),
          payerName(ui.Text3),
          payerAccount(ui.Text22),
          payerBank(ui.Text30),
          payeeName(ui.Text25),
          payeeAccount(ui.Text2),
          payeeBank(ui.Text23),
          cells{ui.Text9, ui.Text10, ui.Text11, ui.Text12, ui.Text13, ui.Text14, ui.Text15, ui.Text16, ui.Text17, ui.Text18, ui.Text29}
    {
    }

    // The replica's texts as the controls show them now into a face (what goes on paper), the digit cells into face.cells.
    template <typename Face>
    void readFace(Face &f) const
    {
        f.year = confirmedYear->text();
        f.month = confirmedMonth->text();
        f.day = confirmedDay->text();
        f.remitterName = payerName->text();
        f.remitterAccount = payerAccount->text();
        f.remitterBank = payerBank->text();
        f.amountWords = amountWords->text();
        f.payeeName = payeeName->text();
        f.payeeAccount = payeeAccount->text();
        f.payeeBank = payeeBank->text();
        f.billKind = billKindCopy->text();
        f.billNumber = numberCopy->text();
        f.billCount = billCountCopy->text();
        f.purpose = purposeCopy->text();
        f.cells.clear();
        for (const QLineEdit *cell : cells)
            f.cells << cell->text();
    }
};

} // namespace vouchers
