#include "common/ChildProcess.h"
#include "common/TestSupport.h"

#include "platform/Product.h"

#ifdef KIVOTAB_TEST_CORE_ONLY
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

// Sanitizer settings live here rather than in the environment, so a test binary run by
// hand behaves as it does under ctest.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Caches that system libraries keep for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\n";
}

namespace {

// Every test gets an application home of its own and starts from fresh shared state, so
// settings, documents and stores written by one test never reach the next, whether the
// tests run one per process (ctest) or all in one process. A child a test started for
// itself takes the fresh home its parent made, which the parent removes with its own.
class FreshHomePerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        QString home = testsupport::ChildProcess::homeFromParent();
        if (home.isEmpty()) {
            m_home = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kivotab-test-XXXXXX");
            if (!m_home->isValid())
                std::abort();
            home = m_home->path();
        }
        qputenv("KIVOTAB_HOME", home.toUtf8());
        testsupport::resetSharedState();
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        testsupport::resetSharedState();
        m_home.reset();
    }

    std::unique_ptr<QTemporaryDir> m_home;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Until the first test starts, anything that looks for the home finds a scratch one (a
    // child a test started leaves none behind when it ends mid-test).
    std::optional<QTemporaryDir> startHome;
    QString home = testsupport::ChildProcess::homeFromParent();
    if (home.isEmpty()) {
        startHome.emplace(QDir::tempPath() + "/kivotab-test-XXXXXX");
        home = startHome->path();
    }
    qputenv("KIVOTAB_HOME", home.toUtf8());

    TestApplication app(argc, argv);
    Product::nameApplication();

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHomePerTest);
    return RUN_ALL_TESTS();
}
