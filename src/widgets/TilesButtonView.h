#pragma once

#include "platform/ui/ImageView.h"

// A tile's edit or delete button; the row view gives it its tag and the row it stands
// for.
class TilesButtonView : public platform::ui::ImageView {
    Q_OBJECT
public:
    explicit TilesButtonView(QWidget* parent = nullptr);
    explicit TilesButtonView(const QRectF& frame, QWidget* parent = nullptr);

    quint64 index() const { return m_index; }
    void setIndex(quint64 index) { m_index = index; }

private:
    quint64 m_index = 0;
};
