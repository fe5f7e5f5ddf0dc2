// Random templates over a small data set with dictionary partials and templates among its
// values. Run it on the seed corpus:
// fuzz_mustache -max_len=2048 -timeout=10 tests/reports/mustache/corpus
#include "MustacheFuzzHarness.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Nothing the engine reads may come from the person's own application home.
    static std::unique_ptr<QTemporaryDir> home
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kivotab-fuzz-XXXXXX");
    qputenv("KIVOTAB_HOME", home->path().toUtf8());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    renderMustacheFuzzInput(data, size);
    return 0;
}
