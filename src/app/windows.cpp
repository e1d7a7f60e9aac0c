#include "app/windows.h"

#include "app/about.h"
#include "app/mainwindow.h"

namespace app {

void registerWindows(MainWindow &main)
{
    main.registerWindow(QStringLiteral("about"), [](QWidget *parent) { return new AboutBox(parent); });
}

} // namespace app
