#include "sheets/sheets.h"

#include "sheets/files.h"
#include "sheets/xls.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace sheets {

namespace {

bool isZip(const QByteArray &head)
{
    return head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06") || head.startsWith("PK\x07\x08");
}

bool hasSuffix(const QString &path, std::initializer_list<const char *> suffixes)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const char *s : suffixes)
        if (suffix.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

bool readWholeFile(const QString &path, QByteArray *bytes, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("找不到文件 %1。").arg(path);
        return false;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("%1 不是文件，无法读取。").arg(path);
        return false;
    }
    if (info.size() == 0) {
        *error = QStringLiteral("文件 %1 是空文件，里面没有表格。").arg(path);
        return false;
    }
    if (info.size() > kMaxFileBytes) {
        *error = QStringLiteral("文件 %1 太大（超过 %2 MB），无法读取。").arg(path).arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    // Read as long as the file is (not the limit at once: that would reserve the limit), and on
    // while it grows, up to just past the limit.
    *bytes = file.read(std::min<qint64>(info.size() + 1, kMaxFileBytes + 1));
    while (!file.atEnd() && bytes->size() <= kMaxFileBytes) {
        const QByteArray more = file.read(std::min<qint64>(1 << 16, kMaxFileBytes + 1 - bytes->size()));
        if (more.isEmpty())
            break;
        *bytes += more;
    }
    if (bytes->size() > kMaxFileBytes) {
        *error = QStringLiteral("文件 %1 太大（超过 %2 MB），无法读取。").arg(path).arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    if (bytes->isEmpty()) {
        *error = QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString protectedWorkbookMessage(const QString &path)
{
    return QStringLiteral("工作簿 %1 设有密码保护，无法读取。请在 Excel 或 WPS 表格中取消密码后再试。").arg(path);
}

Kind kindOf(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(8);
        if (isZip(head))
            return Kind::Xlsx;
        if (head == kCompoundSignature)
            return Kind::Xls;
    }
    if (hasSuffix(path, {"xlsx", "xlsm"}))
        return Kind::Xlsx;
    if (hasSuffix(path, {"xls"}))
        return Kind::Xls;
    if (hasSuffix(path, {"csv", "txt", "tsv"}))
        return Kind::Csv;
    return Kind::Unknown;
}

Sheet readSheet(const QString &path) { return readSheet(path, ReadOptions()); }

Sheet readSheet(const QString &path, const ReadOptions &options)
{
    Sheet sheet;
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, &sheet.error))
        return sheet;
    if (isZip(bytes))
        return readXlsx(bytes, path, options);
    if (bytes.startsWith(kCompoundSignature)) {
        bytes = QByteArray(); // the child reads the file itself
        return readXls(path, options);
    }
    if (hasSuffix(path, {"xlsx", "xlsm"})) {
        sheet.error = QStringLiteral("文件 %1 不是 Excel 工作簿（.xlsx），无法读取：它的内容不是 .xlsx 格式，"
                                     "可能只是改了扩展名。请在 Excel 或 WPS 表格中另存为“Excel 工作簿 (*.xlsx)”后再试。")
                          .arg(path);
        return sheet;
    }
    if (hasSuffix(path, {"xls"}))
        return readXlsInProcess(path, options); // says what the file is not, without a child
    if (hasSuffix(path, {"csv", "txt", "tsv"}))
        return readCsv(bytes, path, options);
    sheet.error = QStringLiteral("无法识别文件 %1 的格式。请使用 Excel 工作簿（.xlsx、.xls）或 CSV 文件（.csv）。").arg(path);
    return sheet;
}

QString openFilter()
{
    return QStringLiteral("表格文件 (*.xlsx *.xls *.csv);;Excel 工作簿 (*.xlsx);;Excel 97-2003 工作簿 (*.xls);;"
                          "CSV 文件 (*.csv);;所有文件 (*)");
}

} // namespace sheets
