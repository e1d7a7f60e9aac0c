#pragma once
// The customer picker xzgsmc: a voucher window opens it to choose the customer by name.

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

namespace Ui { class xzgsmc; }
namespace store { class GridModel; }

namespace reference {

class CustomerPickTarget;

class CustomerPicker : public QWidget {
    Q_OBJECT
public:
    // tag names the calling voucher ("支票", "进账单", ...); it is shown in Label2.
    CustomerPicker(const QString &tag, CustomerPickTarget *target, QWidget *parent = nullptr);
    ~CustomerPicker() override;

    void confirm(); // "确认选择"

protected:
    void showEvent(QShowEvent *event) override;

private:
    Ui::xzgsmc *ui;
    CustomerPickTarget *m_target;
    store::Connection m_connection;
    store::DataSource m_customers;
    store::GridModel *m_grid;
};

} // namespace reference
