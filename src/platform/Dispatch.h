#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace platform::dispatch {

using Block = std::function<void()>;

enum class Priority { Low, Default, High, Background };

bool isMainThread();

// Exceptions never leave a main-queue block into the event loop: one that escapes a
// block handed to asyncMain, afterMain or (from another thread) syncMain goes to this
// handler (the UI layer shows it); without one it is written to the log.
void setMainQueueExceptionHandler(std::function<void(const std::exception&)> handler);

// The main queue is the Qt event loop of the application's main thread.
void asyncMain(Block block);
// Runs the block on the main thread and waits for it; runs it at once on the main thread.
void syncMain(const Block& block);
// Runs the block on the main queue after the delay.
void afterMain(int milliseconds, Block block);

// The global concurrent queues (a shared thread pool).
void asyncGlobal(Block block, Priority priority = Priority::Default);

// Waits until every block handed to the global queues has finished (tests, shutdown).
void waitForGlobal();

// Calls the block for the ranges [begin, end) that together cover 0..count once each, on
// the calling thread and pool threads at once, and returns when all are done. The
// calling thread takes ranges too, so a busy pool slows the work but never stalls it.
// The block must not throw.
void concurrentApply(qsizetype count, qsizetype rangeSize,
    const std::function<void(qsizetype begin, qsizetype end)>& block);

// A queue that runs its blocks one at a time, in the order given, on pool threads.
class SerialQueue : public std::enable_shared_from_this<SerialQueue> {
public:
    static std::shared_ptr<SerialQueue> create(const QString& label);
    ~SerialQueue();

    const QString& label() const { return m_label; }
    void async(Block block);
    // Runs the block on the queue and waits; runs it directly when already on the queue,
    // so a queue's own job may call its public operations without deadlocking.
    void sync(const Block& block);
    // True while the calling thread is running one of this queue's blocks.
    bool isCurrent() const;
    // The serial queue whose block the calling thread runs, or nullptr.
    static SerialQueue* current();

private:
    explicit SerialQueue(QString label);
    void drain();

    QString m_label;
    std::mutex m_mutex;
    std::deque<Block> m_blocks;
    bool m_running = false;
};

// Tracks a set of blocks and tells when all of them are done.
class Group {
public:
    void enter();
    void leave();
    void wait();
    // Runs the block on the main queue once the group is empty.
    void notifyMain(Block block);

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    int m_count = 0;
    std::vector<Block> m_notify;
};

// Operations run on the main thread one at a time, in the order added. An operation may
// finish later than the call that starts it (it is handed a `finish` to call once); the next
// starts in a later turn of the event loop after the one before has finished. Made by
// create() and held by std::shared_ptr; pending operations are dropped with the queue.
class MainOperationQueue : public std::enable_shared_from_this<MainOperationQueue> {
public:
    using Operation = std::function<void(Block finish)>;

    static std::shared_ptr<MainOperationQueue> create(const QString& name);
    ~MainOperationQueue();

    const QString& name() const { return m_name; }
    // From the main thread only.
    void addOperation(Operation operation);
    // An operation that has finished when the block returns.
    void addBlock(Block block);
    // Operations added and not yet finished, the running one included.
    qsizetype operationCount() const;
    // Drops the operations not yet started; the running one still finishes.
    void cancelAllOperations();

private:
    explicit MainOperationQueue(QString name);
    void startNext();
    void finished(quint64 generation);

    QString m_name;
    std::deque<Operation> m_pending;
    bool m_running = false;
    bool m_startScheduled = false;
    // Tells apart the finish calls of the running operation from stale ones.
    quint64 m_generation = 0;
};

} // namespace platform::dispatch
