// libFuzzer target for the .xls reader (FreeXL and the record scan): any bytes as a workbook must
// give rows or a message, never a crash, a hang or a memory error.

#include "invariants.h"
#include "sheets/xls.h"

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

    sheets::ReadOptions options;
    options.columns = 5;
    options.preferredSheet = QStringLiteral("sheet1");
    checkSheet(sheets::readXlsInProcess(inputPath(), options), options.columns);
    checkSheet(sheets::readXlsInProcess(inputPath()), 0);
    return 0;
}
