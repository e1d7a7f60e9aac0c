#include "app/startup.h"

#include "app/programicon.h"
#include "store/datadir.h"
#include "ui/fonts.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
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
    QApplication::setWindowIcon(programIcon());
}

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
