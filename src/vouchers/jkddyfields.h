#pragma once
// The named controls of the payment notice (jkddy.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_jkddy.h"

#include <QList>

namespace vouchers {

struct NoticeFields {
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
    QPushButton *print; // Command11 打印(&P)
    QPushButton *editCalibration; // Command10 修改
    QPushButton *saveCalibration; // Command6  保存
    QDateEdit *datePicker; // DTPicker1 the date picked
    QLineEdit *number; // Text40 单号
    QLineEdit *billKind; // Text4 票据种类 as typed
    QLineEdit *address; // Text5 单位地址 as typed
    QLineEdit *remark; // Text6 备注 as typed
    QLineEdit *billKindCopy; // Text21 the lower texts of the notice, printed (and editable there)
    QLineEdit *addressCopy; // Text24
    QLineEdit *remarkCopy; // Text26
    QLineEdit *payerName; // Text3 the customer who pays: 全称
    QLineEdit *payerAccount; // Text22 帐号
    QLineEdit *payerBank; // Text30 汇出行
    QLineEdit *payeeName; // Text25 the own company who receives: 全称
    QLineEdit *payeeAccount; // Text2 帐号
    QLineEdit *payeeBank; // Text23 汇入行
    QList<QLineEdit *> cells; // Text9 (分) ... Text29, the digit cells from the right

    explicit NoticeFields(const Ui::jkddy &ui)
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
          print(ui.Command11),
          editCalibration(ui.Command10),
          saveCalibration(ui.Command6),
          datePicker(ui.DTPicker1),
          number(ui.Text40),
          billKind(ui.Text4),
          address(ui.Text5),
          remark(ui.Text6),
          billKindCopy(ui.Text21),
          addressCopy(ui.Text24),
          remarkCopy(ui.Text26),
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
        f.payerName = payerName->text();
        f.payerAccount = payerAccount->text();
        f.payerBank = payerBank->text();
        f.amountWords = amountWords->text();
        f.payeeName = payeeName->text();
        f.payeeAccount = payeeAccount->text();
        f.payeeBank = payeeBank->text();
        f.billKind = billKindCopy->text();
        f.address = addressCopy->text();
        f.purpose = purposeCopy->text();
        f.remark = remarkCopy->text();
        f.cells.clear();
        for (const QLineEdit *cell : cells)
            f.cells << cell->text();
    }
};

} // namespace vouchers
