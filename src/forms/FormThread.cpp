#include "forms/FormThread.h"

#include "platform/Dispatch.h"

#include <QtGlobal>

void FormThread::assertMain()
{
    Q_ASSERT_X(platform::dispatch::isMainThread(), "forms",
        "cells, form screens and the form appearance are used on the main thread only");
}
