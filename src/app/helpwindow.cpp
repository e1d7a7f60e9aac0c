#include "app/helpwindow.h"

#include "store/appdir.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

QString HelpWindow::helpText()
{
    QFile page(QStringLiteral(":/help/index.html"));
    page.open(QIODevice::ReadOnly);
    QString html = QString::fromUtf8(page.readAll());
    html.replace(QLatin1String("@VERSION@"), QStringLiteral(LANSHI_VERSION));
    html.replace(QLatin1String("@DATADIR@"), QDir::toNativeSeparators(store::appDir()).toHtmlEscaped());
    return html;
}

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QStringLiteral("蓝石竞技通 帮助"));
    auto *browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("helpText"));
    browser->setOpenExternalLinks(true);
    browser->setHtml(helpText());
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QStringLiteral("关闭(&C)"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    resize(720, 560);
}

} // namespace app
