// The initials search over names with characters of several readings: each name is found by the
// initials of every reading a clerk may have in mind, and not by letters that are no reading.

#include "storetest.h"

#include "store/connection.h"
#include "store/datasource.h"
#include "store/statements.h"
#include "text/pinyin.h"
#include "text/readings.h"

namespace {

using namespace store;
namespace st = store::statements;

// Names typed by hand with the initials a person would type for them (space-separated), and
// initials that must find nothing: letters that begin no reading of the character in their place.
struct Name {
    const char *name;
    const char *finds;
    const char *misses;
};
const Name kNames[] = {
    // 长: cháng in place names, zhǎng in 增长.
    {"长沙远大建材", "csyd zsyd cs zs ydjc", "ksyd cxyd"},
    {"增长动力科技", "zzdl zcdl zc", "zsdl zkdl"},
    {"长春一汽", "ccyq zcyq", "cayq"},
    {"长江航运", "cjhy zjhy", "cjxy"},
    {"长城宽带", "cckd zckd", "cgkd"},
    // 重: chóng in 重庆, zhòng in 重要; tóng is only in the great dictionary, not the modern one.
    {"重庆长安物流有限公司", "cqca zqza cqza zqca cqcawl", "cqha qqca"},
    {"重要客户服务部", "zykh cykh", "sykh"},
    {"重型机械厂", "zxjxc cxjxc zxjxa", "txjx"},
    // 厦: xià in 厦门, shà in 广厦.
    {"厦门国贸", "xmgm smgm", "hmgm"},
    {"广厦建设", "gxjs gsjs", "ghjs"},
    // 会 kuài / huì, 乐 yuè / lè.
    {"会计师事务所", "kjssws hjssws", "gjssws"},
    {"会议中心", "hyzx kyzx", "wyzx"},
    {"音乐之声", "yyzs ylzs", "yxzs"},
    {"快乐农场", "klnc kync", "kgnc"},
    {"乐清电器", "yqdq lqdq", "xqdq"},
    {"会稽山", "kjs hjs kqs", "gjs"},
    // 行: háng in 银行 and 行业, xíng in 发行, 旅行社 and 行知.
    {"中国银行", "zgyh zgyx", "zgyg"},
    {"行业协会", "hyxh xyxh hyxk xyxk", "gyxh"},
    {"发行部", "fxb fhb", "fgb"},
    {"旅行社", "lxs lhs", "lqs"},
    {"行知学校", "xzxx hzxx xzxj", "kzxx"},
    {"车行", "ch cx jh jx", "gh"},
    // 单, 朝, 调, 番.
    {"单县食品", "sxsp dxsp cxsp sxyp", "txsp"},
    {"朝阳区商贸", "cyq zyq cyo", "syq"},
    {"朝晖纺织", "zhfz chfz", "shfz"},
    {"调味品厂", "twpc dwpc twpa", "jwpc"},
    {"调查研究所", "dcyjs tcyjs dzyjs", "dsyjs"},
    {"番禺建筑", "pyjz fyjz", "byjz"},
    {"吐鲁番葡萄", "tlfpt tlppt", "tlbpt"},
    // Other characters with readings of two initials, in company and place names.
    {"大理石材", "dlsc dldc", "dltc"},
    {"石家庄", "sjz djz", "tjz"},
    {"西藏药业", "xzyy xcyy", "xsyy"},
    {"降落伞厂", "jlsc xlsc", "kls"},
    {"曾氏集团", "zsjt csjt zzjt", "tsjt"},
    {"尉氏县", "wsx ysx", "hsx"},
    {"盛大网络", "sdwl cdwl", "zdwl"},
    {"参考资料", "ckzl skzl", "dkzl"},
    {"解放路", "jfl xfl", "gfl"},
    {"仇氏宗祠", "csz qsz", "jsz"},
    {"查氏家族", "csjz zsjz", "tsjz"},
    {"秘鲁矿业", "blky mlky", "plky"},
    {"强力胶", "qlj jlj", "klj"},
    {"高效率", "gxl gxs", "gxd"},
    {"给排水工程", "gpsgc jpsgc", "kpsgc"},
    {"系统集成", "xtjc jtjc", "qtjc"},
    {"江苏省建", "jssj jsxj", "jsqj"},
    {"便利店", "bld pld", "mld"},
    {"宿迁酒业", "sqjy xqjy", "zqjy"},
    {"伯乐人才", "blrc byrc", "plrc"},
    {"说明书印刷", "smsys ymsys", "tmsys"},
    {"浦东新区", "pdxq pdxo", "pdxk"},
    {"电机厂", "djc dja", "djg"},
    {"合肥百货", "hfbh gfbh", "kfbh"},
    {"期货交易所", "qhjys jhjys", "khjys"},
    {"阿里巴巴", "albb elbb", "olbb"},
    {"传奇广告", "cqgg zqgg", "sqgg"},
    {"弹簧厂", "dhc thc dha", "shc"},
    {"咖啡厅", "kft gft", "hft"},
    {"莘庄工业区", "szgyq xzgyq", "czgyq"},
    {"蔚来汽车", "wlqc ylqc wlqj", "hlqc"},
    {"繁荣商贸", "frsm prsm", "brsm"},
    {"乘风破浪", "cfpl sfpl", "zfpl"},
    {"铅山县", "qsx ysx", "jsx"},
    {"十里堡", "slb slp", "slf"},
    // 荥 is of the second level, whose characters the interval rule reads as Z: zyjx, which no
    // reading gives, still finds it, as it did.
    {"荥阳机械", "xyjx yyjx zyjx", "jyjx"},
    {"黄陂建工", "hbjg hpjg", "hmjg"},
    {"涡阳县", "wyx gyx", "hyx"},
    {"歙县", "sx xx", "hx"},
    {"枞阳", "cy zy", "sy"},
    {"泌阳县", "myx byx", "pyx"},
    {"沈阳机床", "syjc cyjc", "tyjc"},
    {"学校", "xx xj", "xq"},
};

class InitialsSearchTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        DataSource ds(m_conn);
        ds.setStatement(st::customers());
        ASSERT_TRUE(ds.refresh());
        ASSERT_TRUE(ds.deleteCurrent()); // the sample customer
        // Stored as a save stores them: the interval rule's initials and both readings forms.
        for (const Name &n : kNames) {
            const QString name = QString::fromUtf8(n.name);
            const QString sets = text::readingSets(name);
            ds.addNew();
            ds.setValue(0, name);
            ds.setValue(QStringLiteral("gsmczmjc"), text::initials(name));
            ds.setValue(QStringLiteral("gsmcdyjc"), text::commonInitials(sets));
            ds.setValue(QStringLiteral("gsmcdyzm"), sets);
            ASSERT_TRUE(ds.update()) << ds.errorText().toStdString();
        }
    }

    QStringList found(const QString &typed)
    {
        DataSource ds(m_conn);
        ds.setStatement(st::customersInitialsContain(typed));
        EXPECT_TRUE(ds.refresh()) << ds.errorText().toStdString();
        QStringList out;
        for (ds.moveFirst(); !ds.eof(); ds.moveNext())
            out << ds.text(0);
        return out;
    }

    Connection m_conn;
};

TEST_F(InitialsSearchTest, EveryReadingOfEachCharacterFindsTheName)
{
    ASSERT_GE(std::size(kNames), 60u);
    for (const Name &n : kNames) {
        const QString name = QString::fromUtf8(n.name);
        for (const QString &typed : QString::fromUtf8(n.finds).split(QLatin1Char(' '))) {
            SCOPED_TRACE((name + QLatin1Char(' ') + typed).toStdString());
            EXPECT_TRUE(found(typed).contains(name));
            EXPECT_TRUE(found(typed.toUpper()).contains(name));
        }
        for (const QString &typed : QString::fromUtf8(n.misses).split(QLatin1Char(' '))) {
            SCOPED_TRACE((name + QLatin1Char(' ') + typed).toStdString());
            EXPECT_FALSE(found(typed).contains(name));
        }
    }
}

// A customer saved before version 3 has no readings form until the upgrade gives it one; its
// two initials forms find it as they did.
TEST_F(InitialsSearchTest, TheFormsOfEarlierVersionsStillFind)
{
    DataSource ds(m_conn);
    ds.setStatement(st::customers());
    ASSERT_TRUE(ds.refresh());
    ds.addNew();
    ds.setValue(0, QStringLiteral("重庆钢铁"));
    ds.setValue(QStringLiteral("gsmczmjc"), QStringLiteral("ZQGT"));
    ds.setValue(QStringLiteral("gsmcdyjc"), QStringLiteral("CQGT"));
    ASSERT_TRUE(ds.update());
    EXPECT_TRUE(found(QStringLiteral("zqgt")).contains(QStringLiteral("重庆钢铁")));
    EXPECT_TRUE(found(QStringLiteral("cqgt")).contains(QStringLiteral("重庆钢铁")));
    EXPECT_FALSE(found(QStringLiteral("cqgs")).contains(QStringLiteral("重庆钢铁")));
    EXPECT_FALSE(found(QStringLiteral("zqgs")).contains(QStringLiteral("重庆钢铁")));
}

} // namespace
