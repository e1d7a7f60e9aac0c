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

    const store::DatabaseStatus database = store::ensureDatabase();
    if (!database.ok) {
        ui::tell(nullptr, database.errorText, QStringLiteral("蓝石竞技通"), ui::Icon::Critical);
        return 1;
    }

    // What a backup, restore or export cut off by a crash left in the data folder.
    maintenance::removeLeftoversAtStart();

    auto *main = new app::MainWindow;
    app::registerWindows(*main);
    QObject::connect(main, &app::MainWindow::exitConfirmed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    main->show();
    // A print cut off last time (the program killed between handing vouchers over and recording
    // them): settled now, and the clerk told what it was.
    QTimer::singleShot(0, main, [main] {
        store::Connection connection;
        const QString title = QStringLiteral("打印");
        const QStringList told = vouchers::settleInterruptedPrints(connection, [main, &title](const QString &question) {
            return ui::ask(main, question, title, ui::Yes | ui::No, ui::Icon::Question, ui::Yes) == ui::Yes;
        });
        for (const QString &text : told)
            ui::tell(main, text, title, ui::Icon::Warning);
    });
    int code;
    {
        const app::StartupCheck check(store::databasePath(), main);
        code = application.exec();
    }
    delete main; // takes every child window with it
    return code;
}
