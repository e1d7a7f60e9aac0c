// Writes the program's icon files for installation: <out>/hicolor/<n>x<n>/apps/lanshi.png for each
// size a desktop asks for, and <out>/hicolor/scalable/apps/lanshi.svg. Run by the build.

#include "app/programicon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: lanshi-icons OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = out.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) || !app::programIconImage(size).save(QDir(folder).filePath("lanshi.png"), "PNG")) {
            std::fprintf(stderr, "lanshi-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    const QString scalable = out.filePath(QStringLiteral("hicolor/scalable/apps"));
    QFile svg(QDir(scalable).filePath(QStringLiteral("lanshi.svg")));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) || svg.write(app::programIconSvg()) < 0) {
        std::fprintf(stderr, "lanshi-icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
