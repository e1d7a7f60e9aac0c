#include "app/companywindows.h"

#include "app/companydesk.h"
#include "store/appdir.h"
#include "store/companyfiles.h"
#include "store/database.h"
#include "store/datadir.h"
#include "text/readings.h"
#include "ui/prompter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

namespace {

const QString kNewTitle = QStringLiteral("新建账套");
const QString kOpenTitle = QStringLiteral("打开账套");
const QString kManageTitle = QStringLiteral("账套管理");

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumSize(88, 30);
    b->setAutoDefault(true);
    return b;
}

QString lastUsedText(const store::Company &c)
{
    return c.lastUsed.isValid() ? c.lastUsed.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("未使用");
}

} // namespace

// ---------------------------------------------------------------------------------------------

CompanyList::CompanyList(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("查找(&F)："), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Text1"));
    m_search->setPlaceholderText(QStringLiteral("账套名称或拼音首字母"));
    m_search->setClearButtonEnabled(true);
    label->setBuddy(m_search);
    row->addWidget(label);
    row->addWidget(m_search, 1);
    layout->addLayout(row);
    m_grid = new QTableWidget(0, 3, this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("账套"), QStringLiteral("数据文件夹"), QStringLiteral("上次使用")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_grid->setMinimumSize(560, 220);
    layout->addWidget(m_grid, 1);
    connect(m_search, &QLineEdit::textChanged, this, &CompanyList::search);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { emit activated(); });
    m_search->installEventFilter(this);
    m_grid->installEventFilter(this);
}

bool CompanyList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (chosen())
                emit activated();
            return true;
        }
        // Down from the search moves into the list.
        if (watched == m_search && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            QCoreApplication::sendEvent(m_grid, event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CompanyList::reload(const QString &currentFolder)
{
    const std::optional<store::Company> was = chosen();
    m_companies = store::companies();
    m_grid->setRowCount(int(m_companies.size()));
    const QString current = QDir::cleanPath(currentFolder);
    for (int i = 0; i < m_companies.size(); ++i) {
        const store::Company &c = m_companies.at(i);
        const bool isCurrent = !current.isEmpty() && QDir::cleanPath(c.folder) == current;
        const QString problem = store::companyFolderProblem(c);
        auto *name = new QTableWidgetItem(isCurrent ? QStringLiteral("%1（当前）").arg(c.name) : c.name);
        name->setData(Qt::UserRole, c.name);
        auto *folder = new QTableWidgetItem(QDir::toNativeSeparators(c.folder));
        auto *used = new QTableWidgetItem(problem.isEmpty() ? lastUsedText(c) : QStringLiteral("文件夹不可用"));
        for (QTableWidgetItem *item : {name, folder, used}) {
            if (!problem.isEmpty()) {
                item->setForeground(Qt::gray);
                item->setToolTip(problem);
            }
        }
        m_grid->setItem(i, 0, name);
        m_grid->setItem(i, 1, folder);
        m_grid->setItem(i, 2, used);
    }
    search(m_search->text());
    if (was)
        choose(was->name);
}

void CompanyList::search(const QString &typed)
{
    const QString text = typed.trimmed();
    const text::InitialsPattern initials(text.toUtf8());
    int first = -1;
    for (int i = 0; i < m_companies.size(); ++i) {
        const QString &name = m_companies.at(i).name;
        const bool shown = text.isEmpty() || name.contains(text, Qt::CaseInsensitive)
                           || initials.foundIn(text::readingSets(name));
        m_grid->setRowHidden(i, !shown);
        if (shown && first < 0)
            first = i;
    }
    const QList<QTableWidgetItem *> selected = m_grid->selectedItems();
    if (selected.isEmpty() || m_grid->isRowHidden(selected.first()->row())) {
        if (first >= 0)
            m_grid->selectRow(first);
        else
            m_grid->clearSelection();
    }
}

std::optional<store::Company> CompanyList::chosen() const
{
    const QList<QTableWidgetItem *> selected = m_grid->selectedItems();
    if (selected.isEmpty() || m_grid->isRowHidden(selected.first()->row()))
        return std::nullopt;
    const int row = selected.first()->row();
    if (row < 0 || row >= m_companies.size())
        return std::nullopt;
    return m_companies.at(row);
}

void CompanyList::choose(const QString &name)
{
    for (int i = 0; i < m_companies.size(); ++i)
        if (m_companies.at(i).name == name && !m_grid->isRowHidden(i))
            m_grid->selectRow(i);
}

// ---------------------------------------------------------------------------------------------

CompanyOpenWindow::CompanyOpenWindow(CompanyDesk &desk, QWidget *parent)
    : QWidget(parent, Qt::Window), m_desk(desk), m_list(new CompanyList(this))
{
    setObjectName(QStringLiteral("ztdk"));
    setWindowTitle(kOpenTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);
    layout->addWidget(m_list, 1);
    auto *buttons = new QHBoxLayout;
    QPushButton *here = button(this, "Command1", QStringLiteral("打开(&O)"));
    QPushButton *apart = button(this, "Command2", QStringLiteral("在新窗口中打开(&W)"));
    QPushButton *cancel = button(this, "Command3", QStringLiteral("取消(&C)"));
    buttons->addStretch(1);
    for (QPushButton *b : {here, apart, cancel})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(here, &QPushButton::clicked, this, &CompanyOpenWindow::openHere);
    connect(apart, &QPushButton::clicked, this, &CompanyOpenWindow::openInNewWindow);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &CompanyList::activated, this, &CompanyOpenWindow::openHere);
}

void CompanyOpenWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_list->reload(m_desk.folder());
    // The last used other than the current one first: switching back and forth is two keys.
    const QList<store::Company> list = store::companies();
    for (const store::Company &c : list)
        if (QDir::cleanPath(c.folder) != QDir::cleanPath(m_desk.folder())) {
            m_list->choose(c.name);
            break;
        }
    m_list->searchBox()->setFocus();
}

void CompanyOpenWindow::openHere()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    if (const QString problem = store::companyFolderProblem(*chosen); !problem.isEmpty()) {
        ui::tell(this, problem, kOpenTitle, ui::Icon::Warning);
        return;
    }
    close();
    // After this window has gone: the switch closes every window of the current 账套.
    CompanyDesk *desk = &m_desk;
    const store::Company company = *chosen;
    QMetaObject::invokeMethod(desk, [desk, company] { desk->switchTo(company); }, Qt::QueuedConnection);
}

bool CompanyOpenWindow::launchProgramWindow(const store::Company &company)
{
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("--company"), company.name});
}

void CompanyOpenWindow::openInNewWindow()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    if (QDir::cleanPath(chosen->folder) == QDir::cleanPath(m_desk.folder())) {
        ui::tell(this, QStringLiteral("账套“%1”已在本窗口中打开。").arg(chosen->name), kOpenTitle, ui::Icon::Information);
        return;
    }
    if (const QString problem = store::companyFolderProblem(*chosen); !problem.isEmpty()) {
        ui::tell(this, problem, kOpenTitle, ui::Icon::Warning);
        return;
    }
    if (!m_launch(*chosen)) {
        ui::tell(this, QStringLiteral("无法启动新的程序窗口。"), kOpenTitle, ui::Icon::Warning);
        return;
    }
    close();
}

// ---------------------------------------------------------------------------------------------

CompanyNewWindow::CompanyNewWindow(CompanyDesk &desk, QWidget *parent) : QWidget(parent, Qt::Window), m_desk(desk)
{
    setObjectName(QStringLiteral("ztxj"));
    setWindowTitle(kNewTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumWidth(560);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);
    auto *form = new QFormLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    const auto edit = [this, form](const char *name, const QString &label) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        form->addRow(label, e);
        return e;
    };
    m_name = edit("Text1", QStringLiteral("账套名称(&N)："));
    m_company = edit("Text2", QStringLiteral("单位名称(&U)："));
    m_bank = edit("Text3", QStringLiteral("开户银行(&K)："));
    m_account = edit("Text4", QStringLiteral("账号(&A)："));
    m_province = edit("Text5", QStringLiteral("省(&S)："));
    m_city = edit("Text6", QStringLiteral("市/县(&T)："));
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("Text7"));
    QPushButton *browse = button(this, "Command3", QStringLiteral("浏览(&B)..."));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    form->addRow(QStringLiteral("数据文件夹(&D)："), folderRow);
    m_copyFrom = new QComboBox(this);
    m_copyFrom->setObjectName(QStringLiteral("Combo1"));
    form->addRow(QStringLiteral("复制客户和用途(&P)："), m_copyFrom);
    layout->addLayout(form);
    auto *note = new QLabel(QStringLiteral("新账套使用本机的打印校准：在任一账套中校准过的位置，所有账套打印时都用。"), this);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #555;"));
    layout->addWidget(note);
    auto *buttons = new QHBoxLayout;
    QPushButton *ok = button(this, "Command1", QStringLiteral("建立(&O)"));
    QPushButton *cancel = button(this, "Command2", QStringLiteral("取消(&C)"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    // The unit's name follows the 账套's until typed, and the folder follows the name.
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_company->property("typed").toBool() == false)
            m_company->setText(text.trimmed());
        if (!m_folderTyped)
            m_folder->setText(QDir::toNativeSeparators(proposedFolder(text)));
    });
    connect(m_company, &QLineEdit::textEdited, this, [this] { m_company->setProperty("typed", true); });
    connect(m_folder, &QLineEdit::textEdited, this, [this] { m_folderTyped = true; });
    connect(browse, &QPushButton::clicked, this, &CompanyNewWindow::browse);
    connect(ok, &QPushButton::clicked, this, &CompanyNewWindow::create);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

QString CompanyNewWindow::proposedFolder(const QString &name)
{
    QString safe = name.trimmed();
    for (QChar &c : safe)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    const QString base = QDir(store::runningDataDirRequest(QString()).userFolder).filePath(QStringLiteral("账套"));
    return safe.isEmpty() ? base : QDir(base).filePath(safe);
}

void CompanyNewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_copyFrom->clear();
    m_copyFrom->addItem(QStringLiteral("不复制（只有示例客户和常用用途）"));
    for (const store::Company &c : store::companies())
        m_copyFrom->addItem(QStringLiteral("从“%1”复制").arg(c.name), c.folder);
    if (m_folder->text().isEmpty())
        m_folder->setText(QDir::toNativeSeparators(proposedFolder(m_name->text())));
    m_name->setFocus();
}

void CompanyNewWindow::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("选择新账套的数据文件夹"),
                                                             QDir::fromNativeSeparators(m_folder->text()));
    if (!folder.isEmpty()) {
        m_folder->setText(QDir::toNativeSeparators(folder));
        m_folderTyped = true;
    }
}

void CompanyNewWindow::create()
{
    const QString name = m_name->text().trimmed();
    if (const QString problem = store::companyNameProblem(name); !problem.isEmpty()) {
        ui::tell(this, problem, kNewTitle, ui::Icon::Warning);
        m_name->setFocus();
        return;
    }
    if (m_company->text().trimmed().isEmpty()) {
        ui::tell(this, QStringLiteral("请输入单位名称：打印凭证时作为本单位（付款人或收款人）的名称。"), kNewTitle,
                 ui::Icon::Warning);
        m_company->setFocus();
        return;
    }
    const QString folder = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(m_folder->text().trimmed())).absoluteFilePath());
    if (m_folder->text().trimmed().isEmpty()) {
        ui::tell(this, QStringLiteral("请选择新账套的数据文件夹。"), kNewTitle, ui::Icon::Warning);
        m_folder->setFocus();
        return;
    }
    if (store::companyOfFolder(folder) || QFileInfo::exists(QDir(folder).filePath(QStringLiteral("sjk.mdb")))) {
        ui::tell(this, QStringLiteral("文件夹“%1”中已有数据，请为新账套另选一个文件夹。").arg(QDir::toNativeSeparators(folder)),
                 kNewTitle, ui::Icon::Warning);
        m_folder->setFocus();
        return;
    }
    if (const QString problem = store::prepareDataDir(folder); !problem.isEmpty()) {
        ui::tell(this, problem, kNewTitle, ui::Icon::Warning);
        m_folder->setFocus();
        return;
    }
    const store::OwnCompany own{m_company->text(), m_bank->text(), m_account->text(), m_province->text(), m_city->text()};
    if (const QString error = store::createCompanyDatabase(folder, own, m_copyFrom->currentData().toString());
        !error.isEmpty()) {
        ui::tell(this, error, kNewTitle, ui::Icon::Critical);
        return;
    }
    // The office's calibration so far becomes the machine's, for this 账套 and every later one.
    if (!store::machineCalibrationExists() && !store::calibrationShared())
        if (const QString error = store::startMachineCalibration(store::appDir()); !error.isEmpty())
            ui::tell(this, error, kNewTitle, ui::Icon::Warning);
    store::Company company;
    company.name = name;
    company.folder = folder;
    company.machineCalibration = true;
    QString error;
    if (!store::addCompany(company, &error)) {
        ui::tell(this, error, kNewTitle, ui::Icon::Critical);
        return;
    }
    m_desk.showCaption(); // two 账套 now: every window says which it works on
    const ui::Button answer = ui::ask(this, QStringLiteral("账套“%1”已建立。现在打开它吗？").arg(name), kNewTitle,
                                      ui::Yes | ui::No, ui::Icon::Question, ui::Yes);
    close();
    if (answer == ui::Yes) {
        CompanyDesk *desk = &m_desk;
        QMetaObject::invokeMethod(desk, [desk, company] { desk->switchTo(company); }, Qt::QueuedConnection);
    }
}

// ---------------------------------------------------------------------------------------------

CompanyManageWindow::CompanyManageWindow(CompanyDesk &desk, QWidget *parent)
    : QWidget(parent, Qt::Window), m_desk(desk), m_list(new CompanyList(this))
{
    setObjectName(QStringLiteral("ztgl"));
    setWindowTitle(kManageTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);
    layout->addWidget(m_list, 1);
    m_calibrationState = new QLabel(this);
    m_calibrationState->setObjectName(QStringLiteral("Label1"));
    m_calibrationState->setWordWrap(true);
    layout->addWidget(m_calibrationState);
    auto *buttons = new QHBoxLayout;
    QPushButton *rename = button(this, "Command1", QStringLiteral("重命名(&R)"));
    QPushButton *remove = button(this, "Command2", QStringLiteral("从列表中移除(&D)"));
    QPushButton *add = button(this, "Command6", QStringLiteral("添加已有(&A)..."));
    QPushButton *folder = button(this, "Command3", QStringLiteral("打开文件夹(&F)"));
    m_calibration = button(this, "Command4", QStringLiteral("使用本机的打印校准(&C)"));
    QPushButton *exit = button(this, "Command5", QStringLiteral("退出(&X)"));
    for (QPushButton *b : {rename, remove, add, folder, m_calibration})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    connect(rename, &QPushButton::clicked, this, &CompanyManageWindow::rename);
    connect(remove, &QPushButton::clicked, this, &CompanyManageWindow::remove);
    connect(add, &QPushButton::clicked, this, &CompanyManageWindow::addExisting);
    connect(folder, &QPushButton::clicked, this, &CompanyManageWindow::showFolder);
    connect(m_calibration, &QPushButton::clicked, this, &CompanyManageWindow::useMachineCalibration);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list->grid(), &QTableWidget::itemSelectionChanged, this, &CompanyManageWindow::chosenChanged);
    m_chooseFolder = [](QWidget *parent) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("选择账套的数据文件夹（其中有 sjk.mdb）"),
                                                 QDir::homePath());
    };
    m_askName = [](QWidget *parent, const QString &current) {
        bool ok = false;
        const QString name = QInputDialog::getText(parent, kManageTitle, QStringLiteral("账套的新名称："),
                                                   QLineEdit::Normal, current, &ok);
        return ok ? name : QString();
    };
}

void CompanyManageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    reload();
    if (const std::optional<store::Company> current = m_desk.current())
        m_list->choose(current->name);
    m_list->searchBox()->setFocus();
}

void CompanyManageWindow::reload()
{
    m_list->reload(m_desk.folder());
    chosenChanged();
}

void CompanyManageWindow::chosenChanged()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    const bool isCurrent = chosen && QDir::cleanPath(chosen->folder) == QDir::cleanPath(m_desk.folder());
    m_calibration->setEnabled(isCurrent && !chosen->machineCalibration);
    if (!chosen)
        m_calibrationState->clear();
    else if (chosen->machineCalibration)
        m_calibrationState->setText(QStringLiteral("“%1”使用本机的打印校准（所有账套共用，保存在“%2”）。")
                                        .arg(chosen->name, QDir::toNativeSeparators(store::machineCalibrationDir())));
    else
        m_calibrationState->setText(QStringLiteral("“%1”使用自己数据文件夹中的打印校准。%2")
                                        .arg(chosen->name, isCurrent ? QStringLiteral("按“使用本机的打印校准”改为与其他账套共用。")
                                                                     : QStringLiteral("打开它后可以改为本机的打印校准。")));
}

void CompanyManageWindow::rename()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    const QString name = m_askName(this, chosen->name).trimmed();
    if (name.isEmpty() || name == chosen->name)
        return;
    QString error;
    if (!store::renameCompany(chosen->name, name, &error)) {
        ui::tell(this, error, kManageTitle, ui::Icon::Warning);
        return;
    }
    m_desk.reloadCurrent();
    reload();
    m_list->choose(name);
}

void CompanyManageWindow::remove()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    if (QDir::cleanPath(chosen->folder) == QDir::cleanPath(m_desk.folder())) {
        ui::tell(this, QStringLiteral("“%1”是现在打开的账套，不能移除。请先打开另一个账套。").arg(chosen->name), kManageTitle,
                 ui::Icon::Warning);
        return;
    }
    const QString question = QStringLiteral("把账套“%1”从列表中移除吗？\n\n数据文件夹“%2”和其中的数据不删除，"
                                            "以后可以用“添加已有”再加入列表。")
                                 .arg(chosen->name, QDir::toNativeSeparators(chosen->folder));
    if (ui::ask(this, question, kManageTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) != ui::Yes)
        return;
    QString error;
    if (!store::removeCompany(chosen->name, &error))
        ui::tell(this, error, kManageTitle, ui::Icon::Warning);
    m_desk.showCaption();
    reload();
}

void CompanyManageWindow::addExisting()
{
    const QString folder = m_chooseFolder(this);
    if (folder.isEmpty())
        return;
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString database = QDir(clean).filePath(QStringLiteral("sjk.mdb"));
    if (!QFileInfo(database).isFile()) {
        ui::tell(this, QStringLiteral("文件夹“%1”中没有数据库文件 sjk.mdb。").arg(QDir::toNativeSeparators(clean)), kManageTitle,
                 ui::Icon::Warning);
        return;
    }
    if (const QString problem = store::checkDatabaseFile(database); !problem.isEmpty()) {
        ui::tell(this, problem, kManageTitle, ui::Icon::Warning);
        return;
    }
    if (const std::optional<store::Company> listed = store::companyOfFolder(clean)) {
        ui::tell(this, QStringLiteral("这个文件夹已是账套“%1”。").arg(listed->name), kManageTitle, ui::Icon::Information);
        m_list->choose(listed->name);
        return;
    }
    QString base = store::ownCompanyNameIn(clean);
    if (base.isEmpty())
        base = QDir(clean).dirName();
    QString name = base;
    for (int n = 2; !store::companyNameProblem(name).isEmpty() && n < 100; ++n)
        name = QStringLiteral("%1（%2）").arg(base).arg(n);
    store::Company company;
    company.name = name;
    company.folder = clean;
    // It may have been calibrated for this machine's printer on its own: it keeps that until
    // the clerk moves it onto the machine's.
    company.machineCalibration = false;
    QString error;
    if (!store::addCompany(company, &error)) {
        ui::tell(this, error, kManageTitle, ui::Icon::Warning);
        return;
    }
    m_desk.showCaption();
    reload();
    m_list->choose(name);
}

void CompanyManageWindow::showFolder()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    if (!QFileInfo(chosen->folder).isDir() || !QDesktopServices::openUrl(QUrl::fromLocalFile(chosen->folder)))
        ui::tell(this, QStringLiteral("账套“%1”的数据文件夹：\n%2").arg(chosen->name, QDir::toNativeSeparators(chosen->folder)),
                 kManageTitle, ui::Icon::Information);
}

void CompanyManageWindow::useMachineCalibration()
{
    const std::optional<store::Company> chosen = m_list->chosen();
    if (!chosen)
        return;
    const bool existed = store::machineCalibrationExists();
    const QString question = existed
                                 ? QStringLiteral("“%1”改用本机的打印校准后，打印位置按本机已有的校准（其他账套共用的）。\n"
                                                  "本账套自己的校准保留在数据文件夹中，不再使用。\n\n改用本机的打印校准吗？")
                                       .arg(chosen->name)
                                 : QStringLiteral("本机还没有打印校准：将以“%1”现在的校准作为本机的打印校准，"
                                                  "以后所有账套共用。\n\n改用本机的打印校准吗？")
                                       .arg(chosen->name);
    if (ui::ask(this, question, kManageTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) != ui::Yes)
        return;
    if (const QString error = m_desk.useMachineCalibration(); !error.isEmpty()) {
        ui::tell(this, error, kManageTitle, ui::Icon::Critical);
        return;
    }
    reload();
}

// ---------------------------------------------------------------------------------------------

std::optional<store::Company> chooseCompanyAtStart(const QString &problem)
{
    QDialog dialog;
    dialog.setWindowTitle(kOpenTitle);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);
    auto *why = new QLabel(problem + QStringLiteral("\n\n可以打开另一个账套："), &dialog);
    why->setWordWrap(true);
    layout->addWidget(why);
    auto *list = new CompanyList(&dialog);
    list->reload();
    layout->addWidget(list, 1);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *open = buttons->addButton(QStringLiteral("打开(&O)"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("退出(&X)"), QDialogButtonBox::RejectRole);
    open->setDefault(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &CompanyList::activated, &dialog, &QDialog::accept);
    list->searchBox()->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return list->chosen();
}

} // namespace app
