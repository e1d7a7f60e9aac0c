#pragma once
// Saves a picture of a window to $LANSHI_SCREENSHOTS/<name>.png when that variable is set, so a
// test run can show what the windows look like. Does nothing otherwise.

#include <QString>

class QWidget;

void saveScreenshot(QWidget *window, const QString &name);
