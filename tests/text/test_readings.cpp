#include "text/readings.h"

#include <gtest/gtest.h>

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

} // namespace
