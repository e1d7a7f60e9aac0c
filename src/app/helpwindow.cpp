#include "app/helpwindow.h"

#include "store/appdir.h"
#include "vouchers/voucherdata.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace app {

namespace {

// Every voucher kind with the columns of its payment list, from the one list of kinds.
QString voucherKindsTable()
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">"
                                  "<tr><th>凭证</th><th>清单的列</th></tr>");
    for (const vouchers::VoucherKind &k : vouchers::voucherKinds()) {
        QStringList columns;
        for (const vouchers::ListColumn &c : k.columns)
            columns << (c.required ? c.caption + QLatin1Char('*') : c.caption).toHtmlEscaped();
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                    .arg(k.name.toHtmlEscaped(), columns.join(QStringLiteral("、")));
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString HelpWindow::helpText()
{
    QFile page(QStringLiteral(":/help/index.html"));
    page.open(QIODevice::ReadOnly);
    QString html = QString::fromUtf8(page.readAll());
    html.replace(QLatin1String("@VERSION@"), QStringLiteral(LANSHI_VERSION));
    html.replace(QLatin1String("@DATADIR@"), QDir::toNativeSeparators(store::appDir()).toHtmlEscaped());
    html.replace(QLatin1String("@VOUCHERKINDS@"), voucherKindsTable());
    return html;
}

QString HelpWindow::sectionOf(const QWidget *window)
{
    // Windows by their form name, and the section of the help page about each.
    static const QHash<QString, QString> kSections = {
        {QStringLiteral("zbd"), QStringLiteral("main")},         {QStringLiteral("about"), QStringLiteral("main")},
        {QStringLiteral("zpdy"), QStringLiteral("vouchers")},    {QStringLiteral("jzddy"), QStringLiteral("vouchers")},
        {QStringLiteral("jhdhpz"), QStringLiteral("vouchers")},  {QStringLiteral("tydhpz"), QStringLiteral("vouchers")},
        {QStringLiteral("nhjsywsqs"), QStringLiteral("vouchers")},
        {QStringLiteral("jkddy"), QStringLiteral("vouchers")},
        {QStringLiteral("xzgsmc"), QStringLiteral("vouchers")},  {QStringLiteral("xzyt"), QStringLiteral("vouchers")},
        {QStringLiteral("tydysz"), QStringLiteral("calibrate")}, {QStringLiteral("dyjsz"), QStringLiteral("calibrate")},
        {QStringLiteral("tdyl"), QStringLiteral("calibrate")},   {QStringLiteral("pldy"), QStringLiteral("batch")},
        {QStringLiteral("bssz"), QStringLiteral("company")},     {QStringLiteral("khsz1"), QStringLiteral("customers")},
        {QStringLiteral("khsz2"), QStringLiteral("customers")},  {QStringLiteral("khxxdr"), QStringLiteral("import")},
        {QStringLiteral("ytsz1"), QStringLiteral("purposes")},   {QStringLiteral("ytsz2"), QStringLiteral("purposes")},
        {QStringLiteral("lsjlcx"), QStringLiteral("history")},   {QStringLiteral("lsjlxz"), QStringLiteral("history")},
        {QStringLiteral("sjbf"), QStringLiteral("backup")},      {QStringLiteral("sjhf"), QStringLiteral("backup")},
        {QStringLiteral("snk"), QStringLiteral("snooker")},
        {QStringLiteral("ztxj"), QStringLiteral("companies")},   {QStringLiteral("ztdk"), QStringLiteral("companies")},
        {QStringLiteral("ztgl"), QStringLiteral("companies")},   {QStringLiteral("lsjlqb"), QStringLiteral("companies")},
        {QStringLiteral("zdypz"), QStringLiteral("customforms")},
    };
    // A message box or file dialog has no section: the window it stands over has.
    for (const QWidget *w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        const auto found = kSections.constFind(w->objectName());
        if (found != kSections.constEnd())
            return *found;
        // The windows of the clerk's own forms (zdy1, zdy2 ...).
        if (w->objectName().startsWith(QStringLiteral("zdy")))
            return QStringLiteral("customforms");
    }
    return QStringLiteral("main");
}

void HelpWindow::showSection(const QString &anchor)
{
    auto *browser = findChild<QTextBrowser *>(QStringLiteral("helpText"));
    browser->scrollToAnchor(anchor);
    // A help just shown lays its page out only when the event loop comes round: scrolled then.
    QTimer::singleShot(0, browser, [browser, anchor] { browser->scrollToAnchor(anchor); });
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
