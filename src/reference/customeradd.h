#pragma once
// The customer add window khsz1.

#include "store/connection.h"

#include <QWidget>

namespace Ui { class khsz1; }
class QLineEdit;

namespace reference {

class CustomerAddWindow : public QWidget {
    Q_OBJECT
public:
    explicit CustomerAddWindow(QWidget *parent = nullptr);
    ~CustomerAddWindow() override;

    // Text1 index 5: the initials computed at the last save.
    QString initials() const { return m_initials; }

    // Opened for a payee a voucher does not find: the name typed there, the account next.
    void startWithName(const QString &name);

signals:
    // A customer was saved under this name.
    void added(const QString &name);

private:
    QLineEdit *field(int index) const;
    void save();
    void clearFields();

    Ui::khsz1 *ui;
    store::Connection m_connection;
    QString m_initials;
};

} // namespace reference
