#pragma once
// 凭证号码簿: the register of cheque books and the other vouchers' numbered forms.

#include "store/connection.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace vouchers {

class NumberBookWindow : public QWidget {
    Q_OBJECT
public:
    explicit NumberBookWindow(QWidget *parent = nullptr);

    void add();      // "添加(&A)": the book as typed, checked first
    void remove();   // "删除(&D)": the chosen book, asked first
    void refresh();  // the books with their next numbers as the history stands

private:
    store::Connection m_connection;
    QTableWidget *m_grid;
    QComboBox *m_kind;
    QLineEdit *m_account;
    QLineEdit *m_first;
    QLineEdit *m_last;
};

} // namespace vouchers
