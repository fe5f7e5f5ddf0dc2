// Random bytes as a desktop server's reply, through the parser and, when it is taken, every
// way a reply is shown without widgets. Run it on the seed corpus:
// fuzz_bridge_reply -max_len=4096 -timeout=10 -dict=fuzz/bridge_reply.dict tests/bridge/corpus
#include "BridgeReplyFuzzHarness.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

// Caches that system libraries keep for the life of the process, as the tests have them.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Nothing may come from or go to the person's own application home.
    static std::unique_ptr<QTemporaryDir> home
        = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kivotab-fuzz-XXXXXX");
    qputenv("KIVOTAB_HOME", home->path().toUtf8());
    // Column widths are measured in fonts, which need a GUI application; nothing is shown.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_bridge_reply";
    static char* argv[] = { name, nullptr };
    // Kept to the end of the process: its font caches go with the process, not before.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    Q_UNUSED(application);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readBridgeReplyFuzzInput(data, size);
    return 0;
}
