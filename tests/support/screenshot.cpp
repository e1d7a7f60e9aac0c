#include "screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

void saveScreenshot(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("LANSHI_SCREENSHOTS");
    if (dir.isEmpty() || !window)
        return;
    QDir().mkpath(dir);
    // As large as the window is made, at least as large as its contents ask.
    window->resize(window->size().expandedTo(window->sizeHint()));
    QCoreApplication::processEvents();
    window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
