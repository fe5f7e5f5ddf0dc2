#pragma once

#include "platform/ui/View.h"

#include <QDateTime>
#include <QPointer>

#include <functional>
#include <memory>

class HUDBackgroundView;
class ProgressHUDDelegate;
class ProgressHUDRoundedButton;
class QTimer;

namespace platform {
class Progress;
}
namespace platform::ui {
class Label;
}

// The modal progress overlay: a transparent view over the whole of another view with a
// rounded panel (the bezel) in its middle that holds, top to bottom, an optional
// indicator, a label, a details label and a button. It fades or zooms in and out, can
// wait a grace time before it appears and stay a least time once it has, can hide itself
// after a delay, and reports each finished hide to its completion and its delegate. While
// shown it takes the touches meant for the view beneath. Main thread only: a show or hide
// from another thread raises.
class ProgressHUD : public platform::ui::View {
    Q_OBJECT
public:
    enum Mode {
        Indeterminate = 0, // spinning activity indicator
        Determinate = 1, // ring with outline
        DeterminateHorizontalBar = 2,
        AnnularDeterminate = 3,
        CustomView = 4,
        Text = 5, // no indicator
    };
    enum AnimationType { Fade = 0, Zoom = 1, ZoomOut = 2, ZoomIn = 3 };

    // Colours set for the indicators inside any overlay; a valid one wins over
    // `contentColor`, as the platform's appearance proxies do.
    struct Appearance {
        QColor activityIndicatorColor;
        QColor roundProgressTintColor;
        QColor roundBackgroundTintColor;
        QColor barProgressColor;
        QColor barLineColor;
    };
    static Appearance& appearance();

    // A new overlay over the view, removed from it once hidden, added as its last subview
    // and shown.
    static ProgressHUD* showHUDAddedTo(platform::ui::View* view, bool animated);
    // Hides the topmost overlay of the view (and removes it once hidden); false when the
    // view has none.
    static bool hideHUDForView(platform::ui::View* view, bool animated);
    // The last subview of the view that is an overlay not already hiding, or null.
    static ProgressHUD* HUDForView(platform::ui::View* view);

    // Covers the view's bounds; a null view raises "View must not be nil.". The caller
    // adds it to the view.
    explicit ProgressHUD(platform::ui::View* view);
    explicit ProgressHUD(const QRectF& frame, QWidget* parent = nullptr);
    ~ProgressHUD() override;

    void showAnimated(bool animated);
    void hideAnimated(bool animated);
    void hideAnimated(bool animated, double afterDelay);

    int mode() const { return m_mode; }
    void setMode(int mode);
    int animationType() const { return m_animationType; }
    void setAnimationType(int type) { m_animationType = type; }
    double margin() const { return m_margin; }
    void setMargin(double margin);
    QPointF offset() const { return m_offset; }
    void setOffset(const QPointF& offset);
    QSizeF minSize() const { return m_minSize; }
    void setMinSize(const QSizeF& size);
    bool isSquare() const { return m_square; }
    void setSquare(bool square);
    // Kept for callers; the bezel does not follow device tilt on the desktop.
    bool areDefaultMotionEffectsEnabled() const { return m_motionEffects; }
    void setDefaultMotionEffectsEnabled(bool enabled);
    QColor contentColor() const { return m_contentColor; }
    void setContentColor(const QColor& color);
    double graceTime() const { return m_graceTime; }
    void setGraceTime(double seconds) { m_graceTime = seconds; }
    double minShowTime() const { return m_minShowTime; }
    void setMinShowTime(double seconds) { m_minShowTime = seconds; }
    bool removeFromSuperViewOnHide() const { return m_removeOnHide; }
    void setRemoveFromSuperViewOnHide(bool remove) { m_removeOnHide = remove; }
    float progress() const { return m_progress; }
    void setProgress(float progress);
    // While set and shown, `progress` follows the object's fraction completed.
    std::shared_ptr<platform::Progress> progressObject() const { return m_progressObject; }
    void setProgressObject(std::shared_ptr<platform::Progress> progress);
    ProgressHUDDelegate* delegate() const;
    void setDelegate(ProgressHUDDelegate* delegate);
    std::function<void()> completionBlock() const { return m_completionBlock; }
    void setCompletionBlock(std::function<void()> block) { m_completionBlock = std::move(block); }

    HUDBackgroundView* bezelView() const { return m_bezelView; }
    HUDBackgroundView* backgroundView() const { return m_backgroundView; }
    // The indicator of mode 4; the overlay keeps it while it is not shown.
    platform::ui::View* customView() const { return m_customView; }
    void setCustomView(platform::ui::View* view);
    platform::ui::Label* label() const { return m_label; }
    platform::ui::Label* detailsLabel() const { return m_detailsLabel; }
    ProgressHUDRoundedButton* button() const { return m_button; }
    // The indicator shown now, or null.
    platform::ui::View* indicator() const { return m_indicator; }

    bool hasFinished() const { return m_finished; }

    void layoutSubviews() override;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void commonInit();
    void setupViews();
    void updateIndicators();
    void updateViewsForColor(const QColor& color);
    void updateBezelMotionEffects();
    void setNeedsUpdateConstraints();
    void updateConstraints();
    void updatePaddingConstraints();
    void applyLayout();
    void showUsingAnimation(bool animated);
    void hideUsingAnimation(bool animated);
    void animateIn(bool animatingIn, int type, std::function<void()> completion);
    void done();
    void setProgressDisplayLinkEnabled(bool enabled);
    void updateProgressFromProgressObject();
    void updateForCurrentOrientation();
    void removeIndicator();
    // Deletes a custom view the overlay owns; one another view owns goes back to it.
    void dropCustomView(platform::ui::View* view, QWidget* owner, bool owned, bool wasHidden);
    QTimer* scheduleTimer(double seconds, std::function<void()> fire);
    static void invalidate(QPointer<QTimer>& timer);
    static void requireMainThread();

    int m_mode = Indeterminate;
    int m_animationType = Fade;
    double m_margin = 20.0;
    QPointF m_offset;
    QSizeF m_minSize;
    bool m_square = false;
    bool m_motionEffects = true;
    QColor m_contentColor;
    double m_graceTime = 0;
    double m_minShowTime = 0;
    bool m_removeOnHide = false;
    float m_progress = 0.0f;
    std::shared_ptr<platform::Progress> m_progressObject;
    ProgressHUDDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject; // when the delegate is an object, to see it go
    std::function<void()> m_completionBlock;

    HUDBackgroundView* m_bezelView = nullptr;
    HUDBackgroundView* m_backgroundView = nullptr;
    QPointer<platform::ui::View> m_customView;
    // The view that owned the custom view when it was given; none when the overlay took it.
    QPointer<QWidget> m_customViewOwner;
    bool m_ownsCustomView = false;
    bool m_customViewWasHidden = false;
    platform::ui::Label* m_label = nullptr;
    platform::ui::Label* m_detailsLabel = nullptr;
    ProgressHUDRoundedButton* m_button = nullptr;
    platform::ui::View* m_topSpacer = nullptr;
    platform::ui::View* m_bottomSpacer = nullptr;
    QPointer<platform::ui::View> m_indicator;

    bool m_useAnimation = false;
    bool m_finished = false;
    QDateTime m_showStarted;
    bool m_needsUpdateConstraints = true;
    // The spacing above each view of the stack but the first, in stack order.
    QList<double> m_paddings;
    QPointer<QTimer> m_graceTimer;
    QPointer<QTimer> m_minShowTimer;
    QPointer<QTimer> m_hideDelayTimer;
    QPointer<QTimer> m_progressObjectDisplayLink;
};
