#pragma once
// The program's icon, drawn at run time: a blue stone with the character 蓝.

#include <QIcon>

namespace app {
QIcon programIcon();
}
