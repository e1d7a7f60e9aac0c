#pragma once
// The customer management window khsz2: browse, find (by name or initials), modify and delete
// customers.

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

namespace Ui { class khsz2; }
class QLineEdit;

namespace reference {

class CustomerSearch;

class CustomerManageWindow : public QWidget {
    Q_OBJECT
public:
    explicit CustomerManageWindow(QWidget *parent = nullptr);
    ~CustomerManageWindow() override;

    store::DataSource &customers(); // Adodc1, the rows the search found
    bool isEditing() const { return m_editing; }
    QString initials() const { return m_initials; } // Text6

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLineEdit *field(int index) const;
    void activate();
    void showCurrentRow();
    void setEditing(bool editing);
    void modify();
    void cancel();
    void save();
    void remove();
    void exit();

    Ui::khsz2 *ui;
    store::Connection m_connection;
    CustomerSearch *m_search; // the voucher windows' search, its data source and the grid
    store::Bookmark m_remembered;
    QString m_initials;
    bool m_editing = false;
};

} // namespace reference
