#pragma once
// Shared by the store's test programs: a Qt application object for the SQL driver, a fresh
// application directory with a new database per test, and readable QString failures.

#include "store/database.h"
#include "tempappdir.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']';
}

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "store_test";
        static char *argv[] = {name, nullptr};
        m_app = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete m_app; }

private:
    QCoreApplication *m_app = nullptr;
};

inline ::testing::Environment *const qtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// Each test gets its own application directory holding a newly created sjk.mdb. The file is
// made by the constructor, so that connections held by derived fixtures open on it.
class StoreTest : public ::testing::Test {
protected:
    StoreTest() : m_status(store::ensureDatabase()) {}

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_status.created);
        ASSERT_TRUE(m_status.ok) << m_status.errorText.toStdString();
    }

    TempAppDir m_dir;
    store::DatabaseStatus m_status;
};
