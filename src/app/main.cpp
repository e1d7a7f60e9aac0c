#include "app/cli.h"
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

    // Held until the program ends: a second copy on the same data is turned away.
    const std::unique_ptr<store::DataDir> data = app::openDataFolder(start.dataDir);
    if (!data)
        return 1;

    auto *main = new app::MainWindow;
    app::registerWindows(*main);
    QObject::connect(main, &app::MainWindow::exitConfirmed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    // The window is on the screen before anything it does not need: the clerk sees the program
    // start at once, and the database is checked the moment after, before any click reaches it.
    InputHold hold;
    std::unique_ptr<app::StartupCheck> check;
    app::whenFirstPainted(main, [main, &check, &hold] {
        reportStartStep("painted");
        app::installProgramIcon(main);
        const store::DatabaseStatus database = store::ensureDatabase();
        if (!database.ok) {
            hold.release();
            ui::tell(main, database.errorText, QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
            QCoreApplication::exit(1);
            return;
        }
        // What a backup, restore or export cut off by a crash left in the data folder.
        maintenance::removeLeftoversAtStart();
        hold.release();
        check = std::make_unique<app::StartupCheck>(store::databasePath(), main);
        // A print cut off last time (the program killed between handing vouchers over and
        // recording them): settled now, and the clerk told what it was.
        store::Connection connection;
        const QString title = QStringLiteral("打印");
        const QStringList told = vouchers::settleInterruptedPrints(connection, [main, &title](const QString &question) {
            return ui::ask(main, question, title, ui::Yes | ui::No, ui::Icon::Question, ui::Yes) == ui::Yes;
        });
        for (const QString &text : told)
            ui::tell(main, text, title, ui::Icon::Warning);
        reportStartStep("ready");
    });
    main->show();
    const int code = application.exec();
    check.reset();
    delete main; // takes every child window with it
    return code;
}
