#include "history/workbookexport.h"

#include "store/datasource.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace history {

namespace {

ExportResult failed(ExportResult r, const QString &error)
{
    r.status = ExportResult::Status::Failed;
    r.error = error;
    return r;
}

QString libraryError(lxw_error e) { return QString::fromUtf8(lxw_strerror(e)); }

// Excel's date serials start in 1900; earlier dates are written as text.
bool fitsDateCell(const QDate &d) { return d.isValid() && d.year() >= 1900 && d.year() <= 9999; }

} // namespace

QString workbookFileName(const QString &chosen)
{
    if (chosen.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".xlsx");
}

ExportResult exportWorkbook(const store::DataSource &rows, const QVector<store::GridColumn> &columns,
                            const QString &chosenPath, const ExportOptions &options)
{
    ExportResult result;
    result.path = workbookFileName(chosenPath);
    result.rowsAvailable = rows.recordCount();
    if (result.rowsAvailable == 0) {
        result.status = ExportResult::Status::NoRows;
        return result;
    }
    const QFileInfo target(result.path);
    if (target.isDir())
        return failed(result, QStringLiteral("%1 是一个文件夹。").arg(result.path));

    // The temporary name lives in the target's folder so that the final rename cannot cross
    // file systems; it also proves early that the folder takes new files.
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return failed(result, QStringLiteral("无法在 %1 中建立文件：%2")
                                  .arg(target.absolutePath(), temp.errorString()));
    const QString tempName = temp.fileName();
    temp.close(); // the file stays; the library writes it by name and the destructor removes leftovers

    lxw_workbook_options lxwOptions;
    std::memset(&lxwOptions, 0, sizeof lxwOptions);
    lxwOptions.constant_memory = LXW_TRUE; // rows go to disk as they are written
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(tempName).constData(), &lxwOptions);
    if (!book)
        return failed(result, QStringLiteral("无法建立工作簿。"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *captionFormat = workbook_add_format(book);
    format_set_bold(captionFormat);
    lxw_format *dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    if (!sheet || !captionFormat || !dateFormat) {
        lxw_workbook_free(book);
        return failed(result, QStringLiteral("无法建立工作簿。"));
    }

    QVector<int> positions;
    for (int c = 0; c < columns.size(); ++c) {
        positions << rows.columnIndex(columns.at(c).column);
        worksheet_write_string(sheet, 0, lxw_col_t(c), columns.at(c).caption.toUtf8().constData(),
                               captionFormat);
    }

    const int total = std::min(result.rowsAvailable, std::max(0, options.maxRows));
    const int step = std::max(1, options.progressStep);
    for (int r = 0; r < total; ++r) {
        const lxw_row_t sheetRow = lxw_row_t(r) + 1;
        for (int c = 0; c < positions.size(); ++c) {
            if (positions.at(c) < 0)
                continue;
            const QVariant v = rows.valueAt(r, positions.at(c));
            if (v.isNull() || !v.isValid())
                continue;
            lxw_error e = LXW_NO_ERROR;
            if (v.typeId() == QMetaType::QDate && fitsDateCell(v.toDate())) {
                const QDate d = v.toDate();
                lxw_datetime dt = {d.year(), d.month(), d.day(), 0, 0, 0.0};
                e = worksheet_write_datetime(sheet, sheetRow, lxw_col_t(c), &dt, dateFormat);
            } else {
                const QString text = v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate)
                                                                    : v.toString();
                if (text.isEmpty())
                    continue;
                e = worksheet_write_string(sheet, sheetRow, lxw_col_t(c), text.toUtf8().constData(),
                                           nullptr);
            }
            if (e != LXW_NO_ERROR) {
                lxw_workbook_free(book);
                return failed(result, QStringLiteral("第 %1 行第 %2 列无法写入：%3")
                                          .arg(r + 1).arg(c + 1).arg(libraryError(e)));
            }
        }
        result.rowsWritten = r + 1;
        if (options.progress && (result.rowsWritten % step == 0 || result.rowsWritten == total)
            && !options.progress(result.rowsWritten, total)) {
            lxw_workbook_free(book);
            result.status = ExportResult::Status::Cancelled;
            return result;
        }
    }

    const lxw_error closed = workbook_close(book); // writes the file and frees the workbook
    if (closed != LXW_NO_ERROR)
        return failed(result, QStringLiteral("工作簿无法保存：%1").arg(libraryError(closed)));
    // Readable by others as any new file would be, not only by the owner as temporaries are.
    QFile::setPermissions(tempName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                        | QFile::ReadOther);
    if (std::rename(QFile::encodeName(tempName).constData(),
                    QFile::encodeName(result.path).constData()) != 0)
        return failed(result, QStringLiteral("无法保存为 %1：%2")
                                  .arg(result.path, QString::fromLocal8Bit(std::strerror(errno))));
    result.status = ExportResult::Status::Written;
    return result;
}

} // namespace history
