#pragma once
// Pinyin initials of customer names from every reading of their characters (a table the build
// writes from the Unicode Han database), beside the GB 2312 interval rule of pinyin.h, which reads
// each character one way and every character of the second level as "Z".

#include <QByteArray>
#include <QString>

#include <array>

namespace text {

// The initials of a character's readings: bit n of letters when a reading begins with 'A' + n,
// and the initial of its most common reading (a capital letter). Both 0 for a character the table
// has no reading for (one not Chinese, or one of the few Chinese characters without a reading).
struct CharacterReadings {
    quint32 letters = 0;
    char16_t common = 0;
};
CharacterReadings readingsOf(char32_t codePoint);

// The readings form of a name, stored with each customer: for each character that has initials, a
// group of them, the common one first as a capital and any others after it as small letters in
// alphabetical order (重庆长安 -> "ZcQZcA"). ASCII letters and the full-width forms of letters give
// their capital alone, digits (half or full width, ①) the digit alone; blanks, punctuation and
// every other character are left out, and so is a Chinese character without a reading.
QString readingSets(const QString &name);

// The initials a clerk recognises, from a readings form: the first of each group, the common
// reading's initial (ZcQZcA -> ZQZA).
QString commonInitials(const QString &sets);

// commonInitials(readingSets(name)): the second initials form stored beside the interval rule's
// (鑫达建材有限公司 -> XDJCYXGS, 3M中国（北京） -> 3MZGBJ).
QString readingInitials(const QString &name);

// Typed initials, searched for in readings forms: found where, from some group on, each typed
// letter is one of the initials of the next group in turn (cqca finds ZcQZcA, and so do zqza and
// cqza). Letters are compared regardless of case; a digit finds only a digit; a typed character
// that is neither (a blank, a Chinese character) is found nowhere. The empty text is found in every
// form. Works on bytes (UTF-8 as SQLite hands them over); the form is ASCII.
class InitialsPattern
{
public:
    explicit InitialsPattern(const QByteArray &typed);

    bool foundIn(const char *sets, int length) const;
    bool foundIn(const QString &sets) const;

private:
    bool foundByGroups(const char *sets, int length) const;

    // Bit i of m_masks[s]: typed position i is the symbol s (0 to 25 letters, 26 to 35 digits).
    std::array<quint64, 36> m_masks{};
    QByteArray m_symbols; // the symbol of each typed position, for texts longer than the masks hold
    bool m_impossible = false;
};

} // namespace text
