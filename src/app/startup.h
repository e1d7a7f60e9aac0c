#pragma once
// What the application sets up before its first window: language, fonts, icon, data folder.

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace store { class DataDir; }

namespace app {
// Chinese throughout: Qt's own translation, the zh_CN locale, the Song face.
void setUpApplication();
// The program's icon for every window, window's own included (drawn: a few milliseconds, which
// the start spends once the main window is on the screen).
void installProgramIcon(QWidget *window);
// Runs then once, when window has been painted for the first time: what the start of the
// program need not do before the clerk sees the window.
void whenFirstPainted(QWidget *window, std::function<void()> then);
// False (with a message on stderr) when there is no display to show windows on.
bool displayAvailable();
// Between guardStartup(true) and guardStartup(false) a platform that fails to start ends the
// program with a clear message instead of a crash.
void guardStartup(bool on);
// Chooses, creates, checks and locks the data folder for the windows (option: --data-dir); null
// after telling the user why it cannot be used. Hold the result until the program ends.
std::unique_ptr<store::DataDir> openDataFolder(const QString &option);
} // namespace app
