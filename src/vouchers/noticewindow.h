#pragma once
// The payment notice window jkddy: a customer pays the own company; the window fills in the
// notice and prints it whole, twice on one sheet of plain paper, and records it.

#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/noticevoucher.h"
#include "vouchers/pickeddate.h"
#include "vouchers/voucherwindow.h"
#include "vouchers/jkddyfields.h"

#include <memory>

#include <QDate>
#include <QStringList>


namespace vouchers {

class AmountBlock;

class NoticeWindow : public VoucherWindow {
    Q_OBJECT
public:
    explicit NoticeWindow(QWidget *parent = nullptr);
    ~NoticeWindow() override;

    const Calibration &calibration() const { return m_calibration; }

    // The entries as the window shows them now, and the texts the print would put on paper.
    NoticeEntries entries() const;
    NoticeFace face() const { return entries().face; }

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
    void fillPayee();
    void saveCalibration();

    Ui::jkddy *ui;
    NoticeFields m_f;
    Calibration m_calibration;
    store::DataSource m_company; // Adodc1
    QStringList m_companyShown;  // the own company's name, account and bank as last put in the payee fields
    AmountBlock *m_amount = nullptr;
    std::unique_ptr<PickedDate> m_date; // DTPicker1 into Text33..Text35
};

} // namespace vouchers
