#include "reference/customerpicker.h"

#include "reference/forms.h"
#include "reference/picktargets.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "ui/gridbinding.h"
#include "ui_xzgsmc.h"

#include <QShowEvent>

namespace reference {

CustomerPicker::CustomerPicker(const QString &tag, CustomerPickTarget *target, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::xzgsmc), m_target(target), m_customers(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    ui->Label2->setText(tag);
    m_customers.setStatement(store::statements::customers());
    if (!m_customers.refresh())
        reportDataError(this, windowTitle(), m_customers.errorText());
    m_grid = new store::GridModel(m_customers,
                                  {{QStringLiteral("gsmc"), QStringLiteral("公司名称"), {}},
                                   {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                                   {QStringLiteral("khh"), QStringLiteral("开户行"), {}}},
                                  this);
    ui::bindGrid(ui->DataGrid1, m_grid, [this] { ui->Text1->setText(m_customers.text(QStringLiteral("gsmc"))); });
    ui->DataGrid1->setColumnWidth(0, 220);
    ui->DataGrid1->setColumnWidth(1, 170);
    ui->Text1->setText(m_customers.text(QStringLiteral("gsmc")));
    connect(ui->Command1, &QPushButton::clicked, this, &CustomerPicker::confirm);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &CustomerPicker::confirm);
    ui::confirmOnActivation(ui->DataGrid1, [this] { confirm(); });
}

CustomerPicker::~CustomerPicker() { delete ui; }

void CustomerPicker::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    m_customers.setStatement(store::statements::customers());
    m_customers.refresh();
    ui->Text1->setText(m_customers.text(QStringLiteral("gsmc")));
}

void CustomerPicker::confirm()
{
    if (!customerPickerTags().contains(ui->Label2->text()) || !m_target)
        return;
    m_target->customerPicked(ui->Text1->text());
    close();
}

} // namespace reference
