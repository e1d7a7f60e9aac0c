#include "text/readings.h"

#include "text/pinyin.h"
#include "text/readingtable.h"

#include <QVector>

#include <vector>

namespace text {

namespace {

constexpr quint32 kLetterBits = (1u << 26) - 1;

// A capital letter or digit for an ASCII letter or digit; 0 for anything else.
char16_t asciiInitial(char32_t cp)
{
    if (cp >= U'a' && cp <= U'z')
        return char16_t(cp - 32);
    if ((cp >= U'A' && cp <= U'Z') || (cp >= U'0' && cp <= U'9'))
        return char16_t(cp);
    return 0;
}

// The symbol a byte of a typed text or a readings form stands for, whatever its case: 0 to 25 for
// the letters, 26 to 35 for the digits, -1 for anything else.
int symbolOf(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= '0' && c <= '9')
        return 26 + (c - '0');
    return -1;
}

// A capital letter or a digit opens a group of a readings form; small letters add to it.
bool opensGroup(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

} // namespace

CharacterReadings readingsOf(char32_t codePoint)
{
    const quint32 e = readingtable::entry(codePoint);
    if (!(e & kLetterBits))
        return {};
    return {e & kLetterBits, char16_t(u'A' + (e >> 26) - 1)};
}

QString readingSets(const QString &name)
{
    QString out;
    out.reserve(name.size() * 2);
    for (const uint cp : name.toUcs4()) {
        if (const char16_t c = asciiInitial(cp)) {
            out += QChar(c);
            continue;
        }
        if (cp < 0x80)
            continue;
        if (CharacterReadings r = readingsOf(cp); r.letters) {
            // Of several readings, the one GB 2312 orders the character by is the one a clerk
            // meets first (长沙 CS, 银行 YX is what a dictionary's own order gives for 行 too).
            if ((r.letters & (r.letters - 1)) != 0)
                if (const char16_t first = levelOneInitial(cp); first >= u'A' && first <= u'Z'
                                                                && (r.letters >> (first - u'A') & 1))
                    r.common = first;
            out += QChar(r.common);
            for (int n = 0; n < 26; ++n)
                if ((r.letters >> n & 1) && u'A' + n != r.common)
                    out += QChar(char16_t(u'a' + n));
            continue;
        }
        // Full-width and other compatibility forms of letters and digits (Ａ, １, ①).
        const char32_t one[] = {char32_t(cp)};
        const QString folded = QString::fromUcs4(one, 1).normalized(QString::NormalizationForm_KD);
        if (!folded.isEmpty())
            if (const char16_t c = asciiInitial(folded.at(0).unicode()))
                out += QChar(c);
    }
    return out;
}

QString commonInitials(const QString &sets)
{
    QString out;
    out.reserve(sets.size());
    for (const QChar c : sets)
        if (c.unicode() < 0x80 && opensGroup(uchar(c.unicode())))
            out += c;
    return out;
}

QString readingInitials(const QString &name) { return commonInitials(readingSets(name)); }

InitialsPattern::InitialsPattern(const QByteArray &typed)
{
    m_symbols.reserve(typed.size());
    for (const char c : typed) {
        const int s = symbolOf(uchar(c));
        if (s < 0) {
            m_impossible = true;
            return;
        }
        if (m_symbols.size() < 64)
            m_masks[s] |= quint64(1) << m_symbols.size();
        m_symbols += char(s);
    }
}

bool InitialsPattern::foundIn(const QString &sets) const
{
    const QByteArray bytes = sets.toLatin1();
    return foundIn(bytes.constData(), int(bytes.size()));
}

// Shift-and: bit i of state is set when typed positions 0..i match the groups ending with the last
// one closed, so one pass over the form tests every position at once.
bool InitialsPattern::foundIn(const char *sets, int length) const
{
    if (m_impossible)
        return false;
    const int n = int(m_symbols.size());
    if (n == 0)
        return true;
    if (n > 64)
        return foundByGroups(sets, length);
    const quint64 last = quint64(1) << (n - 1);
    quint64 state = 0;
    quint64 group = 0; // the typed positions the open group's initials can take
    bool open = false;
    for (int i = 0; i <= length; ++i) {
        const uchar c = i < length ? uchar(sets[i]) : 0;
        if (open && c >= 'a' && c <= 'z') {
            group |= m_masks[c - 'a'];
            continue;
        }
        if (open) {
            state = ((state << 1) | 1) & group;
            if (state & last)
                return true;
            open = false;
        }
        if (opensGroup(c)) {
            group = m_masks[symbolOf(c)];
            open = true;
        }
    }
    return false;
}

// The same search for typed texts longer than the masks hold: each group as the set of its
// symbols, tried from every group on.
bool InitialsPattern::foundByGroups(const char *sets, int length) const
{
    std::vector<quint64> groups;
    bool open = false;
    for (int i = 0; i < length; ++i) {
        const uchar c = uchar(sets[i]);
        if (opensGroup(c)) {
            groups.push_back(quint64(1) << symbolOf(c));
            open = true;
        } else if (open && c >= 'a' && c <= 'z') {
            groups.back() |= quint64(1) << symbolOf(c);
        } else {
            open = false;
        }
    }
    const size_t n = size_t(m_symbols.size());
    for (size_t start = 0; start + n <= groups.size(); ++start) {
        size_t i = 0;
        while (i < n && (groups[start + i] >> m_symbols[int(i)] & 1))
            ++i;
        if (i == n)
            return true;
    }
    return false;
}

} // namespace text
