#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

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

// Every test process gets an application home of its own, so settings, documents and
// stores written by one test never reach another. The folder is removed at exit.
int main(int argc, char** argv)
{
    QTemporaryDir home(QDir::tempPath() + "/kivotab-test-XXXXXX");
    if (!home.isValid())
        return 2;
    qputenv("KIVOTAB_HOME", home.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName("Kivotab");
    QApplication::setOrganizationName("Solvane");

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
