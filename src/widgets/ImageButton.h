#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

#include <QPointer>
#include <QString>

// A bar item showing one bundled image tinted in the style's button-title colour. Its
// custom view is a button of the image's size; item and button carry the same tag, so a
// screen finds the button's view by the tag to anchor a popover on it.
class ImageButton : public platform::ui::BarButtonItem {
    Q_OBJECT
public:
    // The action runs on touch-up-inside while the target lives (always, when no target
    // is given).
    ImageButton(const QString& colorImage, platform::ui::Control::Action action, QObject* target,
        int tag, QObject* parent = nullptr);
    ~ImageButton() override;

    platform::ui::Button* button() const { return m_button; }
    // Free for the caller.
    QString stringTag() const { return m_stringTag; }
    void setStringTag(const QString& tag) { m_stringTag = tag; }
    // Set on the buttons of a navigation bar.
    bool topbar() const { return m_topbar; }
    void setTopbar(bool topbar) { m_topbar = topbar; }

private:
    QPointer<platform::ui::Button> m_button;
    QString m_stringTag;
    bool m_topbar = false;
};
