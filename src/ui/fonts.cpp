#include "ui/fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace ui {

namespace {
const char *const kSongCandidates[] = {"AR PL UMing CN", "AR PL UMing TW", "AR PL SungtiL GB",
                                       "Noto Serif CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"};
}

QString songFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char *name : kSongCandidates)
            if (installed.contains(QString::fromUtf8(name)))
                return QString::fromUtf8(name);
        // Whatever the system offers for Chinese text.
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return chinese.isEmpty() ? QApplication::font().family() : chinese.first();
    }();
    return family;
}

void installChineseFonts()
{
    const QString song = QStringLiteral("宋体");
    if (!QFontDatabase::families().contains(song))
        QFont::insertSubstitution(song, songFamily());
    QFont f(song);
    f.setPointSizeF(9);
    QApplication::setFont(f);
}

} // namespace ui
