#pragma once
// Reads back what the export wrote: the parts of an .xlsx file (a zip archive, read with zlib)
// and the cells of its first sheet, so the tests need no spreadsheet program.

#include <QDate>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QStringList>
#include <QXmlStreamReader>

#include <zlib.h>

class XlsxFile {
public:
    struct Cell {
        QString type;  // the t attribute: "inlineStr", "s", "str", or empty for a number
        QString value; // the text, or the number as written
        int style = 0;
        bool formula = false;
    };

    explicit XlsxFile(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        m_zip = f.readAll();
        m_valid = readDirectory();
        if (m_valid)
            readSheet();
    }

    bool isValid() const { return m_valid; }
    QStringList parts() const { return m_entries.keys(); }
    QByteArray part(const QString &name) const
    {
        const auto it = m_entries.find(name);
        if (it == m_entries.end())
            return {};
        const Entry &e = *it;
        const int local = int(e.offset);
        if (u32(local) != 0x04034b50)
            return {};
        const int data = local + 30 + u16(local + 26) + u16(local + 28);
        const QByteArray packed = m_zip.mid(data, int(e.packedSize));
        if (e.method == 0)
            return packed;
        QByteArray out(int(e.size), '\0');
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return {};
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
        z.avail_in = uInt(packed.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        const int rc = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return rc == Z_STREAM_END ? out : QByteArray();
    }

    // Cells of the first sheet by reference ("A1").
    const QMap<QString, Cell> &cells() const { return m_cells; }
    Cell cell(const QString &ref) const { return m_cells.value(ref); }
    QString text(const QString &ref) const { return m_cells.value(ref).value; }
    int lastRow() const { return m_lastRow; }

    // The number format of a cell style (xl/styles.xml: cellXfs, numFmts).
    QString numberFormat(int style) const
    {
        QXmlStreamReader xml(part(QStringLiteral("xl/styles.xml")));
        QHash<int, QString> formats;
        QList<int> xfFormats;
        bool inXfs = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("numFmt"))
                formats.insert(xml.attributes().value("numFmtId").toInt(),
                               xml.attributes().value("formatCode").toString());
            else if (xml.isStartElement() && xml.name() == QLatin1String("cellXfs"))
                inXfs = true;
            else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs"))
                inXfs = false;
            else if (inXfs && xml.isStartElement() && xml.name() == QLatin1String("xf"))
                xfFormats << xml.attributes().value("numFmtId").toInt();
        }
        return formats.value(xfFormats.value(style, -1));
    }

    // A date cell's value as a calendar date (the sheet counts days from 1899-12-30).
    static QDate serialDate(const QString &value)
    {
        bool ok = false;
        const double days = value.toDouble(&ok);
        return ok ? QDate(1899, 12, 30).addDays(qint64(days)) : QDate();
    }

private:
    struct Entry {
        quint32 offset = 0, packedSize = 0, size = 0;
        int method = 0;
    };

    quint32 u16(int at) const
    {
        return quint8(m_zip.at(at)) | quint32(quint8(m_zip.at(at + 1))) << 8;
    }
    quint32 u32(int at) const { return at + 4 <= m_zip.size() ? u16(at) | u16(at + 2) << 16 : 0; }

    bool readDirectory()
    {
        int end = -1;
        for (int i = int(m_zip.size()) - 22; i >= 0 && i >= int(m_zip.size()) - 22 - 65535; --i)
            if (u32(i) == 0x06054b50) {
                end = i;
                break;
            }
        if (end < 0)
            return false;
        const int count = int(u16(end + 10));
        int at = int(u32(end + 16));
        for (int n = 0; n < count; ++n) {
            if (u32(at) != 0x02014b50)
                return false;
            Entry e;
            e.method = int(u16(at + 10));
            e.packedSize = u32(at + 20);
            e.size = u32(at + 24);
            const int nameLength = int(u16(at + 28));
            e.offset = u32(at + 42);
            m_entries.insert(QString::fromUtf8(m_zip.mid(at + 46, nameLength)), e);
            at += 46 + nameLength + int(u16(at + 30)) + int(u16(at + 32));
        }
        return true;
    }

    void readSheet()
    {
        QStringList shared;
        QXmlStreamReader sst(part(QStringLiteral("xl/sharedStrings.xml")));
        while (!sst.atEnd()) {
            sst.readNext();
            if (sst.isStartElement() && sst.name() == QLatin1String("t"))
                shared << sst.readElementText();
        }
        QXmlStreamReader xml(part(QStringLiteral("xl/worksheets/sheet1.xml")));
        QString ref;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("row")) {
                m_lastRow = std::max(m_lastRow, xml.attributes().value("r").toInt());
            } else if (xml.name() == QLatin1String("c")) {
                ref = xml.attributes().value("r").toString();
                Cell c;
                c.type = xml.attributes().value("t").toString();
                c.style = xml.attributes().value("s").toInt();
                m_cells.insert(ref, c);
            } else if (xml.name() == QLatin1String("f")) {
                m_cells[ref].formula = true;
            } else if (xml.name() == QLatin1String("v") || xml.name() == QLatin1String("t")) {
                Cell &c = m_cells[ref];
                c.value = xml.readElementText();
                if (c.type == QLatin1String("s"))
                    c.value = shared.value(c.value.toInt());
            }
        }
    }

    QByteArray m_zip;
    bool m_valid = false;
    QMap<QString, Entry> m_entries;
    QMap<QString, Cell> m_cells;
    int m_lastRow = 0;
};
