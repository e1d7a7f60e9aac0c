#include "maintenance/customerimport.h"

#include "store/appdir.h"
#include "store/gridmodel.h"
#include "store/statements.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"
#include "ui_khxxdr.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace maintenance {

namespace {
const QString kTitle = QStringLiteral("客户导入");
const QString kNone = QStringLiteral("无");
} // namespace

QStringList customerSheetHeader()
{
    return {QStringLiteral("客户名称"), QStringLiteral("帐号"), QStringLiteral("开户行"), QStringLiteral("省/市"),
            QStringLiteral("市/县")};
}

sheets::Sheet readCustomerSheet(const QString &path)
{
    sheets::ReadOptions options;
    options.columns = kSheetColumns;
    options.preferredSheet = QStringLiteral("sheet1");
    sheets::Sheet sheet = sheets::readSheet(path, options);
    if (!sheet.ok())
        return sheet;
    if (sheet.rows.isEmpty()) {
        const QString where = sheet.sheetName.isEmpty() ? QStringLiteral("文件 %1 ").arg(path)
                                                        : QStringLiteral("工作表 %1 ").arg(sheet.sheetName);
        sheet.error = QStringLiteral("%1中没有客户数据。第一行是标题，客户数据应从第二行开始填写。").arg(where);
        return sheet;
    }
    for (sheets::Row &row : sheet.rows)
        while (row.cells.size() < kSheetColumns)
            row.cells.append(QString());
    return sheet;
}

CustomerImportWindow::CustomerImportWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::khxxdr), m_customers(m_connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &CustomerImportWindow::startImport);
    connect(ui->Command2, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Command3, &QPushButton::clicked, this, &CustomerImportWindow::saveTemplate);

    m_customers.setStatement(store::statements::customers());
    if (!m_customers.refresh())
        ui::tell(this, m_customers.errorText(), kTitle, ui::Icon::Critical);
    m_grid = new store::GridModel(m_customers,
                                  {{QStringLiteral("gsmc"), QStringLiteral("客户名称"), {}},
                                   {QStringLiteral("zhh"), QStringLiteral("账号"), {}},
                                   {QStringLiteral("khh"), QStringLiteral("开户行"), {}},
                                   {QStringLiteral("sheng"), QStringLiteral("省/市"), {}},
                                   {QStringLiteral("shi"), QStringLiteral("市/县"), {}}},
                                  this);
    ui::bindGrid(ui->DataGrid1, m_grid);
    ui->DataGrid1->setColumnWidth(0, 200);
    ui->DataGrid1->setColumnWidth(1, 170);
}

CustomerImportWindow::~CustomerImportWindow() { delete ui; }

QString CustomerImportWindow::askForWorkbook(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("选择客户信息表"), store::appDir(), sheets::openFilter());
}

QString CustomerImportWindow::askForTemplate(QWidget *parent, const QString &proposed)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存客户信息模板"), proposed,
                                        QStringLiteral("Excel 工作簿 (*.xlsx)"));
}

QString CustomerImportWindow::defaultWorkbook()
{
    for (const char *name : {"khb.xls", "khb.xlsx", "khb.csv"}) {
        const QString path = store::appFile(QString::fromLatin1(name));
        if (QFileInfo::exists(path))
            return path;
    }
    return store::appFile(QStringLiteral("khb.xls"));
}

QLineEdit *CustomerImportWindow::field(int index) const
{
    QLineEdit *const fields[] = {ui->Text1_0, ui->Text1_1, ui->Text1_2, ui->Text1_3, ui->Text1_4};
    return fields[index];
}

void CustomerImportWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void CustomerImportWindow::closeEvent(QCloseEvent *event)
{
    // The import runs to its end or its rollback; leaving halfway would leave nobody to tell.
    if (m_importing)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void CustomerImportWindow::activate()
{
    m_sheet = sheets::Sheet();
    m_current = 0;
    m_path = defaultWorkbook();
    if (!QFileInfo::exists(m_path)) {
        const ui::Button answer =
            ui::ask(this,
                    QStringLiteral("在数据文件夹 %1 中找不到客户信息表 khb.xls（或 khb.xlsx、khb.csv）。\n"
                                   "是否选择另一个工作簿或 CSV 文件导入？")
                        .arg(QDir::toNativeSeparators(store::appDir())),
                    kTitle, ui::Yes | ui::No, ui::Icon::Question);
        m_path = answer == ui::Yes && m_chooseWorkbook ? m_chooseWorkbook(this) : QString();
    }
    if (!m_path.isEmpty()) {
        m_sheet = readCustomerSheet(m_path);
        if (!m_sheet.ok())
            ui::tell(this, m_sheet.error + QStringLiteral("\n没有导入任何客户信息。"), kTitle, ui::Icon::Warning);
    }
    ui->Command1->setEnabled(!m_sheet.rows.isEmpty());
    getData();
    ui->Label10->setText(QString::number(m_sheet.rows.size()));
    ui->Label4->setText(QString::number(m_customers.recordCount()));
}

void CustomerImportWindow::getData()
{
    if (m_current < 0 || m_current >= m_sheet.rows.size())
        return;
    const QStringList &cells = m_sheet.rows.at(m_current).cells;
    for (int i = 0; i < kSheetColumns; ++i)
        if (!cells.at(i).isEmpty())
            field(i)->setText(cells.at(i));
}

void CustomerImportWindow::saveTemplate()
{
    if (m_importing || !m_chooseTemplate)
        return;
    QString path = m_chooseTemplate(this, store::appFile(QStringLiteral("khb.xlsx")));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    QString error;
    if (!sheets::writeTemplate(path, customerSheetHeader(), {}, &error)) {
        ui::tell(this, QStringLiteral("模板没有保存。\n%1").arg(error), kTitle, ui::Icon::Critical);
        return;
    }
    QString text = QStringLiteral("模板已保存：%1\n在标题行下面每行填写一个客户，保存后重新打开本窗口导入。")
                       .arg(QDir::toNativeSeparators(path));
    // The import reads the first of khb.xls, khb.xlsx, khb.csv that it finds.
    const QString read = defaultWorkbook();
    if (QFileInfo(read) != QFileInfo(path)) {
        if (QFileInfo::exists(read))
            text += QStringLiteral("\n注意：导入时读取的是 %1；要导入这个模板，请先把那个文件移走或改名。")
                        .arg(QDir::toNativeSeparators(read));
        else
            text += QStringLiteral("\n导入时如果数据文件夹 %1 中没有 khb.xls，可以选择这个文件导入。")
                        .arg(QDir::toNativeSeparators(store::appDir()));
    }
    ui::tell(this, text, kTitle, ui::Icon::Information);
}

void CustomerImportWindow::showAllCustomers()
{
    m_customers.setStatement(store::statements::customers());
    m_customers.refresh();
}

void CustomerImportWindow::startImport()
{
    if (m_importing)
        return;
    if (m_sheet.rows.isEmpty() || m_current >= m_sheet.rows.size()) {
        ui::tell(this, m_sheet.error.isEmpty() ? QStringLiteral("没有可以导入的客户信息。") : m_sheet.error, kTitle,
                 ui::Icon::Warning);
        return;
    }

    // Only the shown row's name is compared with the address book, as the instructions say.
    m_customers.setStatement(store::statements::customersNamed(field(0)->text()));
    if (!m_customers.refresh()) {
        ui::tell(this, m_customers.errorText(), kTitle, ui::Icon::Critical);
        showAllCustomers();
        return;
    }
    if (m_customers.recordCount() > 0) {
        ui::tell(this, QStringLiteral("此客户已存在,不能重复导入"), kTitle, ui::Icon::Warning);
        showAllCustomers();
        return;
    }

    // Two customers of one name cannot be told apart by a payment list: the clerk sees which names
    // the import would add a second time before anything is written (否 imports nothing).
    const QStringList twice = namesHeldTwice(rowsToImport());
    if (!twice.isEmpty()) {
        QStringList shown = twice.mid(0, 12);
        if (twice.size() > shown.size())
            shown << QStringLiteral("……共 %1 个名称").arg(twice.size());
        const QString question =
            QStringLiteral("导入后，下列客户名称将在客户资料中出现不止一次：\n%1\n\n"
                           "同名的客户在批量打印中无法区分，会被列为问题行。仍然导入吗？")
                .arg(shown.join(QLatin1Char('\n')));
        if (ui::ask(this, question, kTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) != ui::Yes) {
            showAllCustomers();
            return;
        }
    }

    QString failedRow;
    QString error;
    m_importing = true;
    ui->Command1->setEnabled(false);
    ui->Command2->setEnabled(false);
    const bool ok = importRows(&failedRow, &error);
    m_importing = false;
    ui->Command2->setEnabled(true);

    if (!ok) {
        // Nothing of this run stays: show the address book and the sheet as they were before.
        showAllCustomers();
        ui->ProgressBar1->setVisible(false);
        for (int i = 0; i < kSheetColumns; ++i)
            field(i)->clear();
        m_current = 0;
        getData();
        ui->Label4->setText(QString::number(m_customers.recordCount()));
        ui->Command1->setEnabled(true);
        ui::tell(this,
                 QStringLiteral("%1导入失败：%2\n所有客户信息都没有导入，客户数据库保持原样。").arg(failedRow, error),
                 kTitle, ui::Icon::Critical);
        return;
    }

    ui::tell(this, QStringLiteral("恭喜你，信息已成功导入"), kTitle, ui::Icon::Information);
    close();
}

bool appendCustomers(store::Connection &connection, const QVector<QStringList> &rows, const QVector<int> &sheetRows,
                     const std::function<void(int added)> &progress, QString *failedRow, QString *error)
{
    store::Transaction transaction(connection);
    if (!transaction.isActive()) {
        *error = transaction.errorText();
        return false;
    }
    // The rows go in through a data source of their own: a window's grid would lay out its
    // header again for every row, which costs seconds on a long sheet.
    store::DataSource writer(connection);
    writer.setStatement(store::statements::customersForAppending());
    if (!writer.refresh()) {
        *error = writer.errorText();
        return false;
    }
    for (int r = 0; r < rows.size(); ++r) {
        *failedRow = QStringLiteral("工作表第 %1 行").arg(sheetRows.value(r));
        QStringList values = rows.at(r);
        for (int i = 1; i < kSheetColumns; ++i)
            if (values.value(i).isEmpty())
                values[i] = kNone;
        const QString initials = text::initials(values.at(0));
        writer.addNew();
        for (int i = 0; i < kSheetColumns; ++i)
            if (!values.at(i).isEmpty())
                writer.setValue(i, values.at(i));
        if (!initials.isEmpty())
            writer.setValue(5, initials);
        if (const QString sets = text::readingSets(values.at(0)); !sets.isEmpty()) {
            writer.setValue(QStringLiteral("gsmcdyjc"), text::commonInitials(sets));
            writer.setValue(QStringLiteral("gsmcdyzm"), sets);
        }
        if (!writer.update()) {
            *error = writer.errorText();
            writer.cancelUpdate();
            return false; // the transaction rolls back every row of this run
        }
        if (progress)
            progress(r + 1);
    }
    *failedRow = QStringLiteral("提交时");
    if (!transaction.commit()) {
        *error = transaction.errorText();
        return false;
    }
    return true;
}

CustomerImportWindow::ImportRows CustomerImportWindow::rowsToImport() const
{
    // The first row is taken from the fields, as the user may have corrected it there; the
    // following rows go straight from the sheet (GETDATA into fields that were just cleared
    // amounts to the row's cells, so the widgets are spared ten edits per row).
    ImportRows out;
    const int total = int(m_sheet.rows.size()) - m_current;
    out.rows.reserve(total);
    out.sheetRows.reserve(total);
    for (int r = m_current; r < m_sheet.rows.size(); ++r) {
        out.rows << m_sheet.rows.at(r).cells;
        out.sheetRows << m_sheet.rows.at(r).sheetRow;
    }
    if (!out.rows.isEmpty()) {
        QStringList first;
        for (int i = 0; i < kSheetColumns; ++i)
            first << field(i)->text();
        out.rows[0] = first;
    }
    return out;
}

QStringList CustomerImportWindow::namesHeldTwice(const ImportRows &rows)
{
    QHash<QString, QList<int>> inFile; // name -> its sheet rows
    QStringList order;
    for (int i = 0; i < rows.rows.size(); ++i) {
        const QString name = rows.rows.at(i).value(0);
        if (name.isEmpty())
            continue; // a row without a name writes no name
        QList<int> &where = inFile[name];
        if (where.isEmpty())
            order << name;
        where << rows.sheetRows.value(i);
    }
    store::DataSource all(m_connection);
    all.setStatement(store::statements::customers());
    all.refresh();
    QHash<QString, int> held;
    const int position = all.columnIndex(QStringLiteral("gsmc"));
    for (int r = 0; r < all.recordCount(); ++r)
        if (const QString name = all.textAt(r, position); inFile.contains(name))
            ++held[name];
    QStringList out;
    for (const QString &name : std::as_const(order)) {
        const QList<int> &where = inFile.value(name);
        const int already = held.value(name);
        if (where.size() + already < 2)
            continue;
        QStringList rowsText;
        for (int row : where)
            rowsText << QString::number(row);
        out << QStringLiteral("%1（文件第 %2 行%3）")
                   .arg(name, rowsText.join(QStringLiteral("、")),
                        already ? QStringLiteral("；客户资料中已有 %1 个").arg(already) : QString());
    }
    return out;
}

bool CustomerImportWindow::importRows(QString *failedRow, QString *error)
{
    const int total = int(m_sheet.rows.size()) - m_current;
    ui->ProgressBar1->setRange(0, total);
    ui->ProgressBar1->setValue(0);
    ui->ProgressBar1->setVisible(true);
    const ImportRows all = rowsToImport();
    const QVector<QStringList> &rows = all.rows;
    const QVector<int> &sheetRows = all.sheetRows;

    const bool ok = appendCustomers(m_connection, rows, sheetRows, [this](int added) {
        ui->Label4->setText(QString::number(added));
        ui->ProgressBar1->setValue(added);
        if (added == 1)
            for (int i = 0; i < kSheetColumns; ++i)
                field(i)->clear();
        if ((added & 255) == 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }, failedRow, error);
    m_current = ok ? int(m_sheet.rows.size()) : m_current;
    return ok;
}

} // namespace maintenance
