#pragma once
// The general layout settings form tydysz: views and edits the one calibration row of the general
// wire voucher, every value in whole millimetres.

#include "store/connection.h"
#include "ui/form.h"
#include "vouchers/generallayout.h"
#include "vouchers/tydyszfields.h"

#include <QWidget>


namespace vouchers {

// The form's 38 boxes and the columns they edit (the 年 and 月 rows stand crossed over the two
// halves of the form; the password spacing's box is hidden).
const QList<LayoutBox> &layoutFormBoxes();

class GeneralLayoutWindow : public QWidget {
    Q_OBJECT
public:
    explicit GeneralLayoutWindow(QWidget *parent = nullptr);
    ~GeneralLayoutWindow() override;

    void modify(); // "修改(&M)"
    void save();   // "保存(&S)"
    void cancel(); // "取消(&C)"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setEditing(bool editing);

    Ui::tydysz *ui;
    GeneralLayoutFields m_f;
    store::Connection m_connection{store::Connection::Of::Calibration};
    GeneralLayout m_layout;
};

} // namespace vouchers
