#include "ui/rowdelete.h"

#include "ui/prompter.h"

namespace ui {

DeleteOutcome deleteCurrentRow(QWidget *parent, store::DataSource &rows, store::Bookmark &remembered,
                               const DeleteQuestion &question)
{
    rows.update();
    if (rows.recordCount() < 2) {
        tell(parent, QStringLiteral("客户数据库不可为空"), QStringLiteral("警告"));
        return DeleteOutcome::Refused;
    }
    if (!rows.hasRow()) {
        tell(parent, QStringLiteral("请先在列表中选择要删除的记录"), question.title, Icon::Information);
        return DeleteOutcome::Refused;
    }
    remembered = rows.bookmark();
    const Button answer = ask(parent, question.text, question.title, Ok | Cancel,
                              question.questionIcon ? Icon::Question : Icon::None, question.defaultButton);
    if (answer != Ok) {
        rows.setBookmark(remembered);
        return DeleteOutcome::Cancelled;
    }
    const store::Bookmark doomed = remembered;
    rows.moveNext();
    if (!rows.eof()) {
        remembered = rows.bookmark();
    } else {
        // The last row goes: the first row becomes current.
        rows.moveFirst();
        remembered = rows.bookmark();
    }
    rows.setBookmark(doomed);
    if (!rows.deleteCurrent()) {
        tell(parent, QStringLiteral("删除失败：%1").arg(rows.errorText()), question.title, Icon::Critical);
        rows.setBookmark(doomed);
        remembered = doomed;
        return DeleteOutcome::Failed;
    }
    rows.setBookmark(remembered);
    return DeleteOutcome::Deleted;
}

} // namespace ui
