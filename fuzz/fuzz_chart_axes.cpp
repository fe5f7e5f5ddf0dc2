// Numbers of any kind through the axis ticks, the label space, the bar range and small
// bar, line and scatter charts. Run it on the seed corpus:
// fuzz_chart_axes -max_len=256 -timeout=10 tests/reports/charts/corpus
#include "ChartAxesFuzzHarness.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

// Caches that system libraries keep for the life of the process, as in the tests: fontconfig
// keeps some of the matches it makes for new text out of reach.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Nothing the charts read may come from the person's own application home.
    static std::unique_ptr<QTemporaryDir> home
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kivotab-fuzz-XXXXXX");
    qputenv("KIVOTAB_HOME", home->path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The charts' views are widgets: they need the application. It stays to the process's
    // end, never destroyed: Qt's font caches let go of it piecemeal when it is, and what
    // they still hold at the exit's leak check would be reported.
    static QApplication* const application = new QApplication(*argc, *argv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    runChartAxesFuzzInput(data, size);
    return 0;
}
