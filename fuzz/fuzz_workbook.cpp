// libFuzzer target for the customer sheet reader: any bytes as khb.xls must give rows or a
// message, never a crash, a hang or a memory error.

#include "maintenance/workbook.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace {

// FreeXL reads from a path, so each input goes to one file per process.
const QString &inputPath()
{
    static const QString path = [] {
        const char *dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return QStringLiteral("%1/fuzz_workbook_%2.xls").arg(QString::fromLatin1(dir)).arg(::getpid());
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray name = inputPath().toLocal8Bit();
    FILE *f = std::fopen(name.constData(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    const maintenance::CustomerSheet sheet = maintenance::readCustomerSheetInProcess(inputPath());
    // Either outcome is fine; what must hold is that a failure carries no rows and rows are whole.
    if (!sheet.ok() && !sheet.rows.isEmpty())
        __builtin_trap();
    for (const maintenance::SheetRow &row : sheet.rows)
        if (row.cells.size() != maintenance::kSheetColumns)
            __builtin_trap();
    return 0;
}
