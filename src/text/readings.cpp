#include "text/readings.h"

#include "text/readingtable.h"

#include <QChar>
#include <QDebug>
#include <QHash>
#include <QSet>
#include <QVector>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace text {

namespace {

// ICU's Han-Latin and what it tells about itself. Creating it compiles its rules, about 150 ms: it
// is made once, on first use.
struct HanLatin {
    std::unique_ptr<icu::Transliterator> prototype;
    // The characters whose reading depends on the next one: Han-Latin reads every other character
    // alone, and holds a few words as rules of the form "{重}' '?庆 > chóng;".
    QSet<char32_t> contextual;
};

const HanLatin &hanLatin()
{
    static const HanLatin made = [] {
        HanLatin h;
        UErrorCode status = U_ZERO_ERROR;
        h.prototype.reset(icu::Transliterator::createInstance(icu::UnicodeString(u"Han-Latin"),
                                                              UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !h.prototype) {
            qWarning("text: ICU has no Han-Latin transliterator (%s); Chinese characters get no reading",
                     u_errorName(status));
            h.prototype.reset();
            return h;
        }
        icu::UnicodeString rules;
        h.prototype->toRules(rules, false);
        for (int32_t at = 0; at >= 0 && at < rules.length(); at = rules.indexOf(char16_t(u'\n'), at)) {
            if (rules.charAt(at) == u'\n')
                ++at;
            if (at + 1 < rules.length() && rules.charAt(at) == u'{')
                h.contextual.insert(char32_t(rules.char32At(at + 1)));
        }
        return h;
    }();
    return made;
}

// A transliterator must not be used by two threads at once: each thread works on a clone of its
// own (a few microseconds).
icu::Transliterator *transliterator()
{
    thread_local const std::unique_ptr<icu::Transliterator> mine = []() -> std::unique_ptr<icu::Transliterator> {
        static std::mutex cloning;
        const icu::Transliterator *p = hanLatin().prototype.get();
        if (!p)
            return nullptr;
        const std::lock_guard<std::mutex> lock(cloning);
        return std::unique_ptr<icu::Transliterator>(p->clone());
    }();
    return mine.get();
}

// Characters that names read otherwise than ICU does, by the initial a clerk types: 晟 is shèng
// in names (ICU: chéng), 行 is háng in 银行, 商行, 车行 (ICU: xíng, which the interval rule's
// form still gives).
struct NameReading {
    char16_t ch;
    char16_t initial;
};
constexpr NameReading kNameReadings[] = {{u'晟', u'S'}, {u'行', u'H'}};

char16_t nameReading(char32_t cp)
{
    for (const NameReading &r : kNameReadings)
        if (r.ch == cp)
            return r.initial;
    return 0;
}

bool isHan(char32_t cp) { return QChar::script(cp) == QChar::Script_Han; }

// A capital letter or digit for an ASCII letter or digit; 0 for anything else.
char16_t asciiInitial(char32_t cp)
{
    if (cp >= U'a' && cp <= U'z')
        return char16_t(cp - 32);
    if ((cp >= U'A' && cp <= U'Z') || (cp >= U'0' && cp <= U'9'))
        return char16_t(cp);
    return 0;
}

// The initial of a syllable as ICU writes it ("xīn", "ǒu"): its first letter without the tone
// mark, in capitals; 0 when it does not begin with a Latin letter (a character left unread).
char16_t syllableInitial(const icu::UnicodeString &syllable)
{
    if (syllable.isEmpty())
        return 0;
    const QChar first(syllable.charAt(0));
    if (const char16_t c = asciiInitial(first.unicode()))
        return (c >= u'0' && c <= u'9') ? 0 : c;
    const QString base = first.decomposition();
    if (base.isEmpty())
        return 0;
    const char16_t c = asciiInitial(base.at(0).unicode());
    return (c >= u'0' && c <= u'9') ? 0 : c;
}

// The initial ICU gives one character read alone (0 when it has no reading), kept per thread:
// transliterating costs microseconds a character, a look-up far less.
char16_t characterInitial(char32_t cp, icu::Transliterator &t)
{
    thread_local QHash<char32_t, char16_t> known;
    auto it = known.constFind(cp);
    if (it == known.constEnd()) {
        icu::UnicodeString one;
        one.append(UChar32(cp));
        t.transliterate(one);
        it = known.insert(cp, syllableInitial(one));
    }
    return *it;
}

// The initials ICU gives for the characters of a run of Chinese characters, one per character
// (0 for a character without a reading). A run holding a character whose reading depends on the
// next is read as a whole, where the word decides (重庆); when its syllables cannot be paired with
// its characters, or when no such character is in it, each character is read on its own.
QVector<char16_t> runInitials(const QVector<char32_t> &run, icu::Transliterator &t)
{
    QVector<char16_t> out;
    out.reserve(run.size());
    const QSet<char32_t> &contextual = hanLatin().contextual;
    if (std::any_of(run.begin(), run.end(), [&](char32_t cp) { return contextual.contains(cp); })) {
        icu::UnicodeString text;
        for (const char32_t cp : run)
            text.append(UChar32(cp));
        t.transliterate(text);
        // Han-Latin writes the syllables of a run separated by single blanks.
        int start = 0;
        while (start <= text.length()) {
            int end = text.indexOf(char16_t(u' '), start);
            if (end < 0)
                end = text.length();
            if (end > start)
                out.append(syllableInitial(text.tempSubString(start, end - start)));
            start = end + 1;
        }
        if (out.size() == run.size())
            return out;
        out.clear();
    }
    for (const char32_t cp : run)
        out.append(characterInitial(cp, t));
    return out;
}

} // namespace

bool readingsAvailable() { return hanLatin().prototype != nullptr; }

CharacterReadings readingsOf(char32_t codePoint)
{
    constexpr quint32 letterBits = (1u << 26) - 1;
    const quint32 e = readingtable::entry(codePoint);
    if (!(e & letterBits))
        return {};
    return {e & letterBits, char16_t(u'A' + (e >> 26) - 1)};
}

QString readingInitials(const QString &name)
{
    QString out;
    out.reserve(name.size());
    const QVector<uint> cps = name.toUcs4();
    QVector<char32_t> run;
    const auto flushRun = [&] {
        if (run.isEmpty())
            return;
        icu::Transliterator *t = transliterator();
        const QVector<char16_t> initials = t ? runInitials(run, *t) : QVector<char16_t>(run.size(), 0);
        for (int i = 0; i < run.size(); ++i) {
            const char16_t c = nameReading(run.at(i)) ? nameReading(run.at(i)) : initials.at(i);
            if (c)
                out += QChar(c);
        }
        run.clear();
    };
    for (const uint cp : cps) {
        if (isHan(cp)) {
            run.append(cp);
            continue;
        }
        flushRun();
        char16_t c = asciiInitial(cp);
        if (!c && cp >= 0x80) {
            // Full-width and other compatibility forms of letters and digits (Ａ, １, ①).
            const QString folded = QString::fromUcs4(reinterpret_cast<const char32_t *>(&cp), 1)
                                       .normalized(QString::NormalizationForm_KD);
            if (!folded.isEmpty())
                c = asciiInitial(folded.at(0).unicode());
        }
        if (c)
            out += QChar(c);
    }
    flushRun();
    return out;
}

} // namespace text
