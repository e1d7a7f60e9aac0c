#pragma once
// The customer management window khsz2: browse, modify and delete customers.

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

namespace Ui { class khsz2; }
namespace store { class GridModel; }
class QLineEdit;

namespace reference {

class CustomerManageWindow : public QWidget {
    Q_OBJECT
public:
    explicit CustomerManageWindow(QWidget *parent = nullptr);
    ~CustomerManageWindow() override;

    store::DataSource &customers() { return m_customers; } // Adodc1
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
    store::DataSource m_customers;
    store::GridModel *m_grid;
    store::Bookmark m_remembered;
    QString m_initials;
    bool m_editing = false;
};

} // namespace reference
