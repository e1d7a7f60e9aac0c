#include "store/appdir.h"

#include <QCoreApplication>
#include <QDir>

namespace store {

namespace {
QString &overrideDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString appDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

QString appFile(const QString &name) { return QDir(appDir()).filePath(name); }

void setAppDir(const QString &dir) { overrideDir() = QDir::cleanPath(dir); }

} // namespace store
