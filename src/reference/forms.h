#pragma once
// Small pieces the reference windows share.

#include <QString>

class QWidget;

namespace reference {

// Tells the user that reading or writing the database failed, with the store's own words.
void reportDataError(QWidget *parent, const QString &title, const QString &detail);

} // namespace reference
