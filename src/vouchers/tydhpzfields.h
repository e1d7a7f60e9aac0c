#pragma once
// The named controls of the general wire voucher (tydhpz.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_tydhpz.h"

#include <QList>

namespace vouchers {

struct GeneralWireFields {
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
    QPushButton *pickCustomer; // Command6 the customer picker
    QPushButton *pickPurpose; // Command2 the purpose picker
    QPushButton *confirmDate; // Command1 确定日期(&Q)
    QPushButton *print; // Command3 打印(&P)
    QPushButton *rememberPlaces; // Command9 记注此设置
    QPushButton *editLayout; // Command13 修改
    QPushButton *saveLayout; // Command12 保存
    QPushButton *cancelLayout; // Command11 取消
    QPushButton *exitLayout; // Command10 the settings tab's 退出
    QRadioButton *placesOn; // Option1 the places printed
    QRadioButton *placesOff; // Option2 the places left blank
    QDateEdit *datePicker; // DTPicker1 the date picked
    QLineEdit *number; // Text39 凭证号
    QLineEdit *password; // Text40 支付密码: printed, never stored
    QLineEdit *payerName; // Text3 the own company who wires: 全称
    QLineEdit *payerAccount; // Text22 帐号
    QLineEdit *payerBank; // Text30 汇出行名称
    QLineEdit *payerProvince; // Text4 汇出地点: province
    QLineEdit *payerCity; // Text5 city
    QLineEdit *payeeName; // Text25 the customer who receives: 全称
    QLineEdit *payeeAccount; // Text2 帐号
    QLineEdit *payeeBank; // Text23 汇入行名称
    QLineEdit *payeeProvince; // Text6 汇入地点: province
    QLineEdit *payeeCity; // Text21 city
    QList<QLineEdit *> cells; // Text9 (分) ... Text29, the digit cells from the right

    explicit GeneralWireFields(const Ui::tydhpz &ui)
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
          pickCustomer(ui.Command6),
          pickPurpose(ui.Command2),
          confirmDate(ui.Command1),
          print(ui.Command3),
          rememberPlaces(ui.Command9),
          editLayout(ui.Command13),
          saveLayout(ui.Command12),
          cancelLayout(ui.Command11),
          exitLayout(ui.Command10),
          placesOn(ui.Option1),
          placesOff(ui.Option2),
          datePicker(ui.DTPicker1),
          number(ui.Text39),
          password(ui.Text40),
          payerName(ui.Text3),
          payerAccount(ui.Text22),
          payerBank(ui.Text30),
          payerProvince(ui.Text4),
          payerCity(ui.Text5),
          payeeName(ui.Text25),
          payeeAccount(ui.Text2),
          payeeBank(ui.Text23),
          payeeProvince(ui.Text6),
          payeeCity(ui.Text21),
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
        f.payerProvince = payerProvince->text();
        f.payerCity = payerCity->text();
        f.payerBank = payerBank->text();
        f.amountWords = amountWords->text();
        f.payeeName = payeeName->text();
        f.payeeAccount = payeeAccount->text();
        f.payeeProvince = payeeProvince->text();
        f.payeeCity = payeeCity->text();
        f.payeeBank = payeeBank->text();
        f.password = password->text();
        f.purpose = purposeCopy->text();
        f.cells.clear();
        for (const QLineEdit *cell : cells)
            f.cells << cell->text();
    }
};

} // namespace vouchers
