#pragma once
// The deposit slip window jzddy: a customer pays money into the own company's account; the
// window fills in the slip, records it and prints it.

#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/depositvoucher.h"
#include "vouchers/pickeddate.h"
#include "vouchers/voucherwindow.h"
#include "vouchers/jzddyfields.h"

#include <memory>

#include <QDate>


namespace vouchers {

class AmountBlock;

class DepositWindow : public VoucherWindow {
    Q_OBJECT
public:
    explicit DepositWindow(QWidget *parent = nullptr);
    ~DepositWindow() override;

    const Calibration &calibration() const { return m_calibration; }

    // The entries as the window shows them now, and the texts the print would put on paper.
    DepositEntries entries() const;
    DepositFace face() const { return entries().face; }

    void confirmDate(); // "确定日期"
    QList<DataProblem> fill(const VoucherData &data) override;
    Voucher voucher(Settings settings) const override;

protected:
    void activate() override;
    void takeOver() override;
    void setCounterparty(const VoucherData &data) override;
    QList<QWidget *> calibrationBoxes() const override { return m_calibration.boxes(); }

private:
    void readOwnCompany();
    void saveCalibration();

    Ui::jzddy *ui;
    DepositFields m_f;
    Calibration m_calibration;
    store::DataSource m_company; // Adodc1
    AmountBlock *m_amount = nullptr;
    std::unique_ptr<PickedDate> m_date; // DTPicker1 into Text33..Text35
};

} // namespace vouchers
