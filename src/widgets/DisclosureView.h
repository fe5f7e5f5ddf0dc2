#pragma once

#include "platform/ui/ImageView.h"

// A tile's or a row's disclosure arrow; it carries the row it stands for and tags itself,
// so the row view finds it again.
class DisclosureView : public platform::ui::ImageView {
    Q_OBJECT
public:
    explicit DisclosureView(QWidget* parent = nullptr);
    explicit DisclosureView(const QRectF& frame, QWidget* parent = nullptr);

    quint64 index() const { return m_index; }
    void setIndex(quint64 index) { m_index = index; }

    static constexpr int Tag = 2000;

private:
    quint64 m_index = 0;
};
