// The quick reader of plain XML against Qt's full XML reader: on every document it takes to the
// end, it must report what the full reader reports; everything else it must give up on.

#include "sheets/quickxml.h"
#include "printing.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int kDepth = 256;

// The tokens as one text: start tags with their depth and the attributes the full reader names,
// end tags, and the text between tags run together (either reader may split it). Empty when
// the full reader finds the document faulty. *names: each start tag's attribute names.
QString fullReading(const QByteArray &bytes, QVector<QStringList> *names)
{
    QXmlStreamReader xml(bytes);
    QString out, text;
    int depth = 0;
    const auto flush = [&] {
        if (!text.isEmpty())
            out += QStringLiteral("text[%1]\n").arg(text);
        text.clear();
    };
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference)
            return QString();
        if (t == QXmlStreamReader::StartElement) {
            flush();
            out += QStringLiteral("start %1 %2").arg(xml.name()).arg(++depth);
            QStringList attributes;
            for (const QXmlStreamAttribute &a : xml.attributes()) {
                out += QStringLiteral(" %1=[%2]").arg(a.qualifiedName(), a.value());
                attributes << a.qualifiedName().toString();
            }
            names->append(attributes);
            out += QLatin1Char('\n');
        } else if (t == QXmlStreamReader::EndElement) {
            flush();
            out += QStringLiteral("end %1\n").arg(xml.name());
            if (--depth == 0)
                return out; // what follows the root is never read
        } else if (t == QXmlStreamReader::Characters && depth > 0) {
            text += xml.text();
        }
    }
    return QString();
}

// The same from the quick reader, asking for the attributes the full reader named; empty when
// it gives up.
QString quickReading(const QByteArray &bytes, const QVector<QStringList> &names)
{
    sheets::QuickXml quick(bytes, kDepth);
    QString out, text;
    int starts = 0;
    for (;;) {
        const auto t = quick.next();
        if (t == QXmlStreamReader::Invalid)
            return QString();
        if (t == QXmlStreamReader::EndDocument)
            return out;
        if (t != QXmlStreamReader::Characters && !text.isEmpty()) {
            out += QStringLiteral("text[%1]\n").arg(text);
            text.clear();
        }
        if (t == QXmlStreamReader::StartElement) {
            out += QStringLiteral("start %1 %2").arg(quick.name()).arg(quick.depth());
            for (const QString &name : names.value(starts++))
                out += QStringLiteral(" %1=[%2]").arg(name, quick.attribute(QLatin1StringView(name.toLatin1())));
            out += QLatin1Char('\n');
        } else if (t == QXmlStreamReader::EndElement) {
            out += QStringLiteral("end %1\n").arg(quick.name());
        } else if (t == QXmlStreamReader::Characters) {
            text += quick.text();
        }
    }
}

const char *kSheet =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" mc:Ignorable=\"x14ac\" "
    "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
    "<dimension ref=\"A1:C3\"/><sheetData>"
    "<row r=\"1\" spans=\"1:3\" x14ac:dyDescent=\"0.25\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
    "<c r=\"B1\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> 甲 &amp; 乙 &lt;&gt; &quot;&apos; </t></is></c></row>"
    "<row r='2'><c r = 'A2' s=\"3\" ><v>12.5</v></c><c r=\"B2\" t=\"str\"><f>A2&amp;\"x\"</f><v>&#20013;&#x56FD;&#x1F600;</v></c></row>"
    "<row r=\"3\"><c r=\"C3\" t=\"inlineStr\"><is><t>line\none\ttab &gt; ]] > 😀 ＡＢ</t></is></c></row>"
    "</sheetData><pageMargins left=\"0.7\"/></worksheet>";

TEST(QuickXml, PlainDocumentsReadAsTheFullReaderReadsThem)
{
    const QByteArray sheet(kSheet);
    const QByteArray plain[] = {
        sheet,
        "<sst xmlns=\"m\" count=\"2\"><si><t>客户名称</t></si><si><r><t>东</t></r><rPh sb=\"0\"><t>トウ</t></rPh></si></sst>",
        "<?xml version='1.0'?><a/>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<a\r\nb=\"1\"\r\n>x</a\r\n>", // as Excel writes
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n<a >x<b\n c=\"1\"\n/>y</a >",
        "<a>&#9;&#10;&#13;&#xD7FF;&#xE000;&#xFFFD;&#x10FFFF;</a>",
        "<a x='\"' y=\"'\">></a>trailing garbage is never read <<<",
    };
    for (const QByteArray &document : plain) {
        QVector<QStringList> names;
        const QString full = fullReading(document, &names);
        ASSERT_FALSE(full.isEmpty()) << document.constData();
        EXPECT_EQ(quickReading(document, names), full) << document.constData();
    }
}

TEST(QuickXml, WhatIsNotPlainIsLeftToTheFullReader)
{
    const QByteArray sheet(kSheet);
    const struct {
        const char *why;
        QByteArray document;
    } cases[] = {
        {"document type", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>"},
        {"comment", "<a><!-- x --></a>"},
        {"CDATA", "<a><![CDATA[x]]></a>"},
        {"processing instruction", "<a><?pi x?></a>"},
        {"byte order mark", "\xEF\xBB\xBF<a/>"},
        {"declaration not first", " <?xml version=\"1.0\"?><a/>"},
        {"other encoding", "<?xml version=\"1.0\" encoding=\"GBK\"?><a/>"},
        {"other version", "<?xml version=\"1.1\"?><a/>"},
        {"carriage return in text", "<a>x\r\ny</a>"},
        {"carriage return in an attribute", "<a b=\"x\ry\"/>"},
        {"line break in an attribute", "<a b=\"x\ny\"/>"},
        {"tab in an attribute", "<a b=\"x\ty\"/>"},
        {"prefixed element", "<x:a xmlns:x=\"u\"/>"},
        {"undeclared prefix", "<a><b y:c=\"1\"/></a>"},
        {"prefix declared below the root", "<a><b xmlns:y=\"u\" y:c=\"1\"/></a>"},
        {"unknown entity", "<a>&nbsp;</a>"},
        {"entity without end", "<a>&amp</a>"},
        {"reference to no character", "<a>&#0;</a>"},
        {"reference to a surrogate", "<a>&#xD800;</a>"},
        {"reference to U+FFFE", "<a>&#xFFFE;</a>"},
        {"U+FFFE as bytes", "<a>\xEF\xBF\xBE</a>"},
        {"bytes that are no UTF-8", "<a>\xC4\xE3\xBA\xC3</a>"},
        {"an encoded surrogate", "<a>\xED\xA0\x80</a>"},
        {"control character", "<a>\x01</a>"},
        {"]]> in text", "<a>]]></a>"},
        {"< in an attribute", "<a b=\"<\"/>"},
        {"attributes run together", "<a b=\"1\"c=\"2\"/>"},
        {"attribute twice", "<a b=\"1\" b=\"2\"/>"},
        {"tags crossed", "<a><b></a></b>"},
        {"root never closed", "<a><b/>"},
        {"text before the root", "x<a/>"},
        {"too deep", QByteArray("<x>").repeated(kDepth + 1) + QByteArray("</x>").repeated(kDepth + 1)},
        {"sheet cut short", sheet.left(sheet.size() - 40)},
    };
    for (const auto &c : cases) {
        sheets::QuickXml quick(c.document, kDepth);
        auto t = quick.next();
        while (t != QXmlStreamReader::Invalid && t != QXmlStreamReader::EndDocument)
            t = quick.next();
        EXPECT_EQ(t, QXmlStreamReader::Invalid) << c.why;
    }
}

// Damaged copies of a plain sheet: whatever the quick reader takes to the end, the full reader
// must read alike. A single differing case would put a wrong text into the address book.
TEST(QuickXml, DamagedCopiesAreReadAlikeOrLeftAlone)
{
    const QByteArray sheet(kSheet);
    const QByteArray pieces[] = {"<", ">", "&", ";", "#", "x", "\"", "'", "=", "/", " ", ":", "\r", "\t", "\n",
                                 "!", "?", "a", "\xEF\xBF\xBE", "\xE4", "&#0;", "&amp;", "]]>", "</c>", "<c>"};
    std::mt19937 random(20261209);
    int taken = 0;
    for (int i = 0; i < 4000; ++i) {
        QByteArray copy = sheet;
        for (int edits = 1 + int(random() % 3); edits > 0; --edits) {
            const int at = int(random() % uint(copy.size()));
            const QByteArray &piece = pieces[random() % std::size(pieces)];
            switch (random() % 3) {
            case 0: copy.insert(at, piece); break;
            case 1: copy.remove(at, 1 + int(random() % 4)); break;
            default: copy.replace(at, 1, piece); break;
            }
        }
        QVector<QStringList> names;
        const QString full = fullReading(copy, &names);
        const QString quick = quickReading(copy, names);
        if (quick.isEmpty())
            continue;
        ++taken;
        ASSERT_EQ(quick, full) << copy.constData();
    }
    EXPECT_GT(taken, 400); // most damage leaves the document plain (a changed text or number)
}

} // namespace
