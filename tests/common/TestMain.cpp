#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

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
