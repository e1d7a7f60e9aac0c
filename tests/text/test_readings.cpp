#include "text/pinyin.h"
#include "text/readings.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QList>

#include <iconv.h>
#include <optional>

#include <ostream>
#include <thread>
#include <vector>

static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Expected initials typed by hand from the readings a clerk says aloud.
TEST(ReadingInitials, NamesAsAClerkTypesThem)
{
    struct Row {
        const char *name;
        const char *initials;
    };
    const Row rows[] = {
        // Second-level characters, which the interval rule reads as Z.
        {"鑫达建材有限公司", "XDJCYXGS"},
        {"晟泰科技", "STKJ"},
        {"昊天贸易", "HTMY"},
        {"淼焱玥珑贸易商行", "MYYLMYSH"},
        {"骉", "B"},
        // First-level characters read as the interval rule reads them.
        {"中国工商银行", "ZGGSYH"},
        {"上海华东建材有限公司", "SHHDJCYXGS"},
        {"北京蓝石软件", "BJLSRJ"},
        // A word decides a reading: 重 of 重庆 is chóng, alone it is zhòng.
        {"重庆钢铁", "CQGT"},
        {"重型机械", "ZXJX"},
        // GBK extension characters, outside GB 2312 altogether.
        {"丂", "K"},
        {"㐀", "Q"},
        // Letters and digits stay, in capitals; blanks and punctuation go.
        {"ABC公司", "ABCGS"},
        {"3M中国", "3MZG"},
        {"a b(c)", "ABC"},
        {"（北京）", "BJ"},
        {"O'Brien 贸易", "OBRIENMY"},
        {"100%纯净水", "100CJS"},
        // Full-width letters and digits as typed with a Chinese input method on.
        {"ＡＢ１２３号", "AB123H"},
        {"", ""},
        {"—·、。", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(text::readingInitials(QString::fromUtf8(r.name)), QString::fromUtf8(r.initials));
    }
}

TEST(ReadingInitials, CharactersWithoutAReadingAreLeftOut)
{
    // Hangul, kana and emoji are neither Chinese nor Latin.
    EXPECT_EQ(text::readingInitials(QStringLiteral("한국😀の公司")), QStringLiteral("GS"));
    // A lone surrogate is no character at all.
    EXPECT_EQ(text::readingInitials(QString(QChar(0xD800)) + QStringLiteral("公司")), QStringLiteral("GS"));
}

TEST(ReadingInitials, ThreadsReadIndependently)
{
    ASSERT_TRUE(text::readingsAvailable());
    const QString name = QStringLiteral("鑫达建材有限公司重庆分公司");
    std::vector<QString> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                results[t] = text::readingInitials(name);
        });
    }
    for (std::thread &t : threads)
        t.join();
    for (const QString &r : results)
        EXPECT_EQ(r, QStringLiteral("XDJCYXGSCQFGS"));
}

// The character a two-byte code of code page 936 stands for, through the C library.
std::optional<char32_t> fromGbk(int code)
{
    static const iconv_t cd = iconv_open("UTF-32LE", "CP936");
    char in[2] = {char(code >> 8), char(code & 0xFF)};
    char32_t out = 0;
    char *inp = in;
    char *outp = reinterpret_cast<char *>(&out);
    size_t inLeft = 2, outLeft = sizeof out;
    if (cd == iconv_t(-1) || iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || outLeft != 0) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return std::nullopt;
    }
    return out;
}

// The first level of GB 2312 orders its characters by a reading, which the interval rule turns
// into a letter: a source of its own, against which the table's 3,755 entries can be checked.
TEST(CharacterReadings, TheFirstLevelOfGb2312AgreesWithTheIntervalRule)
{
    int characters = 0;
    for (int code = 0xB0A1; code <= 0xD7F9; ++code) {
        if ((code & 0xFF) < 0xA1 || (code & 0xFF) == 0xFF)
            continue;
        const std::optional<char32_t> cp = fromGbk(code);
        ASSERT_TRUE(cp) << std::hex << code;
        ++characters;
        const char16_t letter = text::py(QString::fromUcs4(&*cp, 1)).at(0).unicode();
        const text::CharacterReadings r = text::readingsOf(*cp);
        EXPECT_TRUE(r.letters >> (letter - u'A') & 1) << std::hex << code << " " << char(letter);
    }
    EXPECT_EQ(characters, 3755);
}

// Every Chinese character of GBK (the 20,902 of the unified ideographs block up to U+9FA5 and 21
// compatibility ideographs) has readings, but for a few that the database gives none: measure words of two syllables
// (兙 shíkè) and compatibility ideographs of Japanese sources.
TEST(CharacterReadings, TheChineseCharactersOfGbkHaveReadings)
{
    const QList<char32_t> without = {0x5159, 0x5161, 0x55E7, 0x685B, 0x70EA, 0x74E7, 0x74F0, 0x74F1,
                                     0x74FC, 0x7505, 0xFA0E, 0xFA0F, 0xFA11, 0xFA13, 0xFA14, 0xFA1F,
                                     0xFA21, 0xFA23, 0xFA24, 0xFA27, 0xFA28, 0xFA29};
    QList<char32_t> missing;
    int han = 0;
    int unifiedBlock = 0;
    for (int code = 0x8140; code <= 0xFEFE; ++code) {
        const std::optional<char32_t> cp = fromGbk(code);
        if (!cp || QChar::script(*cp) != QChar::Script_Han || QChar::category(*cp) != QChar::Letter_Other)
            continue;
        ++han;
        if (*cp >= 0x4E00 && *cp <= 0x9FA5)
            ++unifiedBlock;
        const text::CharacterReadings r = text::readingsOf(*cp);
        if (!r.letters)
            missing << *cp;
        else
            EXPECT_TRUE(r.letters >> (r.common - u'A') & 1) << std::hex << *cp; // the common one is a reading
    }
    EXPECT_EQ(unifiedBlock, 20902);
    EXPECT_EQ(han, 20902 + 21);
    EXPECT_EQ(missing, without);
}

TEST(CharacterReadings, NothingOutsideTheChineseCharacters)
{
    for (const char32_t cp : {U'A', U'a', U'1', U'（', U'〇', U'ㄅ', U'가', U'😀', char32_t(0xFFFF)}) {
        SCOPED_TRACE(uint(cp));
        EXPECT_EQ(text::readingsOf(cp).letters, 0u);
        EXPECT_EQ(text::readingsOf(cp).common, 0);
    }
}

} // namespace
