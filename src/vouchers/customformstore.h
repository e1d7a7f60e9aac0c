#pragma once
// The clerk's own voucher forms in the database (zdypz, its fields in zdypzzd), and the voucher
// kinds they make beside the six built-in ones.

#include "vouchers/customform.h"

#include <QList>
#include <QString>

#include <optional>

namespace store { class Connection; }

namespace vouchers {

struct VoucherKind;

// Every form of the data folder by name, scans included; *error says why when they cannot be read.
QList<CustomForm> loadCustomForms(store::Connection &connection, QString *error = nullptr);
std::optional<CustomForm> loadCustomForm(store::Connection &connection, qint64 id);
// The form of that name, if there is one.
qint64 customFormNamed(store::Connection &connection, const QString &name);
// The form of that mark (CustomForm::uid), if there is one.
qint64 customFormMarked(store::Connection &connection, const QString &uid);

// Saves the form whole in one transaction (a new one gets its id), or nothing: empty on success,
// otherwise the message for the clerk. Refuses what formProblem() refuses, and a name another form
// or a built-in voucher already has (the history tells vouchers apart by it).
QString saveCustomForm(store::Connection &connection, CustomForm &form);
// Removes the form and its fields; the history keeps the vouchers printed on it.
QString removeCustomForm(store::Connection &connection, qint64 id);

// The voucher kinds of the data folder's forms, read again after saveCustomForm() or
// removeCustomForm() and after the data folder changes. A kind found before stays valid (the batch
// and the command line hold it while they print).
QList<const VoucherKind *> customVoucherKinds();
// The six built-in kinds followed by the forms'.
QList<const VoucherKind *> allVoucherKinds();
// Tells the kinds to read the forms again at their next use.
void customFormsChanged();

} // namespace vouchers
