#pragma once

#include "platform/ui/View.h"

#include <QPointer>

class PickerSheetVC;

// The phone presentation of an action-sheet picker: a full-size host in the window's
// overlay level (its "window", made on first use) whose root controller shows this sheet.
// The sheet dims the screen to half-black while its panel slides up from the bottom edge,
// and undoes both when dismissed; the host goes with the dismissal.
class PickerSheet : public platform::ui::View {
    Q_OBJECT
public:
    explicit PickerSheet(platform::ui::View* view, QWidget* parent = nullptr);
    ~PickerSheet() override;

    // The panel shown.
    platform::ui::View* panel() const { return m_view; }
    platform::ui::View* bgView() const { return m_bgView; }
    bool presented() const { return m_presented; }

    // The host over the window's screens, made on first use.
    platform::ui::View* window();
    bool hasWindow() const { return m_window != nullptr; }
    PickerSheetVC* actionSheetContainer() const;

    void showInContainerView();
    // The same as showInContainerView; the item and the flag are not used.
    void showFromBarButtonItem(QObject* item, bool animated);
    void showInContainerViewAnimated(bool animated);
    // The index is not used.
    void dismissWithClickedButtonIndex(int buttonIndex, bool animated);
    void configureFrameForBounds(const QRectF& bounds);
    void destroyWindow();

    static constexpr double AnimationDuration = 0.25;

private:
    QPointer<platform::ui::View> m_window;
    QPointer<platform::ui::View> m_view;
    platform::ui::View* m_bgView = nullptr;
    bool m_presented = false;
};
