#include "maintenance/workbook.h"

#include "maintenance/workbookscan.h"

#include "text/numbers.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <freexl.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace maintenance {

namespace {

// FreeXL wants its handle closed even when opening failed.
class XlsHandle {
public:
    ~XlsHandle()
    {
        if (handle)
            freexl_close(handle);
    }
    const void *handle = nullptr;
};

QString openError(const QString &path, int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("无法打开文件 %1。").arg(path);
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足，无法读取工作簿 %1。").arg(path);
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("文件 %1 不是 Excel 97-2003 工作簿（.xls），无法导入。"
                              "请在 Excel 中以“Excel 97-2003 工作簿”格式保存后再导入。")
            .arg(path);
    default:
        return QStringLiteral("工作簿 %1 已损坏，无法读取（错误代码 %2）。").arg(path).arg(code);
    }
}

QString cellText(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return numberCellText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_TIME:
        return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
    case FREEXL_CELL_DATETIME: {
        // A date typed without a time is often stored as a date-time at midnight.
        QString s = cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
        if (s.endsWith(QLatin1String(" 00:00:00")))
            s.chop(9);
        return s;
    }
    default:
        return QString();
    }
}

} // namespace

QString numberCellText(double value)
{
    if (!std::isfinite(value))
        return QString();
    // Whole numbers that a double holds exactly (account numbers up to 16 digits) keep every digit.
    if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
        return QString::number(qint64(value));
    return text::formatNumber(value);
}

CustomerSheet readCustomerSheetInProcess(const QString &path)
{
    CustomerSheet result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = QStringLiteral("找不到客户信息表 %1。").arg(path);
        return result;
    }
    if (!info.isFile()) {
        result.error = QStringLiteral("%1 不是文件，无法导入。").arg(path);
        return result;
    }
    if (info.size() == 0) {
        result.error = QStringLiteral("文件 %1 是空文件，不是 Excel 工作簿。").arg(path);
        return result;
    }

    // Anything without the compound file signature is no workbook at all (a CSV renamed .xls,
    // a newer .xlsx); say so rather than report it as damaged.
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = openError(path, FREEXL_FILE_NOT_FOUND);
            return result;
        }
        if (file.read(8) != QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
            result.error = openError(path, FREEXL_INVALID_CFBF_HEADER);
            return result;
        }
    }

    XlsHandle xls;
    const QByteArray encoded = QFile::encodeName(path);
    const int opened = freexl_open(encoded.constData(), &xls.handle);
    if (opened != FREEXL_OK) {
        result.error = openError(path, opened);
        return result;
    }

    unsigned int info_value = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &info_value) == FREEXL_OK
        && info_value == FREEXL_BIFF_OBFUSCATED) {
        result.error = QStringLiteral("工作簿 %1 设有密码保护，无法读取。请在 Excel 中取消密码后再导入。")
                           .arg(path);
        return result;
    }
    if (freexl_get_info(xls.handle, FREEXL_BIFF_VERSION, &info_value) == FREEXL_OK
        && info_value != FREEXL_BIFF_VER_8) {
        result.error = QStringLiteral("工作簿 %1 的格式太旧（Excel 5.0 或更早），"
                                      "请在 Excel 中另存为“Excel 97-2003 工作簿”后再导入。")
                           .arg(path);
        return result;
    }

    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) {
        result.error = openError(path, FREEXL_BIFF_WORKBOOK_NOT_FOUND);
        return result;
    }
    int sheet = -1;
    for (unsigned int i = 0; i < sheetCount && i <= 0xFFFF && sheet < 0; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(xls.handle, static_cast<unsigned short>(i), &name) == FREEXL_OK
            && name && QString::fromUtf8(name).compare(QLatin1String("sheet1"), Qt::CaseInsensitive) == 0)
            sheet = int(i);
    }
    if (sheet < 0) {
        result.error = QStringLiteral("工作簿 %1 中没有名为 sheet1 的工作表。"
                                      "请把客户数据放在工作表 sheet1 中。")
                           .arg(path);
        return result;
    }

    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(xls.handle, static_cast<unsigned short>(sheet)) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK) {
        result.error = openError(path, FREEXL_BIFF_ILLEGAL_SHEET_INDEX);
        return result;
    }

    // The reader says nothing when a damaged file loses records: its later rows simply read as
    // empty. A reading of our own tells whether the sheet's records are whole, which cells exist,
    // and what the formula cells (which the reader leaves empty) showed when last saved.
    QByteArray bytes;
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    const SheetScan scan = scanSheet(bytes, QStringLiteral("sheet1"), kSheetColumns);
    const auto refuse = [&result](const QString &error) {
        result.rows.clear();
        result.error = error;
        return result;
    };
    const auto lost = [&path](int firstRow, const QString &why) {
        return QStringLiteral("工作簿 %1 已损坏（%2）：工作表 sheet1 从第 %3 行起的内容无法完整读取。"
                              "请在 Excel 或 WPS 表格中打开它，另存为“Excel 97-2003 工作簿”后再导入。")
            .arg(path, why)
            .arg(firstRow);
    };
    if (!scan.ok())
        return refuse(lost(scan.firstLostRow, scan.damage));
    if (!scan.found || scan.declaredRows != int(rows))
        return refuse(lost(1, QStringLiteral("工作表的范围无法确定")));

    const unsigned short readColumns = std::min<unsigned short>(columns, kSheetColumns);
    // Row 0 holds the headings.
    for (unsigned int r = 1; r < rows; ++r) {
        SheetRow row;
        row.sheetRow = int(r) + 1;
        bool any = false;
        for (unsigned short c = 0; c < kSheetColumns; ++c) {
            QString text;
            if (c < readColumns) {
                FreeXL_CellValue cell;
                const int got = freexl_get_cell_value(xls.handle, r, c, &cell);
                if (got != FREEXL_OK)
                    return refuse(QStringLiteral("工作表 sheet1 第 %1 行第 %2 列的内容无法读取，"
                                                 "工作簿可能已损坏（错误代码 %3）。")
                                      .arg(row.sheetRow)
                                      .arg(c + 1)
                                      .arg(got));
                text = cellText(cell);
            }
            const auto scanned = scan.cells.constFind(SheetScan::key(int(r), c));
            // A cell that only one of the two readings found: they went different ways through
            // damaged records.
            if (scanned == scan.cells.constEnd() && !text.isEmpty())
                return refuse(lost(row.sheetRow, QStringLiteral("第 %1 行第 %2 列的记录无法确认")
                                                     .arg(row.sheetRow)
                                                     .arg(c + 1)));
            if (scanned != scan.cells.constEnd()) {
                switch (scanned->kind) {
                case ScannedCell::Kind::Value:
                    if (text.isEmpty())
                        return refuse(lost(row.sheetRow, QStringLiteral("第 %1 行第 %2 列的内容没有读出")
                                                             .arg(row.sheetRow)
                                                             .arg(c + 1)));
                    break;
                case ScannedCell::Kind::FormulaResult:
                    text = scanned->text;
                    break;
                case ScannedCell::Kind::FormulaUnusable:
                    return refuse(QStringLiteral("工作表 sheet1 第 %1 行第 %2 列是公式，它的结果是 %3，"
                                                 "不是文字或数字，无法导入。请把这个单元格改为要导入的内容后再导入。")
                                      .arg(row.sheetRow)
                                      .arg(c + 1)
                                      .arg(scanned->text));
                case ScannedCell::Kind::Logical:
                    return refuse(QStringLiteral("工作表 sheet1 第 %1 行第 %2 列是逻辑值或错误值 %3，"
                                                 "不是文字或数字，无法导入。请把这个单元格改为要导入的内容后再导入。")
                                      .arg(row.sheetRow)
                                      .arg(c + 1)
                                      .arg(scanned->text));
                }
            }
            any = any || !text.isEmpty();
            row.cells.append(text);
        }
        if (any)
            result.rows.append(std::move(row));
    }
    if (result.rows.isEmpty())
        result.error = QStringLiteral("工作表 sheet1 中没有客户数据。第一行是标题，"
                                      "客户数据应从第二行开始填写。");
    return result;
}

namespace {

QByteArray serialise(const CustomerSheet &sheet)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(0x4B484231) << sheet.error << qint32(sheet.rows.size());
    for (const SheetRow &row : sheet.rows)
        out << qint32(row.sheetRow) << row.cells;
    return bytes;
}

bool deserialise(const QByteArray &bytes, CustomerSheet *sheet)
{
    QDataStream in(bytes);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> sheet->error >> count;
    if (magic != 0x4B484231 || count < 0)
        return false;
    sheet->rows.reserve(count);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        SheetRow row;
        qint32 number = 0;
        in >> number >> row.cells;
        row.sheetRow = number;
        if (row.cells.size() != kSheetColumns)
            return false;
        sheet->rows.append(std::move(row));
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

CustomerSheet damaged(const QString &path)
{
    CustomerSheet sheet;
    sheet.error = QStringLiteral("工作簿 %1 已损坏，无法读取。").arg(path);
    return sheet;
}

} // namespace

CustomerSheet readCustomerSheet(const QString &path)
{
    // The cheap refusals need no child.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() == 0)
        return readCustomerSheetInProcess(path);

    int fds[2];
    if (::pipe(fds) != 0)
        return readCustomerSheetInProcess(path);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return readCustomerSheetInProcess(path);
    }
    if (child == 0) {
        ::close(fds[0]);
        const QByteArray bytes = serialise(readCustomerSheetInProcess(path));
        const bool ok = writeAll(fds[1], bytes.constData(), bytes.size());
        ::close(fds[1]);
        ::_exit(ok ? 0 : 1); // no exit handlers: they belong to the parent
    }

    ::close(fds[1]);
    // A sheet of 10,000 rows (about 1 MB) reads in a twentieth of a second; a child still busy
    // after many times that is caught in one of FreeXL's endless loops on a damaged file.
    const qint64 limitMs = 10000 + info.size() / 1024 * 2;
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    bool timedOut = false;
    char buffer[65536];
    for (;;) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, int(n));
    }
    ::close(fds[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return damaged(path);
    CustomerSheet sheet;
    if (!deserialise(bytes, &sheet))
        return damaged(path);
    return sheet;
}

} // namespace maintenance
