#pragma once
// The initials of the readings of the Chinese characters of the Basic Multilingual Plane, a
// two-level table that the build writes from the Unicode Han database (generator/readingtable.cpp).

#include <QtGlobal>

namespace text::readingtable {

// One entry: bit n set when a reading begins with the letter 'A' + n; bits 26 to 30 hold the
// initial of the common reading + 1 (1 for A). Entry 0 is a character without a reading.
extern const quint32 kEntries[];
// The block of each 256 code points, and each block's entry for each of its code points.
extern const quint8 kPages[256];
extern const quint16 kBlocks[][256];

inline quint32 entry(char32_t cp)
{
    return cp > 0xFFFF ? 0 : kEntries[kBlocks[kPages[cp >> 8]][cp & 0xFF]];
}

} // namespace text::readingtable
