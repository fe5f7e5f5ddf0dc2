// Random JSON bound into a form as a form loaded from the web binds its answer, then laid
// out offscreen. Run it on the seed corpus:
//   QT_QPA_PLATFORM=offscreen fuzz_json_form -max_len=4096 -timeout=10 tests/forms/fuzz/corpus
#include "JsonFormFuzzHarness.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

// Caches that system libraries keep for the life of the process, as the tests have them.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Nothing the forms read may come from the person's own application home.
    static std::unique_ptr<QTemporaryDir> home
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kivotab-fuzz-XXXXXX");
    qputenv("KIVOTAB_HOME", home->path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tables are widgets: the application lives as long as the process. It gets arguments
    // of its own, so it takes none of the fuzzer's.
    static int count = 1;
    static char name[] = "fuzz_json_form";
    static char* arguments[] = { name, nullptr };
    static QApplication* application = new QApplication(count, arguments);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bindJsonFormFuzzInput(data, size);
    return 0;
}
