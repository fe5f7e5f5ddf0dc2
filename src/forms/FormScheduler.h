#pragma once

#include <functional>

// The delayed steps of the form engine (closing a choice list after a pick, ...). They
// run on the main queue; tests hand in a scheduler of their own and run the steps when
// they choose, without waiting.
class FormScheduler {
public:
    using Block = std::function<void()>;
    using Scheduler = std::function<void(int milliseconds, Block block)>;

    FormScheduler() = delete;

    static void after(int milliseconds, Block block);
    // An empty scheduler puts back the main queue.
    static void setScheduler(Scheduler scheduler);
};
