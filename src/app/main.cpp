#include "app/cli.h"
#include "app/companydesk.h"
#include "app/companywindows.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/startupcheck.h"
#include "maintenance/databasefile.h"
#include "app/windows.h"
#include "store/database.h"
#include "store/connection.h"
#include "store/datadir.h"
#include "ui/prompter.h"
#include "vouchers/history.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include <sys/resource.h>

namespace {

// Keeps the clerk's keys and clicks from the windows until the start has checked the database.
// Only the first few milliseconds after the main window appears: nothing is typed that soon.
class InputHold : public QObject {
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override { release(); }
    void release()
    {
        if (qApp)
            qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }
};

// The start-up benchmark's measure (LANSHI_START_REPORT=file): the process's CPU time and the
// monotonic clock at each step, one line each; the program ends after the last.
void reportStartStep(const char *step)
{
    const QByteArray file = qgetenv("LANSHI_START_REPORT");
    if (file.isEmpty())
        return;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (FILE *out = std::fopen(file.constData(), "a")) {
        std::fprintf(out, "%s %.3f %.3f\n", step,
                     (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6
                      + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec))
                         / 1000.0,
                     (double(now.tv_sec) * 1e9 + double(now.tv_nsec)) / 1e6);
        std::fclose(out);
    }
    if (std::strcmp(step, "ready") == 0)
        QCoreApplication::exit(0); // quit() would ask the clerk first
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const app::StartArguments start = app::takeStartArguments(raw);
    if (!start.error.isEmpty()) {
        std::fprintf(stderr, "蓝石竞技通：%s\n", start.error.toUtf8().constData());
        return 1;
    }
    if (app::isCommandLine(start.rest)) {
        // No window is shown: no display is needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        app::setUpApplication();
        return app::runProgramCommandLine(application.arguments().mid(1));
    }
    if (!app::displayAvailable())
        return 1;
    app::guardStartup(true);
    QApplication application(argc, argv);
    app::guardStartup(false);
    application.setQuitOnLastWindowClosed(false);
    app::setUpApplication();

    // The 账套 is held until the program ends or another is opened: a second copy on the same
    // data is turned away, and may open another 账套 instead.
    app::CompanyDesk desk;
    {
        QString error;
        if (!desk.openAtStart({start.dataDir, start.company}, app::chooseCompanyAtStart, &error)) {
            if (!error.isEmpty())
                ui::tell(nullptr, error, QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
            return 1;
        }
    }

    auto *main = new app::MainWindow;
    desk.setMainWindow(main);
    app::registerWindows(*main, &desk);
    QObject::connect(main, &app::MainWindow::exitConfirmed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    // The window is on the screen before anything it does not need: the clerk sees the program
    // start at once, and the database is checked the moment after, before any click reaches it.
    InputHold hold;
    app::whenFirstPainted(main, [main, &desk, &hold] {
        reportStartStep("painted");
        app::installProgramIcon(main);
        hold.release();
        if (!desk.enter()) {
            QCoreApplication::exit(1);
            return;
        }
        reportStartStep("ready");
    });
    main->show();
    const int code = application.exec();
    delete main; // takes every child window with it
    return code;
}
