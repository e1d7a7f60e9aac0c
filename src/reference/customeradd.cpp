#include "reference/customeradd.h"

#include "reference/forms.h"
#include "store/datasource.h"
#include "store/statements.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui_khsz1.h"

namespace reference {

namespace {
const char *const kEmptyMessages[] = {"请输入客户名称", "请输入帐号", "请输入开户行", "请输入省/市", "请输入市/县"};
const QString kTitle = QStringLiteral("客户添加");
} // namespace

CustomerAddWindow::CustomerAddWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::khsz1)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui::enterChain({field(0), field(1), field(2), field(3), field(4), ui->Command1});
    // Down goes back one field; the first field has nowhere to go back to.
    for (int i = 1; i <= 3; ++i)
        ui::focusOnKey(field(i), Qt::Key_Down, field(i - 1));
    connect(ui->Command1, &QPushButton::clicked, this, &CustomerAddWindow::save);
    connect(ui->Command2, &QPushButton::clicked, this, &CustomerAddWindow::clearFields);
    connect(ui->Command3, &QPushButton::clicked, this, &QWidget::close);
}

CustomerAddWindow::~CustomerAddWindow() { delete ui; }

QLineEdit *CustomerAddWindow::field(int index) const
{
    QLineEdit *const fields[] = {ui->Text1_0, ui->Text1_1, ui->Text1_2, ui->Text1_3, ui->Text1_4};
    return fields[index];
}

void CustomerAddWindow::save()
{
    m_initials = text::initials(field(0)->text());
    for (int i = 0; i < 5; ++i) {
        if (field(i)->text().isEmpty()) {
            ui::tell(this, QString::fromUtf8(kEmptyMessages[i]), kTitle, ui::Icon::Information);
            field(i)->setFocus();
            return;
        }
    }
    store::DataSource same(m_connection);
    same.setStatement(store::statements::customersNamed(field(0)->text()));
    if (!same.refresh()) {
        reportDataError(this, kTitle, same.errorText());
        return;
    }
    if (same.recordCount() > 0) {
        ui::tell(this, QStringLiteral("此客户已存在,请重新输入"), kTitle);
        return;
    }
    // Columns by position, each exactly as typed.
    same.addNew();
    for (int i = 0; i < 5; ++i)
        same.setValue(i, field(i)->text());
    if (!m_initials.isEmpty())
        same.setValue(5, m_initials);
    // The readings forms: every reading of each character, and the common ones' initials.
    if (const QString sets = text::readingSets(field(0)->text()); !sets.isEmpty()) {
        same.setValue(QStringLiteral("gsmcdyjc"), text::commonInitials(sets));
        same.setValue(QStringLiteral("gsmcdyzm"), sets);
    }
    if (!same.update()) {
        reportDataError(this, kTitle, same.errorText());
        return;
    }
    const QString name = field(0)->text();
    clearFields();
    field(0)->setFocus();
    emit added(name);
}

void CustomerAddWindow::startWithName(const QString &name)
{
    clearFields();
    field(0)->setText(name);
    field(1)->setFocus();
}

void CustomerAddWindow::clearFields()
{
    for (int i = 0; i < 5; ++i)
        field(i)->clear();
    m_initials.clear();
}

} // namespace reference
