// Long texts on the vouchers: smaller in half points down to 6 to fit their place, told when even
// that is not enough; digit cells and capital amounts keep their size.

#include "vouchers/bankforms.h"
#include "vouchers/cheque.h"
#include "vouchers/notice.h"
#include "printing/pagewriter_recorder.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace vouchers;

namespace {

// Fonts need an application object.
class WithApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_fit";
        static char *argv[] = {name, nullptr};
        m_app = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete m_app; }

private:
    QGuiApplication *m_app = nullptr;
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new WithApplication);

// A name of n Chinese characters; each is one em wide, so n × points × 20 twips.
QString chinese(int n) { return QString(n, QChar(u'华')); }

const PlacedText *payeeOf(const RecordingPageWriter &rec)
{
    static QList<PlacedText> texts;
    texts = rec.placedTexts();
    for (const PlacedText &t : texts)
        if (t.x == 4636 && t.y == 1216)
            return &t;
    return nullptr;
}

} // namespace

// The cheque's payee has 9846 - 4636 = 5210 twips before the paying bank's account.
TEST(Fit, ChequePayeeShrinksByHalfPointsAndIsToldWhenEvenSixIsTooLarge)
{
    struct Row {
        int characters;
        double size;  // expected: the largest of 9, 8.5 ... 6 at which n × size × 20 <= 5210
        bool tooWide;
    };
    const Row rows[] = {
        {28, 9, false},   // 5040
        {29, 8.5, false}, // 9: 5220; 8.5: 4930
        {31, 8, false},   // 8.5: 5270; 8: 4960
        {36, 7, false},   // 7.5: 5400; 7: 5040
        {43, 6, false},   // 6.5: 5590; 6: 5160
        {44, 6, true},    // 6: 5280
        {200, 6, true},
    };
    for (const Row &r : rows) {
        ChequeFace face;
        face.payee = chinese(r.characters);
        RecordingPageWriter rec;
        printCheque(rec, face, {});
        const PlacedText *payee = payeeOf(rec);
        ASSERT_TRUE(payee) << r.characters;
        EXPECT_EQ(payee->size, r.size) << r.characters;
        EXPECT_EQ(payee->text, face.payee); // never cut
        ASSERT_EQ(rec.tooWide().size(), r.tooWide ? 1 : 0) << r.characters;
        if (r.tooWide) {
            EXPECT_EQ(rec.tooWide().first().field, QStringLiteral("收款人"));
        }
    }
}

TEST(Fit, CellsAndCapitalsKeepTheirSize)
{
    BankFormFace base;
    base.amountWords = chinese(120); // far longer than any place on the form
    base.cells = QStringList(11, QStringLiteral("8"));
    WireFace face;
    static_cast<BankFormFace &>(face) = base;
    RecordingPageWriter rec;
    printWire(rec, face, {});
    int checked = 0;
    for (const PlacedText &t : rec.placedTexts()) {
        if (t.text == base.amountWords || t.text == QStringLiteral("8")) {
            EXPECT_EQ(t.size, 9) << t.toString().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 12);
    EXPECT_TRUE(rec.tooWide().isEmpty());
}

// On the notice the frame bounds the payer's name: 5985 - 2387 = 3598 twips.
TEST(Fit, NoticeNamesShrinkInsideTheFrameOnBothCopies)
{
    NoticeFace face;
    face.payerName = chinese(21); // 9: 3780; 8.5: 3570
    RecordingPageWriter rec;
    printNotice(rec, face, {});
    int copies = 0;
    for (const PlacedText &t : rec.placedTexts()) {
        if (t.text == face.payerName) {
            EXPECT_EQ(t.size, 8.5);
            ++copies;
        }
        if (t.text == QStringLiteral("交  款  通  知  单")) {
            EXPECT_EQ(t.size, 15);
        }
    }
    EXPECT_EQ(copies, 2);
}
