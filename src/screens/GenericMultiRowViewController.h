#pragma once

#include "grid/GenericRowViewController.h"

#include <QList>

class NotificationDataController;

// Tiles of a fixed number of text lines given by the data controller (the reminders: the
// text, then the date): an image, the lines (the first in the title style) and the
// disclosure arrow. Line heights are measured once; a reused cell finds its subviews by
// tag and only changes what differs.
class GenericMultiRowViewController : public GenericRowViewController {
    Q_OBJECT
public:
    GenericMultiRowViewController();
    ~GenericMultiRowViewController() override;

    // "A" in the title font plus 4, then "A" in the row font plus 4 for each further line.
    const QList<float>& heights();
    float getHeight();
    QSizeF getRowSize() override;
    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;

private:
    NotificationDataController* linesController() const;

    QList<float> m_heights;
    float m_totalHeight = 0;
    bool m_measured = false;
};
