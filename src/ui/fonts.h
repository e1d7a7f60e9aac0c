#pragma once
// The Song face the windows and the printed vouchers ask for by its Chinese name.

#include <QString>

namespace ui {

// The installed Song-style CJK family that stands in for "宋体" (found through fontconfig).
QString songFamily();

// Maps the family name "宋体" to songFamily() and makes 宋体 9 pt the application's font.
// Call once after the QApplication exists.
void installChineseFonts();

} // namespace ui
