#pragma once
// Pinyin initials of customer names, found without a dictionary: the first level of GB 2312
// orders its characters by reading, so the letter follows from the interval of the GBK code.

#include <QString>

#include <optional>

namespace text {

// The character's code in code page 936: the byte value for a one-byte character, lead byte ×
// 256 + trail byte for a two-byte one; nothing when the code page has no such character.
std::optional<quint16> gbkCode(char32_t codePoint);

// The initial of one character (a surrogate pair counts as one): a capital letter for ASCII
// letters and GB 2312 level-1 characters, "Z" for every two-byte code from 匝 up, "0" for
// two-byte codes below 啊 (full-width symbols), the character itself for other one-byte
// characters, and "?" for a character without a GBK code. Only the first character is read.
QString py(const QString &ch);

// The initial of a character of GB 2312's first level by its interval: the initial of the reading
// the standard orders it by, which is the reading a reader meets first (长 cháng, 行 xíng, 乐 lè);
// 0 for any other character.
char16_t levelOneInitial(char32_t codePoint);

// The initials of a name: one unit per character, as py gives it (中国工商银行 -> ZGGSYX).
QString initials(const QString &name);

} // namespace text
