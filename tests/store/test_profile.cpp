#include "storetest.h"

#include "store/appdir.h"
#include "store/profile.h"
#include "text/numbers.h"

#include <QFile>

namespace {

using store::Profile;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class ProfileTest : public ::testing::Test {
protected:
    TempAppDir m_dir;
    Profile m_profile{store::appFile(QStringLiteral("mqtx.ini"))};
};

TEST_F(ProfileTest, AMissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text73"),
                             QStringLiteral("text73")),
              QStringLiteral("text73"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text73")), QString());
    EXPECT_EQ(m_profile.readNumber(QStringLiteral("Myapp"), QStringLiteral("text73")), 0.0);
    EXPECT_FALSE(QFile::exists(m_profile.fileName())); // reading creates nothing

    writeFile(m_profile.fileName(), "[Other]\ntext73=5\n[MyApp]\ntext74=6\n");
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text73"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Nowhere"), QStringLiteral("text74"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text74"), QStringLiteral("d")),
              QStringLiteral("6"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Other"), QStringLiteral("text73")), QStringLiteral("5"));
}

TEST_F(ProfileTest, SectionAndKeyNamesMatchWithoutCase)
{
    writeFile(m_profile.fileName(), "[MYAPP]\r\nTEXT1=-57\r\n");
    for (const char *section : {"MyApp", "Myapp", "MYAPP", "myapp"})
        EXPECT_EQ(m_profile.read(QString::fromLatin1(section), QStringLiteral("text1")),
                  QStringLiteral("-57"))
            << section;
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("114")));
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text31"), QStringLiteral("0")));
    // Still one section, written where it stood.
    EXPECT_EQ(bytesOf(m_profile.fileName()), QByteArray("[MYAPP]\r\nTEXT1=114\r\ntext31=0\r\n"));
}

TEST_F(ProfileTest, AByteOrderMarkDoesNotHideTheFirstSection)
{
    writeFile(m_profile.fileName(), "\xEF\xBB\xBF[MyApp]\ntext1=57\n");
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text1")), QStringLiteral("57"));
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("0")));
    EXPECT_EQ(bytesOf(m_profile.fileName()), QByteArray("\xEF\xBB\xBF[MyApp]\ntext1=0\n"));
}

TEST_F(ProfileTest, WritingCreatesFileAndSection)
{
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text119"), QStringLiteral("1")));
    EXPECT_EQ(bytesOf(m_profile.fileName()), QByteArray("[MyApp]\ntext119=1\n"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text119")), QStringLiteral("1"));

    // A file without the section, and without a final line end, gets the section appended.
    writeFile(m_profile.fileName(), "[Other]\nk=v");
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("57")));
    EXPECT_EQ(bytesOf(m_profile.fileName()), QByteArray("[Other]\nk=v\n[MyApp]\ntext1=57\n"));
}

TEST_F(ProfileTest, WritingLeavesEveryOtherLineUntouched)
{
    const QByteArray before = "; calibration of the cheque\r\n"
                              "[Other]\r\n"
                              "text1=999\r\n"
                              "\r\n"
                              "[MyApp]\r\n"
                              "  text73 =  12  \r\n"
                              "text74=\"34\"\r\n"
                              "odd line without equals\r\n"
                              "text75=56\r\n"
                              "\r\n"
                              "[Later]\r\n"
                              "text76=78";
    writeFile(m_profile.fileName(), before);
    EXPECT_EQ(m_profile.read(QStringLiteral("myapp"), QStringLiteral("text73")), QStringLiteral("12"));
    EXPECT_EQ(m_profile.read(QStringLiteral("myapp"), QStringLiteral("text74")), QStringLiteral("34"));

    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text74"), QStringLiteral("-57")));
    QByteArray expected = before;
    expected.replace("text74=\"34\"", "text74=-57");
    EXPECT_EQ(bytesOf(m_profile.fileName()), expected);

    // A new key goes after the section's last line, before its trailing blank line.
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("28.5")));
    expected.replace("text75=56\r\n", "text75=56\r\ntext1=28.5\r\n");
    EXPECT_EQ(bytesOf(m_profile.fileName()), expected);
    EXPECT_EQ(m_profile.read(QStringLiteral("Other"), QStringLiteral("text1")), QStringLiteral("999"));
    EXPECT_EQ(m_profile.read(QStringLiteral("MyApp"), QStringLiteral("text1")), QStringLiteral("28.5"));
    EXPECT_EQ(m_profile.read(QStringLiteral("Later"), QStringLiteral("text76")), QStringLiteral("78"));
}

TEST_F(ProfileTest, ReadsReturnAtMost255Characters)
{
    const QString longValue(300, QLatin1Char('7'));
    ASSERT_TRUE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), longValue));
    EXPECT_EQ(m_profile.read(QStringLiteral("MyApp"), QStringLiteral("text1")), longValue.left(255));
}

TEST_F(ProfileTest, NamesAndValuesThatWouldBreakTheFileAreRefused)
{
    EXPECT_FALSE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("text1"), QStringLiteral("1\n[x]")));
    EXPECT_FALSE(m_profile.write(QStringLiteral("My]App"), QStringLiteral("text1"), QStringLiteral("1")));
    EXPECT_FALSE(m_profile.write(QStringLiteral("MyApp"), QStringLiteral("a=b"), QStringLiteral("1")));
    EXPECT_FALSE(m_profile.write(QStringLiteral("MyApp"), QString(), QStringLiteral("1")));
    EXPECT_FALSE(QFile::exists(m_profile.fileName()));
}

// Millimetres typed in a box -> stored twips -> millimetres shown again, as the cheque does it.
TEST_F(ProfileTest, CalibrationsRoundTripThroughTheFile)
{
    const struct {
        const char *typed;
        const char *stored;
        const char *shown;
    } cases[] = {{"-1", "-57", "-1"}, {"0.5", "28.5", "0.5"}, {"2.5", "142.5", "2.5"},
                 {"2mm", "114", "2"}, {"abc", "0", "0"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const double twips = text::leadingNumber(QString::fromLatin1(c.typed)) * text::kTwipsPerMm;
        ASSERT_TRUE(m_profile.writeNumber(QStringLiteral("MyApp"), QStringLiteral("text73"), twips));
        EXPECT_EQ(m_profile.read(QStringLiteral("Myapp"), QStringLiteral("text73")),
                  QString::fromLatin1(c.stored));
        const double loaded = m_profile.readNumber(QStringLiteral("Myapp"), QStringLiteral("text73"));
        EXPECT_EQ(text::formatNumber(loaded / text::kTwipsPerMm), QString::fromLatin1(c.shown));
    }
    EXPECT_EQ(bytesOf(m_profile.fileName()), QByteArray("[MyApp]\ntext73=0\n"));
}

} // namespace
