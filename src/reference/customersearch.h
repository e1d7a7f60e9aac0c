#pragma once
// The customer search every voucher window offers: by name or by initials in Text43, the result
// in the voucher's customer grid, and the hand-over of the customer picker.

#include "reference/picktargets.h"
#include "store/datasource.h"
#include "store/gridmodel.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace store { class Connection; }

namespace reference {

// The grids' 简称 column: the initials of each character's most common reading, the form a clerk
// recognises, shown from the stored readings form (gsmcdyzm), whatever the version that saved it.
store::GridColumn initialsColumn();

struct CustomerSearchSetup {
    QWidget *window = nullptr;       // the voucher window, parent of the messages
    QLineEdit *searchField = nullptr; // Text43
    QPushButton *byName = nullptr;    // the voucher's name-search button
    QPushButton *byInitials = nullptr;
    QTableView *grid = nullptr;       // DataGrid1
    QLineEdit *nameField = nullptr;   // Text7, written by the customer picker
    QWidget *exitButton = nullptr;    // Command7
    // The grid's columns and their captions, as the voucher shows them.
    QVector<store::GridColumn> gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("公司名称"), {}},
                                              {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                                              {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    QString emptyNameMessage = QStringLiteral("请输入公司名称");
    QString emptyInitialsMessage = QStringLiteral("请输入公司名称的字母简称，如蓝石软件输入lsrj");
    bool focusSearchFieldWhenEmpty = true;
    // Where the focus goes when a search found customers; nullptr leaves it in the search field.
    QWidget *focusAfterNameSearch = nullptr;
    QWidget *focusAfterInitialsSearch = nullptr;
    // Copies the current customer of customers() into the voucher's fields.
    std::function<void()> takeOver;
};

class CustomerSearch : public QObject, public CustomerPickTarget {
    Q_OBJECT
public:
    CustomerSearch(store::Connection &connection, CustomerSearchSetup setup, QObject *parent = nullptr);

    store::DataSource &customers() { return m_customers; } // Adodc2
    store::GridModel *grid() const { return m_grid; }

    void searchByName();
    void searchByInitials();
    // "刷新(&R)": the search field emptied and focused, every customer, the first taken over.
    void showAll();

    // The picker's hand-over: Text7 takes the name, Adodc2 the customers whose name begins with it.
    void customerPicked(const QString &name) override;

private:
    void search(bool byInitials);

    CustomerSearchSetup m_setup;
    store::DataSource m_customers;
    store::GridModel *m_grid;
};

} // namespace reference
