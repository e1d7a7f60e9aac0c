#pragma once
// Deleting the current row of a list the way every management window does it: never the last
// row on display, after a question, and the row after the deleted one (or the first) current.

#include "store/datasource.h"
#include "ui/prompter.h"

#include <QString>

class QWidget;

namespace ui {

enum class DeleteOutcome { Refused, Cancelled, Deleted, Failed };

struct DeleteQuestion {
    QString text;
    QString title;
    bool questionIcon = false;
    Button defaultButton = Ok; // the history makes Cancel the default: Enter must not delete
};

// remembered is the window's remembered row: it is set to the row that becomes current.
// "客户数据库不可为空" (title "警告") refuses the delete when fewer than two rows are on display.
DeleteOutcome deleteCurrentRow(QWidget *parent, store::DataSource &rows, store::Bookmark &remembered,
                               const DeleteQuestion &question);

} // namespace ui
