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
QString &calibrationOverride()
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

void setAppDir(const QString &dir) { overrideDir() = dir.isEmpty() ? QString() : QDir::cleanPath(dir); }

QString calibrationDir() { return calibrationShared() ? calibrationOverride() : appDir(); }

QString calibrationFile(const QString &name) { return QDir(calibrationDir()).filePath(name); }

void setCalibrationDir(const QString &dir)
{
    calibrationOverride() = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

bool calibrationShared()
{
    return !calibrationOverride().isEmpty() && calibrationOverride() != QDir::cleanPath(appDir());
}

} // namespace store
