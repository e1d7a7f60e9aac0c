#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (!app::displayAvailable())
        return 1;
    app::guardStartup(true);
    QApplication application(argc, argv);
    app::guardStartup(false);
    application.setQuitOnLastWindowClosed(false);
    app::setUpApplication();

    auto *main = new app::MainWindow;
    app::registerWindows(*main);
    QObject::connect(main, &app::MainWindow::exitConfirmed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    main->show();
    const int code = application.exec();
    delete main; // takes every child window with it
    return code;
}
