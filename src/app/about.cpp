#include "app/about.h"

#include "app/programicon.h"
#include "store/appdir.h"
#include "ui_about.h"

#include <QDir>
#include <QUrl>

namespace app {

AboutBox::AboutBox(QWidget *parent) : QDialog(parent), ui(new Ui::about)
{
    ui->setupUi(this);
    ui->picIcon->setPixmap(programIcon().pixmap(64, 64));
    QFont title = ui->lblTitle->font();
    title.setPointSizeF(16);
    title.setBold(true);
    ui->lblTitle->setFont(title);
    ui->lblVersion->setText(QStringLiteral("版本 %1").arg(QStringLiteral(LANSHI_VERSION)));
    // Where the database and the settings are; a click opens the folder in the file manager.
    const QString dataDir = store::appDir();
    ui->lblDataDir->setText(QStringLiteral("数据文件夹：<a href=\"%1\" style=\"text-decoration: none\">%2</a>")
                                .arg(QUrl::fromLocalFile(dataDir).toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                     QDir::toNativeSeparators(dataDir).toHtmlEscaped()));
    ui->lblDataDir->setToolTip(QStringLiteral("在文件管理器中打开数据文件夹"));
    // The Song face draws "_" below its line: room for it, or a path's underscores look like blanks.
    ui->lblDataDir->setMinimumHeight(ui->lblDataDir->fontMetrics().height() + 8);
    ui->lblDisclaimer->setMinimumWidth(260);
    // "确定" only hides the box: it stays loaded and shows the same at the next opening.
    connect(ui->cmdOK, &QPushButton::clicked, this, &QWidget::hide);
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
}

AboutBox::~AboutBox() { delete ui; }

} // namespace app
