#pragma once
// A voucher of a form of the clerk's own as data: its checks, its history row and its print
// routine, the voucher a row of a payment list makes, the list columns named after its fields,
// and the voucher kind the form makes.

#include "vouchers/customform.h"
#include "vouchers/listcontext.h"
#include "vouchers/voucher.h"
#include "vouchers/voucherdata.h"

namespace vouchers {

// The data keys of a note and a tick group (the other fields use the built-in keys).
QString noteKey(const QString &caption);
QString tickKey(const QString &group);

struct CustomEntries {
    CustomFace face;
    QString voucherDate; // as the history keeps it (2010/4/14); "//" without a date
};

// The voucher with the checks every voucher has, in order: its number and date where the form
// prints them, the amount, its purpose where the form prints one, then an amount with more digits
// than a run of cells holds, then the questions (empty counterparty, too wide, repeat).
Voucher customVoucher(const CustomForm &form, const CustomEntries &entries, const Offsets &offsets,
                      const QDate &printed);
// The voucher of a list row, with the saved calibration of the form.
Voucher customFromData(const CustomForm &form, const VoucherData &data, ListContext &context,
                       QList<DataProblem> &problems);
// The form's calibration file in the calibration folder ("zdy3.ini").
QString customCalibrationFile(const CustomForm &form);

// The columns of a payment list for the form: the counterparty, its account and bank (and places
// where the form prints them), amount, date, purpose, number, password, then one per note and one
// per tick group, as the form needs them.
QList<ListColumn> customColumns(const CustomForm &form);
VoucherKind customKind(const CustomForm &form);

} // namespace vouchers
