#include "app/startup.h"

#include "app/programicon.h"
#include "store/datadir.h"
#include "ui/fonts.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QWidget>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("蓝石竞技通"));
    QApplication::setOrganizationName(QStringLiteral("蓝石软件"));
    QApplication::setApplicationVersion(QStringLiteral(LANSHI_VERSION));
    // The desktop entry lanshi.desktop: the desktop shows its name and icon for the windows.
    QApplication::setDesktopFileName(QStringLiteral("lanshi"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *qtbase = new QTranslator(qApp);
    if (qtbase->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtbase);
    ui::installChineseFonts();
}

void installProgramIcon(QWidget *window)
{
    const QIcon icon = programIcon();
    QApplication::setWindowIcon(icon);
    if (window)
        window->setWindowIcon(icon);
}

namespace {
// Runs its work once, after the first paint of the window it watches has reached the screen, or
// half a second after it was made when no paint comes (a window started minimised).
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget *window, std::function<void()> then) : QObject(window), m_then(std::move(then))
    {
        window->installEventFilter(this);
        QTimer::singleShot(500, this, [this] { run(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the paint of the window and its children finishes first.
            QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void run()
    {
        if (!m_then)
            return;
        parent()->removeEventFilter(this);
        const std::function<void()> then = std::move(m_then);
        m_then = nullptr;
        deleteLater();
        then();
    }

    std::function<void()> m_then;
};
} // namespace

void whenFirstPainted(QWidget *window, std::function<void()> then) { new FirstPaint(window, std::move(then)); }

std::unique_ptr<store::DataDir> openDataFolder(const QString &option)
{
    QString error;
    std::unique_ptr<store::DataDir> data = store::DataDir::open(store::runningDataDirRequest(option), &error);
    if (!data)
        ui::tell(nullptr, error, QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
    return data;
}

namespace {
QtMessageHandler g_previousHandler = nullptr;

// While the application object is being made, a platform that cannot start is a fatal Qt message
// followed by abort(). Say in words what is wrong and end normally instead of dumping core.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (g_previousHandler)
            g_previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "蓝石竞技通：无法连接图形显示，程序不能启动。\n请确认桌面环境正在运行（DISPLAY 设置正确）；"
                         "没有显示器时可用 xvfb-run 运行。\n（%s）\n",
                 qPrintable(message));
    std::_Exit(1);
}
} // namespace

void guardStartup(bool on)
{
    if (on)
        g_previousHandler = qInstallMessageHandler(startupMessageHandler);
    else
        qInstallMessageHandler(g_previousHandler);
}

bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    std::fputs("蓝石竞技通：找不到图形显示（DISPLAY 未设置），无法打开窗口。\n"
               "请在桌面环境中启动本程序；没有显示器时可用 xvfb-run 运行。\n",
               stderr);
    return false;
}

} // namespace app
