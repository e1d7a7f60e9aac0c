#include "sheets/xlsscan.h"

#include "sheets/cells.h"

#include <QVector>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <optional>

namespace sheets {

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kMaxRegular = 0xFFFFFFFA;
constexpr int kMaxRecord = 8224; // the longest record BIFF8 allows

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

// The compound file (the container of the Workbook stream), read defensively: every sector
// number is checked against the file, every chain against loops and against its stated length.
class Compound {
public:
    explicit Compound(const QByteArray &file) : m_file(file) {}

    // The stream named name (any case), or nothing with *error set.
    std::optional<QByteArray> stream(const QString &name, QString *error)
    {
        if (!readHeader(error) || !readFat(error))
            return std::nullopt;
        QByteArray directory;
        if (!chain(m_firstDirectory, -1, m_fat, m_sectorSize, &directory, error))
            return std::nullopt;
        if (directory.size() < 128) {
            *error = QStringLiteral("目录不完整");
            return std::nullopt;
        }
        const char *root = directory.constData();
        for (int at = 0; at + 128 <= directory.size(); at += 128) {
            const char *e = directory.constData() + at;
            const int nameBytes = u16(e + 0x40);
            if (e[0x42] != 2 || nameBytes < 2 || nameBytes > 64)
                continue;
            QString entryName;
            for (int i = 0; i + 1 < nameBytes - 1; i += 2)
                entryName += QChar(u16(e + i));
            if (entryName.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const quint32 start = u32(e + 0x74);
            const qint64 size = u32(e + 0x78);
            QByteArray out;
            // A short stream lives in the mini stream, unless the file has none (some writers
            // keep even short streams in whole sectors, and the cell reader accepts that).
            const bool hasMiniStream = u32(root + 0x74) <= kMaxRegular && u32(root + 0x78) > 0;
            if (size < m_miniCutoff && hasMiniStream) {
                QByteArray miniStream, miniFatBytes;
                if (!chain(u32(root + 0x74), u32(root + 0x78), m_fat, m_sectorSize, &miniStream, error)
                    || !chain(m_firstMiniFat, -1, m_fat, m_sectorSize, &miniFatBytes, error))
                    return std::nullopt;
                QVector<quint32> miniFat;
                for (int i = 0; i + 4 <= miniFatBytes.size(); i += 4)
                    miniFat << u32(miniFatBytes.constData() + i);
                if (!chainIn(miniStream, start, size, miniFat, 64, &out, error))
                    return std::nullopt;
            } else if (!chain(start, size, m_fat, m_sectorSize, &out, error)) {
                return std::nullopt;
            }
            return out;
        }
        *error = QStringLiteral("找不到工作簿数据");
        return std::nullopt;
    }

private:
    bool readHeader(QString *error)
    {
        if (m_file.size() < 512 || !m_file.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) {
            *error = QStringLiteral("文件头不完整");
            return false;
        }
        const char *h = m_file.constData();
        const int shift = u16(h + 0x1E);
        if (shift != 9 && shift != 12) {
            *error = QStringLiteral("扇区大小无效");
            return false;
        }
        m_sectorSize = 1 << shift;
        m_sectors = m_file.size() <= m_sectorSize ? 0 : quint32((m_file.size() - m_sectorSize) / m_sectorSize);
        m_firstDirectory = u32(h + 0x30);
        m_miniCutoff = u32(h + 0x38);
        m_firstMiniFat = u32(h + 0x3C);
        return true;
    }

    bool readFat(QString *error)
    {
        const char *h = m_file.constData();
        QVector<quint32> fatSectors;
        for (int i = 0; i < 109; ++i) {
            const quint32 s = u32(h + 0x4C + 4 * i);
            if (s <= kMaxRegular)
                fatSectors << s;
        }
        quint32 difat = u32(h + 0x44);
        for (quint32 guard = 0; difat <= kMaxRegular; ++guard) {
            const char *p = sector(difat);
            if (!p || guard > m_sectors) {
                *error = QStringLiteral("分配表索引无效");
                return false;
            }
            const int entries = m_sectorSize / 4 - 1;
            for (int i = 0; i < entries; ++i) {
                const quint32 s = u32(p + 4 * i);
                if (s <= kMaxRegular)
                    fatSectors << s;
            }
            difat = u32(p + 4 * entries);
        }
        for (quint32 s : fatSectors) {
            const char *p = sector(s);
            if (!p) {
                *error = QStringLiteral("分配表位置无效");
                return false;
            }
            for (int i = 0; i < m_sectorSize; i += 4)
                m_fat << u32(p + i);
        }
        return true;
    }

    const char *sector(quint32 n) const
    {
        if (n >= m_sectors)
            return nullptr;
        return m_file.constData() + (qint64(n) + 1) * m_sectorSize;
    }

    // Follows a chain of regular sectors; size < 0 reads to the end of the chain.
    bool chain(quint32 start, qint64 size, const QVector<quint32> &fat, int unit, QByteArray *out, QString *error) const
    {
        out->clear();
        quint32 s = start;
        for (quint32 steps = 0; s != kEndOfChain && (size < 0 || out->size() < size); ++steps) {
            const char *p = sector(s);
            if (!p || steps > m_sectors || s >= quint32(fat.size())) {
                *error = QStringLiteral("数据链断裂");
                return false;
            }
            out->append(p, unit);
            s = fat.at(int(s));
        }
        if (size >= 0) {
            if (out->size() < size) {
                *error = QStringLiteral("数据比记载的短");
                return false;
            }
            out->truncate(int(size));
        }
        return true;
    }

    // The same within the mini stream (64-byte sectors).
    static bool chainIn(const QByteArray &stream, quint32 start, qint64 size, const QVector<quint32> &fat, int unit,
                        QByteArray *out, QString *error)
    {
        out->clear();
        quint32 s = start;
        const quint32 count = quint32(stream.size() / unit);
        for (quint32 steps = 0; out->size() < size; ++steps) {
            if (s >= count || s >= quint32(fat.size()) || steps > count) {
                *error = QStringLiteral("数据链断裂");
                return false;
            }
            out->append(stream.constData() + qint64(s) * unit, unit);
            s = fat.at(int(s));
        }
        out->truncate(int(size));
        return true;
    }

    const QByteArray &m_file;
    int m_sectorSize = 512;
    quint32 m_sectors = 0;
    quint32 m_firstDirectory = kEndOfChain;
    quint32 m_miniCutoff = 4096;
    quint32 m_firstMiniFat = kEndOfChain;
    QVector<quint32> m_fat;
};

// A text as BIFF8 stores it: 8- or 16-bit characters after a flags byte. Rich-text and phonetic
// extras, which only follow the characters, are not needed here.
QString unicodeText(const char *p, int available, int count)
{
    if (available < 1)
        return QString();
    const bool wide = (p[0] & 1) != 0;
    ++p;
    --available;
    QString out;
    for (int i = 0; i < count && (wide ? 2 * i + 1 : i) < available; ++i)
        out += wide ? QChar(u16(p + 2 * i)) : QChar(quint8(p[i]));
    return out;
}

bool isDateFormat(int format, const QHash<int, QString> &own)
{
    if (isBuiltInDateFormat(format))
        return true;
    const auto it = own.find(format);
    return it != own.end() && isDateFormatCode(*it);
}

// The records of cells that always have the same length.
int fixedSize(quint16 type)
{
    switch (type) {
    case 0x00FD: return 10; // LABELSST: row, column, format, string number
    case 0x027E: return 10; // RK: row, column, format, packed number
    case 0x0203: return 14; // NUMBER: row, column, format, double
    case 0x0201: return 6;  // BLANK: row, column, format
    case 0x0205: return 8;  // BOOLERR: row, column, format, value, kind
    default: return -1;
    }
}

struct Record {
    quint16 type;
    const char *body;
    int size;
};

// Walks the records of a stream from a position; false when a record does not fit.
class Records {
public:
    Records(const QByteArray &stream, qint64 at) : m_stream(stream), m_at(at) {}
    bool atEnd() const { return m_at + 4 > m_stream.size(); }
    bool next(Record *r)
    {
        if (atEnd())
            return false;
        const char *p = m_stream.constData() + m_at;
        r->type = u16(p);
        r->size = u16(p + 2);
        if (r->size > kMaxRecord || m_at + 4 + r->size > m_stream.size())
            return false;
        r->body = p + 4;
        m_at += 4 + r->size;
        return true;
    }

private:
    const QByteArray &m_stream;
    qint64 m_at;
};

} // namespace

SheetScan scanSheet(const QByteArray &file, const QString &preferredSheet, int columns)
{
    SheetScan scan;
    const auto damaged = [&scan](const QString &why, int firstLostRow) {
        scan.damage = why;
        scan.firstLostRow = firstLostRow;
        return scan;
    };
    QString error;
    Compound compound(file);
    const std::optional<QByteArray> workbook = compound.stream(QStringLiteral("Workbook"), &error);
    if (!workbook)
        return damaged(error, 1);
    const QByteArray &stream = *workbook;

    // The workbook's globals: where the sheets begin, how dates are counted, the formats.
    struct BoundSheet {
        qint64 at;
        QString name;
        bool isWorksheet;
    };
    QVector<BoundSheet> boundSheets;
    bool from1904 = false;
    QVector<int> xfFormats;
    QHash<int, QString> ownFormats;
    {
        Records records(stream, 0);
        Record r;
        bool first = true, ended = false;
        while (!ended && records.next(&r)) {
            if (first && (r.type != 0x0809 || r.size < 4 || u16(r.body) != 0x0600))
                return damaged(QStringLiteral("不是 Excel 97-2003 工作簿"), 1);
            first = false;
            switch (r.type) {
            case 0x000A: // EOF
                ended = true;
                break;
            case 0x002F: // FILEPASS: the rest is encrypted; the reader refuses such files
                scan.found = true;
                return scan;
            case 0x0022: // DATEMODE
                from1904 = r.size >= 2 && u16(r.body) == 1;
                break;
            case 0x00E0: // XF
                xfFormats << (r.size >= 4 ? u16(r.body + 2) : 0);
                break;
            case 0x041E: // FORMAT
                if (r.size >= 5)
                    ownFormats.insert(u16(r.body), unicodeText(r.body + 4, r.size - 4, u16(r.body + 2)));
                break;
            case 0x0085: // BOUNDSHEET: position, visibility, kind (0: worksheet), name
                if (r.size >= 8)
                    boundSheets.append({qint64(u32(r.body)), unicodeText(r.body + 7, r.size - 7, quint8(r.body[6])),
                                        r.body[5] == 0});
                else
                    boundSheets.append({-1, QString(), false}); // counted all the same, as the reader does
                break;
            default:
                break;
            }
        }
        if (!ended)
            return damaged(QStringLiteral("工作簿的全局记录不完整"), 1);
    }
    for (int i = 0; i < boundSheets.size() && scan.sheetIndex < 0 && !preferredSheet.isEmpty(); ++i)
        if (boundSheets.at(i).isWorksheet && boundSheets.at(i).name.compare(preferredSheet, Qt::CaseInsensitive) == 0)
            scan.sheetIndex = i;
    for (int i = 0; i < boundSheets.size() && scan.sheetIndex < 0; ++i)
        if (boundSheets.at(i).isWorksheet)
            scan.sheetIndex = i;
    if (scan.sheetIndex < 0)
        return scan; // no worksheet: the reader says so
    scan.found = true;
    scan.sheetName = boundSheets.at(scan.sheetIndex).name;
    const qint64 sheetAt = boundSheets.at(scan.sheetIndex).at;

    const auto isDate = [&](int xf) {
        return xf >= 0 && xf < xfFormats.size() && isDateFormat(xfFormats.at(xf), ownFormats);
    };
    const auto lostFrom = [&scan] { return std::max(scan.lastCellRow, 0) + 1; };

    Records records(stream, sheetAt);
    Record r;
    if (!records.next(&r) || r.type != 0x0809 || r.size < 4 || u16(r.body + 2) != 0x0010)
        return damaged(QStringLiteral("工作表的位置无效"), 1);
    int depth = 1;
    bool dimensions = false;
    int declaredColumns = 0;
    int pendingText = -1; // the formula cell whose text result the next STRING record holds

    const auto cell = [&](int row, int column, int minSize) {
        if (r.size < minSize) {
            scan.damage = QStringLiteral("单元格记录不完整");
        } else if (!dimensions || row >= scan.declaredRows || column >= declaredColumns) {
            // The reader keeps only cells inside the declared area: one outside is lost.
            scan.damage = QStringLiteral("单元格超出工作表记载的范围");
        } else {
            scan.lastCellRow = std::max(scan.lastCellRow, row);
            return true;
        }
        scan.firstLostRow = std::max(row, 0) + 1;
        return false;
    };
    const auto keep = [&](int row, int column, ScannedCell c) {
        if (column < columns)
            scan.cells.insert(SheetScan::key(row, column), std::move(c));
    };

    while (depth > 0) {
        if (!records.next(&r))
            return damaged(QStringLiteral("工作表的记录在中途中断"), lostFrom());
        if (r.type == 0x0809) {
            ++depth;
            continue;
        }
        if (r.type == 0x000A) {
            --depth;
            continue;
        }
        if (depth != 1) // a chart or other object inside the sheet
            continue;
        // Worksheet records are numbered below 0x1000 (charts use 0x10xx inside their own
        // substream): a higher number is the reading gone astray in damaged bytes.
        if (r.type >= 0x1000)
            return damaged(QStringLiteral("工作表中有无效的记录"), lostFrom());
        switch (r.type) {
        case 0x0200: // DIMENSIONS: first row, last row + 1, first column, last column + 1
            if (r.size < 14)
                return damaged(QStringLiteral("工作表范围记录不完整"), 1);
            dimensions = true;
            scan.declaredRows = int(std::min<quint32>(u32(r.body + 4), 65536));
            declaredColumns = u16(r.body + 10);
            break;
        case 0x00FD: // LABELSST
        case 0x027E: // RK
        case 0x0203: // NUMBER
        case 0x0201: // BLANK
            // These have one size only. A record of another size is a damaged length, and the
            // records it swallowed are lost to the cell reader too.
            if (r.size != fixedSize(r.type) || !cell(u16(r.body), u16(r.body + 2), 0))
                return scan.damage.isEmpty() ? damaged(QStringLiteral("单元格记录长度无效"), lostFrom()) : scan;
            if (r.type != 0x0201)
                keep(u16(r.body), u16(r.body + 2), ScannedCell{});
            break;
        case 0x0204: // LABEL
        case 0x00D6: // RSTRING
            if (!cell(r.size >= 4 ? u16(r.body) : -1, r.size >= 4 ? u16(r.body + 2) : 0, 9))
                return scan;
            keep(u16(r.body), u16(r.body + 2), ScannedCell{});
            break;
        case 0x00BD:   // MULRK: row, first column, (format, value) pairs, last column
        case 0x00BE: { // MULBLANK: row, first column, formats, last column
            const int each = r.type == 0x00BD ? 6 : 2;
            if (r.size < 6 + each)
                return damaged(QStringLiteral("单元格记录不完整"), lostFrom());
            const int row = u16(r.body), firstColumn = u16(r.body + 2), lastColumn = u16(r.body + r.size - 2);
            if (lastColumn < firstColumn || (lastColumn - firstColumn + 1) * each != r.size - 6)
                return damaged(QStringLiteral("单元格记录不完整"), row + 1);
            if (!cell(row, lastColumn, 6))
                return scan;
            if (r.type == 0x00BD)
                for (int c = firstColumn; c <= lastColumn; ++c)
                    keep(row, c, ScannedCell{});
            break;
        }
        case 0x0205: { // BOOLERR: a logical or error value typed into the cell
            if (r.size != fixedSize(r.type) || !cell(u16(r.body), u16(r.body + 2), 0))
                return scan.damage.isEmpty() ? damaged(QStringLiteral("单元格记录长度无效"), lostFrom()) : scan;
            const bool isError = r.body[7] != 0;
            const quint8 value = quint8(r.body[6]);
            keep(u16(r.body), u16(r.body + 2),
                 ScannedCell{ScannedCell::Kind::Logical,
                             isError ? errorText(value) : (value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))});
            break;
        }
        case 0x0006: { // FORMULA: row, column, format, the saved result, options, the formula
            if (!cell(r.size >= 4 ? u16(r.body) : -1, r.size >= 4 ? u16(r.body + 2) : 0, 20))
                return scan;
            const int row = u16(r.body), column = u16(r.body + 2), xf = u16(r.body + 4);
            const char *result = r.body + 6;
            ScannedCell c;
            if (quint8(result[6]) == 0xFF && quint8(result[7]) == 0xFF) {
                switch (quint8(result[0])) {
                case 0: // text, in the STRING record that follows
                    c.kind = ScannedCell::Kind::FormulaResult;
                    pendingText = SheetScan::key(row, column);
                    break;
                case 1:
                    c.kind = ScannedCell::Kind::FormulaUnusable;
                    c.text = result[2] ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    break;
                case 2:
                    c.kind = ScannedCell::Kind::FormulaUnusable;
                    c.text = errorText(quint8(result[2]));
                    break;
                default: // an empty text
                    c.kind = ScannedCell::Kind::FormulaResult;
                    break;
                }
            } else {
                double value;
                std::memcpy(&value, result, 8);
                value = qFromLittleEndian(value);
                c.kind = ScannedCell::Kind::FormulaResult;
                c.text = isDate(xf) ? serialDateText(value, from1904) : numberCellText(value);
            }
            keep(row, column, c);
            break;
        }
        case 0x0207: // STRING: the text result of the formula before it
            if (pendingText >= 0 && r.size >= 3) {
                const auto it = scan.cells.find(pendingText);
                if (it != scan.cells.end())
                    it->text = unicodeText(r.body + 2, r.size - 2, u16(r.body));
            }
            pendingText = -1;
            break;
        default:
            break;
        }
    }
    if (!dimensions)
        return damaged(QStringLiteral("工作表缺少范围记录"), 1);
    // The declared area ends at the last row that has a cell; rows declared but never met were
    // lost with the records that held them.
    if (scan.lastCellRow + 1 < scan.declaredRows)
        return damaged(QStringLiteral("工作表记载有 %1 行，只找到 %2 行").arg(scan.declaredRows).arg(scan.lastCellRow + 1),
                       scan.lastCellRow + 2);
    return scan;
}

bool isEncryptedPackage(const QByteArray &file)
{
    QString error;
    Compound compound(file);
    return compound.stream(QStringLiteral("EncryptedPackage"), &error).has_value();
}

} // namespace sheets
