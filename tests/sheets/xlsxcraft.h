#pragma once
// Hand-made .xlsx packages for the reader's tests and the fuzzer's seeds: any XML in any part,
// zipped with libzip, and sizes declared falsely where a test needs a lie.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QVector>
#include <QtEndian>

#include <zip.h>

#include <utility>

namespace xlsxtest {

using Parts = QVector<std::pair<QString, QByteArray>>;

// The parts zipped (deflated), in the order given.
inline QByteArray zipBytes(const Parts &parts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("package.zip"));
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return {};
    for (const auto &[name, data] : parts) {
        zip_source_t *source = zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return {};
        }
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        return {};
    }
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline const char *kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char *kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A sheet's XML around the given <sheetData> content.
inline QByteArray worksheet(const QByteArray &sheetData)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") + kMain
        + "\"><dimension ref=\"A1\"/><sheetData>" + sheetData + "</sheetData><pageMargins left=\"0.7\"/></worksheet>";
}

// <si> items as a shared string table.
inline QByteArray sharedStrings(const QByteArray &items)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"") + kMain + "\">" + items + "</sst>";
}

// Cell formats by number format id (custom codes in numFmts, e.g. <numFmt numFmtId="164" formatCode="..."/>);
// a conditional format shows number format 165 as a date, which no cell's own format is.
inline QByteArray styles(const QVector<int> &cellFormats, const QByteArray &numFmts = {})
{
    QByteArray xfs;
    for (int f : cellFormats)
        xfs += "<xf numFmtId=\"" + QByteArray::number(f) + "\" fontId=\"0\" applyNumberFormat=\"1\"/>";
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"") + kMain + "\"><numFmts>"
        + numFmts + "</numFmts><cellStyleXfs count=\"1\"><xf numFmtId=\"22\"/></cellStyleXfs><cellXfs>" + xfs
        + "</cellXfs><dxfs count=\"1\"><dxf><numFmt numFmtId=\"165\" formatCode=\"yyyy-mm-dd\"/></dxf></dxfs>"
          "</styleSheet>";
}

struct SheetEntry {
    QString name;
    QByteArray xml;         // the part's content; empty: the part is missing from the package
    bool chart = false;     // a chart sheet rather than a worksheet
};

// A whole package: the workbook with its sheets, and the shared strings and styles when given.
inline Parts package(const QVector<SheetEntry> &sheets, const QByteArray &strings = {}, const QByteArray &style = {},
                     const QByteArray &workbookProperties = {})
{
    Parts parts;
    parts.append({QStringLiteral("[Content_Types].xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"});
    parts.append({QStringLiteral("_rels/.rels"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"xl/workbook.xml\"/></Relationships>"});
    QByteArray sheetList, rels;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray id = "rId" + QByteArray::number(i + 1);
        sheetList += "<sheet name=\"" + sheets[i].name.toUtf8() + "\" sheetId=\"" + QByteArray::number(i + 1)
            + "\" r:id=\"" + id + "\"/>";
        const QByteArray kind = sheets[i].chart ? "chartsheet" : "worksheet";
        const QByteArray target = (sheets[i].chart ? "chartsheets/sheet" : "worksheets/sheet") + QByteArray::number(i + 1) + ".xml";
        rels += "<Relationship Id=\"" + id + "\" Type=\"" + kRel + "/" + kind + "\" Target=\"" + target + "\"/>";
        if (!sheets[i].xml.isEmpty())
            parts.append({QStringLiteral("xl/") + QString::fromUtf8(target), sheets[i].xml});
    }
    if (!strings.isEmpty()) {
        rels += QByteArray("<Relationship Id=\"rIdS\" Type=\"") + kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.append({QStringLiteral("xl/sharedStrings.xml"), strings});
    }
    if (!style.isEmpty()) {
        rels += QByteArray("<Relationship Id=\"rIdT\" Type=\"") + kRel + "/styles\" Target=\"/xl/styles.xml\"/>";
        parts.append({QStringLiteral("xl/styles.xml"), style});
    }
    parts.append({QStringLiteral("xl/workbook.xml"),
                  QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"") + kMain + "\" xmlns:r=\""
                      + kRel + "\">" + workbookProperties + "<sheets>" + sheetList + "</sheets></workbook>"});
    parts.append({QStringLiteral("xl/_rels/workbook.xml.rels"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      + rels + "</Relationships>"});
    return parts;
}

// One worksheet named Sheet1 with the given <sheetData> content.
inline QByteArray simpleXlsx(const QByteArray &sheetData, const QByteArray &strings = {}, const QByteArray &style = {},
                             const QByteArray &workbookProperties = {})
{
    return zipBytes(package({{QStringLiteral("Sheet1"), worksheet(sheetData)}}, strings, style, workbookProperties));
}

// The zip with the uncompressed size of one entry declared as `size`, in its local header and in
// the central directory alike: what a zip bomb does to pass a check of declared sizes.
inline QByteArray declaredSize(QByteArray zip, const QString &name, quint32 size)
{
    const QByteArray wanted = name.toUtf8();
    for (int at = 0; at + 46 <= zip.size(); ++at) {
        const quint32 signature = qFromLittleEndian<quint32>(zip.constData() + at);
        if (signature == 0x04034b50 && at + 30 <= zip.size()) {
            const int length = qFromLittleEndian<quint16>(zip.constData() + at + 26);
            if (zip.mid(at + 30, length) == wanted)
                qToLittleEndian(size, zip.data() + at + 22);
        } else if (signature == 0x02014b50) {
            const int length = qFromLittleEndian<quint16>(zip.constData() + at + 28);
            if (zip.mid(at + 46, length) == wanted)
                qToLittleEndian(size, zip.data() + at + 24);
        }
    }
    return zip;
}

} // namespace xlsxtest
