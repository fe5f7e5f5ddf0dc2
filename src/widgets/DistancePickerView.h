#pragma once

#include "platform/ui/PickerView.h"

#include <QVariantMap>

// A picker view that can lay a fixed unit label over a component, at the component's
// right edge, sized for the longest text it will show.
class DistancePickerView : public platform::ui::PickerView {
    Q_OBJECT
public:
    explicit DistancePickerView(const QRectF& frame, QWidget* parent = nullptr);

    // Component number -> label text, and "longestString_<component>" -> longest text.
    QVariantMap labels() const { return m_labels; }
    // The longest text defaults to the text itself.
    void addLabel(const QString& text, int component, const QString& longestString = {});
    // Fades the label over to the text.
    void updateLabel(const QString& text, int component);
    // Places the labels (when the view is in a window and has some).
    void didMoveToWindow();

    static QString longestKey(int component);
    static constexpr double LabelAnimationDuration = 0.75;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QVariantMap m_labels;
};
