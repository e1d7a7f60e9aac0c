#pragma once
// What the application sets up before its first window: language, fonts, icon, data folder.

#include <QString>

#include <memory>

namespace store { class DataDir; }

namespace app {
// Chinese throughout: Qt's own translation, the zh_CN locale, the Song face, the icon.
void setUpApplication();
// False (with a message on stderr) when there is no display to show windows on.
bool displayAvailable();
// Between guardStartup(true) and guardStartup(false) a platform that fails to start ends the
// program with a clear message instead of a crash.
void guardStartup(bool on);
// Chooses, creates, checks and locks the data folder for the windows (option: --data-dir); null
// after telling the user why it cannot be used. Hold the result until the program ends.
std::unique_ptr<store::DataDir> openDataFolder(const QString &option);
} // namespace app
