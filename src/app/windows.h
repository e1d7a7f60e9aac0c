#pragma once
// Which windows this edition offers from the main window.

namespace app {
class MainWindow;
void registerWindows(MainWindow &main);
} // namespace app
