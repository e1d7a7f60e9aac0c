#pragma once
// The payee picker lsjlxz: the history window opens it to choose the payee from the customers.

#include "store/connection.h"
#include "store/datasource.h"

#include <QWidget>

#include <functional>

namespace Ui { class lsjlxz; }
namespace store { class GridModel; }

namespace history {

class PayeePicker : public QWidget {
    Q_OBJECT
public:
    // onConfirm receives the chosen name when the user confirms.
    explicit PayeePicker(std::function<void(const QString &)> onConfirm, QWidget *parent = nullptr);
    ~PayeePicker() override;

    store::DataSource &customers() { return m_customers; }
    void confirm(); // "确认选择"

signals:
    void closed(); // hidden, with or without a choice

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showCurrentName();

    Ui::lsjlxz *ui;
    std::function<void(const QString &)> m_onConfirm;
    store::Connection m_connection;
    store::DataSource m_customers;
    store::GridModel *m_grid;
};

} // namespace history
