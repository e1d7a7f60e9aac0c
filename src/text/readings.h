#pragma once
// Pinyin initials of customer names from the characters' real readings (ICU's Han-Latin), the
// second stored form beside the GB 2312 interval rule of pinyin.h, which reads every character of
// the second level as "Z".

#include <QString>
#include <QtGlobal>

namespace text {

// The initials of a character's readings: bit n of letters when a reading begins with 'A' + n,
// and the initial of its most common reading (a capital letter). Both 0 for a character the table
// has no reading for (one not Chinese, or one of the few Chinese characters without a reading).
struct CharacterReadings {
    quint32 letters = 0;
    char16_t common = 0;
};
CharacterReadings readingsOf(char32_t codePoint);
// The initials a clerk would type for a name: for each Chinese character the first letter of its
// reading, in capitals; ASCII letters in capitals and digits as they are (full-width ones
// likewise); blanks, punctuation and every other character are left out, and so is a Chinese
// character without a known reading. 鑫达建材有限公司 -> XDJCYXGS, 3M中国（北京） -> 3MZGBJ.
// Han-Latin's word rules decide a reading where they can (重庆 -> CQ), and two characters are read
// as names read them, not as Han-Latin does (晟 shèng, 行 háng). Safe to call from several threads.
QString readingInitials(const QString &name);

// False when ICU's Han-Latin transliterator could not be created (every Chinese character then
// reads as having no reading).
bool readingsAvailable();

} // namespace text
