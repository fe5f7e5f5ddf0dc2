#pragma once

// Cells, form screens and the shared appearance live on the main thread; element trees
// may be built anywhere. A debug build stops at the first use from another thread.
class FormThread {
public:
    FormThread() = delete;

    static void assertMain();
};
