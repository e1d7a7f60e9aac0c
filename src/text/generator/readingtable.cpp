// Writes the table of reading initials that text/readings.cpp looks characters up in, from the
// readings of the Unicode Han database (Unihan_Readings.txt, plain or bzip2-compressed), at build
// time: the program never reads the database itself.
//   readingtable <Unihan_Readings.txt[.bz2]> <output.cpp>
//
// A character's readings are those of kXHC1983 (the modern standard dictionary); where it has
// none, those of kHanyuPinyin. kMandarin, the most customary reading, is always among them and is
// the character's common reading; without it, the first of the others is. A compatibility
// ideograph without readings of its own takes those of the character it stands for.

#include <QByteArray>
#include <QChar>
#include <QFile>
#include <QList>
#include <QString>

#include <bzlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "readingtable: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    QByteArray data = f.readAll();
    if (!path.endsWith(QLatin1String(".bz2")))
        return data;
    bz_stream s{};
    if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK)
        fail(QStringLiteral("bzip2 cannot start"));
    QByteArray out;
    char buffer[1 << 16];
    s.next_in = data.data();
    s.avail_in = unsigned(data.size());
    int rc = BZ_OK;
    while (rc == BZ_OK) {
        s.next_out = buffer;
        s.avail_out = sizeof buffer;
        rc = BZ2_bzDecompress(&s);
        if (rc != BZ_OK && rc != BZ_STREAM_END)
            fail(QStringLiteral("%1 is not a complete bzip2 file (%2)").arg(path).arg(rc));
        out.append(buffer, int(sizeof buffer - s.avail_out));
        if (rc == BZ_OK && s.avail_in == 0 && s.avail_out != 0)
            fail(QStringLiteral("%1 ends inside its bzip2 stream").arg(path));
    }
    BZ2_bzDecompressEnd(&s);
    return out;
}

struct Fields {
    QList<QByteArray> xhc, hanyu, mandarin; // readings, in the order the database gives them
};

// "0121.040:cháng 1456.020:zhǎng": one reading after each colon.
void addXhc(const QByteArray &value, Fields &f)
{
    for (const QByteArray &entry : value.split(' '))
        if (const int colon = entry.indexOf(':'); colon >= 0)
            f.xhc << entry.mid(colon + 1);
}

// "63680.020:zhòng,chóng,tóng": readings separated by commas after each colon.
void addHanyu(const QByteArray &value, Fields &f)
{
    for (const QByteArray &entry : value.split(' '))
        if (const int colon = entry.indexOf(':'); colon >= 0)
            f.hanyu << entry.mid(colon + 1).split(',');
}

// The initial of a reading written with tone marks ("ǎn", "ḿ"): its first letter, unmarked, as
// 0 for A up to 25 for Z.
int initialOf(const QByteArray &reading, char32_t cp)
{
    const QString s = QString::fromUtf8(reading).normalized(QString::NormalizationForm_D);
    const char16_t c = s.isEmpty() ? 0 : s.at(0).toUpper().unicode();
    if (c < u'A' || c > u'Z')
        fail(QStringLiteral("U+%1 has a reading that starts with no letter: %2")
                 .arg(uint(cp), 4, 16, QLatin1Char('0'))
                 .arg(QString::fromUtf8(reading)));
    return c - u'A';
}

// Bits 0 to 25: the initials of every reading; bits 26 to 30: the common reading's initial + 1.
quint32 entryOf(const Fields &f, char32_t cp)
{
    const QList<QByteArray> &readings = f.xhc.isEmpty() ? f.hanyu : f.xhc;
    quint32 letters = 0;
    for (const QByteArray &r : readings + f.mandarin)
        letters |= 1u << initialOf(r, cp);
    if (!letters)
        return 0;
    const QByteArray &common = !f.mandarin.isEmpty() ? f.mandarin.first() : readings.first();
    return letters | quint32(initialOf(common, cp) + 1) << 26;
}

QString hex(uint value, int width)
{
    return QStringLiteral("0x%1").arg(value, width, 16, QLatin1Char('0'));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        fail(QStringLiteral("usage: readingtable <Unihan_Readings.txt[.bz2]> <output.cpp>"));
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QByteArray text = readAll(input);

    QByteArray version;
    std::map<char32_t, Fields> fields;
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith("# Unicode version:"))
            version = line.mid(18).trimmed();
        if (!line.startsWith("U+"))
            continue;
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() != 3)
            fail(QStringLiteral("a line with other than three fields: %1").arg(QString::fromUtf8(line)));
        bool ok = false;
        const char32_t cp = parts.at(0).mid(2).toUInt(&ok, 16);
        if (!ok)
            fail(QStringLiteral("not a code point: %1").arg(QString::fromUtf8(parts.at(0))));
        if (cp > 0xFFFF)
            continue; // names are written in the Basic Multilingual Plane (GBK lies wholly within it)
        const QByteArray &field = parts.at(1);
        const QByteArray value = parts.at(2).trimmed();
        if (field == "kXHC1983")
            addXhc(value, fields[cp]);
        else if (field == "kHanyuPinyin")
            addHanyu(value, fields[cp]);
        else if (field == "kMandarin")
            fields[cp].mandarin = value.split(' ');
    }

    std::vector<quint32> entries(0x10000, 0);
    for (const auto &[cp, f] : fields)
        entries[cp] = entryOf(f, cp);
    for (char32_t cp = 0xF900; cp <= 0xFAFF; ++cp) {
        if (entries[cp] || QChar::decompositionTag(cp) != QChar::Canonical)
            continue;
        const QString unified = QChar::decomposition(cp);
        if (unified.size() == 1)
            entries[cp] = entries[unified.at(0).unicode()];
    }
    // The sanity of the input: the characters of 长沙 and 中国 must be there, or the file is not
    // what it claims to be.
    for (const char32_t cp : {U'长', U'沙', U'中', U'国'})
        if (!entries[cp])
            fail(QStringLiteral("%1 holds no reading for U+%2").arg(input).arg(uint(cp), 4, 16));

    // Distinct entries, 0 (no reading) first; each page of 256 code points as indices into them,
    // identical pages (the empty ones above all) written once.
    std::set<quint32> distinct(entries.begin(), entries.end());
    distinct.insert(0);
    const std::vector<quint32> palette(distinct.begin(), distinct.end());
    if (palette.size() > 0xFFFF)
        fail(QStringLiteral("too many distinct entries: %1").arg(palette.size()));
    std::vector<std::vector<quint16>> blocks{std::vector<quint16>(256, 0)};
    std::vector<int> pages(256);
    for (int page = 0; page < 256; ++page) {
        std::vector<quint16> block(256);
        for (int i = 0; i < 256; ++i)
            block[i] = quint16(std::lower_bound(palette.begin(), palette.end(), entries[page * 256 + i])
                               - palette.begin());
        const auto same = std::find(blocks.begin(), blocks.end(), block);
        pages[page] = int(same - blocks.begin());
        if (same == blocks.end())
            blocks.push_back(block);
    }
    if (blocks.size() > 256)
        fail(QStringLiteral("too many distinct pages: %1").arg(blocks.size()));
    const long characters = std::count_if(entries.begin(), entries.end(), [](quint32 e) { return e != 0; });

    QString out;
    out += QStringLiteral("// Written at build time by src/text/generator/readingtable.cpp from %1\n"
                          "// (Unicode %2): %3 characters, %4 distinct entries, %5 pages. Do not edit.\n\n")
               .arg(input.section(QLatin1Char('/'), -1), QString::fromLatin1(version))
               .arg(characters)
               .arg(palette.size())
               .arg(blocks.size());
    out += QStringLiteral("#include \"text/readingtable.h\"\n\nnamespace text::readingtable {\n\n");
    out += QStringLiteral("const quint32 kEntries[%1] = {").arg(palette.size());
    for (size_t i = 0; i < palette.size(); ++i)
        out += (i % 8 ? QStringLiteral(" ") : QStringLiteral("\n    ")) + hex(palette[i], 8) + QLatin1Char(',');
    out += QStringLiteral("\n};\n\nconst quint8 kPages[256] = {");
    for (int i = 0; i < 256; ++i)
        out += (i % 16 ? QStringLiteral(" ") : QStringLiteral("\n    ")) + QString::number(pages[i]) + QLatin1Char(',');
    out += QStringLiteral("\n};\n\nconst quint16 kBlocks[%1][256] = {\n").arg(blocks.size());
    for (const std::vector<quint16> &block : blocks) {
        out += QStringLiteral("    {");
        for (int i = 0; i < 256; ++i)
            out += (i % 16 ? QStringLiteral(" ") : QStringLiteral("\n        ")) + QString::number(block[i])
                   + QLatin1Char(',');
        out += QStringLiteral("\n    },\n");
    }
    out += QStringLiteral("};\n\n} // namespace text::readingtable\n");

    // Written whole under another name and renamed, so an interrupted build leaves no half table.
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile f(output + QStringLiteral(".part"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(out.toUtf8()) < 0 || !f.flush())
        fail(QStringLiteral("cannot write %1: %2").arg(f.fileName(), f.errorString()));
    f.close();
    QFile::remove(output);
    if (!QFile::rename(f.fileName(), output))
        fail(QStringLiteral("cannot rename %1 to %2").arg(f.fileName(), output));
    return 0;
}
