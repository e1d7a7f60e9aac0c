#include "sheets/sheets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sheets {

namespace {

// Columns wide enough for their texts: a CJK character takes two widths of a digit.
double columnWidth(const QStringList &header, const QList<QStringList> &examples, int column)
{
    int widest = 0;
    const auto measure = [&widest](const QString &text) {
        int w = 0;
        for (const QChar c : text)
            w += c.unicode() >= 0x2E80 ? 2 : 1;
        widest = std::max(widest, w);
    };
    measure(header.value(column));
    for (const QStringList &row : examples)
        measure(row.value(column));
    return std::max(10, widest + 4);
}

} // namespace

bool writeTemplate(const QString &path, const QStringList &header, const QList<QStringList> &examples, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo target(path);
    if (target.isDir())
        return fail(QStringLiteral("%1 是一个文件夹。").arg(path));
    // Written under a temporary name beside the target and renamed when complete, so that a
    // failure never leaves half a workbook, nor spoils a template saved there before.
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.tmp").arg(target.fileName())));
    if (!temp.open())
        return fail(QStringLiteral("无法在 %1 中建立文件：%2").arg(target.absolutePath(), temp.errorString()));
    const QString tempName = temp.fileName();

    lxw_workbook *book = workbook_new(QFile::encodeName(tempName).constData());
    if (!book)
        return fail(QStringLiteral("无法建立工作簿。"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
    lxw_format *text = workbook_add_format(book);
    lxw_format *caption = workbook_add_format(book);
    if (!sheet || !text || !caption) {
        lxw_workbook_free(book);
        return fail(QStringLiteral("无法建立工作簿。"));
    }
    // Text cells, also for what the clerk types later: a long account number typed into a
    // general cell would become a number and lose its last digits.
    format_set_num_format(text, "@");
    format_set_num_format(caption, "@");
    format_set_bold(caption);
    int columns = int(header.size());
    for (const QStringList &row : examples)
        columns = std::max(columns, int(row.size()));
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), columnWidth(header, examples, c), text);
    worksheet_freeze_panes(sheet, 1, 0);

    lxw_error written = LXW_NO_ERROR;
    for (int c = 0; c < header.size() && written == LXW_NO_ERROR; ++c)
        written = worksheet_write_string(sheet, 0, lxw_col_t(c), header.at(c).toUtf8().constData(), caption);
    for (int r = 0; r < examples.size() && written == LXW_NO_ERROR; ++r)
        for (int c = 0; c < examples.at(r).size() && written == LXW_NO_ERROR; ++c)
            if (!examples.at(r).at(c).isEmpty())
                written = worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                                 examples.at(r).at(c).toUtf8().constData(), text);
    if (written != LXW_NO_ERROR) {
        lxw_workbook_free(book);
        return fail(QStringLiteral("无法写入模板：%1").arg(QString::fromUtf8(lxw_strerror(written))));
    }
    const lxw_error closed = workbook_close(book); // writes the file and frees the workbook
    if (closed != LXW_NO_ERROR)
        return fail(QStringLiteral("无法保存模板 %1：%2").arg(path, QString::fromUtf8(lxw_strerror(closed))));
    // Readable by others as any new file would be, not only by the owner as temporaries are.
    QFile::setPermissions(tempName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(tempName).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QStringLiteral("无法保存为 %1：%2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    temp.setAutoRemove(false); // it is the template now
    return true;
}

} // namespace sheets
