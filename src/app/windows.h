#pragma once
// Which windows this edition offers from the main window.

namespace app {
class CompanyDesk;
class MainWindow;
// desk: the 账套 the program works on, for the 账套 menu's windows; without it the menu stays hidden.
void registerWindows(MainWindow &main, CompanyDesk *desk = nullptr);
} // namespace app
