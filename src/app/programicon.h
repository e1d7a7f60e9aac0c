#pragma once
// The program's icon: a blue stone with the character 蓝. The windows draw it at run time; the
// installed icon files (PNG sizes and SVG) are made from the same shapes when the program is built.

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace app {
QIcon programIcon();
// The icon drawn at size × size pixels, transparent around the stone.
QImage programIconImage(int size);
// The same icon as an SVG document, the character as outlines so that no font is needed to show it.
QByteArray programIconSvg();
} // namespace app
