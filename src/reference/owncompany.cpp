#include "reference/owncompany.h"

#include "reference/forms.h"
#include "store/statements.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_bssz.h"

namespace reference {

namespace {
const char *const kColumns[] = {"gsmc", "khh", "zhh", "hp", "hc"};
const char *const kEmptyMessages[] = {"请输入公司名称", "请输入开户行", "请输入帐号", "请输入省/市", "请输入市/县"};
} // namespace

static QLineEdit *field(Ui::bssz *ui, int i)
{
    QLineEdit *const fields[] = {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5};
    return fields[i];
}

OwnCompanyWindow::OwnCompanyWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::bssz), m_company(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui::enterChain({ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Command3});
    connect(ui->Command1, &QPushButton::clicked, this, &OwnCompanyWindow::modify);
    connect(ui->Command2, &QPushButton::clicked, this, &OwnCompanyWindow::cancel);
    connect(ui->Command3, &QPushButton::clicked, this, &OwnCompanyWindow::save);
    connect(ui->Command4, &QPushButton::clicked, this, &OwnCompanyWindow::exit);

    m_company.setStatement(store::statements::ownCompany());
    if (!m_company.refresh())
        reportDataError(this, windowTitle(), m_company.errorText());
    showRow();
    setEditing(false);
}

OwnCompanyWindow::~OwnCompanyWindow() { delete ui; }

void OwnCompanyWindow::showRow()
{
    for (int i = 0; i < 5; ++i)
        field(ui, i)->setText(m_company.text(QLatin1String(kColumns[i])));
}

void OwnCompanyWindow::setEditing(bool editing)
{
    for (int i = 0; i < 5; ++i)
        field(ui, i)->setEnabled(editing);
    ui->Command1->setEnabled(!editing);
    ui->Command2->setEnabled(true);
    ui->Command3->setEnabled(true);
    ui->Command4->setEnabled(!editing);
}

void OwnCompanyWindow::modify()
{
    setEditing(true);
    ui->Text1->setFocus();
}

void OwnCompanyWindow::cancel()
{
    setEditing(false);
    showRow();
}

void OwnCompanyWindow::save()
{
    for (int i = 0; i < 5; ++i) {
        if (field(ui, i)->text().isEmpty()) {
            ui::tell(this, QString::fromUtf8(kEmptyMessages[i]), QStringLiteral("客户管理"));
            // A locked field cannot take the focus: unlock the fields so the user can fill it in.
            if (!field(ui, i)->isEnabled())
                setEditing(true);
            field(ui, i)->setFocus();
            return;
        }
    }
    setEditing(false);
    // A file edited elsewhere may have lost its one row: saving puts it back.
    if (!m_company.hasRow())
        m_company.addNew();
    for (int i = 0; i < 5; ++i)
        m_company.setValue(QLatin1String(kColumns[i]), field(ui, i)->text().trimmed());
    if (!m_company.update())
        reportDataError(this, QStringLiteral("本公司设置"), m_company.errorText());
    m_company.refresh();
    showRow();
}

void OwnCompanyWindow::exit()
{
    m_company.refresh();
    close();
}

} // namespace reference
