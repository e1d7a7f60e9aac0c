#pragma once
// A quick reader for the plain XML a spreadsheet program writes, beside Qt's full XML reader.

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QXmlStreamReader>

namespace sheets {

// Reads a whole UTF-8 XML part as a stream of start tags, end tags and text, as
// QXmlStreamReader reports them (same names, same depth, same texts), several times faster. It
// knows only what a workbook's parts use: an XML 1.0 declaration in UTF-8, elements without a
// prefix, attributes (prefixed ones declared on the root), the five named entities and
// character references. Anything else — a document type, a comment, CDATA, a processing
// instruction, a carriage return in text, a tab or line break inside an attribute, text that is no
// valid UTF-8 or no XML character, a tag out of place — makes next() answer Invalid, and the
// caller reads the part again with the full reader, which decides what it means. Invalid never
// means "damaged", only "not plain".
class QuickXml {
public:
    // The bytes must outlive the reader. maxDepth: deeper elements answer Invalid.
    QuickXml(const QByteArray &bytes, int maxDepth);

    QXmlStreamReader::TokenType next(); // StartElement, EndElement, Characters, EndDocument, Invalid

    QLatin1StringView name() const { return m_name; } // of the start or end tag just read
    int depth() const { return int(m_open.size()); }    // after a start tag: its depth (root 1)
    // An attribute of the start tag just read, by its name as written; empty when absent.
    QStringView attribute(QLatin1StringView qualifiedName) const;
    QStringView text() const { return m_text; } // of the text just read, entities resolved

private:
    QXmlStreamReader::TokenType unsure()
    {
        m_state = State::Unsure;
        return QXmlStreamReader::Invalid;
    }
    bool declaration();
    bool startTag();
    bool endTag();
    bool characters();
    bool readName(QLatin1StringView *name);
    bool appendText(const char *from, const char *to, bool attribute, QString *out);
    void skipSpace();

    enum class State { Prolog, Content, PendingEnd, Done, Unsure };
    struct Attribute {
        QLatin1StringView name;
        QString value;
    };

    const char *m_p;
    const char *m_end;
    int m_maxDepth;
    State m_state = State::Prolog;
    QLatin1StringView m_name;
    QString m_text;
    QVarLengthArray<QLatin1StringView, 32> m_open;
    QVarLengthArray<Attribute, 8> m_attributes;
    QVarLengthArray<QLatin1StringView, 16> m_prefixes; // declared on the root
};

} // namespace sheets
