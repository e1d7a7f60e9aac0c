#pragma once
// The general wire voucher window tydhpz: the own company wires money to a customer on the
// general form; the positions come from the general layout (tydysz), part of which the window's
// second tab edits.

#include "store/datasource.h"
#include "vouchers/generalvoucher.h"
#include "vouchers/generallayout.h"
#include "vouchers/pickeddate.h"
#include "vouchers/voucherwindow.h"
#include "vouchers/tydhpzfields.h"

#include <memory>

#include <QDate>


namespace vouchers {

class AmountBlock;

// The boxes of the voucher's settings tab and the columns they edit.
const QList<LayoutBox> &voucherTabBoxes();

class GeneralWireWindow : public VoucherWindow {
    Q_OBJECT
public:
    explicit GeneralWireWindow(QWidget *parent = nullptr);
    ~GeneralWireWindow() override;

    // The entries as the window shows them now, the texts the print would put on paper, and the
    // layout it would use.
    GeneralEntries entries() const;
    GeneralFace face() const { return entries().face; }
    const GeneralLayout &layout() const { return m_layout; }
    // Text119: "1" prints the places; anything else blanks them.
    QString placeOption() const { return m_placeOption; }

    void confirmDate(); // "确定日期(&Q)"
    QList<DataProblem> fill(const VoucherData &data) override;
    Voucher voucher(Settings settings) const override;

protected:
    void activate() override;
    void takeOver() override;
    void setCounterparty(const VoucherData &data) override;
    QList<QWidget *> calibrationBoxes() const override { return m_layout.boxes(); }

private:
    struct Places {
        QString text1, text26; // own company's hp and hc as loaded
        QString text27, text31; // payee's sheng and shi as loaded
    };

    void applyPlaceOption();
    void choosePlaces(bool print);
    void rememberPlaceOption();
    void editLayout();
    void saveLayout();
    void cancelLayout();

    Ui::tydhpz *ui;
    GeneralWireFields m_f;
    store::DataSource m_company; // bssz
    GeneralLayout m_layout;      // tydysz
    Places m_places;
    QString m_placeOption;
    AmountBlock *m_amount = nullptr;
    std::unique_ptr<PickedDate> m_date; // DTPicker1 into Text33..Text35
};

} // namespace vouchers
