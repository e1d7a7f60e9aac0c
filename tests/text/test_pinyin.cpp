#include "text/pinyin.h"

#include <QList>

#include <gtest/gtest.h>

#include <iconv.h>

#include <ostream>
#include <thread>
#include <vector>

// Readable failure output: gtest finds this for QString through its (global) namespace.
static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// The character with a given two-byte GBK code, so that tests can reach codes on either side of
// an interval boundary.
QString fromGbk(quint16 code)
{
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == iconv_t(-1))
        return QString();
    char in[2] = {char(code >> 8), char(code & 0xFF)};
    char out[8];
    char *inp = in;
    char *outp = out;
    size_t inLeft = 2;
    size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1);
    iconv_close(cd);
    return ok ? QString::fromUtf8(out, int(sizeof out - outLeft)) : QString();
}

TEST(Initials, NamesFromTheExamples)
{
    struct Row {
        const char *name;
        const char *initials;
    };
    const Row rows[] = {
        {"中国工商银行", "ZGGSYX"}, {"ABC公司", "ABCGS"}, {"3M中国", "3MZG"},
        {"a b(c)", "A B(C)"},       {"（北京）", "0BJ0"},  {"蓝石软件", "LSRJ"},
        {"", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(text::initials(QString::fromUtf8(r.name)), QString::fromUtf8(r.initials));
    }
}

TEST(Initials, BoundaryCharactersOpenTheirInterval)
{
    struct Row {
        const char *ch;
        quint16 code;
        char letter;
        char letterBelow; // of the code just under the boundary
    };
    const Row rows[] = {
        {"啊", 0xB0A1, 'A', '0'}, {"芭", 0xB0C5, 'B', 'A'}, {"擦", 0xB2C1, 'C', 'B'},
        {"搭", 0xB4EE, 'D', 'C'}, {"蛾", 0xB6EA, 'E', 'D'}, {"发", 0xB7A2, 'F', 'E'},
        {"噶", 0xB8C1, 'G', 'F'}, {"哈", 0xB9FE, 'H', 'G'}, {"击", 0xBBF7, 'J', 'H'},
        {"喀", 0xBFA6, 'K', 'J'}, {"垃", 0xC0AC, 'L', 'K'}, {"妈", 0xC2E8, 'M', 'L'},
        {"拿", 0xC4C3, 'N', 'M'}, {"哦", 0xC5B6, 'O', 'N'}, {"啪", 0xC5BE, 'P', 'O'},
        {"期", 0xC6DA, 'Q', 'P'}, {"然", 0xC8BB, 'R', 'Q'}, {"撒", 0xC8F6, 'S', 'R'},
        {"塌", 0xCBFA, 'T', 'S'}, {"挖", 0xCDDA, 'W', 'T'}, {"昔", 0xCEF4, 'X', 'W'},
        {"压", 0xD1B9, 'Y', 'X'}, {"匝", 0xD4D1, 'Z', 'Y'},
    };
    for (const Row &r : rows) {
        const QString ch = QString::fromUtf8(r.ch);
        SCOPED_TRACE(r.ch);
        EXPECT_EQ(text::gbkCode(ch.at(0).unicode()), r.code);
        EXPECT_EQ(text::py(ch), QString(QLatin1Char(r.letter)));
        const QString below = fromGbk(quint16(r.code - 1));
        ASSERT_EQ(below.size(), 1);
        EXPECT_EQ(text::py(below), QString(QLatin1Char(r.letterBelow)));
    }
}

TEST(Initials, CodesOutsideLevelOne)
{
    EXPECT_EQ(text::py(QStringLiteral("丂")), QStringLiteral("0")); // 0x8140, first extension
    EXPECT_EQ(text::py(QStringLiteral("骉")), QStringLiteral("Z")); // 0xF354, level 2
    EXPECT_EQ(text::py(QStringLiteral("ａ")), QStringLiteral("0")); // full-width letter
    EXPECT_EQ(text::py(QStringLiteral("１")), QStringLiteral("0")); // full-width digit
    EXPECT_EQ(text::py(QStringLiteral("é")), QStringLiteral("0"));  // 0xA8A6
    // Extension characters in lead bytes 0xB1 to 0xD4 take the letter of their interval.
    EXPECT_EQ(text::py(fromGbk(0xB140)), QStringLiteral("B"));
    EXPECT_EQ(text::py(fromGbk(0xC740)), QStringLiteral("Q"));
    EXPECT_EQ(text::py(fromGbk(0xD540)), QStringLiteral("Z"));
    EXPECT_EQ(text::py(fromGbk(0xFE4F)), QStringLiteral("Z"));
}

TEST(Initials, OneByteCharactersPassThroughExceptLetters)
{
    EXPECT_EQ(text::py(QStringLiteral("z")), QStringLiteral("Z"));
    EXPECT_EQ(text::py(QStringLiteral("Q")), QStringLiteral("Q"));
    for (const char *ch : {"7", " ", "(", "[", "`", "{", "@", "~", "\t"})
        EXPECT_EQ(text::py(QString::fromLatin1(ch)), QString::fromLatin1(ch)) << ch;
    EXPECT_EQ(text::py(QStringLiteral("€")), QStringLiteral("€")); // one byte, 0x80
}

TEST(Initials, CharactersWithoutAGbkCodeReadAsQuestionMark)
{
    EXPECT_EQ(text::py(QStringLiteral("𠀀")), QStringLiteral("?")); // a surrogate pair
    EXPECT_EQ(text::py(QStringLiteral("😀")), QStringLiteral("?"));
    EXPECT_EQ(text::py(QString(QChar(0xD800))), QStringLiteral("?")); // a lone surrogate
    EXPECT_EQ(text::py(QStringLiteral("한")), QStringLiteral("?"));
    EXPECT_FALSE(text::gbkCode(U'한').has_value());
    EXPECT_EQ(text::initials(QStringLiteral("中𠀀国😀")), QStringLiteral("Z?G?"));
    EXPECT_EQ(text::initials(QString(QChar(0xDC00)) + QStringLiteral("a")), QStringLiteral("?A"));
}

TEST(Initials, OneUnitPerCharacterOfTheName)
{
    const QString name = QStringLiteral("（北京）蓝石 Soft𠀀公司-2号€ａ");
    const QString result = text::initials(name);
    EXPECT_EQ(result.size(), name.toUcs4().size());
    EXPECT_EQ(result, QStringLiteral("0BJ0LS SOFT?GS-2H€0"));
}

TEST(Initials, ThreadsConvertIndependently)
{
    const QString name = QStringLiteral("中国工商银行北京分行");
    std::vector<QString> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i)
                results[t] = text::initials(name);
        });
    }
    for (std::thread &t : threads)
        t.join();
    for (const QString &r : results)
        EXPECT_EQ(r, QStringLiteral("ZGGSYXBJFX"));
}

} // namespace
