#include "sheets/quickxml.h"

#include <cstring>

namespace sheets {

namespace {

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
// Between the parts of a tag a carriage return is mere space; in text it is not plain (see appendText).
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isXmlCharacter(char32_t u)
{
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD)
        || (u >= 0x10000 && u <= 0x10FFFF);
}

QLatin1StringView view(const char *from, const char *to) { return QLatin1StringView(from, to - from); }

} // namespace

QuickXml::QuickXml(const QByteArray &bytes, int maxDepth)
    : m_p(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_maxDepth(maxDepth)
{
}

QStringView QuickXml::attribute(QLatin1StringView qualifiedName) const
{
    for (const Attribute &a : m_attributes)
        if (a.name == qualifiedName)
            return a.value;
    return {};
}

void QuickXml::skipSpace()
{
    while (m_p < m_end && isSpace(*m_p))
        ++m_p;
}

QXmlStreamReader::TokenType QuickXml::next()
{
    switch (m_state) {
    case State::Unsure:
        return QXmlStreamReader::Invalid;
    case State::Done:
        return QXmlStreamReader::EndDocument;
    case State::PendingEnd:
        // The end of an empty element <a/>, reported as its own token.
        m_name = m_open.back();
        m_open.pop_back();
        m_attributes.clear();
        m_state = m_open.isEmpty() ? State::Done : State::Content;
        return QXmlStreamReader::EndElement;
    case State::Prolog:
        if (m_end - m_p >= 5 && std::memcmp(m_p, "<?xml", 5) == 0 && !declaration())
            return unsure();
        skipSpace();
        if (m_p >= m_end || *m_p != '<' || !startTag())
            return unsure();
        return QXmlStreamReader::StartElement;
    case State::Content:
        break;
    }
    if (m_p >= m_end)
        return unsure(); // the root never closed
    if (*m_p != '<')
        return characters() ? QXmlStreamReader::Characters : unsure();
    if (m_p + 1 < m_end && m_p[1] == '/')
        return endTag() ? QXmlStreamReader::EndElement : unsure();
    return startTag() ? QXmlStreamReader::StartElement : unsure();
}

// <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, each after the version optional.
bool QuickXml::declaration()
{
    m_p += 5;
    const char *const names[] = {"version", "encoding", "standalone"};
    int seen = 0;
    for (;;) {
        const char *before = m_p;
        skipSpace();
        if (m_end - m_p >= 2 && m_p[0] == '?' && m_p[1] == '>') {
            m_p += 2;
            return seen >= 1;
        }
        if (m_p == before)
            return false;
        QLatin1StringView name;
        if (!readName(&name))
            return false;
        int which = seen;
        while (which < 3 && name != QLatin1StringView(names[which]))
            ++which;
        if (which == 3 || (seen == 0 && which != 0))
            return false;
        seen = which + 1;
        skipSpace();
        if (m_p >= m_end || *m_p != '=')
            return false;
        ++m_p;
        skipSpace();
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const char quote = *m_p++;
        const char *value = m_p;
        while (m_p < m_end && *m_p != quote)
            ++m_p;
        if (m_p >= m_end)
            return false;
        const QLatin1StringView v = view(value, m_p++);
        const bool ok = which == 0   ? v == QLatin1StringView("1.0")
                        : which == 1 ? v.compare(QLatin1StringView("UTF-8"), Qt::CaseInsensitive) == 0
                                     : v == QLatin1StringView("yes") || v == QLatin1StringView("no");
        if (!ok)
            return false;
    }
}

bool QuickXml::readName(QLatin1StringView *name)
{
    const char *from = m_p;
    if (m_p >= m_end || !isNameStart(*m_p))
        return false;
    ++m_p;
    while (m_p < m_end && (isNameChar(*m_p) || *m_p == ':'))
        ++m_p;
    *name = view(from, m_p);
    return true;
}

bool QuickXml::startTag()
{
    ++m_p; // '<'
    m_attributes.clear();
    if (m_p < m_end && (*m_p == '!' || *m_p == '?'))
        return false; // comment, CDATA, document type, processing instruction
    QLatin1StringView name;
    if (!readName(&name) || name.contains(QLatin1Char(':')))
        return false;
    const bool root = m_open.isEmpty();
    bool empty = false;
    for (;;) {
        const char *before = m_p;
        skipSpace();
        if (m_p >= m_end)
            return false;
        if (*m_p == '>') {
            ++m_p;
            break;
        }
        if (*m_p == '/') {
            if (m_p + 1 >= m_end || m_p[1] != '>')
                return false;
            m_p += 2;
            empty = true;
            break;
        }
        if (m_p == before)
            return false; // attributes run together
        Attribute a;
        if (!readName(&a.name))
            return false;
        skipSpace();
        if (m_p >= m_end || *m_p != '=')
            return false;
        ++m_p;
        skipSpace();
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const char quote = *m_p++;
        const char *value = m_p;
        while (m_p < m_end && *m_p != quote)
            ++m_p;
        if (m_p >= m_end || !appendText(value, m_p, true, &a.value))
            return false;
        ++m_p;
        for (const Attribute &other : std::as_const(m_attributes))
            if (other.name == a.name)
                return false;
        const qsizetype colon = a.name.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            if (a.name.left(colon) == QLatin1StringView("xmlns")) {
                if (!root || a.value.isEmpty())
                    return false;
                m_prefixes.append(a.name.mid(colon + 1));
            }
        }
        m_attributes.append(std::move(a));
    }
    // A prefix must be declared, as the full reader insists; only the root's declarations count here.
    for (const Attribute &a : std::as_const(m_attributes)) {
        const qsizetype colon = a.name.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QLatin1StringView prefix = a.name.left(colon), local = a.name.mid(colon + 1);
        if (local.isEmpty() || local.contains(QLatin1Char(':')) || !isNameStart(local.front().toLatin1()))
            return false;
        if (prefix == QLatin1StringView("xmlns") || prefix == QLatin1StringView("xml"))
            continue;
        if (!m_prefixes.contains(prefix))
            return false;
    }
    m_open.append(name);
    if (m_open.size() > m_maxDepth)
        return false;
    m_name = name;
    m_state = empty ? State::PendingEnd : State::Content;
    return true;
}

bool QuickXml::endTag()
{
    m_p += 2; // "</"
    QLatin1StringView name;
    if (!readName(&name) || m_open.isEmpty() || name != m_open.back())
        return false;
    skipSpace();
    if (m_p >= m_end || *m_p != '>')
        return false;
    ++m_p;
    m_open.pop_back();
    m_attributes.clear();
    m_name = name;
    if (m_open.isEmpty())
        m_state = State::Done;
    return true;
}

bool QuickXml::characters()
{
    const char *from = m_p;
    const char *lt = static_cast<const char *>(std::memchr(m_p, '<', size_t(m_end - m_p)));
    if (!lt)
        return false; // the root never closed
    m_p = lt;
    m_text.clear();
    return appendText(from, lt, false, &m_text);
}

// Text between from and to, entities resolved, onto out; false where it is not plain.
bool QuickXml::appendText(const char *from, const char *to, bool attribute, QString *out)
{
    const char *run = from;
    bool wide = false;
    const auto flush = [&](const char *until) {
        if (until == run)
            return true;
        if (!wide) {
            out->append(view(run, until));
            return true;
        }
        const QString decoded = QString::fromUtf8(run, until - run);
        for (QChar c : decoded) // not UTF-8 (U+FFFD) or no XML character (U+FFFE, U+FFFF)
            if (c.unicode() >= 0xFFFD)
                return false;
        out->append(decoded);
        return true;
    };
    for (const char *p = from; p < to; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            wide = true;
            continue;
        }
        if (c < 0x20) {
            if (attribute)
                return false; // a tab or line break in an attribute becomes a space
            if (c != '\n' && c != '\t')
                return false; // a carriage return is normalised, the other controls are no XML
            continue;
        }
        if (c == '<')
            return false;
        if (c == '>' && !attribute && p - from >= 2 && p[-1] == ']' && p[-2] == ']')
            return false; // "]]>" may not stand in text
        if (c != '&')
            continue;
        if (!flush(p))
            return false;
        wide = false;
        const char *semicolon = static_cast<const char *>(std::memchr(p, ';', size_t(std::min<qptrdiff>(to - p, 12))));
        if (!semicolon)
            return false;
        const QLatin1StringView entity = view(p + 1, semicolon);
        if (entity == QLatin1StringView("amp"))
            out->append(QLatin1Char('&'));
        else if (entity == QLatin1StringView("lt"))
            out->append(QLatin1Char('<'));
        else if (entity == QLatin1StringView("gt"))
            out->append(QLatin1Char('>'));
        else if (entity == QLatin1StringView("quot"))
            out->append(QLatin1Char('"'));
        else if (entity == QLatin1StringView("apos"))
            out->append(QLatin1Char('\''));
        else if (entity.size() >= 2 && entity.front() == QLatin1Char('#')) {
            const bool hex = entity.at(1) == QLatin1Char('x');
            const QLatin1StringView digits = entity.mid(hex ? 2 : 1);
            if (digits.isEmpty() || digits.size() > 8)
                return false;
            char32_t code = 0;
            for (QChar d : digits) {
                const char16_t u = d.unicode();
                const int v = u >= '0' && u <= '9'           ? u - '0'
                              : hex && u >= 'a' && u <= 'f' ? u - 'a' + 10
                              : hex && u >= 'A' && u <= 'F' ? u - 'A' + 10
                                                             : -1;
                if (v < 0)
                    return false;
                code = code * (hex ? 16 : 10) + char32_t(v);
            }
            if (!isXmlCharacter(code))
                return false;
            const char32_t one[] = {code};
            out->append(QString::fromUcs4(one, 1));
        } else {
            return false; // an entity only a document type could define
        }
        p = semicolon;
        run = semicolon + 1;
    }
    return flush(to);
}

} // namespace sheets
