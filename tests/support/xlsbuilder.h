#pragma once
// Writes small Excel 97-2003 workbooks (BIFF8 in a compound file) for the readers' tests, the
// fuzzer's seeds and the benchmark: sheets of text and number cells, nothing more.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVector>
#include <QtEndian>

#include <cstring>
#include <map>
#include <variant>

namespace xlstest {

// A cell: a text, a number, or a date (a number shown through a date format).
struct Date {
    double serial; // days since 1899-12-30, as the workbook stores dates
};
// A formula cell with the result the workbook keeps beside it (Excel saves the last computed
// value): a number, a text, or an error code (Error{0x07} is #DIV/0!).
struct Error {
    quint8 code;
};
struct Formula {
    std::variant<double, QString, Error> result;
    bool shownAsDate = false; // the cell's format is a date format
};
using Cell = std::variant<std::monostate, QString, double, Date, Formula>;
using Row = QVector<Cell>;

struct Sheet {
    QString name = QStringLiteral("Sheet1");
    QVector<Row> rows;
};

struct Options {
    bool passwordProtected = false; // adds the record that marks an encrypted workbook
};

namespace detail {

inline void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
inline void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
inline void putDouble(QByteArray &b, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    char c[8];
    qToLittleEndian(bits, c);
    b.append(c, 8);
}
inline void record(QByteArray &out, quint16 type, const QByteArray &body)
{
    put16(out, type);
    put16(out, quint16(body.size()));
    out.append(body);
}
// A string as the string table holds it: 16-bit length, flags (1 = two bytes per character), text.
inline QByteArray unicodeString(const QString &s)
{
    QByteArray b;
    put16(b, quint16(s.size()));
    b.append(char(1));
    for (QChar c : s)
        put16(b, c.unicode());
    return b;
}

inline QByteArray bof(quint16 kind)
{
    QByteArray b;
    put16(b, 0x0600); // BIFF8
    put16(b, kind);
    put16(b, 0x0DBB);
    put16(b, 0x07CC);
    put32(b, 0);
    put32(b, 6);
    return b;
}

inline QByteArray xf(quint16 format)
{
    QByteArray b;
    put16(b, 0);      // font
    put16(b, format); // number format: 0 general, 14 date
    put16(b, 0x0001);
    b.append(14, '\0');
    return b;
}

} // namespace detail

// The workbook stream (BIFF8 records).
inline QByteArray workbookStream(const QVector<Sheet> &sheets, const Options &options = {})
{
    using namespace detail;
    // Shared strings, each text once.
    QVector<QString> strings;
    std::map<QString, quint32> index;
    quint32 total = 0;
    for (const Sheet &s : sheets)
        for (const Row &r : s.rows)
            for (const Cell &c : r)
                if (const QString *t = std::get_if<QString>(&c); t && !t->isEmpty()) {
                    ++total;
                    if (index.emplace(*t, quint32(strings.size())).second)
                        strings.append(*t);
                }

    QByteArray globals;
    record(globals, 0x0809, bof(0x0005));
    if (options.passwordProtected) {
        QByteArray pass;
        put16(pass, 1); // RC4
        put16(pass, 1);
        put16(pass, 1);
        pass.append(48, '\x11');
        record(globals, 0x002F, pass);
    }
    {
        QByteArray cp;
        put16(cp, 1200); // UTF-16
        record(globals, 0x0042, cp);
        QByteArray dm;
        put16(dm, 0); // dates count from 1900
        record(globals, 0x0022, dm);
    }
    for (int i = 0; i < 16; ++i) // the style formats every workbook carries
        record(globals, 0x00E0, xf(0));
    record(globals, 0x00E0, xf(0));  // 16: general cell
    record(globals, 0x00E0, xf(14)); // 17: date cell

    // Sheet entries point at the sheets' BOF, which follow the globals; fill the offsets in later.
    QVector<int> sheetOffsetAt;
    for (const Sheet &s : sheets) {
        QByteArray b;
        put32(b, 0);
        b.append(char(0));
        b.append(char(0));
        b.append(char(s.name.size()));
        b.append(char(1));
        for (QChar c : s.name)
            put16(b, c.unicode());
        sheetOffsetAt.append(globals.size() + 4);
        record(globals, 0x0085, b);
    }

    // The string table, continued in further records before it would overflow one.
    {
        QByteArray body;
        put32(body, total);
        put32(body, quint32(strings.size()));
        quint16 type = 0x00FC;
        for (const QString &s : strings) {
            const QByteArray u = unicodeString(s);
            if (body.size() + u.size() > 8224) {
                record(globals, type, body);
                body.clear();
                type = 0x003C;
            }
            body.append(u);
        }
        record(globals, type, body);
    }
    record(globals, 0x000A, QByteArray());

    QByteArray stream = globals;
    for (int si = 0; si < sheets.size(); ++si) {
        const Sheet &s = sheets.at(si);
        qToLittleEndian(quint32(stream.size()), stream.data() + sheetOffsetAt.at(si));
        record(stream, 0x0809, bof(0x0010));
        int columns = 0;
        for (const Row &r : s.rows)
            columns = std::max(columns, int(r.size()));
        QByteArray dim;
        put32(dim, 0);
        put32(dim, quint32(s.rows.size()));
        put16(dim, 0);
        put16(dim, quint16(columns));
        put16(dim, 0);
        record(stream, 0x0200, dim);
        for (int r = 0; r < s.rows.size(); ++r) {
            const Row &row = s.rows.at(r);
            for (int c = 0; c < row.size(); ++c) {
                const Cell &cell = row.at(c);
                QByteArray b;
                put16(b, quint16(r));
                put16(b, quint16(c));
                if (const QString *t = std::get_if<QString>(&cell)) {
                    if (t->isEmpty())
                        continue; // an empty text is a blank cell
                    put16(b, 16);
                    put32(b, index.at(*t));
                    record(stream, 0x00FD, b);
                } else if (const double *d = std::get_if<double>(&cell)) {
                    put16(b, 16);
                    putDouble(b, *d);
                    record(stream, 0x0203, b);
                } else if (const Date *dt = std::get_if<Date>(&cell)) {
                    put16(b, 17);
                    putDouble(b, dt->serial);
                    record(stream, 0x0203, b);
                } else if (const Formula *f = std::get_if<Formula>(&cell)) {
                    put16(b, f->shownAsDate ? 17 : 16);
                    const QString *text = std::get_if<QString>(&f->result);
                    if (const double *n = std::get_if<double>(&f->result)) {
                        putDouble(b, *n);
                    } else {
                        // Not a number: a type byte, the value, and 0xFFFF in the top bytes.
                        const Error *e = std::get_if<Error>(&f->result);
                        b.append(char(text ? 0 : 2));
                        b.append(char(0));
                        b.append(char(e ? e->code : 0));
                        b.append(3, '\0');
                        put16(b, 0xFFFF);
                    }
                    put16(b, 0); // options
                    put32(b, 0);
                    put16(b, 3); // the formula: the integer 1 (ptgInt)
                    b.append(char(0x1E));
                    put16(b, 1);
                    record(stream, 0x0006, b);
                    if (text) { // a text result follows in a record of its own
                        QByteArray str;
                        put16(str, quint16(text->size()));
                        str.append(char(1));
                        for (QChar c : *text)
                            put16(str, c.unicode());
                        record(stream, 0x0207, str);
                    }
                }
            }
        }
        record(stream, 0x000A, QByteArray());
    }
    return stream;
}

// Wraps a stream named "Workbook" in a compound file (version 3, 512-byte sectors).
inline QByteArray compoundFile(QByteArray stream)
{
    using namespace detail;
    const quint32 streamSize = quint32(stream.size());
    // Streams under 4096 bytes would belong in the mini stream; pad the sectors instead.
    const int sectorBytes = std::max(4096, int((stream.size() + 511) / 512 * 512));
    stream.append(sectorBytes - stream.size(), '\0');
    const quint32 streamSectors = quint32(sectorBytes / 512);
    quint32 fatSectors = 1;
    while ((streamSectors + 1 + fatSectors + 127) / 128 > fatSectors)
        ++fatSectors;
    Q_ASSERT(fatSectors <= 109);
    const quint32 dirSector = streamSectors;
    const quint32 firstFat = streamSectors + 1;

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(16, '\0');
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header.append(6, '\0');
    put32(header, 0); // directory sectors (always 0 in version 3)
    put32(header, fatSectors);
    put32(header, dirSector);
    put32(header, 0);
    put32(header, 4096);
    put32(header, 0xFFFFFFFE); // no mini FAT
    put32(header, 0);
    put32(header, 0xFFFFFFFE); // no further FAT index sectors
    put32(header, 0);
    for (quint32 i = 0; i < 109; ++i)
        put32(header, i < fatSectors ? firstFat + i : 0xFFFFFFFF);

    auto entry = [](const QString &name, quint8 type, quint32 child, quint32 start, quint32 size) {
        QByteArray e;
        for (QChar c : name)
            put16(e, c.unicode());
        e.append(64 - e.size(), '\0');
        put16(e, name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
        e.append(char(type));
        e.append(char(1)); // black
        put32(e, 0xFFFFFFFF);
        put32(e, 0xFFFFFFFF);
        put32(e, child);
        e.append(16 + 4 + 8 + 8, '\0');
        put32(e, start);
        put32(e, size);
        put32(e, 0);
        return e;
    };
    QByteArray dir;
    dir.append(entry(QStringLiteral("Root Entry"), 5, 1, 0xFFFFFFFE, 0));
    dir.append(entry(QStringLiteral("Workbook"), 2, 0xFFFFFFFF, 0, streamSize));
    dir.append(entry(QString(), 0, 0xFFFFFFFF, 0, 0));
    dir.append(entry(QString(), 0, 0xFFFFFFFF, 0, 0));

    QByteArray fat;
    for (quint32 i = 0; i < streamSectors; ++i)
        put32(fat, i + 1 < streamSectors ? i + 1 : 0xFFFFFFFE);
    put32(fat, 0xFFFFFFFE); // directory
    for (quint32 i = 0; i < fatSectors; ++i)
        put32(fat, 0xFFFFFFFD);
    while (fat.size() < int(fatSectors * 512))
        put32(fat, 0xFFFFFFFF);

    return header + stream + dir + fat;
}

inline QByteArray workbook(const QVector<Sheet> &sheets, const Options &options = {})
{
    return compoundFile(workbookStream(sheets, options));
}

// A workbook with one sheet: a heading row followed by the given rows.
inline QByteArray customerWorkbook(const QVector<Row> &dataRows, const QString &sheetName = QStringLiteral("Sheet1"))
{
    Sheet s;
    s.name = sheetName;
    s.rows.append(Row{QStringLiteral("客户名称"), QStringLiteral("帐号"), QStringLiteral("开户行"),
                      QStringLiteral("省/市"), QStringLiteral("市/县")});
    s.rows += dataRows;
    return workbook({s});
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace xlstest
