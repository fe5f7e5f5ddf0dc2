#pragma once

#include <QtGlobal>

namespace screenstest {

// A child process's way to die in the middle of a store's commit: a layer over SQLite's
// default file system that, once armed, kills the process with SIGKILL as soon as the
// given number of bytes has been written to a write-ahead log. Install it before the
// store is opened.
class WalKillSwitch {
public:
    WalKillSwitch() = delete;

    static void install();
    static void arm(qint64 bytes);
};

} // namespace screenstest
