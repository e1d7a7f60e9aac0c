#pragma once
// The base of the window tests: the Chinese fonts once, a fresh database and a scripted prompter
// for every test function, both gone after it. A test class that needs more in init() or cleanup()
// defines its own and calls these first (init) or last (cleanup).

#include "scriptedprompter.h"
#include "storefixture.h"

#include <QObject>
#include <QTest>

#include <memory>

class WindowTest : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<StoreFixture> db;
    std::unique_ptr<ScriptedPrompter> prompter;

protected slots:
    void initTestCase();
    void init();
    void cleanup();
};
