#include "app/about.h"

#include "app/programicon.h"
#include "ui_about.h"

namespace app {

AboutBox::AboutBox(QWidget *parent) : QDialog(parent), ui(new Ui::about)
{
    ui->setupUi(this);
    ui->picIcon->setPixmap(programIcon().pixmap(64, 64));
    QFont title = ui->lblTitle->font();
    title.setPointSizeF(16);
    title.setBold(true);
    ui->lblTitle->setFont(title);
    ui->lblDisclaimer->setMinimumWidth(260);
    // "确定" only hides the box: it stays loaded and shows the same at the next opening.
    connect(ui->cmdOK, &QPushButton::clicked, this, &QWidget::hide);
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
}

AboutBox::~AboutBox() { delete ui; }

} // namespace app
