#include "maintenance/backuprestore.h"

#include "store/companies.h"

#include "maintenance/databasefile.h"
#include "store/appdir.h"
#include "store/database.h"
#include "store/sqlitefile.h"
#include "ui/prompter.h"
#include "ui_sjbf.h"
#include "ui_sjhf.h"

#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProgressBar>

namespace maintenance {

namespace {

const QString kProduct = QStringLiteral("蓝石票据通");

void tellDone(QWidget *parent, const QString &text)
{
    ui::Prompt prompt;
    prompt.text = text;
    prompt.title = kProduct;
    prompt.buttons = ui::Ok;
    prompt.icon = ui::Icon::Information;
    prompt.parent = parent;
    prompt.centredOnScreen = true;
    ui::prompter().ask(prompt);
}

// The bar follows the bytes copied, on the scale of 10000 the window has always used.
CopyProgress barProgress(QProgressBar *bar)
{
    return [bar](qint64 done, qint64 total) {
        bar->setValue(total > 0 ? int(done * 10000 / total) : 10000);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

} // namespace

// ---- backup ----

BackupWindow::BackupWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::sjbf)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->Text1->setText(store::databasePath());
    connect(ui->Command2, &QPushButton::clicked, this, &BackupWindow::choose);
    connect(ui->Command3, &QPushButton::clicked, this, &BackupWindow::start);
    connect(ui->Command4, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Text2, &QLineEdit::textChanged, this, &BackupWindow::updateStart);
    updateStart();
}

BackupWindow::~BackupWindow() { delete ui; }

QString BackupWindow::askDestination(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("数据备份"), proposedDestination(),
                                        QStringLiteral("文本文件(*.mdb);;Txt文件(*.txt);;ALL File(*)"));
}

QString BackupWindow::proposedDestination()
{
    // A backup beside the live file is lost with the disk or folder it lives in, and the
    // data folder's own sjk.mdb must never be offered as the target.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    // With several 账套, the name says whose data the backup holds.
    QString company = store::currentCompanyCaption();
    for (QChar &c : company)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    const QString name = company.isEmpty() ? QStringLiteral("sjk-备份-%1.mdb").arg(date)
                                           : QStringLiteral("sjk-备份-%1-%2.mdb").arg(company, date);
    return QDir(folder).filePath(name);
}

void BackupWindow::closeEvent(QCloseEvent *event)
{
    if (m_copying)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void BackupWindow::choose()
{
    const QString path = m_choose ? m_choose(this) : QString();
    if (!path.isEmpty())
        ui->Text2->setText(path);
}

void BackupWindow::updateStart()
{
    ui->Command3->setEnabled(!m_copying && !ui->Text1->text().isEmpty() && !ui->Text2->text().isEmpty());
}

void BackupWindow::start()
{
    if (m_copying || ui->Text2->text().isEmpty())
        return;
    m_copying = true;
    ui->ProgressBar1->setValue(0);
    ui->ProgressBar1->setVisible(true);
    ui->Command3->setText(QStringLiteral("正在备份..."));
    updateStart();
    ui->Command2->setEnabled(false);
    ui->Command4->setEnabled(false);

    const BackupResult result = backupDatabase(ui->Text2->text(), barProgress(ui->ProgressBar1));

    m_copying = false;
    ui->Command2->setEnabled(true);
    ui->Command4->setEnabled(true);
    if (result.ok()) {
        ui->ProgressBar1->setValue(10000);
        tellDone(this, QStringLiteral("数据备份完成!!"));
    } else {
        ui->ProgressBar1->setValue(0);
        ui::tell(this, result.error + QStringLiteral("\n没有完成备份。"), QStringLiteral("数据备份"),
                 ui::Icon::Critical);
    }
    ui->Command3->setText(QStringLiteral("开始备份"));
    updateStart();
}

// ---- restore ----

RestoreWindow::RestoreWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::sjhf)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->Text2->setText(store::databasePath());
    connect(ui->Command1, &QPushButton::clicked, this, &RestoreWindow::choose);
    connect(ui->Command3, &QPushButton::clicked, this, &RestoreWindow::start);
    connect(ui->Command4, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Text1, &QLineEdit::textChanged, this, &RestoreWindow::updateStart);
    updateStart();
}

RestoreWindow::~RestoreWindow() { delete ui; }

QString RestoreWindow::askBackup(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("数据恢复"), store::appDir(),
                                        QStringLiteral("文本文件(*.mdb)"));
}

void RestoreWindow::closeEvent(QCloseEvent *event)
{
    if (m_copying)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void RestoreWindow::choose()
{
    const QString path = m_choose ? m_choose(this) : QString();
    if (!path.isEmpty())
        ui->Text1->setText(path);
}

bool RestoreWindow::confirmReplacing()
{
    // A restore replaces every customer and every history row at once: the clerk sees what with.
    const QString backup = ui->Text1->text();
    // A file that is plainly no backup of ours is refused by the restore itself, unasked.
    if (!precheckBackupFile(backup).isEmpty() || !checkBackupFile(backup).isEmpty())
        return true;
    const QFileInfo info(backup);
    const store::RowCounts from = store::rowCounts(backup);
    const store::RowCounts now = store::rowCounts(store::databasePath());
    const auto count = [](qint64 n) { return n < 0 ? QStringLiteral("（无法读取）") : QString::number(n); };
    const QString question =
        QStringLiteral("恢复将用备份文件“%1”（%2）替换现在的全部数据：\n"
                       "备份中：客户 %3 个，打印记录 %4 条；\n"
                       "现在：客户 %5 个，打印记录 %6 条。\n\n"
                       "现在的数据库会先另存一份。确定恢复吗？")
            .arg(QDir::toNativeSeparators(info.absoluteFilePath()),
                 info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")), count(from.customers),
                 count(from.history), count(now.customers), count(now.history));
    return ui::ask(this, question, QStringLiteral("数据恢复"), ui::Yes | ui::No, ui::Icon::Question, ui::No) == ui::Yes;
}

void RestoreWindow::updateStart()
{
    ui->Command3->setEnabled(!m_copying && !ui->Text1->text().isEmpty() && !ui->Text2->text().isEmpty());
}

void RestoreWindow::start()
{
    if (m_copying || ui->Text1->text().isEmpty())
        return;
    if (!confirmReplacing())
        return;
    m_copying = true;
    ui->ProgressBar1->setValue(0);
    ui->Command3->setText(QStringLiteral("正在恢复..."));
    updateStart();
    ui->Command1->setEnabled(false);
    ui->Command4->setEnabled(false);

    const RestoreResult result = restoreDatabase(ui->Text1->text(), barProgress(ui->ProgressBar1));
    m_safetyCopy = result.safetyCopy;

    m_copying = false;
    ui->Command1->setEnabled(true);
    ui->Command4->setEnabled(true);
    if (result.ok()) {
        ui->ProgressBar1->setValue(10000);
        tellDone(this, QStringLiteral("数据恢复完成!!\n恢复前的数据库已另存为：\n%1")
                           .arg(QDir::toNativeSeparators(result.safetyCopy)));
    } else {
        ui->ProgressBar1->setValue(0);
        ui::tell(this, result.error + (result.safetyCopy.isEmpty() ? QStringLiteral("\n数据没有恢复，当前数据库保持原样。")
                                                                   : QString()),
                 QStringLiteral("数据恢复"), result.safetyCopy.isEmpty() ? ui::Icon::Critical : ui::Icon::Warning);
    }
    ui->Command3->setText(QStringLiteral("开始恢复"));
    updateStart();
}

} // namespace maintenance
