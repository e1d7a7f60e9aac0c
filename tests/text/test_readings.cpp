#include "text/pinyin.h"
#include "text/readings.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QList>

#include <iconv.h>
#include <optional>
#include <ostream>

static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Readings forms typed by hand from the readings the modern dictionary gives each character.
TEST(ReadingSets, EachCharacterGivesTheInitialsOfItsReadingsTheCommonOneFirst)
{
    struct Row {
        const char *name;
        const char *sets;
    };
    const Row rows[] = {
        // 重 zhòng chóng, 长 cháng zhǎng: the common one first is the reading GB 2312 orders the
        // character by, where it has several.
        {"重庆长安", "ZcQCzA"},
        // 行 xíng háng, 厦 xià shà, 会 huì kuài, 单 dān chán shàn, 番 fān pān.
        {"银行", "YXh"},
        {"厦门", "XsM"},
        {"会计", "HkJ"},
        {"单县", "DcsX"},
        {"番禺", "FpY"},
        // Readings of the great dictionary alone (重 tóng, 达 tà) are not modern ones.
        {"重型", "ZcX"},
        {"鑫达建材有限公司", "XDJCYXGS"},
        // The most customary reading (呒 wǔ) counts beside the dictionary's (ḿ); syllables
        // without a vowel (嗯 ńg) and readings that begin with a vowel (阿 ā ē) have initials too.
        {"呒", "Wm"},
        {"嗯", "N"},
        {"阿", "Ae"},
        // A compatibility ideograph reads as the character it stands for (U+F92C as 郎).
        {"\uF92C", "L"},
        // Letters and digits stay, in capitals; blanks and punctuation go.
        {"ABC公司", "ABCGS"},
        {"3M中国（北京）", "3MZGBJ"},
        {"a b(c)", "ABC"},
        {"O'Brien 贸易", "OBRIENMY"},
        // Full-width letters and digits as typed with a Chinese input method on, and the circled ones.
        {"ＡＢ１２３号", "AB123H"},
        {"①号", "1H"},
        // Neither Chinese nor Latin: Hangul, kana, emoji; 兙 (a measure word of two syllables) is
        // Chinese without a reading.
        {"한국😀の公司", "GS"},
        {"兙克", "K"},
        {"", ""},
        {"—·、。", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(text::readingSets(QString::fromUtf8(r.name)), QString::fromUtf8(r.sets));
    }
    // A lone surrogate is no character at all.
    EXPECT_EQ(text::readingSets(QString(QChar(0xD800)) + QStringLiteral("公司")), QStringLiteral("GS"));
}

TEST(ReadingSets, TheCommonInitialsAreTheFirstOfEachGroup)
{
    EXPECT_EQ(text::commonInitials(QStringLiteral("ZcQZcA")), QStringLiteral("ZQZA"));
    EXPECT_EQ(text::commonInitials(QStringLiteral("3MZGBJ")), QStringLiteral("3MZGBJ"));
    EXPECT_EQ(text::commonInitials(QString()), QString());
    EXPECT_EQ(text::readingInitials(QStringLiteral("中国银行")), QStringLiteral("ZGYX"));
    EXPECT_EQ(text::readingInitials(QStringLiteral("3M中国（北京）")), QStringLiteral("3MZGBJ"));
}

// Readings forms typed by hand, searched for typed texts.
TEST(InitialsPattern, FindsOneInitialOfEachCharacterInTurn)
{
    struct Row {
        const char *sets;
        const char *typed;
        bool found;
    };
    const Row rows[] = {
        // 重庆长安
        {"ZcQZcA", "cqca", true},
        {"ZcQZcA", "zqza", true},
        {"ZcQZcA", "CQCA", true},
        {"ZcQZcA", "cQzA", true},
        {"ZcQZcA", "qc", true},
        {"ZcQZcA", "a", true},
        {"ZcQZcA", "", true},
        {"ZcQZcA", "zcq", false}, // two letters for one character
        {"ZcQZcA", "cqcb", false},
        {"ZcQZcA", "cqcaa", false},
        {"ZcQZcA", "ac", false},
        {"ZcQZcA", "c q", false},
        {"ZcQZcA", "cq-", false},
        {"ZcQZcA", "重庆", false},
        {"", "", true},
        {"", "a", false},
        // A digit finds only a digit.
        {"3MZGBJ", "3m", true},
        {"3MZGBJ", "3MZGBJ", true},
        {"3MZGBJ", "m3", false},
        {"3MZGBJ", "3n", false},
        {"1Aa", "1a", true},
        // Forms another writer may have left: small letters before any group and after a
        // character that is no initial belong to no group.
        {"abZ", "z", true},
        {"abZ", "a", false},
        {"Z-a", "z", true},
        {"Z-a", "a", false},
        {"Z-a", "za", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.sets) + " / " + r.typed);
        EXPECT_EQ(text::InitialsPattern(QByteArray(r.typed)).foundIn(QString::fromUtf8(r.sets)), r.found);
    }
}

// Sixty-four typed letters are searched for in one pass; longer texts another way, with the
// same answers.
TEST(InitialsPattern, TypedTextsLongerThanSixtyFourLetters)
{
    const QString sets = QStringLiteral("Zc").repeated(70) + QStringLiteral("A");
    const auto found = [&](const QByteArray &typed) { return text::InitialsPattern(typed).foundIn(sets); };
    for (const int n : {63, 64, 65, 70}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(found(QByteArray(n, 'c')));
        EXPECT_TRUE(found(QByteArray(n - 1, 'z') + 'c'));
        EXPECT_TRUE(found(QByteArray(n - 1, 'c') + 'a'));
        EXPECT_FALSE(found(QByteArray(n - 1, 'c') + 'x'));
        EXPECT_FALSE(found(QByteArray(n - 1, 'c') + ' '));
        EXPECT_FALSE(found(QByteArray(n - 1, 'c') + "ab"));
    }
    EXPECT_FALSE(found(QByteArray(71, 'c')));
    EXPECT_TRUE(found(QByteArray(70, 'c') + 'a'));
    EXPECT_FALSE(found(QByteArray(72, 'c')));
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
