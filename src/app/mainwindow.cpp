#include "app/mainwindow.h"

#include "app/helpwindow.h"
#include "ui/prompter.h"
#include "ui/windowhabits.h"
#include "vouchers/voucherdata.h"
#include "vouchers/customformstore.h"
#include "vouchers/formdesigner.h"
#include "vouchers/voucherwindow.h"
#include "ui_zbd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

namespace app {

namespace {

constexpr int kTwipsPerPixel = 15;

struct Slot {
    int topTwips;
    const char *caption;
};
// Slots 0..9 of the category list; slot 8 is the voucher category of this edition.
const Slot kSlotTable[MainWindow::kSlots] = {
    {1800, "本司设置"}, {2160, "客户设置"}, {2640, "赛事选择"}, {3120, "数据操作"}, {3480, "用途设置"},
    {3960, "帮    助"}, {4320, "关    于"}, {4800, "网上蓝石"}, {5220, "票据打印"}, {5640, "退出系统"}};

struct ButtonTarget {
    QString button;
    QString window;
};

// The command buttons and the window each opens: the voucher kinds' own buttons come from their
// one list (vouchers::voucherKinds()), the others are fixed.
const QList<ButtonTarget> &buttonTargets()
{
    static const QList<ButtonTarget> targets = [] {
        QList<ButtonTarget> t = {{"Command2", "khsz1"},   {"Command3", "khsz2"},   {"Command9", "snk"},
                                 {"Command20", "dyjsz"},  {"Command5", "tydysz"},  {"Command1", "lsjlcx"},
                                 {"Command16", "khxxdr"}, {"Command7", "sjbf"},    {"Command17", "sjhf"},
                                 {"Command18", "ytsz1"},  {"Command19", "ytsz2"},  {"Command21", "pldy"},
                                 {"Command22", "zdypz"}};
        for (const vouchers::VoucherKind &k : vouchers::voucherKinds())
            t.append({k.mainButton, k.window});
        return t;
    }();
    return targets;
}

// Entries of the voucher menu and the window each opens: the voucher kinds first, then the
// settings and the batch.
const QList<ButtonTarget> &voucherMenu()
{
    static const QList<ButtonTarget> entries = [] {
        QList<ButtonTarget> t;
        for (const vouchers::VoucherKind &k : vouchers::voucherKinds())
            t.append({k.menuAction, k.window});
        t += QList<ButtonTarget>{{"pjdyc07", "dyjsz"}, {"pjdyc08", "tydysz"}, {"pjdyc09", "pldy"}, {"pjdyc10", "hmb"},
                                 {"pjdyc11", "zdypz"}};
        return t;
    }();
    return entries;
}

// The buttons the voucher category shows: every kind's, the settings and the batch.
QStringList voucherCategoryButtons()
{
    QStringList buttons;
    for (const vouchers::VoucherKind &k : vouchers::voucherKinds())
        buttons << k.mainButton;
    return buttons << QStringLiteral("Command20") << QStringLiteral("Command5") << QStringLiteral("Command21")
                   << QStringLiteral("Command22");
}

// The reference data and data operation menus, each entry opening the window its button opens.
const ButtonTarget kDataMenus[] = {
    {"jczlc01", "bssz"},  {"jczlc02", "khsz1"},  {"jczlc03", "khsz2"}, {"jczlc04", "ytsz1"}, {"jczlc05", "ytsz2"},
    {"sjczc01", "lsjlcx"}, {"sjczc02", "khxxdr"}, {"sjczc03", "sjbf"},  {"sjczc04", "sjhf"}};

QString windowOfButton(const QString &button)
{
    for (const ButtonTarget &b : buttonTargets())
        if (button == b.button)
            return b.window;
    return {};
}

int px(int twips) { return qRound(double(twips) / kTwipsPerPixel); }

const QString kTitle = QStringLiteral("蓝石竞技通");

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::zbd)
{
    ui->setupUi(this);
    setWindowIcon(QApplication::windowIcon());

    QFont buttonFont(QStringLiteral("宋体"));
    buttonFont.setPointSizeF(10.5);
    for (const ButtonTarget &b : buttonTargets()) {
        QPushButton *button = findChild<QPushButton *>(b.button);
        button->setFont(buttonFont);
        const QString name = b.button;
        connect(button, &QPushButton::clicked, this, [this, name] { openFromButton(name); });
    }

    for (int i = 0; i < kSlots; ++i) {
        QLabel *slot = findChild<QLabel *>(QStringLiteral("Label1_%1").arg(i));
        m_slots[i] = slot;
        slot->setAttribute(Qt::WA_Hover);
        slot->setMouseTracking(true);
        slot->installEventFilter(this);
    }
    ui->Label2->installEventFilter(this);
    ui->Picture1->raise();

    connect(ui->mqtxc01, &QAction::triggered, this, [this] { openWindow(QStringLiteral("snk")); });
    connect(ui->xtbzc1, &QAction::triggered, this, [this] { showHelp(); });
    ui->xtbzc1->setShortcut(QKeySequence(Qt::Key_F1));
    ui->xtbzc1->setShortcutContext(Qt::WidgetShortcut); // F1 itself is caught application-wide
    connect(ui->xtbzc2, &QAction::triggered, this, [this] { openWindow(QStringLiteral("about")); });
    connect(ui->tcxt00, &QAction::triggered, this, &QWidget::close);
    connect(ui->pjdy00, &QMenu::aboutToShow, this, &MainWindow::updateCustomVoucherEntries);
    // The 账套 menu: 新建账套, 打开账套, 账套管理.
    for (const auto &[action, window] : {std::pair{ui->ztglc01, "ztxj"}, std::pair{ui->ztglc02, "ztdk"},
                                         std::pair{ui->ztglc03, "ztgl"}}) {
        const QString name = QString::fromLatin1(window);
        connect(action, &QAction::triggered, this, [this, name] { openWindow(name); });
    }
    m_baseTitle = windowTitle();
    for (const ButtonTarget &m : voucherMenu()) {
        QAction *action = findChild<QAction *>(m.button);
        const QString window = m.window;
        connect(action, &QAction::triggered, this, [this, window] { openWindow(window); });
    }
    for (const ButtonTarget &m : kDataMenus) {
        QAction *action = findChild<QAction *>(m.button);
        const QString window = m.window;
        connect(action, &QAction::triggered, this, [this, window] { openWindow(window); });
    }
    // The category list at the keyboard: the highlight bar takes the focus, the arrow keys move
    // it over the categories, Enter runs the one it covers (the application-wide filter below).
    ui->Picture1->setToolTip(QStringLiteral("上下方向键选择类别，回车执行"));

    // Status bar: the copyright line once, the clock from the first tick on.
    m_panel1 = new QLabel(copyrightLine(), this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel2 = new QLabel(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setMinimumWidth(220);
    m_panel2->setAlignment(Qt::AlignCenter);
    m_companyPanel = new QLabel(this);
    m_companyPanel->setObjectName(QStringLiteral("Panel3"));
    m_companyPanel->setVisible(false);
    m_companyPanel->setContentsMargins(4, 0, 24, 0); // apart from the copyright line after it
    m_companyPanel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    ui->StatusBar1->addWidget(m_companyPanel);
    ui->StatusBar1->addWidget(m_panel1, 1);
    ui->StatusBar1->addPermanentWidget(m_panel2);
    ui->StatusBar1->setSizeGripEnabled(false);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("Timer1"));
    m_clock->setInterval(100);
    connect(m_clock, &QTimer::timeout, this, &MainWindow::tick);
    m_clock->start();

    m_openUrl = [](const QUrl &url) { return webBrowserAvailable() && QDesktopServices::openUrl(url); };

    hideAllButtons();
    updateMenuEntries();

    // The client area is 15000 x 8895 twips; the status bar is part of it, the menu bar is not.
    ui->centralwidget->setMinimumSize(px(15000), px(8895) - ui->StatusBar1->sizeHint().height());
    setFixedSize(px(15000), px(8895) + ui->menubar->sizeHint().height());

    qApp->installEventFilter(this);
    // Every window of the program: placed over its opener, left by Escape, one date form.
    new ui::WindowHabits(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // Child windows go first, while the bookkeeping their destruction touches still exists.
    for (const QPointer<QWidget> &w : std::as_const(m_windows))
        delete w.data();
    delete m_help.data();
    delete ui;
}

void MainWindow::registerWindow(const QString &name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
    updateMenuEntries();
}

QWidget *MainWindow::loadedWindow(const QString &name) const
{
    return m_windows.value(name).data();
}

QWidget *MainWindow::openWindow(const QString &name, std::function<void()> onReturn)
{
    const auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd())
        return nullptr;
    QPointer<QWidget> &window = m_windows[name];
    if (!window) {
        window = (*factory)(this);
        if (!window)
            return nullptr;
        if (!window->isWindow())
            window->setWindowFlag(Qt::Window, true);
        window->installEventFilter(this);
        QWidget *raw = window;
        connect(window, &QObject::destroyed, this, [this, raw] { m_onReturn.remove(raw); });
    }
    if (onReturn)
        m_onReturn.insert(window, std::move(onReturn));
    if (!window->isVisible()) {
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
    }
    window->raise();
    window->activateWindow();
    return window;
}

void MainWindow::openFromButton(const QString &button)
{
    openWindow(windowOfButton(button));
}

int MainWindow::slotTopTwips(int row) { return kSlotTable[row].topTwips; }

QString MainWindow::slotCaption(int row) { return QString::fromUtf8(kSlotTable[row].caption); }

void MainWindow::hoverCategory(int row)
{
    if (row < 0 || row >= kSlots)
        return;
    ui->Picture1->move(px(280), px(-2000));
    ui->Picture1->move(px(280), px(slotTopTwips(row)));
    ui->Label2->setText(m_slots[row]->text());
    frameFocusedCategory();
}

void MainWindow::frameFocusedCategory()
{
    // A dotted frame round the category the keyboard is on; none while the bar rests below the
    // list, where it covers no category.
    const bool framed = ui->Picture1->hasFocus() && ui->Label2->text() != QLatin1String("Label2");
    ui->Label2->setStyleSheet(QStringLiteral("color: rgb(192,0,0); background: white; font-weight: bold;%1")
                                  .arg(framed ? QStringLiteral(" border: 1px dotted rgb(192,0,0);") : QString()));
}

void MainWindow::showOnly(const QStringList &buttons)
{
    for (const ButtonTarget &b : buttonTargets()) {
        const bool wanted = buttons.contains(b.button) && hasWindow(b.window);
        findChild<QPushButton *>(b.button)->setVisible(wanted);
    }
}

void MainWindow::dispatch(const QString &caption)
{
    if (caption == QStringLiteral("本司设置")) {
        openWindow(QStringLiteral("bssz"), [this] { hideAllButtons(); });
    } else if (caption == QStringLiteral("客户设置")) {
        showOnly({QStringLiteral("Command2"), QStringLiteral("Command3")});
    } else if (caption == QStringLiteral("赛事选择")) {
        showOnly({QStringLiteral("Command9")});
    } else if (caption == QStringLiteral("数据操作")) {
        showOnly({QStringLiteral("Command1"), QStringLiteral("Command7"), QStringLiteral("Command16"),
                  QStringLiteral("Command17")});
    } else if (caption == QStringLiteral("用途设置")) {
        showOnly({QStringLiteral("Command18"), QStringLiteral("Command19")});
    } else if (caption == QStringLiteral("帮    助")) {
        showHelp();
        hideAllButtons();
    } else if (caption == QStringLiteral("关    于")) {
        openWindow(QStringLiteral("about"), [this] { hideAllButtons(); });
    } else if (caption == QStringLiteral("网上蓝石")) {
        if (!m_openUrl(homePage()))
            ui::tell(this,
                     QStringLiteral("无法打开网页浏览器：这台电脑上没有可用的浏览器。\n"
                                    "蓝石软件主页的网址是 %1 ，请在能上网的电脑的浏览器中打开。")
                         .arg(homePage().toString()),
                     QStringLiteral("网上蓝石"), ui::Icon::Information);
    } else if (caption == QStringLiteral("票据打印")) {
        showOnly(voucherCategoryButtons());
    } else if (caption == QStringLiteral("退出系统")) {
        close();
    }
}

void MainWindow::showHelp(QWidget *pressedIn)
{
    if (!m_help)
        m_help = new HelpWindow(this);
    QWidget *over = pressedIn ? pressedIn->window() : this;
    // A message box or file dialog is no place for the help: the window it stands over is.
    while (over != this && over != m_help && qobject_cast<QDialog *>(over) && over->parentWidget())
        over = over->parentWidget()->window();
    if (!m_help->isVisible()) {
        // The help belongs to the window it was asked for in: opened over it, kept above it.
        if (m_help->parentWidget() != over)
            m_help->setParent(over, m_help->windowFlags());
        // Above a modal child the help must be modal too, or it could not be scrolled.
        m_help->setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal : Qt::NonModal);
        m_help->show();
    }
    if (over != m_help) // F1 in the help itself leaves it where it is
        m_help->showSection(HelpWindow::sectionOf(over));
    m_help->raise();
    m_help->activateWindow();
}

bool MainWindow::webBrowserAvailable()
{
    // QDesktopServices hands the address to xdg-open and reports success once that has started,
    // whether or not any browser is there to open it: look for one first.
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    for (const char *name : {"x-www-browser", "gnome-www-browser", "firefox", "firefox-esr", "chromium",
                             "chromium-browser", "google-chrome", "microsoft-edge", "epiphany", "konqueror",
                             "falkon", "opera", "brave-browser"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            return true;
    // The desktop's own choice for web addresses, when it names an application that is there.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/https")});
    if (!query.waitForFinished(3000))
        return false;
    const QString desktopFile = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    return !desktopFile.isEmpty()
        && !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopFile).isEmpty();
}

void MainWindow::moveCategory(int key)
{
    // The rows that hold a category, top to bottom.
    QList<int> rows;
    for (int i = 0; i < kSlots; ++i)
        if (m_slots[i]->isVisible() && !m_slots[i]->text().isEmpty())
            rows << i;
    if (rows.isEmpty())
        return;
    int at = -1;
    for (int k = 0; k < rows.size(); ++k)
        if (ui->Label2->text() == m_slots[rows.at(k)]->text() && ui->Picture1->y() == m_slots[rows.at(k)]->y())
            at = k;
    int next = 0;
    switch (key) {
    case Qt::Key_Up:
        next = at < 0 ? int(rows.size()) - 1 : std::max(0, at - 1);
        break;
    case Qt::Key_Down:
        next = at < 0 ? 0 : std::min(int(rows.size()) - 1, at + 1);
        break;
    case Qt::Key_End:
        next = int(rows.size()) - 1;
        break;
    default: // Home
        next = 0;
        break;
    }
    hoverCategory(rows.at(next));
}

QUrl MainWindow::homePage() { return QUrl(QStringLiteral("https://www.lanshi-soft.cn/")); }

QString MainWindow::clockText(const QDateTime &when)
{
    const QLocale zh(QLocale::Chinese, QLocale::China);
    return zh.toString(when.date(), QStringLiteral("yyyy年M月d日")) + QStringLiteral("    ") +
           zh.toString(when.time(), QStringLiteral("HH:mm:ss"));
}

QString MainWindow::copyrightLine()
{
    return QStringLiteral("版权所有 © 2010-2026 蓝石软件    保留所有权利");
}

void MainWindow::tick() { m_panel2->setText(clockText(QDateTime::currentDateTime())); }

void MainWindow::updateMenuEntries()
{
    bool anyVoucher = false;
    for (const ButtonTarget &m : voucherMenu()) {
        const bool available = hasWindow(m.window);
        findChild<QAction *>(m.button)->setVisible(available);
        anyVoucher = anyVoucher || available;
    }
    ui->pjdy00->menuAction()->setVisible(anyVoucher);
    for (QMenu *menu : {ui->jczl00, ui->sjcz00}) {
        bool any = false;
        for (const ButtonTarget &m : kDataMenus) {
            QAction *action = findChild<QAction *>(m.button);
            if (!menu->actions().contains(action))
                continue;
            action->setVisible(hasWindow(m.window));
            any = any || action->isVisible();
        }
        menu->menuAction()->setVisible(any);
    }
    const bool companies = hasWindow(QStringLiteral("ztxj")) || hasWindow(QStringLiteral("ztdk"))
                           || hasWindow(QStringLiteral("ztgl"));
    ui->ztglc01->setVisible(hasWindow(QStringLiteral("ztxj")));
    ui->ztglc02->setVisible(hasWindow(QStringLiteral("ztdk")));
    ui->ztglc03->setVisible(hasWindow(QStringLiteral("ztgl")));
    ui->ztgl00->menuAction()->setVisible(companies);
    ui->mqtxc01->setVisible(hasWindow(QStringLiteral("snk")));
    ui->xtbzc2->setVisible(hasWindow(QStringLiteral("about")));
    // A category whose buttons are on display keeps them when a window arrives later: nothing to do.
}

void MainWindow::updateCustomVoucherEntries()
{
    // The forms of the clerk's own, after the built-in entries, as the 账套 holds them now.
    for (QAction *a : std::as_const(m_customEntries)) {
        ui->pjdy00->removeAction(a);
        delete a;
    }
    m_customEntries.clear();
    if (!hasWindow(QStringLiteral("zdypz")))
        return;
    const QList<const vouchers::VoucherKind *> kinds = vouchers::customVoucherKinds();
    if (kinds.isEmpty())
        return;
    m_customEntries.append(ui->pjdy00->addSeparator());
    for (const vouchers::VoucherKind *k : kinds) {
        QAction *a = ui->pjdy00->addAction(k->name);
        a->setObjectName(k->window);
        const QString window = k->window;
        const auto make = k->make;
        connect(a, &QAction::triggered, this, [this, window, make] {
            registerWindow(window, make);
            openWindow(window);
        });
        m_customEntries.append(a);
    }
}

bool MainWindow::keepUnsavedForms()
{
    // A form being laid out asks before its changes go (save, discard, or stay).
    for (const QPointer<QWidget> &w : std::as_const(m_windows))
        if (auto *designer = qobject_cast<vouchers::FormDesignerWindow *>(w.data());
            designer && designer->isModified() && !designer->close())
            return true;
    return false;
}

bool MainWindow::closeWindowsOfCompany()
{
    if (keepUnsavedForms())
        return false;
    QStringList unprinted;
    for (const QPointer<QWidget> &w : std::as_const(m_windows))
        if (auto *voucher = qobject_cast<vouchers::VoucherWindow *>(w.data()); voucher && voucher->holdsUnprintedEntries())
            unprinted << voucher->windowTitle().section(QStringLiteral(" — "), 0, 0);
    if (!unprinted.isEmpty()) {
        const QString question = QStringLiteral("“%1”中有尚未打印的凭证内容，打开另一个账套会关闭这些窗口，内容不再保留。\n\n仍然打开另一个账套吗？")
                                     .arg(unprinted.join(QStringLiteral("”、“")));
        if (ui::ask(this, question, kTitle, ui::Yes | ui::No, ui::Icon::Question, ui::No) != ui::Yes)
            return false;
    }
    const QList<QPointer<QWidget>> windows = m_windows.values();
    m_windows.clear();
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    delete m_help.data();
    return true;
}

void MainWindow::setCompanyCaption(const QString &caption)
{
    setWindowTitle(caption.isEmpty() ? m_baseTitle : QStringLiteral("%1 — %2").arg(m_baseTitle, caption));
    m_companyPanel->setText(QStringLiteral("账套：%1").arg(caption));
    m_companyPanel->setVisible(!caption.isEmpty());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (keepUnsavedForms()) {
        event->ignore();
        return;
    }
    const ui::Button answer = ui::ask(this, QStringLiteral("是否退出〖蓝石竞技通〗？"), kTitle,
                                      ui::Yes | ui::No, ui::Icon::Question);
    if (answer != ui::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    for (const QPointer<QWidget> &w : std::as_const(m_windows))
        if (w)
            w->hide();
    if (m_help)
        m_help->hide();
    emit exitConfirmed();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && watched->isWidgetType()) {
            showHelp(static_cast<QWidget *>(watched));
            return true;
        }
        if (watched == ui->Picture1) {
            switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Home:
            case Qt::Key_End:
                moveCategory(key->key());
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                dispatch(ui->Label2->text());
                return true;
            default:
                break;
            }
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (watched == ui->Picture1) {
            // The Tab key brings the bar onto the first category (Shift+Tab onto the last) when it
            // still rests below the list.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (event->type() == QEvent::FocusIn && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                && ui->Label2->text() == QLatin1String("Label2"))
                moveCategory(reason == Qt::TabFocusReason ? Qt::Key_Home : Qt::Key_End);
            frameFocusedCategory();
        }
        break;
    case QEvent::Enter:
    case QEvent::MouseMove:
        for (int i = 0; i < kSlots; ++i)
            if (watched == m_slots[i]) {
                hoverCategory(i);
                break;
            }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == ui->Label2 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            dispatch(ui->Label2->text());
            return true;
        }
        break;
    case QEvent::Hide:
        if (auto *w = qobject_cast<QWidget *>(watched); w && m_onReturn.contains(w) && !w->isVisible()) {
            const std::function<void()> done = m_onReturn.take(w);
            done();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace app
