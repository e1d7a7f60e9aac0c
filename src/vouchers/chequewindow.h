#pragma once
// The cheque window zpdy: fills in a cheque and its counterfoil, records it and prints it.

#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/pickeddate.h"
#include "vouchers/chequevoucher.h"
#include "vouchers/voucherwindow.h"
#include "vouchers/zpdyfields.h"

#include <QDate>

#include <memory>


namespace vouchers {

class AmountBlock;

class ChequeWindow : public VoucherWindow {
    Q_OBJECT
public:
    explicit ChequeWindow(QWidget *parent = nullptr);
    ~ChequeWindow() override;

    const Calibration &calibration() const { return m_calibration; }

    // The entries as the window shows them now.
    ChequeEntries entries() const;
    // The texts the print would put on paper now.
    ChequeFace face() const { return entries().face; }

    // The commands, as their buttons run them.
    void confirmDate(); // "确定日期(&Q)"
    QList<DataProblem> fill(const VoucherData &data) override;
    Voucher voucher(Settings settings) const override;

protected:
    void activate() override;
    void takeOver() override;
    void setCounterparty(const VoucherData &data) override;
    QList<QWidget *> calibrationBoxes() const override { return m_calibration.boxes(); }

private:
    // Hidden holders of the window, named after the fields that kept them.
    struct Held {
        QString text23, text30, text41; // own company's gsmc, khh, zhh for the history row
        QString text2, text4;           // own company's khh and zhh behind Text3 and Text22
        QString text101;                // payee's gsmc behind Text5
        QString text24, text26;         // payee's zhh and khh for the history row
    };

    void applySwitches();
    bool bankOn() const;
    bool counterfoilOn() const;
    void purposeChanged();
    void chooseBank(bool on);
    void chooseCounterfoil(bool on);
    void saveCalibration();
    void editCalibration();

    Ui::zpdy *ui;
    ChequeFields m_f;
    Held m_held;
    Calibration m_calibration;
    store::DataSource m_company; // Adodc1
    AmountBlock *m_amount = nullptr;
    std::unique_ptr<PickedDate> m_date; // DTPicker1 into the counterfoil's date and the capitals
};

} // namespace vouchers
