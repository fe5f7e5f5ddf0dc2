#include "platform/Dispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <future>
#include <stdexcept>

namespace platform::dispatch {

namespace {

thread_local SerialQueue* t_currentQueue = nullptr;

QThreadPool* globalPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(std::max(4, QThread::idealThreadCount()));
        return p;
    }();
    return pool;
}

int qtPriority(Priority priority)
{
    switch (priority) {
    case Priority::High:
        return 2;
    case Priority::Default:
        return 1;
    case Priority::Low:
        return 0;
    case Priority::Background:
        return -1;
    }
    return 0;
}

std::mutex g_handlerMutex;
std::function<void(const std::exception&)>& exceptionHandler()
{
    static std::function<void(const std::exception&)> handler;
    return handler;
}

void handOver(const std::exception& exception)
{
    std::function<void(const std::exception&)> handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = exceptionHandler();
    }
    if (handler) {
        try {
            handler(exception);
            return;
        } catch (...) {
        }
    }
    qWarning("Exception in a main-queue block: %s", exception.what());
}

// The block as the event loop runs it: whatever it throws stops here.
Block caught(Block block)
{
    return [block = std::move(block)] {
        try {
            block();
        } catch (const std::exception& exception) {
            handOver(exception);
        } catch (...) {
            handOver(std::runtime_error("Unknown exception"));
        }
    };
}

} // namespace

void setMainQueueExceptionHandler(std::function<void(const std::exception&)> handler)
{
    std::lock_guard lock(g_handlerMutex);
    exceptionHandler() = std::move(handler);
}

bool isMainThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void asyncMain(Block block)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, caught(std::move(block)), Qt::QueuedConnection);
}

void syncMain(const Block& block)
{
    if (isMainThread() || !QCoreApplication::instance()) {
        block();
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), caught(block), Qt::BlockingQueuedConnection);
}

void afterMain(int milliseconds, Block block)
{
    auto start = [milliseconds, block = std::move(block)]() mutable {
        QTimer::singleShot(
            std::max(0, milliseconds), QCoreApplication::instance(), caught(std::move(block)));
    };
    if (isMainThread())
        start();
    else
        asyncMain(std::move(start));
}

void asyncGlobal(Block block, Priority priority)
{
    globalPool()->start(std::move(block), qtPriority(priority));
}

void waitForGlobal()
{
    globalPool()->waitForDone();
}

void concurrentApply(qsizetype count, qsizetype rangeSize,
    const std::function<void(qsizetype begin, qsizetype end)>& block)
{
    if (count <= 0)
        return;
    rangeSize = std::max<qsizetype>(1, rangeSize);
    const qsizetype ranges = (count + rangeSize - 1) / rangeSize;
    // Helpers that start after the last range was taken find nothing to do; they hold the
    // state, never the block, once the call has returned.
    struct State {
        std::atomic<qsizetype> next { 0 };
        std::mutex mutex;
        std::condition_variable finished;
        qsizetype done = 0;
    };
    auto state = std::make_shared<State>();
    const auto* work = &block;
    const auto takeRanges = [state, work, count, rangeSize, ranges] {
        qsizetype mine = 0;
        for (;;) {
            const qsizetype range = state->next.fetch_add(1);
            if (range >= ranges)
                break;
            const qsizetype begin = range * rangeSize;
            (*work)(begin, std::min(count, begin + rangeSize));
            ++mine;
        }
        if (mine == 0)
            return;
        std::lock_guard lock(state->mutex);
        state->done += mine;
        if (state->done == ranges)
            state->finished.notify_all();
    };
    const qsizetype helpers = std::min<qsizetype>(ranges - 1, globalPool()->maxThreadCount());
    for (qsizetype i = 0; i < helpers; ++i)
        globalPool()->start(takeRanges, qtPriority(Priority::High));
    takeRanges();
    std::unique_lock lock(state->mutex);
    state->finished.wait(lock, [&] { return state->done == ranges; });
}

std::shared_ptr<SerialQueue> SerialQueue::create(const QString& label)
{
    return std::shared_ptr<SerialQueue>(new SerialQueue(label));
}

SerialQueue::SerialQueue(QString label)
    : m_label(std::move(label))
{
}

SerialQueue::~SerialQueue() = default;

void SerialQueue::async(Block block)
{
    std::lock_guard lock(m_mutex);
    m_blocks.push_back(std::move(block));
    if (m_running)
        return;
    m_running = true;
    // The running drain keeps the queue alive until its last block is done.
    globalPool()->start([self = shared_from_this()] { self->drain(); });
}

void SerialQueue::drain()
{
    SerialQueue* previous = t_currentQueue;
    t_currentQueue = this;
    for (;;) {
        Block block;
        {
            std::lock_guard lock(m_mutex);
            if (m_blocks.empty()) {
                m_running = false;
                break;
            }
            block = std::move(m_blocks.front());
            m_blocks.pop_front();
        }
        block();
    }
    t_currentQueue = previous;
}

void SerialQueue::sync(const Block& block)
{
    if (isCurrent()) {
        block();
        return;
    }
    std::promise<void> done;
    auto future = done.get_future();
    async([&] {
        block();
        done.set_value();
    });
    future.wait();
}

bool SerialQueue::isCurrent() const
{
    return t_currentQueue == this;
}

SerialQueue* SerialQueue::current()
{
    return t_currentQueue;
}

void Group::enter()
{
    std::lock_guard lock(m_mutex);
    ++m_count;
}

void Group::leave()
{
    std::vector<Block> notify;
    {
        std::lock_guard lock(m_mutex);
        if (--m_count > 0)
            return;
        m_count = 0;
        notify.swap(m_notify);
    }
    m_done.notify_all();
    for (auto& block : notify)
        asyncMain(std::move(block));
}

void Group::wait()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_count == 0; });
}

void Group::notifyMain(Block block)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_count > 0) {
            m_notify.push_back(std::move(block));
            return;
        }
    }
    asyncMain(std::move(block));
}

std::shared_ptr<MainOperationQueue> MainOperationQueue::create(const QString& name)
{
    return std::shared_ptr<MainOperationQueue>(new MainOperationQueue(name));
}

MainOperationQueue::MainOperationQueue(QString name)
    : m_name(std::move(name))
{
}

MainOperationQueue::~MainOperationQueue() = default;

void MainOperationQueue::addOperation(Operation operation)
{
    m_pending.push_back(std::move(operation));
    if (m_running || m_startScheduled)
        return;
    m_startScheduled = true;
    std::weak_ptr<MainOperationQueue> weak = weak_from_this();
    asyncMain([weak] {
        if (auto self = weak.lock())
            self->startNext();
    });
}

void MainOperationQueue::addBlock(Block block)
{
    addOperation([block = std::move(block)](const Block& finish) {
        // Finished even when the block raises, so the queue goes on.
        struct Finisher {
            const Block& finish;
            ~Finisher() { finish(); }
        } finisher { finish };
        block();
    });
}

qsizetype MainOperationQueue::operationCount() const
{
    return qsizetype(m_pending.size()) + (m_running ? 1 : 0);
}

void MainOperationQueue::cancelAllOperations()
{
    m_pending.clear();
}

void MainOperationQueue::startNext()
{
    m_startScheduled = false;
    if (m_running || m_pending.empty())
        return;
    Operation operation = std::move(m_pending.front());
    m_pending.pop_front();
    m_running = true;
    const quint64 generation = ++m_generation;
    std::weak_ptr<MainOperationQueue> weak = weak_from_this();
    Block finish = [weak, generation] {
        auto end = [weak, generation] {
            if (auto self = weak.lock())
                self->finished(generation);
        };
        if (isMainThread())
            end();
        else
            asyncMain(end);
    };
    try {
        operation(finish);
    } catch (...) {
        finish();
        throw;
    }
}

void MainOperationQueue::finished(quint64 generation)
{
    // A second finish of the same operation, or one of an earlier operation, changes nothing.
    if (!m_running || generation != m_generation)
        return;
    m_running = false;
    if (m_pending.empty() || m_startScheduled)
        return;
    m_startScheduled = true;
    std::weak_ptr<MainOperationQueue> weak = weak_from_this();
    asyncMain([weak] {
        if (auto self = weak.lock())
            self->startNext();
    });
}

} // namespace platform::dispatch
