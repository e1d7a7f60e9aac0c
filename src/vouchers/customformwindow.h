#pragma once
// The window of a voucher form of the clerk's own: the customer search, the entries its fields
// need, the checks and print every voucher has, its calibration (the whole form and each field)
// and 套打预览. Built from the form, not from a .ui file.

#include "store/datasource.h"
#include "vouchers/calibration.h"
#include "vouchers/customvoucher.h"
#include "vouchers/pickeddate.h"
#include "vouchers/voucherwindow.h"

#include <QHash>

#include <memory>

class QComboBox;
class QLabel;
class QTabWidget;

namespace vouchers {

class CustomFormWindow : public VoucherWindow {
    Q_OBJECT
public:
    explicit CustomFormWindow(CustomForm form, QWidget *parent = nullptr);
    ~CustomFormWindow() override;

    const CustomForm &form() const { return m_form; }
    QList<DataProblem> fill(const VoucherData &data) override;
    Voucher voucher(Settings settings) const override;
    Calibration &calibration() { return *m_calibration; }

protected:
    void activate() override;
    void takeOver() override;
    void setCounterparty(const VoucherData &data) override;
    QList<QWidget *> calibrationBoxes() const override;

private:
    QWidget *buildVoucherPage();
    QWidget *buildSettingsPage();
    QLineEdit *entry(const QString &name);
    CustomEntries entries() const;
    void editCalibration();
    void saveCalibration();
    void cancelCalibration();

    CustomForm m_form;
    store::DataSource m_company;
    std::unique_ptr<Calibration> m_calibration;
    std::unique_ptr<PickedDate> m_date;
    QTabWidget *m_tabs = nullptr;
    QHash<QString, QLineEdit *> m_entries; // by object name
    QHash<QString, QComboBox *> m_ticks;   // by group
    QHash<QString, QLineEdit *> m_notes;   // by caption
    QLabel *m_ownLine = nullptr;
    QLabel *m_words = nullptr;
    QPushButton *m_edit = nullptr, *m_save = nullptr, *m_cancel = nullptr, *m_exitSettings = nullptr;
};

} // namespace vouchers
