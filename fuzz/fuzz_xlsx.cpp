// libFuzzer target for the .xlsx reader. An input whose first byte is even is the file itself
// (a zip: "PK" is even); one whose first byte is odd is the XML of the parts, separated by the
// byte 0x01 (sheet, shared strings, styles, workbook), packed into a zip of stored entries so
// that the fuzzer works on the XML rather than on the compression.

#include "invariants.h"
#include "storedzip.h"

#include <cstdint>

namespace {

const QByteArray kRootRels = "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                             "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                             "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
const QByteArray kWorkbookRels =
    "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/"
    "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
    "</Relationships>";
const QByteArray kWorkbook = "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                             "2006/main\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                             "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    sheets::ReadOptions options;
    options.columns = size % 3 == 0 ? 5 : 0;
    options.preferredSheet = size % 2 ? QStringLiteral("sheet1") : QString();
    if (size == 0 || (data[0] & 1) == 0) {
        checkSheet(sheets::readXlsx(bytes, QStringLiteral("fuzz.xlsx"), options), options.columns);
        return 0;
    }
    const QList<QByteArray> pieces = bytes.mid(1).split('\x01');
    QVector<std::pair<QByteArray, QByteArray>> entries = {
        {"_rels/.rels", kRootRels},
        {"xl/_rels/workbook.xml.rels", kWorkbookRels},
        {"xl/worksheets/sheet1.xml", pieces.value(0)},
        {"xl/workbook.xml", pieces.size() > 3 ? pieces.at(3) : kWorkbook},
    };
    if (!pieces.value(1).isEmpty()) // an empty piece: the part is missing
        entries.append({"xl/sharedStrings.xml", pieces.at(1)});
    if (!pieces.value(2).isEmpty())
        entries.append({"xl/styles.xml", pieces.at(2)});
    checkSheet(sheets::readXlsx(storedZip(entries), QStringLiteral("fuzz.xlsx"), options), options.columns);
    return 0;
}
