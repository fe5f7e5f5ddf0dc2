#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/StringFormat.h"

#include "common/TestSupport.h"

#include <QThread>
#include <gtest/gtest.h>

#include <thread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

using namespace platform;

TEST(Dispatch, SerialQueueRunsBlocksOneAtATimeInOrder)
{
    auto queue = dispatch::SerialQueue::create("test");
    std::vector<int> order;
    std::atomic<int> running { 0 };
    bool overlapped = false;
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            if (running.fetch_add(1) != 0)
                overlapped = true;
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    queue->sync([] {});
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(overlapped);
}

TEST(Dispatch, SyncOnTheQueueItselfRunsInPlaceAndKnowsItsQueue)
{
    auto queue = dispatch::SerialQueue::create("nested");
    bool inner = false;
    bool current = false;
    queue->sync([&] {
        current = queue->isCurrent() && dispatch::SerialQueue::current() == queue.get();
        queue->sync([&] { inner = true; });
    });
    EXPECT_TRUE(inner);
    EXPECT_TRUE(current);
    EXPECT_FALSE(queue->isCurrent());
}

TEST(Dispatch, WorkComesBackToTheMainThread)
{
    std::atomic<bool> ranOnMain { false };
    std::atomic<bool> done { false };
    dispatch::asyncGlobal([&] {
        EXPECT_FALSE(dispatch::isMainThread());
        dispatch::asyncMain([&] {
            ranOnMain = dispatch::isMainThread();
            done = true;
        });
    });
    ASSERT_TRUE(testsupport::waitUntil([&] { return done.load(); }));
    EXPECT_TRUE(ranOnMain);

    bool later = false;
    dispatch::afterMain(20, [&] { later = true; });
    EXPECT_FALSE(later);
    EXPECT_TRUE(testsupport::waitUntil([&] { return later; }));
}

TEST(Dispatch, GroupNotifiesWhenEveryMemberLeft)
{
    dispatch::Group group;
    std::atomic<int> finished { 0 };
    for (int i = 0; i < 8; ++i) {
        group.enter();
        dispatch::asyncGlobal([&] {
            QThread::msleep(5);
            ++finished;
            group.leave();
        });
    }
    bool notified = false;
    group.notifyMain([&] { notified = finished == 8; });
    group.wait();
    EXPECT_EQ(finished, 8);
    EXPECT_TRUE(testsupport::waitUntil([&] { return notified; }));
}

TEST(Dispatch, ConcurrentApplyCoversEveryIndexOnce)
{
    for (const qsizetype count : { qsizetype(0), qsizetype(1), qsizetype(999), qsizetype(1000) }) {
        std::vector<std::atomic<int>> seen(static_cast<size_t>(count));
        dispatch::concurrentApply(count, 100, [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i)
                seen[size_t(i)].fetch_add(1);
        });
        for (qsizetype i = 0; i < count; ++i)
            ASSERT_EQ(seen[size_t(i)].load(), 1) << count << " " << i;
    }
}

TEST(Dispatch, ConcurrentApplyFinishesWhileEveryPoolThreadIsBusy)
{
    // Hold every pool thread (and more): the caller must do all the work itself. The
    // pool has at least four threads, and each must be held before the work is given: an
    // idle one woken for a holding block could otherwise take a helper queued ahead of it.
    std::mutex gate;
    std::unique_lock held(gate);
    std::atomic<int> holding { 0 };
    for (int i = 0; i < 2 * QThread::idealThreadCount() + 8; ++i) {
        dispatch::asyncGlobal([&gate, &holding] {
            ++holding;
            std::lock_guard wait(gate);
        });
    }
    while (holding.load() < std::max(4, QThread::idealThreadCount()))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::atomic<qsizetype> sum { 0 };
    std::atomic<bool> onCaller { true };
    const auto caller = std::this_thread::get_id();
    dispatch::concurrentApply(50, 7, [&](qsizetype begin, qsizetype end) {
        if (std::this_thread::get_id() != caller)
            onCaller = false;
        for (qsizetype i = begin; i < end; ++i)
            sum += i;
    });
    EXPECT_EQ(sum.load(), 50 * 49 / 2);
    EXPECT_TRUE(onCaller.load());
    held.unlock();
    dispatch::waitForGlobal();
}

TEST(Dispatch, AnExceptionInAMainQueueBlockStopsBeforeTheEventLoop)
{
    QStringList seen;
    platform::dispatch::setMainQueueExceptionHandler(
        [&](const std::exception& exception) { seen << QString::fromUtf8(exception.what()); });
    platform::dispatch::asyncMain([] { throw std::runtime_error("from async"); });
    platform::dispatch::afterMain(1, [] { throw std::runtime_error("from later"); });
    std::thread worker(
        [] { platform::dispatch::syncMain([] { throw std::runtime_error("from sync"); }); });
    EXPECT_TRUE(testsupport::waitUntil([&] { return seen.size() == 3; }));
    worker.join();
    // The loop goes on: later blocks still run.
    bool ran = false;
    platform::dispatch::asyncMain([&] { ran = true; });
    EXPECT_TRUE(testsupport::waitUntil([&] { return ran; }));
    EXPECT_TRUE(
        seen.contains("from async") && seen.contains("from later") && seen.contains("from sync"));
    platform::dispatch::setMainQueueExceptionHandler({});
}

TEST(NotificationCenter, ObserversByNameAndSenderAndSafeRemoval)
{
    auto& center = NotificationCenter::defaultCenter();
    int a = 0, b = 0, any = 0;
    int senderA = 0, senderB = 0;
    auto t1 = center.addObserver("Changed", &senderA, [&](const Notification& n) {
        ++a;
        EXPECT_EQ(n.userInfo.value("key").toInt(), 7);
    });
    auto t2 = center.addObserver("Changed", nullptr, [&](const Notification&) { ++b; });
    NotificationCenter::Token t3 = 0;
    // An observer that removes itself while being called.
    t3 = center.addObserver("Changed", nullptr, [&](const Notification&) {
        ++any;
        center.removeObserver(t3);
    });
    center.post("Changed", &senderA, { { "key", 7 } });
    center.post("Changed", &senderB, { { "key", 7 } });
    center.post("Other", &senderA);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(any, 1);
    center.removeObserver(t1);
    center.removeObserver(t2);
    center.post("Changed", &senderA, { { "key", 7 } });
    EXPECT_EQ(a, 1);
}

TEST(NotificationCenter, ARemovedObserverIsNotCalledForAPostAlreadyUnderWay)
{
    auto& center = NotificationCenter::defaultCenter();
    // The first observer tears down the second (as a screen going away would): the
    // second must not run for the same post, nor for one queued to the main queue.
    int second = 0;
    NotificationCenter::Token t2 = 0;
    auto t1 = center.addObserver(
        "TearDown", nullptr, [&](const Notification&) { center.removeObserver(t2); });
    t2 = center.addObserver("TearDown", nullptr, [&](const Notification&) { ++second; });
    center.post("TearDown");
    EXPECT_EQ(second, 0);
    center.removeObserver(t1);

    int onMain = 0;
    auto t3 = center.addObserver(
        "FromWorker", nullptr, [&](const Notification&) { ++onMain; }, true);
    std::thread worker([&] { center.post("FromWorker"); });
    worker.join();
    // Delivery is queued to the main queue; the observer leaves before it arrives.
    center.removeObserver(t3);
    testsupport::processEvents(50);
    EXPECT_EQ(onMain, 0);
}

TEST(StringFormat, ObjectPlaceholdersInOrderOrByPosition)
{
    EXPECT_EQ(formatObjects("Backup_%@.zip", { "2026" }), "Backup_2026.zip");
    EXPECT_EQ(formatObjects("%2$@ / %1$@", { "a", "b" }), "b / a");
    EXPECT_EQ(formatObjects("100%% of %@", { "x" }), "100% of x");
    EXPECT_EQ(formatObjects("%@ and %@", { "only" }), "only and ");
    EXPECT_EQ(formatObjects("%d stays", { "x" }), "%d stays");
    EXPECT_EQ(formatObjects("trailing %", {}), "trailing %");
}

TEST(Dispatch, MainOperationQueueWaitsForEachOperationToFinishBeforeTheNext)
{
    auto queue = dispatch::MainOperationQueue::create("Rendering Queue");
    EXPECT_EQ(queue->name(), "Rendering Queue");
    std::vector<QString> events;
    dispatch::Block finishFirst;
    queue->addOperation([&](dispatch::Block finish) {
        events.push_back("first starts");
        finishFirst = std::move(finish);
    });
    queue->addBlock([&] { events.push_back("second"); });
    // Nothing runs inside addOperation: the caller may still be setting up.
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(queue->operationCount(), 2);

    testsupport::processEvents(20);
    ASSERT_EQ(events, std::vector<QString>({ "first starts" }));
    EXPECT_EQ(queue->operationCount(), 2);
    // A finish from another thread counts, once; a second call changes nothing.
    std::thread([&] { finishFirst(); }).join();
    ASSERT_TRUE(testsupport::waitUntil([&] { return queue->operationCount() == 0; }));
    finishFirst();
    EXPECT_EQ(events, std::vector<QString>({ "first starts", "second" }));
}

TEST(Dispatch, MainOperationQueueGoesOnAfterARaisingBlockAndDropsCancelledOnes)
{
    auto queue = dispatch::MainOperationQueue::create("q");
    std::vector<int> ran;
    std::vector<std::string> caught;
    dispatch::setMainQueueExceptionHandler(
        [&](const std::exception& exception) { caught.push_back(exception.what()); });
    queue->addBlock([&] {
        ran.push_back(1);
        throw std::runtime_error("broken step");
    });
    queue->addBlock([&] {
        ran.push_back(2);
        // Operations added by a running one run after the ones already waiting.
        queue->addBlock([&] { ran.push_back(4); });
    });
    queue->addBlock([&] { ran.push_back(3); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return queue->operationCount() == 0; }));
    EXPECT_EQ(ran, std::vector<int>({ 1, 2, 3, 4 }));
    EXPECT_EQ(caught, std::vector<std::string>({ "broken step" }));

    queue->addBlock([&] {
        ran.push_back(5);
        queue->cancelAllOperations();
    });
    queue->addBlock([&] { ran.push_back(6); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return queue->operationCount() == 0; }));
    EXPECT_EQ(ran.back(), 5);
    dispatch::setMainQueueExceptionHandler({});
}
