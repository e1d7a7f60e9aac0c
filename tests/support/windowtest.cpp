#include "windowtest.h"

#include "ui/fonts.h"

void WindowTest::initTestCase() { ui::installChineseFonts(); }

void WindowTest::init()
{
    db = std::make_unique<StoreFixture>();
    QVERIFY(db->isValid());
    prompter = std::make_unique<ScriptedPrompter>();
}

void WindowTest::cleanup()
{
    prompter.reset();
    db.reset();
}
