// The customer import window: rows in, counters, the duplicate rule, one transaction, bad files.

#include "maintenance/customerimport.h"
#include "scriptedprompter.h"
#include "sheets/sheets.h"
#include "screenshot.h"
#include "store/appdir.h"
#include "store/database.h"
#include "storefixture.h"
#include "text/pinyin.h"
#include "ui/fonts.h"
#include "xlsbuilder.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using store::statements::customers;
using xlstest::Row;

namespace {

const QStringList kColumns = {"gsmc", "zhh", "khh", "sheng", "shi", "gsmczmjc"};

// Every customer as "name|account|bank|province|city|initials", in stored order.
QStringList addressBook()
{
    QList<QStringList> columns;
    for (const QString &c : kColumns)
        columns << StoreFixture::column(customers(), c);
    QStringList rows;
    for (int r = 0; r < columns.first().size(); ++r) {
        QStringList row;
        for (const QStringList &c : columns)
            row << c.at(r);
        rows << row.join('|');
    }
    return rows;
}

QString label(QWidget *w, const char *name) { return w->findChild<QLabel *>(name)->text(); }
QString field(QWidget *w, int i) { return w->findChild<QLineEdit *>(QStringLiteral("Text1_%1").arg(i))->text(); }
QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(name); }

} // namespace

class TestCustomerImport : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

    void writeSheet(const QVector<Row> &rows)
    {
        QVERIFY(xlstest::writeFile(db->dir().file("khb.xls"), xlstest::customerWorkbook(rows)));
    }
    QPointer<maintenance::CustomerImportWindow> open()
    {
        auto *w = new maintenance::CustomerImportWindow;
        w->setWorkbookChooser([](QWidget *) { return QString(); });
        w->show();
        return w;
    }

private slots:
    void initTestCase() { ui::installChineseFonts(); }
    void init()
    {
        db = std::make_unique<StoreFixture>();
        QVERIFY(db->isValid());
        prompter = std::make_unique<ScriptedPrompter>();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
        prompter.reset();
        db.reset();
    }

    void threeNewRowsCountedAndStored()
    {
        const QStringList before = addressBook();
        writeSheet({Row{QStringLiteral("北京甲公司"), QStringLiteral("6222001"), QStringLiteral("工商银行"),
                        QStringLiteral("北京"), QStringLiteral("海淀")},
                    Row{QStringLiteral("上海乙公司"), 6222021234567890.0, QStringLiteral("建设银行"),
                        QStringLiteral("上海"), QStringLiteral("浦东")},
                    Row{QStringLiteral("丙商行"), QStringLiteral("95588"), QStringLiteral("农业银行"),
                        QStringLiteral("广东"), QStringLiteral("广州")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        QVERIFY(prompter->prompts.isEmpty());
        QCOMPARE(label(w, "Label10"), QStringLiteral("3"));
        QCOMPARE(label(w, "Label4"), QString::number(before.size()));
        QCOMPARE(field(w, 0), QStringLiteral("北京甲公司"));
        QCOMPARE(field(w, 4), QStringLiteral("海淀"));
        saveScreenshot(w, "khxxdr");

        QStringList counted;
        connect(w->findChild<QProgressBar *>("ProgressBar1"), &QProgressBar::valueChanged, this,
                [&](int) { counted << label(w, "Label4"); });
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);

        QCOMPARE(counted, (QStringList{"1", "2", "3"}));
        QCOMPARE(prompter->texts(), QStringList{"恭喜你，信息已成功导入\n共导入 3 个客户。"});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("客户导入"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        QTRY_VERIFY(w.isNull()); // unloaded after success

        const QStringList added = {"北京甲公司|6222001|工商银行|北京|海淀|BJJGS",
                                   "上海乙公司|6222021234567890|建设银行|上海|浦东|SHYGS",
                                   "丙商行|95588|农业银行|广东|广州|BSX"};
        QCOMPARE(addressBook(), before + added);
        QVERIFY(!addressBook().join('\n').contains("客户名称")); // the heading row
    }

    void rowWithOnlyANameGetsPlaceholders()
    {
        writeSheet({Row{QStringLiteral("只有名称")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("恭喜你，信息已成功导入\n共导入 1 个客户。"));
        QCOMPARE(addressBook().last(), "只有名称|无|无|无|无|" + text::initials("只有名称"));
    }

    // Names the import would hold twice (repeated in the file, or already in the address book
    // beyond the first row) are listed before anything is written; 否, the default, imports nothing.
    void namesThatWouldStandTwiceAreAskedAbout_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("added");
        QTest::newRow("yes") << int(ui::Yes) << 4;
        QTest::newRow("no") << int(ui::No) << 0;
    }
    void namesThatWouldStandTwiceAreAskedAbout()
    {
        QFETCH(int, answer);
        QFETCH(int, added);
        StoreFixture::append(customers(), {"已有客户", "1", "2", "3", "4", "YYKH"});
        const QStringList before = addressBook();
        writeSheet({Row{QStringLiteral("新客户"), QStringLiteral("1")}, Row{QStringLiteral("新客户"), QStringLiteral("2")},
                    Row{QStringLiteral("已有客户"), QStringLiteral("3")}, Row{QStringLiteral("另一家"), QStringLiteral("4")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        prompter->clear();
        prompter->answer(ui::Button(answer));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        const ui::Prompt &asked = prompter->prompts.first();
        QCOMPARE(asked.buttons, ui::Buttons(ui::Yes | ui::No));
        QCOMPARE(asked.defaultButton, ui::No);
        QVERIFY2(asked.text.contains(QStringLiteral("新客户（文件第 2、3 行）")), qPrintable(asked.text));
        QVERIFY2(asked.text.contains(QStringLiteral("已有客户（文件第 4 行；客户资料中已有 1 个）")), qPrintable(asked.text));
        QVERIFY(!asked.text.contains(QStringLiteral("另一家")));
        const QStringList book = addressBook();
        QCOMPARE(book.size(), before.size() + added);
        if (added) {
            QCOMPARE(prompter->lastText(), QStringLiteral("恭喜你，信息已成功导入\n共导入 4 个客户。"));
            QCOMPARE(book.filter(QRegularExpression("^新客户\\|")).size(), 2);
        } else {
            QCOMPARE(book, before);
            QCOMPARE(prompter->prompts.size(), 1);
            QVERIFY(!w.isNull()); // the clerk may mend the file and read it again
        }
    }

    void sameSheetTwiceIsRefused()
    {
        writeSheet({Row{QStringLiteral("甲公司")}, Row{QStringLiteral("乙公司")}});
        QPointer<maintenance::CustomerImportWindow> first = open();
        QTest::mouseClick(button(first, "Command1"), Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        const QStringList after = addressBook();

        prompter->clear();
        QPointer<maintenance::CustomerImportWindow> second = open();
        QTest::mouseClick(button(second, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->texts(), QStringList{"此客户已存在,不能重复导入"});
        QCOMPARE(prompter->lastTitle(), QStringLiteral("客户导入"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Warning);
        QVERIFY(!second.isNull());
        QCOMPARE(addressBook(), after);
        // The list shows every customer again, not the duplicate check's one row.
        QCOMPARE(second->customers().recordCount(), after.size());
    }

    void badFilesAreRefusedAndNothingChanges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const QByteArray good = xlstest::customerWorkbook({Row{QStringLiteral("甲")}, Row{QStringLiteral("乙")}});
        QByteArray damaged = good;
        damaged.replace(good.size() - 512, 512, QByteArray(512, '\x07'));
        QTest::newRow("damaged") << damaged << "";
        QTest::newRow("truncated") << good.left(1024) << "";
        QTest::newRow("not a workbook") << QByteArray("甲,6222\n乙,6223\n") << "不是 Excel 97-2003 工作簿";
        QTest::newRow("empty") << QByteArray() << "空文件";
        QTest::newRow("password")
            << xlstest::workbook({xlstest::Sheet{"Sheet1", {Row{"名称"}, Row{"甲"}}}}, {true}) << "密码";
        QTest::newRow("heading only") << xlstest::customerWorkbook({}) << "没有客户数据";
    }
    void badFilesAreRefusedAndNothingChanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QStringList before = addressBook();
        QVERIFY(xlstest::writeFile(db->dir().file("khb.xls"), bytes));
        QPointer<maintenance::CustomerImportWindow> w = open();
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains(says), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().contains("没有导入任何客户信息"));
        QCOMPARE(label(w, "Label10"), QStringLiteral("0"));
        QVERIFY(!button(w, "Command1")->isEnabled());
        button(w, "Command1")->click(); // even forced, nothing happens but a message
        QCOMPARE(addressBook(), before);
        QVERIFY(!w.isNull());
    }

    void failureHalfwayLeavesTheAddressBookAsItWas()
    {
        // A row the database refuses, as a full disk or a broken file would.
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(store::databasePath());
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON khb WHEN NEW.gsmc = '坏行' "
                           "BEGIN SELECT RAISE(ABORT, '磁盘已满'); END"));
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        const QStringList before = addressBook();
        writeSheet({Row{QStringLiteral("甲")}, Row{QStringLiteral("乙")}, Row{QStringLiteral("坏行")},
                    Row{QStringLiteral("丁")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY2(prompter->lastText().contains("工作表第 4 行导入失败"), qPrintable(prompter->lastText()));
        QVERIFY(prompter->lastText().contains("磁盘已满"));
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Critical);
        QCOMPARE(addressBook(), before);
        QVERIFY(!w.isNull());
        QCOMPARE(w->customers().recordCount(), before.size());
        QCOMPARE(label(w, "Label4"), QString::number(before.size()));
        QCOMPARE(field(w, 0), QStringLiteral("甲")); // back on the first row, ready to try again
        QVERIFY(button(w, "Command1")->isEnabled());
    }

    void missingWorkbookOffersAnotherFile()
    {
        const QString other = db->dir().file("客户表.xls");
        QVERIFY(xlstest::writeFile(other, xlstest::customerWorkbook({Row{QStringLiteral("选中的客户")}})));
        prompter->answer(ui::Yes);
        auto *w = new maintenance::CustomerImportWindow;
        int asked = 0;
        w->setWorkbookChooser([&](QWidget *) { ++asked; return other; });
        w->show();
        QCOMPARE(asked, 1);
        QVERIFY(prompter->lastText().contains("找不到客户信息表 khb.xls"));
        QCOMPARE(w->workbookPath(), other);
        QCOMPARE(field(w, 0), QStringLiteral("选中的客户"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QVERIFY(addressBook().last().startsWith("选中的客户|无|"));
    }

    // The window lists every row about to be imported, marked: red for the first row whose
    // customer exists (the import would be refused), yellow for rows the clerk should look at.
    void marksOfTheRowsAboutToBeImported()
    {
        const QHash<QString, int> held = {{QStringLiteral("已有客户"), 1}, {QStringLiteral("两个同名"), 2}};
        using Level = maintenance::ImportMark::Level;
        const struct {
            QVector<QStringList> rows;
            QVector<Level> levels;
            QStringList notes;
        } cases[] = {
            {{{"新客户", "1", "2", "3", "4"}, {"另一家", "5", "6", "7", "8"}}, {Level::None, Level::None}, {"", ""}},
            {{{"已有客户", "1", "2", "3", "4"}, {"已有客户", "1", "2", "3", "4"}},
             {Level::Refused, Level::Warning},
             {"客户资料中已有此客户，导入会被拒绝", "与文件第 2 行同名；客户资料中已有同名客户"}},
            {{{"甲", "1", "", "3", ""}, {"", "5", "6", "7", "8"}, {"甲", "1", "2", "3", "4"},
              {"两个同名", "1", "2", "3", "4"}},
             {Level::Warning, Level::Warning, Level::Warning, Level::Warning},
             {"与文件第 4 行同名；开户行、市/县为空，导入为“无”", "没有客户名称", "与文件第 2 行同名",
              "客户资料中已有同名客户"}},
        };
        for (const auto &c : cases) {
            QVector<int> sheetRows;
            for (int i = 0; i < c.rows.size(); ++i)
                sheetRows << i + 2;
            const QVector<maintenance::ImportMark> marks = maintenance::markImportRows(c.rows, sheetRows, held);
            QCOMPARE(marks.size(), c.rows.size());
            for (int i = 0; i < marks.size(); ++i) {
                QCOMPARE(marks.at(i).level, c.levels.at(i));
                QCOMPARE(marks.at(i).note, c.notes.at(i));
            }
        }

        // In the window: every row, the first as its fields hold it, marks following its edits.
        StoreFixture::append(customers(), {"已有客户", "1", "2", "3", "4", "YYKH"});
        writeSheet({Row{QStringLiteral("已有客户"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                        QStringLiteral("4")},
                    Row{QStringLiteral("新客户"), QStringLiteral("5")}, Row{QStringLiteral("第三家"), QStringLiteral("6"),
                        QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        auto *rows = w->findChild<QTableView *>("gridRows")->model();
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->index(1, 0).data().toInt(), 3); // the sheet's row number
        QCOMPARE(rows->index(1, 1).data().toString(), QStringLiteral("新客户"));
        QCOMPARE(rows->index(0, 6).data().toString(), QStringLiteral("客户资料中已有此客户，导入会被拒绝"));
        QCOMPARE(rows->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 205, 205));
        QCOMPARE(rows->index(1, 6).data().toString(), QStringLiteral("开户行、省/市、市/县为空，导入为“无”"));
        QCOMPARE(rows->index(1, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 243, 190));
        QVERIFY(!rows->index(2, 1).data(Qt::BackgroundRole).isValid());
        QVERIFY2(label(w, "label_gridRows").contains("共 3 行"), qPrintable(label(w, "label_gridRows")));
        saveScreenshot(w, "khxxdr_rows");
        QLineEdit *name = w->findChild<QLineEdit *>("Text1_0");
        name->selectAll();
        QTest::keyClicks(name, "Xin");
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("Xin"));
        QVERIFY(rows->index(0, 6).data().toString().isEmpty());
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("恭喜你，信息已成功导入\n共导入 3 个客户。"));
    }

    // 否 to the missing file leaves the window open; 选择文件 takes a file then, or any time.
    void aFileCanBeChosenAtAnyTime()
    {
        const QString first = db->dir().file("第一个.xls"), second = db->dir().file("第二个.csv");
        QVERIFY(xlstest::writeFile(first, xlstest::customerWorkbook({Row{QStringLiteral("第一个文件的客户")},
                                                                      Row{QStringLiteral("又一个")}})));
        QVERIFY(xlstest::writeFile(second, QByteArray("客户名称,帐号\n第二个文件的客户,6222\n")));
        prompter->answer(ui::No);
        QString chosen;
        auto *w = new maintenance::CustomerImportWindow;
        w->setWorkbookChooser([&](QWidget *) { return chosen; });
        w->show();
        QVERIFY(!button(w, "Command1")->isEnabled());
        QVERIFY(button(w, "cmdChoose")->isEnabled());
        QCOMPARE(w->findChild<QLineEdit *>("txtFile")->text(), QStringLiteral("（没有选择文件）"));
        chosen = first;
        QTest::mouseClick(button(w, "cmdChoose"), Qt::LeftButton);
        QCOMPARE(w->workbookPath(), first);
        QCOMPARE(field(w, 0), QStringLiteral("第一个文件的客户"));
        QCOMPARE(label(w, "Label10"), QStringLiteral("2"));
        QVERIFY(button(w, "Command1")->isEnabled());
        // Another file in its place: its rows only, no cell of the first one kept.
        chosen = second;
        QTest::mouseClick(button(w, "cmdChoose"), Qt::LeftButton);
        QCOMPARE(field(w, 0), QStringLiteral("第二个文件的客户"));
        QCOMPARE(field(w, 2), QString());
        QCOMPARE(w->findChild<QTableView *>("gridRows")->model()->rowCount(), 1);
        QCOMPARE(w->findChild<QLineEdit *>("txtFile")->text(), QDir::toNativeSeparators(second));
        // A dialog cancelled changes nothing.
        chosen.clear();
        QTest::mouseClick(button(w, "cmdChoose"), Qt::LeftButton);
        QCOMPARE(w->workbookPath(), second);
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("恭喜你，信息已成功导入\n共导入 1 个客户。"));
        QVERIFY(addressBook().last().startsWith("第二个文件的客户|6222|无|"));
    }

    void missingWorkbookDeclinedImportsNothing()
    {
        const QStringList before = addressBook();
        prompter->answer(ui::No);
        QPointer<maintenance::CustomerImportWindow> w = open();
        QCOMPARE(prompter->prompts.size(), 1);
        QVERIFY(!button(w, "Command1")->isEnabled());
        QCOMPARE(label(w, "Label10"), QStringLiteral("0"));
        QTest::mouseClick(button(w, "Command2"), Qt::LeftButton);
        QTRY_VERIFY(w.isNull());
        QCOMPARE(addressBook(), before);
    }

    // The kinds besides khb.xls: khb.xlsx found in the program folder, a .csv chosen by the
    // user (GBK, as a bookkeeping program exports it), a workbook whose sheet is not named sheet1.
    void otherKindsOfFileAreImported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QStringList>("added");
        const QStringList added = {"北京甲公司|6222021234567890123|工商银行|北京|海淀|" + text::initials("北京甲公司"),
                                   "乙商行|无|无|无|无|" + text::initials("乙商行")};
        QTemporaryDir scratch;
        const QString xlsx = scratch.filePath("khb.xlsx");
        QVERIFY(sheets::writeTemplate(xlsx, maintenance::customerSheetHeader(),
                                      {{"北京甲公司", "6222021234567890123", "工商银行", "北京", "海淀"}, {"乙商行"}},
                                      nullptr));
        QFile f(xlsx);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTest::newRow("khb.xlsx") << "khb.xlsx" << f.readAll() << false << added;
        QTest::newRow("chosen GBK csv")
            << "客户.csv"
            << QByteArray("\xbf\xcd\xbb\xa7\xc3\xfb\xb3\xc6,\xd5\xca\xba\xc5\r\n"
                          "\xb1\xb1\xbe\xa9\xbc\xd7\xb9\xab\xcb\xbe,6222021234567890123,\xb9\xa4\xc9\xcc\xd2\xf8\xd0\xd0,"
                          "\xb1\xb1\xbe\xa9,\xba\xa3\xb5\xed\r\n\xd2\xd2\xc9\xcc\xd0\xd0\r\n")
            << true << added;
        QTest::newRow("chosen csv with semicolons")
            << "客户.csv"
            << QByteArray("客户名称;帐号;开户行;省;市\n北京甲公司;6222021234567890123;工商银行;北京;海淀\n乙商行\n")
            << true << added;
        QTest::newRow("chosen csv with tabs")
            << "客户.txt.csv"
            << QByteArray("客户名称\t帐号\t开户行\t省\t市\n北京甲公司\t6222021234567890123\t工商银行\t北京\t海淀\n乙商行\n")
            << true << added;
        QTest::newRow("sheet of another name")
            << "khb.xls"
            << xlstest::customerWorkbook({Row{QStringLiteral("北京甲公司"), QStringLiteral("6222021234567890123"),
                                              QStringLiteral("工商银行"), QStringLiteral("北京"), QStringLiteral("海淀")},
                                          Row{QStringLiteral("乙商行")}},
                                         QStringLiteral("客户"))
            << false << added;
    }
    void otherKindsOfFileAreImported()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, chosen);
        QFETCH(QStringList, added);
        const QStringList before = addressBook();
        const QString path = db->dir().file(name);
        QVERIFY(xlstest::writeFile(path, bytes));
        if (chosen)
            prompter->answer(ui::Yes);
        auto *w = new maintenance::CustomerImportWindow;
        w->setWorkbookChooser([&](QWidget *) { return path; });
        w->show();
        QCOMPARE(w->workbookPath(), path);
        QVERIFY2(w->sheet().ok(), qPrintable(w->sheet().error));
        QCOMPARE(label(w, "Label10"), QStringLiteral("2"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        QCOMPARE(prompter->lastText(), QStringLiteral("恭喜你，信息已成功导入\n共导入 %1 个客户。").arg(added.size()));
        QCOMPARE(addressBook(), before + added);
    }

    void templateIsSavedWhereChosenAndReadsBack()
    {
        const QStringList before = addressBook();
        QPointer<maintenance::CustomerImportWindow> w = open(); // no workbook: declined
        prompter->clear();
        QString proposed;
        const QString target = db->dir().file("客户模板");
        w->setTemplateChooser([&](QWidget *, const QString &p) { proposed = p; return target; });
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("khb.xlsx"));
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Information);
        QVERIFY2(prompter->lastText().contains("客户模板.xlsx"), qPrintable(prompter->lastText()));
        const sheets::Sheet sheet = sheets::readSheet(target + ".xlsx");
        QVERIFY2(sheet.ok(), qPrintable(sheet.error));
        QCOMPARE(sheet.header, (QStringList{"客户名称", "帐号", "开户行", "省/市", "市/县"}));
        QVERIFY(sheet.rows.isEmpty()); // no example row that an import would take for a customer
        QCOMPARE(addressBook(), before);

        // Given up in the dialog: nothing said, nothing written; a place that cannot be written: said.
        prompter->clear();
        w->setTemplateChooser([](QWidget *, const QString &) { return QString(); });
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QVERIFY(prompter->prompts.isEmpty());
        w->setTemplateChooser([&](QWidget *, const QString &) { return db->dir().file("没有的文件夹/模板.xlsx"); });
        QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
        QCOMPARE(prompter->prompts.size(), 1);
        QCOMPARE(prompter->prompts.last().icon, ui::Icon::Critical);
        QVERIFY(prompter->lastText().contains("模板没有保存"));
    }

    void editedFirstRowIsWhatGetsImported()
    {
        writeSheet({Row{QStringLiteral("原名"), QStringLiteral("1")}, Row{QStringLiteral("第二")}});
        QPointer<maintenance::CustomerImportWindow> w = open();
        auto *name = w->findChild<QLineEdit *>("Text1_0");
        name->clear();
        QTest::keyClicks(name, QStringLiteral("Renamed Co"));
        QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
        const QStringList book = addressBook();
        QCOMPARE(book.at(book.size() - 2), "Renamed Co|1|无|无|无|" + text::initials("Renamed Co"));
        QVERIFY(book.last().startsWith("第二|无|"));
    }

    // Every form of the initials for every row: the interval rule's and the readings' two.
    void importFillsBothFormsOfTheInitials()
    {
        store::Connection connection;
        QString failedRow, error;
        QVERIFY(maintenance::appendCustomers(connection,
                                             {{"鑫达建材有限公司", "1", "", "", ""}, {"晟泰科技", "2", "", "", ""},
                                              {"中国工商银行", "3", "", "", ""}},
                                             {2, 3, 4}, {}, &failedRow, &error));
        QCOMPARE(StoreFixture::column(customers(), "gsmczmjc").mid(1), (QStringList{"ZDJCYXGS", "ZTKJ", "ZGGSYX"}));
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyjc").mid(1), (QStringList{"XDJCYXGS", "CTKJ", "ZGGSYX"}));
        QCOMPARE(StoreFixture::column(customers(), "gsmcdyzm").mid(1), (QStringList{"XDJCYXGS", "CsTKJ", "ZGGSYXh"}));
    }
};

QTEST_MAIN(TestCustomerImport)
#include "tst_customerimport.moc"
