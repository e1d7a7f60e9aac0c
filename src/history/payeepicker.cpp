#include "history/payeepicker.h"

#include "store/gridmodel.h"
#include "store/statements.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"
#include "ui_lsjlxz.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>

namespace history {

PayeePicker::PayeePicker(std::function<void(const QString &)> onConfirm, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::lsjlxz), m_onConfirm(std::move(onConfirm)),
      m_customers(m_connection)
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    m_customers.setStatement(store::statements::customers());
    if (!m_customers.refresh())
        ui::tell(this, QStringLiteral("无法读取客户资料：%1").arg(m_customers.errorText()), windowTitle(),
                 ui::Icon::Critical);
    m_grid = new store::GridModel(m_customers,
                                  {{QStringLiteral("gsmc"), QStringLiteral("公司名称"), {}},
                                   {QStringLiteral("zhh"), QStringLiteral("帐号"), {}},
                                   {QStringLiteral("khh"), QStringLiteral("开户行"), {}}},
                                  this);
    ui::bindGrid(ui->DataGrid1, m_grid, [this] { showCurrentName(); });
    ui->DataGrid1->setColumnWidth(0, 220);
    ui->DataGrid1->setColumnWidth(1, 170);
    showCurrentName();
    connect(ui->Command1, &QPushButton::clicked, this, &PayeePicker::confirm);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &PayeePicker::confirm);
    ui::confirmOnActivation(ui->DataGrid1, [this] { confirm(); });
}

PayeePicker::~PayeePicker() { delete ui; }

void PayeePicker::showCurrentName() { ui->Text1->setText(m_customers.text(QStringLiteral("gsmc"))); }

void PayeePicker::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    m_customers.setStatement(store::statements::customers());
    m_customers.refresh();
    showCurrentName();
}

void PayeePicker::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit closed();
}

void PayeePicker::closeEvent(QCloseEvent *event)
{
    // The close box hides the picker like a confirmation would: it stays loaded.
    event->ignore();
    hide();
}

void PayeePicker::confirm()
{
    if (m_onConfirm)
        m_onConfirm(ui->Text1->text());
    hide();
}

} // namespace history
