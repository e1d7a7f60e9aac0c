#include "text/pinyin.h"

#include <QDebug>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace text {

namespace {

static_assert(sizeof(wchar_t) == 4, "code points are handed to iconv as 32-bit wchar_t");

// One conversion handle per thread: an iconv handle carries state and must not be shared,
// and opening one costs far more than converting a character.
class Gbk
{
public:
    Gbk() : cd_(iconv_open("CP936", "WCHAR_T"))
    {
        if (cd_ == iconv_t(-1))
            qWarning("text: no CP936 conversion in this C library; initials will read '?'");
    }
    ~Gbk()
    {
        if (cd_ != iconv_t(-1))
            iconv_close(cd_);
    }
    Gbk(const Gbk &) = delete;
    Gbk &operator=(const Gbk &) = delete;

    std::optional<quint16> code(char32_t cp)
    {
        if (cd_ == iconv_t(-1))
            return std::nullopt;
        wchar_t in = wchar_t(cp);
        char out[4];
        char *inp = reinterpret_cast<char *>(&in);
        char *outp = out;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &inp, &inLeft, &outp, &outLeft) == size_t(-1)) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return std::nullopt;
        }
        const size_t n = sizeof out - outLeft;
        const auto *b = reinterpret_cast<const unsigned char *>(out);
        if (n == 1)
            return quint16(b[0]);
        if (n == 2)
            return quint16(b[0] << 8 | b[1]);
        return std::nullopt;
    }

private:
    iconv_t cd_;
};

Gbk &gbk()
{
    thread_local Gbk g;
    return g;
}

struct Boundary {
    quint16 code;
    char16_t letter;
};

// The first GB 2312 character of each initial; I, U and V begin no reading.
constexpr Boundary kBoundaries[] = {
    {0xB0A1, u'A'}, // 啊
    {0xB0C5, u'B'}, // 芭
    {0xB2C1, u'C'}, // 擦
    {0xB4EE, u'D'}, // 搭
    {0xB6EA, u'E'}, // 蛾
    {0xB7A2, u'F'}, // 发
    {0xB8C1, u'G'}, // 噶
    {0xB9FE, u'H'}, // 哈
    {0xBBF7, u'J'}, // 击
    {0xBFA6, u'K'}, // 喀
    {0xC0AC, u'L'}, // 垃
    {0xC2E8, u'M'}, // 妈
    {0xC4C3, u'N'}, // 拿
    {0xC5B6, u'O'}, // 哦
    {0xC5BE, u'P'}, // 啪
    {0xC6DA, u'Q'}, // 期
    {0xC8BB, u'R'}, // 然
    {0xC8F6, u'S'}, // 撒
    {0xCBFA, u'T'}, // 塌
    {0xCDDA, u'W'}, // 挖
    {0xCEF4, u'X'}, // 昔
    {0xD1B9, u'Y'}, // 压
    {0xD4D1, u'Z'}, // 匝, and everything above: level 2 is ordered by radical, not reading
};

char16_t letterOfTwoByte(quint16 code)
{
    const auto next = std::upper_bound(std::begin(kBoundaries), std::end(kBoundaries), code,
                                       [](quint16 c, const Boundary &b) { return c < b.code; });
    return next == std::begin(kBoundaries) ? u'0' : std::prev(next)->letter;
}

// One unit of the initials, for the code point cp. Every unit is a single UTF-16 unit: the only
// characters passed through are one-byte ones, and no supplementary character has a GBK code.
QChar initialOf(char32_t cp)
{
    if (cp < 0x80) {
        const char32_t upper = (cp >= U'a' && cp <= U'z') ? cp - 32 : cp;
        return QChar(char16_t((upper >= U'A' && upper <= U'Z') ? upper : cp));
    }
    const std::optional<quint16> code = gbkCode(cp);
    if (!code)
        return QLatin1Char('?');
    if (*code < 0x8000)
        return QChar(char16_t(cp)); // a one-byte character beyond ASCII (the euro sign)
    return QChar(letterOfTwoByte(*code));
}

// The code point starting at position i and the number of UTF-16 units it takes.
char32_t codePointAt(const QString &s, int i, int &units)
{
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, s[i + 1]);
    }
    units = 1;
    return c.unicode();
}

} // namespace

std::optional<quint16> gbkCode(char32_t codePoint)
{
    if (codePoint < 0x80)
        return quint16(codePoint);
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        return std::nullopt;
    return gbk().code(codePoint);
}

char16_t levelOneInitial(char32_t codePoint)
{
    const std::optional<quint16> code = codePoint < 0x80 ? std::nullopt : gbkCode(codePoint);
    // Level 1: rows 16 to 55 of GB 2312, lead bytes 0xB0 to 0xD7, trail bytes 0xA1 to 0xFE.
    if (!code || *code < 0xB0A1 || *code > 0xD7FE || (*code & 0xFF) < 0xA1 || (*code & 0xFF) > 0xFE)
        return 0;
    return letterOfTwoByte(*code);
}

QString py(const QString &ch)
{
    if (ch.isEmpty())
        return QString();
    int units = 0;
    return QString(initialOf(codePointAt(ch, 0, units)));
}

QString initials(const QString &name)
{
    QString out;
    out.reserve(name.size());
    int units = 0;
    for (int i = 0; i < name.size(); i += units)
        out += initialOf(codePointAt(name, i, units));
    return out;
}

} // namespace text
