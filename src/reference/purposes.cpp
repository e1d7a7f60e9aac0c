#include "reference/purposes.h"

#include "reference/forms.h"
#include "reference/picktargets.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"
#include "ui/rowdelete.h"
#include "ui_xzyt.h"
#include "ui_ytsz1.h"
#include "ui_ytsz2.h"

#include <QShowEvent>

namespace reference {

namespace {
const QString kColumn = QStringLiteral("yt");

store::GridModel *purposeGrid(store::DataSource &rows, QObject *parent)
{
    return new store::GridModel(rows, {{kColumn, QStringLiteral("用途"), {}}}, parent);
}
} // namespace

// ---- ytsz1: add ------------------------------------------------------------------------------

PurposeAddWindow::PurposeAddWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::ytsz1)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &PurposeAddWindow::save);
    // "取消" does nothing by design: the typed text stays.
    connect(ui->Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Text1, &QLineEdit::returnPressed, this, [this] { ui->Command1->setFocus(); });
}

PurposeAddWindow::~PurposeAddWindow() { delete ui; }

void PurposeAddWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        ui->Text1->setFocus();
}

void PurposeAddWindow::save()
{
    const QString text = ui->Text1->text();
    if (text.isEmpty()) {
        ui::tell(this, QStringLiteral("请输入用途"), QStringLiteral("用途"), ui::Icon::Information);
        ui->Text1->setFocus();
        return;
    }
    store::DataSource same(m_connection);
    same.setStatement(store::statements::purposeNamed(text));
    if (!same.refresh()) {
        reportDataError(this, QStringLiteral("用途添加"), same.errorText());
        return;
    }
    if (same.recordCount() > 0) {
        ui::tell(this, QStringLiteral("此用途已存在,请重新输入"), QStringLiteral("用途添加"));
        return;
    }
    same.addNew();
    same.setValue(0, text);
    if (!same.update()) {
        reportDataError(this, QStringLiteral("用途添加"), same.errorText());
        return;
    }
    ui->Text1->clear();
    ui->Text1->setFocus();
}

// ---- ytsz2: management ---------------------------------------------------------------------

PurposeManageWindow::PurposeManageWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::ytsz2), m_purposes(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &PurposeManageWindow::modify);
    connect(ui->Command2, &QPushButton::clicked, this, &PurposeManageWindow::remove);
    connect(ui->Command3, &QPushButton::clicked, this, &PurposeManageWindow::cancel);
    connect(ui->Command4, &QPushButton::clicked, this, &PurposeManageWindow::save);
    connect(ui->Command5, &QPushButton::clicked, this, [this] {
        m_purposes.update();
        close();
    });
    connect(ui->Text1, &QLineEdit::returnPressed, this, [this] { ui->Command4->setFocus(); });

    m_purposes.setStatement(store::statements::purposes());
    if (!m_purposes.refresh())
        reportDataError(this, windowTitle(), m_purposes.errorText());
    m_grid = purposeGrid(m_purposes, this);
    ui::bindGrid(ui->DataGrid1, m_grid, [this] { showCurrentRow(); });
    m_remembered = m_purposes.bookmark();
    showCurrentRow();
    setEditing(false);
}

PurposeManageWindow::~PurposeManageWindow() { delete ui; }

void PurposeManageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    m_purposes.setStatement(store::statements::purposes());
    m_purposes.refresh();
    showCurrentRow();
}

void PurposeManageWindow::showCurrentRow() { ui->Text1->setText(m_purposes.text(kColumn)); }

void PurposeManageWindow::setEditing(bool editing)
{
    m_editing = editing;
    ui->Text1->setEnabled(editing);
    ui->Command1->setEnabled(!editing);
    ui->Command2->setEnabled(!editing);
    ui->Command3->setEnabled(true);
    ui->Command4->setEnabled(true);
    ui->Command5->setEnabled(!editing);
}

void PurposeManageWindow::modify()
{
    if (!m_purposes.hasRow()) {
        ui::tell(this, QStringLiteral("没有可修改的用途"), QStringLiteral("用途修改"), ui::Icon::Information);
        return;
    }
    setEditing(true);
    m_remembered = m_purposes.bookmark();
    ui->Text1->setFocus();
}

void PurposeManageWindow::cancel()
{
    setEditing(false);
    m_purposes.setBookmark(m_remembered);
    showCurrentRow();
}

void PurposeManageWindow::save()
{
    if (ui->Text1->text().isEmpty()) {
        ui::tell(this, QStringLiteral("请输入用途"), QStringLiteral("用途修改"));
        if (!ui->Text1->isEnabled())
            setEditing(true);
        ui->Text1->setFocus();
        return;
    }
    if (!m_purposes.hasRow()) {
        ui::tell(this, QStringLiteral("没有可保存的用途，请先在列表中选择"), QStringLiteral("用途修改"),
                 ui::Icon::Information);
        return;
    }
    setEditing(false);
    m_purposes.setValue(kColumn, ui->Text1->text().trimmed());
    if (!m_purposes.update())
        reportDataError(this, QStringLiteral("用途修改"), m_purposes.errorText());
    m_purposes.setBookmark(m_remembered);
    showCurrentRow();
}

void PurposeManageWindow::remove()
{
    ui::deleteCurrentRow(this, m_purposes, m_remembered, {QStringLiteral("是否确定删除?"), QStringLiteral("删除当前"), false});
    showCurrentRow();
}

// ---- xzyt: picker ----------------------------------------------------------------------------

PurposePicker::PurposePicker(const QString &tag, PurposePickTarget *target, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::xzyt), m_target(target), m_purposes(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    ui->Label1->setText(tag);
    m_purposes.setStatement(store::statements::purposes());
    if (!m_purposes.refresh())
        reportDataError(this, windowTitle(), m_purposes.errorText());
    m_grid = purposeGrid(m_purposes, this);
    ui::bindGrid(ui->DataGrid1, m_grid, [this] { ui->Text1->setText(m_purposes.text(kColumn)); });
    ui->Text1->setText(m_purposes.text(kColumn));
    connect(ui->Command1, &QPushButton::clicked, this, &PurposePicker::confirm);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &PurposePicker::confirm);
    ui::confirmOnActivation(ui->DataGrid1, [this] { confirm(); });
}

PurposePicker::~PurposePicker() { delete ui; }

void PurposePicker::confirm()
{
    if (!purposePickerTags().contains(ui->Label1->text()) || !m_target)
        return;
    // Emptied first, then filled: the caller's change handler sees both.
    m_target->setPurposeText(QString());
    m_target->setPurposeText(ui->Text1->text());
    close();
}

} // namespace reference
