#pragma once
// The own-company window bssz: the user's firm as every voucher prints it.

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

namespace Ui { class bssz; }

namespace reference {

class OwnCompanyWindow : public QWidget {
    Q_OBJECT
public:
    explicit OwnCompanyWindow(QWidget *parent = nullptr);
    ~OwnCompanyWindow() override;

private:
    void showRow();
    void setEditing(bool editing);
    void modify();
    void cancel();
    void save();
    void exit();

    Ui::bssz *ui;
    store::Connection m_connection;
    store::DataSource m_company;
};

} // namespace reference
