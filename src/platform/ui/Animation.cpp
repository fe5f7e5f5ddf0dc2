#include "platform/ui/Animation.h"

#include "platform/Dispatch.h"
#include "platform/ui/Guard.h"
#include "platform/ui/View.h"

#include <QCoreApplication>
#include <QEasingCurve>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>

#include <map>
#include <memory>
#include <vector>

namespace platform::ui {

namespace {

struct Change {
    QPointer<QObject> owner;
    QByteArray key;
    QVariant from;
    QVariant to;
    std::function<void(const QVariant&)> apply;
    std::function<QVariant()> current;
};

struct Transaction {
    double duration = 0;
    double delay = 0;
    unsigned options = 0;
    std::vector<Change> changes;
};

// Shared by every animation of one block, so the completion learns whether any of them
// was cut short.
struct Outcome {
    bool interrupted = false;
};

std::vector<Transaction>& stack()
{
    thread_local std::vector<Transaction> transactions;
    return transactions;
}

bool g_instant = false;

struct Running {
    QPointer<QVariantAnimation> animation;
    std::shared_ptr<Outcome> outcome;
    std::function<void(const QVariant&)> apply;
    QVariant to;
};

std::map<std::pair<const QObject*, QByteArray>, Running>& running()
{
    static std::map<std::pair<const QObject*, QByteArray>, Running> map;
    return map;
}

QEasingCurve curveFor(unsigned options)
{
    switch ((options >> 16) & 0xF) {
    case 1:
        return QEasingCurve::InQuad;
    case 2:
        return QEasingCurve::OutQuad;
    case 3:
        return QEasingCurve::Linear;
    default:
        return QEasingCurve::InOutQuad;
    }
}

void finishRunning(const QObject* owner, const QByteArray& key, bool interrupted)
{
    auto& map = running();
    auto it = map.find({ owner, key });
    if (it == map.end())
        return;
    Running entry = it->second;
    map.erase(it);
    if (interrupted && entry.outcome)
        entry.outcome->interrupted = true;
    if (entry.animation) {
        entry.animation->disconnect();
        entry.animation->stop();
    }
}

void queueCompletion(Animation::Completion completion, bool finished)
{
    if (!completion)
        return;
    dispatch::asyncMain(
        [completion = std::move(completion), finished] { guarded([&] { completion(finished); }); });
}

void setBlocksInteraction(const std::vector<Change>& changes, bool block)
{
    for (const auto& change : changes)
        if (auto* view = qobject_cast<View*>(change.owner.data()))
            view->setAnimationBlocksInteraction(block);
}

void run(Transaction transaction, Animation::Completion completion)
{
    if (transaction.changes.empty() || g_instant || transaction.duration <= 0) {
        for (auto& change : transaction.changes) {
            finishRunning(change.owner, change.key, true);
            if (change.owner)
                change.apply(change.to);
        }
        queueCompletion(std::move(completion), true);
        return;
    }

    auto outcome = std::make_shared<Outcome>();
    auto* group = new QParallelAnimationGroup(QCoreApplication::instance());
    const int durationMs = int(transaction.duration * 1000.0);
    const int delayMs = int(transaction.delay * 1000.0);
    const bool fromCurrent = transaction.options & AnimationOptionBeginFromCurrentState;
    for (auto& change : transaction.changes) {
        if (!change.owner)
            continue;
        QVariant from = change.from;
        auto key = std::make_pair(static_cast<const QObject*>(change.owner.data()), change.key);
        auto it = running().find(key);
        if (it != running().end() && fromCurrent && change.current)
            from = change.current();
        finishRunning(change.owner, change.key, true);

        auto* animation = new QVariantAnimation();
        animation->setStartValue(from);
        animation->setEndValue(change.to);
        animation->setDuration(durationMs);
        animation->setEasingCurve(curveFor(transaction.options));
        QPointer<QObject> owner = change.owner;
        auto apply = change.apply;
        QObject::connect(animation, &QVariantAnimation::valueChanged, animation,
            [owner, apply](const QVariant& value) {
                if (owner)
                    apply(value);
            });
        QObject::connect(change.owner, &QObject::destroyed, animation,
            [key] { finishRunning(key.first, key.second, true); });
        if (delayMs > 0) {
            auto* sequence = new QSequentialAnimationGroup();
            sequence->addPause(delayMs);
            sequence->addAnimation(animation);
            group->addAnimation(sequence);
        } else {
            group->addAnimation(animation);
        }
        running()[key] = Running { animation, outcome, apply, change.to };
    }

    const bool blockInteraction = !(transaction.options & AnimationOptionAllowUserInteraction);
    auto changes = std::make_shared<std::vector<Change>>(std::move(transaction.changes));
    if (blockInteraction)
        setBlocksInteraction(*changes, true);
    QObject::connect(group, &QAbstractAnimation::finished, group,
        [group, changes, outcome, completion, blockInteraction] {
            for (const auto& change : *changes) {
                auto key
                    = std::make_pair(static_cast<const QObject*>(change.owner.data()), change.key);
                auto it = running().find(key);
                if (it != running().end() && it->second.outcome == outcome) {
                    running().erase(it);
                    // The last frame lands exactly on the model value.
                    if (change.owner)
                        change.apply(change.to);
                }
            }
            if (blockInteraction)
                setBlocksInteraction(*changes, false);
            queueCompletion(completion, !outcome->interrupted);
            group->deleteLater();
        });
    group->start();
}

} // namespace

void Animation::animate(double duration, Block animations, Completion completion)
{
    animate(duration, 0, 0, std::move(animations), std::move(completion));
}

void Animation::animate(
    double duration, double delay, unsigned options, Block animations, Completion completion)
{
    stack().push_back(Transaction { duration, delay, options, {} });
    const bool ok = guarded([&] {
        if (animations)
            animations();
    });
    Transaction transaction = std::move(stack().back());
    stack().pop_back();
    (void)ok;
    run(std::move(transaction), std::move(completion));
}

void Animation::setInstant(bool instant)
{
    g_instant = instant;
}

bool Animation::instant()
{
    return g_instant;
}

bool Animation::isRecording()
{
    return !stack().empty();
}

bool Animation::record(QObject* owner, const QByteArray& key, const QVariant& from,
    const QVariant& to, std::function<void(const QVariant&)> apply,
    std::function<QVariant()> current)
{
    if (stack().empty() || !owner)
        return false;
    auto& changes = stack().back().changes;
    for (auto& change : changes) {
        if (change.owner == owner && change.key == key) {
            change.to = to;
            return true;
        }
    }
    changes.push_back(Change { owner, key, from, to, std::move(apply), std::move(current) });
    return true;
}

void Animation::cancel(QObject* owner, const QByteArray& key)
{
    auto& map = running();
    auto it = map.find({ owner, key });
    if (it == map.end())
        return;
    auto apply = it->second.apply;
    auto to = it->second.to;
    finishRunning(owner, key, true);
    if (apply)
        apply(to);
}

bool Animation::isAnimating(const QObject* owner, const QByteArray& key)
{
    for (const auto& [k, value] : running())
        if (k.first == owner && (key.isEmpty() || k.second == key) && value.animation)
            return true;
    return false;
}

} // namespace platform::ui
