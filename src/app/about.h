#pragma once
// The about box: program name, version, support contacts and copyright.

#include <QDialog>

namespace Ui { class about; }

namespace app {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
    ~AboutBox() override;

private:
    Ui::about *ui;
};

} // namespace app
