#pragma once
// The program's help, opened by F1 anywhere and by the category "帮    助".

#include <QDialog>

namespace app {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // The help page with this program's version and data folder filled in.
    static QString helpText();

    // The anchor of the help page's section about a window: the first of window and the windows
    // it was opened from that the page has a section for ("main" when none has).
    static QString sectionOf(const QWidget *window);
    void showSection(const QString &anchor);
};

} // namespace app
