#pragma once
// The named controls of the two bank forms (jhdhpz.ui, nhjsywsqs.ui): each documented object
// name once, with the name the code uses.
// Written by tools/formfields.py from its tables; change them there.

#include "ui_jhdhpz.h"
#include "ui_nhjsywsqs.h"

#include <QList>

namespace vouchers {

struct BankFormFields {
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
    QPushButton *confirmDate; // Command1 确定日期(&Q)
    QPushButton *print; // Command3 打印(&P)
    QLineEdit *number; // Text39 the voucher's number
    QLineEdit *typedYear; // Text32 the date as typed: year
    QLineEdit *typedMonth; // Text36 month
    QLineEdit *typedDay; // Text37 day
    QLineEdit *payerName; // Text3 the own company who pays: 全称
    QLineEdit *payerAccount; // Text22 帐号
    QLineEdit *payerBank; // Text30 bank
    QLineEdit *payeeName; // Text25 the customer who receives: 全称
    QLineEdit *payeeAccount; // Text2 帐号
    QLineEdit *payeeBank; // Text23 bank
    QCheckBox *normal; // Check1 普通
    QCheckBox *urgent; // Check2 加急
    QList<QLineEdit *> cells; // Text9 (分) ... Text29, the digit cells from the right

    template <typename Form>
    explicit BankFormFields(const Form &ui)
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
          confirmDate(ui.Command1),
          print(ui.Command3),
          number(ui.Text39),
          typedYear(ui.Text32),
          typedMonth(ui.Text36),
          typedDay(ui.Text37),
          payerName(ui.Text3),
          payerAccount(ui.Text22),
          payerBank(ui.Text30),
          payeeName(ui.Text25),
          payeeAccount(ui.Text2),
          payeeBank(ui.Text23),
          normal(ui.Check1),
          urgent(ui.Check2),
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
        f.purpose = purposeCopy->text();
        f.cells.clear();
        for (const QLineEdit *cell : cells)
            f.cells << cell->text();
    }
};

} // namespace vouchers
