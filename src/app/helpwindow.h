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
};

} // namespace app
