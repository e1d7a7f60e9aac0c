// libFuzzer target for the .csv reader: any bytes as a comma- or tab-separated text.

#include "invariants.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    sheets::ReadOptions options;
    options.columns = size % 2 ? 5 : 0;
    checkSheet(sheets::readCsv(bytes, QStringLiteral("fuzz.csv"), options), options.columns);
    return 0;
}
