#include "maintenance/customerimport.h"

#include "store/appdir.h"
#include "store/gridmodel.h"
#include "store/rowinserter.h"
#include "store/statements.h"
#include "text/pinyin.h"
#include "text/readings.h"
#include "ui/gridbinding.h"
#include "ui/prompter.h"
#include "ui_khxxdr.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QColor>
#include <QHeaderView>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace maintenance {

namespace {
const QString kTitle = QStringLiteral("客户导入");
const QString kNone = QStringLiteral("无");

QString sheetRowList(const QList<int> &rows)
{
    QStringList out;
    for (int row : rows)
        out << QString::number(row);
    return out.join(QStringLiteral("、"));
}
} // namespace

QVector<ImportMark> markImportRows(const QVector<QStringList> &rows, const QVector<int> &sheetRows,
                                   const QHash<QString, int> &held)
{
    QHash<QString, QList<int>> inFile; // name -> the sheet rows that hold it
    for (int i = 0; i < rows.size(); ++i)
        if (const QString name = rows.at(i).value(0); !name.isEmpty())
            inFile[name] << sheetRows.value(i);
    const QStringList others = {QStringLiteral("帐号"), QStringLiteral("开户行"), QStringLiteral("省/市"),
                                QStringLiteral("市/县")};
    QVector<ImportMark> marks(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList &row = rows.at(i);
        const QString name = row.value(0);
        ImportMark &mark = marks[i];
        QStringList notes;
        if (i == 0 && !name.isEmpty() && held.value(name) > 0) {
            // Only the first row is looked up before importing: a customer already there stops it all.
            mark.level = ImportMark::Level::Refused;
            notes << QStringLiteral("客户资料中已有此客户，导入会被拒绝");
        } else if (name.isEmpty()) {
            notes << QStringLiteral("没有客户名称");
        } else {
            QList<int> alsoIn = inFile.value(name);
            alsoIn.removeOne(sheetRows.value(i));
            if (!alsoIn.isEmpty())
                notes << QStringLiteral("与文件第 %1 行同名").arg(sheetRowList(alsoIn));
            if (held.value(name) > 0)
                notes << QStringLiteral("客户资料中已有同名客户");
        }
        QStringList empty;
        for (int c = 1; c < kSheetColumns; ++c)
            if (row.value(c).isEmpty())
                empty << others.at(c - 1);
        if (!empty.isEmpty())
            notes << QStringLiteral("%1为空，导入为“无”").arg(empty.join(QStringLiteral("、")));
        if (mark.level == ImportMark::Level::None && !notes.isEmpty())
            mark.level = ImportMark::Level::Warning;
        mark.note = notes.join(QStringLiteral("；"));
    }
    return marks;
}

// Every row the import is about to write, as the sheet gives it (the first as its fields hold
// it), with the sheet row number and the window's remark on it.
class ImportRowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QVector<QStringList> rows, QVector<int> sheetRows, QVector<ImportMark> marks)
    {
        beginResetModel();
        m_rows = std::move(rows);
        m_sheetRows = std::move(sheetRows);
        m_marks = std::move(marks);
        endResetModel();
    }
    const QVector<ImportMark> &marks() const { return m_marks; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : kSheetColumns + 2; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (section == 0)
            return QStringLiteral("行");
        if (section <= kSheetColumns)
            return customerSheetHeader().value(section - 1);
        return QStringLiteral("说明");
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const int r = index.row(), c = index.column();
        const ImportMark &mark = m_marks.value(r);
        switch (role) {
        case Qt::DisplayRole:
            if (c == 0)
                return m_sheetRows.value(r);
            return c <= kSheetColumns ? m_rows.at(r).value(c - 1) : mark.note;
        case Qt::ToolTipRole:
            return mark.note.isEmpty() ? QVariant() : QVariant(mark.note);
        case Qt::BackgroundRole:
            if (mark.level == ImportMark::Level::Refused)
                return QColor(255, 205, 205);
            if (mark.level == ImportMark::Level::Warning)
                return QColor(255, 243, 190);
            return {};
        default:
            return {};
        }
    }

private:
    QVector<QStringList> m_rows;
    QVector<int> m_sheetRows;
    QVector<ImportMark> m_marks;
};

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
    connect(ui->cmdChoose, &QPushButton::clicked, this, &CustomerImportWindow::chooseWorkbook);
    for (int i = 0; i < kSheetColumns; ++i)
        connect(field(i), &QLineEdit::textEdited, this, &CustomerImportWindow::updateMarks);

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

    m_rows = new ImportRowsModel(this);
    ui->gridRows->setModel(m_rows);
    ui->gridRows->verticalHeader()->hide();
    ui->gridRows->verticalHeader()->setDefaultSectionSize(ui->gridRows->fontMetrics().height() + 6);
    ui->gridRows->horizontalHeader()->setStretchLastSection(true);
    ui->gridRows->setWordWrap(false); // a long remark is read in full in its tool tip
    for (const auto &[column, width] : {std::pair{0, 40}, {1, 170}, {2, 130}, {3, 130}, {4, 56}, {5, 56}})
        ui->gridRows->setColumnWidth(column, width);
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
    QString path = defaultWorkbook();
    if (!QFileInfo::exists(path)) {
        const ui::Button answer =
            ui::ask(this,
                    QStringLiteral("在数据文件夹 %1 中找不到客户信息表 khb.xls（或 khb.xlsx、khb.csv）。\n"
                                   "是否选择另一个工作簿或 CSV 文件导入？")
                        .arg(QDir::toNativeSeparators(store::appDir())),
                    kTitle, ui::Yes | ui::No, ui::Icon::Question);
        // 否 leaves the window open without rows: 选择文件 chooses one whenever the clerk likes.
        path = answer == ui::Yes && m_chooseWorkbook ? m_chooseWorkbook(this) : QString();
    }
    load(path);
}

void CustomerImportWindow::chooseWorkbook()
{
    if (m_importing || !m_chooseWorkbook)
        return;
    if (const QString path = m_chooseWorkbook(this); !path.isEmpty())
        load(path);
}

void CustomerImportWindow::load(const QString &path)
{
    m_sheet = sheets::Sheet();
    m_current = 0;
    m_path = path;
    // Another file's first row must not keep cells of the one before.
    for (int i = 0; i < kSheetColumns; ++i)
        field(i)->clear();
    if (!m_path.isEmpty()) {
        m_sheet = readCustomerSheet(m_path);
        if (!m_sheet.ok())
            ui::tell(this, m_sheet.error + QStringLiteral("\n没有导入任何客户信息。"), kTitle, ui::Icon::Warning);
    }
    ui->txtFile->setText(m_path.isEmpty() ? QStringLiteral("（没有选择文件）") : QDir::toNativeSeparators(m_path));
    ui->Command1->setEnabled(!m_sheet.rows.isEmpty());
    getData();
    ui->Label10->setText(QString::number(m_sheet.rows.size()));
    ui->Label4->setText(QString::number(m_customers.recordCount()));
    updateMarks();
}

QHash<QString, int> CustomerImportWindow::heldNames()
{
    store::DataSource all(m_connection);
    all.setStatement(store::statements::customers());
    all.refresh();
    QHash<QString, int> held;
    const int position = all.columnIndex(QStringLiteral("gsmc"));
    for (int r = 0; r < all.recordCount(); ++r)
        ++held[all.textAt(r, position)];
    return held;
}

void CustomerImportWindow::updateMarks()
{
    ImportRows rows = rowsToImport();
    QVector<ImportMark> marks = markImportRows(rows.rows, rows.sheetRows, heldNames());
    int refused = 0, warned = 0;
    for (const ImportMark &m : marks) {
        refused += m.level == ImportMark::Level::Refused ? 1 : 0;
        warned += m.level == ImportMark::Level::Warning ? 1 : 0;
    }
    m_rows->setRows(std::move(rows.rows), std::move(rows.sheetRows), std::move(marks));
    QString heading = QStringLiteral("将要导入的行：共 %1 行").arg(m_rows->rowCount());
    if (refused)
        heading += QStringLiteral("，第一行的客户已在客户资料中，导入会被拒绝");
    if (warned)
        heading += QStringLiteral("，%1 行请留意（黄色）").arg(warned);
    ui->label_gridRows->setText(heading);
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
    const int total = int(m_sheet.rows.size()) - m_current;
    m_importing = true;
    for (QPushButton *b : {ui->Command1, ui->Command2, ui->cmdChoose})
        b->setEnabled(false);
    const bool ok = importRows(&failedRow, &error);
    m_importing = false;
    ui->Command2->setEnabled(true);
    ui->cmdChoose->setEnabled(true);

    if (!ok) {
        // Nothing of this run stays: show the address book and the sheet as they were before.
        showAllCustomers();
        ui->ProgressBar1->setVisible(false);
        for (int i = 0; i < kSheetColumns; ++i)
            field(i)->clear();
        m_current = 0;
        getData();
        updateMarks();
        ui->Label4->setText(QString::number(m_customers.recordCount()));
        ui->Command1->setEnabled(true);
        ui::tell(this,
                 QStringLiteral("%1导入失败：%2\n所有客户信息都没有导入，客户数据库保持原样。").arg(failedRow, error),
                 kTitle, ui::Icon::Critical);
        return;
    }

    ui::tell(this, QStringLiteral("恭喜你，信息已成功导入\n共导入 %1 个客户。").arg(total), kTitle, ui::Icon::Information);
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
    // One statement prepared once for every row; an empty text goes in as NULL, as a cell
    // never written.
    store::RowInserter insert(connection,
                              QStringLiteral("INSERT INTO khb (gsmc, zhh, khh, sheng, shi, gsmczmjc, gsmcdyjc, "
                                             "gsmcdyzm) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                              8);
    if (!insert.isValid()) {
        *error = QStringLiteral("无法添加记录：%1").arg(insert.errorText());
        return false;
    }
    QString values[8];
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        const QString name = row.value(0);
        values[0] = name;
        for (int i = 1; i < kSheetColumns; ++i) {
            const QString value = row.value(i);
            values[i] = value.isEmpty() ? kNone : value;
        }
        values[5] = text::initials(name);
        values[7] = text::readingSets(name);
        values[6] = values[7].isEmpty() ? QString() : text::commonInitials(values[7]);
        if (!insert.insert(values)) {
            *failedRow = QStringLiteral("工作表第 %1 行").arg(sheetRows.value(r));
            *error = QStringLiteral("无法添加记录：%1").arg(insert.errorText());
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
    const QHash<QString, int> held = heldNames();
    QStringList out;
    for (const QString &name : std::as_const(order)) {
        const QList<int> &where = inFile.value(name);
        const int already = held.value(name);
        if (where.size() + already < 2)
            continue;
        out << QStringLiteral("%1（文件第 %2 行%3）")
                   .arg(name, sheetRowList(where),
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
