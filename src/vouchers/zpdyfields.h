#pragma once
// The named controls of the cheque (zpdy.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_zpdy.h"

#include <QList>

namespace vouchers {

struct ChequeFields {
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
    QPushButton *byInitials; // Command6 简称查找(&J)
    QPushButton *pickCustomer; // Command2 the customer picker
    QPushButton *pickPurpose; // Command3 the purpose picker
    QPushButton *confirmDate; // Command1 确定日期(&Q)
    QPushButton *print; // Command9 打印(&P)
    QPushButton *editCalibration; // Command10 修改
    QPushButton *saveCalibration; // Command8  保存
    QDateEdit *datePicker; // DTPicker1 the date picked
    QLineEdit *number; // Text21 支票号码
    QLineEdit *payee; // Text25 收款人
    QLineEdit *payingBank; // Text3 付款行名称: the own bank, by the bank switch
    QLineEdit *drawerAccount; // Text22 出票人帐号: the own account, by the bank switch
    QLineEdit *capitalYear; // Text33 the date in capitals: year
    QLineEdit *capitalMonth; // Text34 month
    QLineEdit *capitalDay; // Text35 day
    QLineEdit *stubYear; // Text38 the counterfoil's date: year
    QLineEdit *stubMonth; // Text39 month
    QLineEdit *stubDay; // Text40 day
    QLineEdit *stubPayee; // Text5 the counterfoil's payee
    QLineEdit *stubAmount; // Text29 the counterfoil's amount, as currency text
    QLineEdit *stubPurpose; // Text27 the counterfoil's purpose
    QRadioButton *bankOn; // Option1 是: the bank and account printed
    QRadioButton *bankOff; // Option2 否
    QRadioButton *stubOn; // Option3 是: the counterfoil printed
    QRadioButton *stubOff; // Option4 否
    QLineEdit *bankSwitch; // Text69 the bank switch as chosen ("1" or "0")
    QLineEdit *stubSwitch; // Text70 the counterfoil switch as chosen
    QList<QLineEdit *> cells; // Text9 (分) ... Text18, the digit cells from the right

    explicit ChequeFields(const Ui::zpdy &ui)
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
          byInitials(ui.Command6),
          pickCustomer(ui.Command2),
          pickPurpose(ui.Command3),
          confirmDate(ui.Command1),
          print(ui.Command9),
          editCalibration(ui.Command10),
          saveCalibration(ui.Command8),
          datePicker(ui.DTPicker1),
          number(ui.Text21),
          payee(ui.Text25),
          payingBank(ui.Text3),
          drawerAccount(ui.Text22),
          capitalYear(ui.Text33),
          capitalMonth(ui.Text34),
          capitalDay(ui.Text35),
          stubYear(ui.Text38),
          stubMonth(ui.Text39),
          stubDay(ui.Text40),
          stubPayee(ui.Text5),
          stubAmount(ui.Text29),
          stubPurpose(ui.Text27),
          bankOn(ui.Option1),
          bankOff(ui.Option2),
          stubOn(ui.Option3),
          stubOff(ui.Option4),
          bankSwitch(ui.Text69),
          stubSwitch(ui.Text70),
          cells{ui.Text9, ui.Text10, ui.Text11, ui.Text12, ui.Text13, ui.Text14, ui.Text15, ui.Text16, ui.Text17, ui.Text18}
    {
    }

    // The replica's texts as the controls show them now into a face (what goes on paper), the digit cells into face.cells.
    template <typename Face>
    void readFace(Face &f) const
    {
        f.year = stubYear->text();
        f.month = stubMonth->text();
        f.day = stubDay->text();
        f.counterfoilPayee = stubPayee->text();
        f.counterfoilAmount = stubAmount->text();
        f.counterfoilPurpose = stubPurpose->text();
        f.capitalYear = capitalYear->text();
        f.capitalMonth = capitalMonth->text();
        f.capitalDay = capitalDay->text();
        f.payee = payee->text();
        f.bank = payingBank->text();
        f.account = drawerAccount->text();
        f.amountWords = amountWords->text();
        f.purpose = purposeCopy->text();
        f.cells.clear();
        for (const QLineEdit *cell : cells)
            f.cells << cell->text();
    }
};

} // namespace vouchers
