#include "sheets/xls.h"

#include "sheets/cells.h"
#include "sheets/files.h"
#include "sheets/xlsscan.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFileInfo>

#include <freexl.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sheets {

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

QString notAWorkbook(const QString &path)
{
    return QStringLiteral("文件 %1 不是 Excel 97-2003 工作簿（.xls），无法读取。"
                          "请在 Excel 或 WPS 表格中以“Excel 97-2003 工作簿”或“Excel 工作簿 (*.xlsx)”格式保存后再试。")
        .arg(path);
}

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
        return notAWorkbook(path);
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

// The most columns a BIFF8 sheet has.
constexpr int kXlsColumns = 256;

} // namespace

Sheet readXlsInProcess(const QString &path, const ReadOptions &options)
{
    Sheet result;
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, &result.error))
        return result;
    // Anything without the compound file signature is no workbook at all (a CSV renamed .xls,
    // a newer .xlsx); say so rather than report it as damaged.
    if (!bytes.startsWith(kCompoundSignature)) {
        result.error = notAWorkbook(path);
        return result;
    }

    XlsHandle xls;
    const QByteArray encoded = QFile::encodeName(path);
    const int opened = freexl_open(encoded.constData(), &xls.handle);
    if (opened != FREEXL_OK) {
        // Excel keeps a password-protected .xlsx in a compound file as well.
        result.error = isEncryptedPackage(bytes) ? protectedWorkbookMessage(path) : openError(path, opened);
        return result;
    }

    unsigned int info_value = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &info_value) == FREEXL_OK
        && info_value == FREEXL_BIFF_OBFUSCATED) {
        result.error = protectedWorkbookMessage(path);
        return result;
    }
    if (freexl_get_info(xls.handle, FREEXL_BIFF_VERSION, &info_value) == FREEXL_OK
        && info_value != FREEXL_BIFF_VER_8) {
        result.error = QStringLiteral("工作簿 %1 的格式太旧（Excel 5.0 或更早），"
                                      "请在 Excel 中另存为“Excel 97-2003 工作簿”后再试。")
                           .arg(path);
        return result;
    }

    // The reader says nothing when a damaged file loses records: its later rows simply read as
    // empty. A reading of our own tells whether the sheet's records are whole, which cells exist,
    // and what the formula cells (which the reader leaves empty) showed when last saved.
    const int columns = options.columns > 0 ? std::min(options.columns, kXlsColumns) : kXlsColumns;
    const SheetScan scan = scanSheet(bytes, options.preferredSheet, columns);
    bytes = QByteArray(); // the scan keeps what it needs
    const auto refuse = [&result](const QString &error) {
        result.rows.clear();
        result.header.clear();
        result.error = error;
        return result;
    };
    const auto lost = [&path, &scan](int firstRow, const QString &why) {
        const QString sheet = scan.sheetName.isEmpty() ? QString() : QStringLiteral("工作表 %1 ").arg(scan.sheetName);
        return QStringLiteral("工作簿 %1 已损坏（%2）：%3从第 %4 行起的内容无法完整读取。"
                              "请在 Excel 或 WPS 表格中打开它，另存为“Excel 97-2003 工作簿”后再试。")
            .arg(path, why, sheet)
            .arg(firstRow);
    };
    if (!scan.ok())
        return refuse(lost(scan.firstLostRow, scan.damage));
    if (!scan.found)
        return refuse(QStringLiteral("工作簿 %1 中没有工作表。").arg(path));
    result.sheetName = scan.sheetName;

    unsigned int sheetCount = 0;
    const char *name = nullptr;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK
        || scan.sheetIndex >= int(std::min(sheetCount, 0xFFFFu))
        || freexl_get_worksheet_name(xls.handle, static_cast<unsigned short>(scan.sheetIndex), &name) != FREEXL_OK
        || !name || QString::fromUtf8(name) != scan.sheetName)
        return refuse(lost(1, QStringLiteral("工作表的位置无法确定")));

    unsigned int rows = 0;
    unsigned short sheetColumns = 0;
    if (freexl_select_active_worksheet(xls.handle, static_cast<unsigned short>(scan.sheetIndex)) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.handle, &rows, &sheetColumns) != FREEXL_OK)
        return refuse(openError(path, FREEXL_BIFF_ILLEGAL_SHEET_INDEX));
    if (scan.declaredRows != int(rows))
        return refuse(lost(1, QStringLiteral("工作表的范围无法确定")));

    const int readColumns = std::min<int>(sheetColumns, columns);
    qint64 kept = 0;
    for (unsigned int r = 0; r < rows; ++r) {
        Row row;
        row.sheetRow = int(r) + 1;
        for (int c = 0; c < readColumns; ++c) {
            FreeXL_CellValue cell;
            const int got = freexl_get_cell_value(xls.handle, r, static_cast<unsigned short>(c), &cell);
            if (got != FREEXL_OK)
                return refuse(QStringLiteral("工作表 %1 第 %2 行第 %3 列的内容无法读取，"
                                             "工作簿可能已损坏（错误代码 %4）。")
                                  .arg(scan.sheetName)
                                  .arg(row.sheetRow)
                                  .arg(c + 1)
                                  .arg(got));
            QString text = cellText(cell);
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
                    return refuse(unusableFormulaMessage(scan.sheetName, row.sheetRow, c + 1, scanned->text));
                case ScannedCell::Kind::Logical:
                    return refuse(unusableValueMessage(scan.sheetName, row.sheetRow, c + 1, scanned->text));
                }
            }
            row.cells.append(text);
        }
        while (!row.cells.isEmpty() && row.cells.constLast().isEmpty())
            row.cells.removeLast();
        kept += row.cells.size();
        if (kept > kMaxCells)
            return refuse(tooManyCellsMessage(QStringLiteral("工作表 %1").arg(scan.sheetName)));
        if (r == 0)
            result.header = row.cells;
        else if (!row.cells.isEmpty())
            result.rows.append(std::move(row));
    }
    return result;
}

namespace {

constexpr quint32 kMagic = 0x53485432;

QByteArray serialise(const Sheet &sheet)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << sheet.error << sheet.sheetName << sheet.header << qint32(sheet.rows.size());
    for (const Row &row : sheet.rows)
        out << qint32(row.sheetRow) << row.cells;
    return bytes;
}

bool deserialise(const QByteArray &bytes, Sheet *sheet)
{
    QDataStream in(bytes);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> sheet->error >> sheet->sheetName >> sheet->header >> count;
    if (magic != kMagic || count < 0 || count > 65536)
        return false;
    sheet->rows.reserve(count);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        Row row;
        qint32 number = 0;
        in >> number >> row.cells;
        row.sheetRow = number;
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

Sheet damaged(const QString &path)
{
    Sheet sheet;
    sheet.error = QStringLiteral("工作簿 %1 已损坏，无法读取。").arg(path);
    return sheet;
}

} // namespace

Sheet readXls(const QString &path, const ReadOptions &options)
{
    // The cheap refusals need no child.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() == 0 || info.size() > kMaxFileBytes)
        return readXlsInProcess(path, options);

    int fds[2];
    if (::pipe(fds) != 0)
        return readXlsInProcess(path, options);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return readXlsInProcess(path, options);
    }
    if (child == 0) {
        ::close(fds[0]);
        const QByteArray bytes = serialise(readXlsInProcess(path, options));
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
    Sheet sheet;
    if (!deserialise(bytes, &sheet))
        return damaged(path);
    return sheet;
}

} // namespace sheets
