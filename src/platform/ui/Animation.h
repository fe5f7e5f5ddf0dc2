#pragma once

#include <QByteArray>
#include <QVariant>

#include <functional>

class QObject;

namespace platform::ui {

// Options of an animation, with the platform's values.
enum AnimationOption : unsigned {
    AnimationOptionAllowUserInteraction = 1u << 1,
    AnimationOptionBeginFromCurrentState = 1u << 2,
    AnimationOptionCurveEaseInOut = 0u << 16,
    AnimationOptionCurveEaseIn = 1u << 16,
    AnimationOptionCurveEaseOut = 2u << 16,
    AnimationOptionCurveLinear = 3u << 16,
};

// Block animations: the animatable setters called inside the block (alpha, frame,
// centre, scale, background colour, shadow opacity) take their new value at once and
// show the change over the duration. The completion always runs, later on the main
// queue, also for a zero duration or when nothing changed; its flag is false when a
// later animation of the same property cut this one short.
class Animation {
public:
    using Block = std::function<void()>;
    using Completion = std::function<void(bool finished)>;

    static void animate(double duration, Block animations, Completion completion = {});
    static void animate(double duration, double delay, unsigned options, Block animations,
        Completion completion = {});

    // Tests turn every animation into an immediate change (completion still queued).
    static void setInstant(bool instant);
    static bool instant();

    // True while an animation block is running on this thread.
    static bool isRecording();

    // Called by an animatable setter: inside a block, shows the change from `from` to
    // `to` through `apply` over the block's duration and answers true; outside a block
    // answers false (the setter applies the value itself). `owner` ties the animation to
    // an object: it stops when the owner is destroyed, and a new change of the same key
    // on the same owner replaces the running one.
    static bool record(QObject* owner, const QByteArray& key, const QVariant& from,
        const QVariant& to, std::function<void(const QVariant&)> apply,
        std::function<QVariant()> current = {});

    // Stops a running animation of the key, leaving the property at its final value.
    static void cancel(QObject* owner, const QByteArray& key);
    // True while an animation of the key runs on the owner.
    static bool isAnimating(const QObject* owner, const QByteArray& key = {});
};

} // namespace platform::ui
