#include "reference/forms.h"

#include "ui/prompter.h"

namespace reference {

void reportDataError(QWidget *parent, const QString &title, const QString &detail)
{
    ui::tell(parent, QStringLiteral("数据库操作失败，数据未保存。\n%1").arg(detail), title, ui::Icon::Critical);
}

} // namespace reference
