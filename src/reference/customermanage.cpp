#include "reference/customermanage.h"

#include "reference/customersearch.h"
#include "reference/forms.h"
#include "store/statements.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/keychain.h"
#include "ui/prompter.h"
#include "ui/rowdelete.h"
#include "ui_khsz2.h"

#include <QCloseEvent>

namespace reference {

namespace {
const char *const kColumns[] = {"gsmc", "zhh", "khh", "sheng", "shi"};
const char *const kEmptyMessages[] = {"请输入公司名称", "请输入帐号", "请输入开户行", "请输入省/市", "请输入市/县"};
const QString kTitle = QStringLiteral("客户管理");
} // namespace

CustomerManageWindow::CustomerManageWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::khsz2)
{
    ui->setupUi(this);
    ui::enterChain({ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Command4});
    connect(ui->Command1, &QPushButton::clicked, this, &CustomerManageWindow::modify);
    connect(ui->Command2, &QPushButton::clicked, this, &CustomerManageWindow::remove);
    connect(ui->Command3, &QPushButton::clicked, this, &CustomerManageWindow::cancel);
    connect(ui->Command4, &QPushButton::clicked, this, &CustomerManageWindow::save);
    connect(ui->Command5, &QPushButton::clicked, this, &CustomerManageWindow::exit);

    // The search of the voucher windows, by name or by the initials of any reading; a customer
    // found is shown in the fields, nothing found asks as there.
    CustomerSearchSetup setup;
    setup.window = this;
    setup.searchField = ui->txtSearch;
    setup.byName = ui->cmdFind;
    setup.byInitials = ui->cmdFindInitials;
    setup.grid = ui->DataGrid1;
    setup.exitButton = ui->Command5;
    setup.gridColumns = {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                         {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                         {QStringLiteral("khh"), QStringLiteral("开户行"), {}}};
    setup.takeOver = [this] { showCurrentRow(); };
    m_search = new CustomerSearch(m_connection, setup, this);
    connect(ui->cmdShowAll, &QPushButton::clicked, m_search, &CustomerSearch::showAll);
    connect(ui->txtSearch, &QLineEdit::returnPressed, m_search, &CustomerSearch::searchByName);
    ui->txtSearch->setPlaceholderText(QStringLiteral("名称中的文字，或拼音首字母"));
    ui->DataGrid1->setColumnWidth(0, 220);
    ui->DataGrid1->setColumnWidth(1, 170);
    m_remembered = customers().bookmark();
    customers().moveFirst();
    showCurrentRow();
    setEditing(false);
}

CustomerManageWindow::~CustomerManageWindow()
{
    delete m_search; // its data source lives on this window's connection and must close before it
    delete ui;
}

store::DataSource &CustomerManageWindow::customers() { return m_search->customers(); }

QLineEdit *CustomerManageWindow::field(int index) const
{
    QLineEdit *const fields[] = {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5};
    return fields[index];
}

void CustomerManageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void CustomerManageWindow::activate()
{
    // Every customer again, the search field empty.
    ui->txtSearch->clear();
    customers().setStatement(store::statements::customers());
    customers().refresh();
    showCurrentRow();
    ui->Command1->setFocus();
}

void CustomerManageWindow::showCurrentRow()
{
    for (int i = 0; i < 5; ++i)
        field(i)->setText(customers().text(QLatin1String(kColumns[i])));
    m_initials = customers().text(QStringLiteral("gsmczmjc"));
}

void CustomerManageWindow::setEditing(bool editing)
{
    m_editing = editing;
    for (int i = 0; i < 5; ++i)
        field(i)->setEnabled(editing);
    ui->Command1->setEnabled(!editing);
    ui->Command2->setEnabled(!editing);
    ui->Command3->setEnabled(true);
    ui->Command4->setEnabled(true);
    ui->Command5->setEnabled(!editing);
    // A search would put other customers into the fields being edited.
    for (QWidget *w : std::initializer_list<QWidget *>{ui->txtSearch, ui->cmdFind, ui->cmdFindInitials, ui->cmdShowAll})
        w->setEnabled(!editing);
}

void CustomerManageWindow::modify()
{
    if (!customers().hasRow()) {
        ui::tell(this, QStringLiteral("没有可修改的客户"), kTitle, ui::Icon::Information);
        return;
    }
    setEditing(true);
    m_remembered = customers().bookmark();
    ui->Text1->setFocus();
}

void CustomerManageWindow::cancel()
{
    setEditing(false);
    customers().setBookmark(m_remembered);
    showCurrentRow();
}

void CustomerManageWindow::save()
{
    m_initials = text::initials(ui->Text1->text());
    for (int i = 0; i < 5; ++i) {
        if (field(i)->text().isEmpty()) {
            ui::tell(this, QString::fromUtf8(kEmptyMessages[i]), kTitle, ui::Icon::Information);
            if (!field(i)->isEnabled())
                setEditing(true);
            field(i)->setFocus();
            return;
        }
    }
    if (!customers().hasRow()) {
        ui::tell(this, QStringLiteral("没有可保存的客户，请先在列表中选择"), kTitle, ui::Icon::Information);
        return;
    }
    // A name another customer has would make two customers of one name, which a payment list
    // cannot tell apart: refused as the add window refuses it.
    store::DataSource same(m_connection);
    same.setStatement(store::statements::customersNamed(ui->Text1->text().trimmed()));
    if (!same.refresh()) {
        reportDataError(this, kTitle, same.errorText());
        return;
    }
    const store::Bookmark current = customers().bookmark();
    for (same.moveFirst(); !same.eof(); same.moveNext()) {
        if (!(same.bookmark() == current)) {
            ui::tell(this, QStringLiteral("此客户已存在,请重新输入"), kTitle);
            ui->Text1->setFocus();
            return;
        }
    }
    setEditing(false);
    for (int i = 0; i < 5; ++i)
        customers().setValue(QLatin1String(kColumns[i]), field(i)->text().trimmed());
    customers().setValue(QStringLiteral("gsmczmjc"), m_initials.trimmed());
    const QString sets = text::readingSets(ui->Text1->text());
    customers().setValue(QStringLiteral("gsmcdyjc"), text::commonInitials(sets));
    customers().setValue(QStringLiteral("gsmcdyzm"), sets);
    if (!customers().update())
        reportDataError(this, kTitle, customers().errorText());
    customers().setBookmark(m_remembered);
    showCurrentRow();
}

void CustomerManageWindow::remove()
{
    // The question names the customer, so that a wrong row is not deleted unseen.
    const QString question =
        QStringLiteral("确定要删除当前数据吗？\n\n客户名称：%1").arg(customers().text(QStringLiteral("gsmc")));
    ui::deleteCurrentRow(this, customers(), m_remembered, {question, QStringLiteral("删除"), true});
    showCurrentRow();
}

void CustomerManageWindow::exit()
{
    customers().update();
    hide();
}

void CustomerManageWindow::closeEvent(QCloseEvent *event)
{
    // The close box leaves like 退出: the window stays loaded, edits not saved are dropped.
    event->ignore();
    if (m_editing)
        cancel();
    exit();
}

} // namespace reference
