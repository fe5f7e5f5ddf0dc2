#pragma once

#include "platform/ui/Button.h"

#include <QVariant>

// A button showing one bundled image tinted in the current style's button-title colour
// (the colour of the moment it is made), with one free value for its owner.
class UIImageButton : public platform::ui::Button {
    Q_OBJECT
public:
    UIImageButton(const QString& colorImage, platform::ui::Control::Action action, QObject* target,
        quint64 tag, const QRectF& frame, QWidget* parent = nullptr);

    // Held for the owner; the button never reads it.
    QVariant extraData() const { return m_extraData; }
    void setExtraData(const QVariant& data) { m_extraData = data; }

private:
    QVariant m_extraData;
};
