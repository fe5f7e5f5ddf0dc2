#pragma once

#include "grid/GenericRowViewController.h"

#include <QList>

class GenericTemplateDataController;

// The tiles of a user table's rows: the table's image, a check mark for its Yes/No tile
// column, one line per tile column (the first in the title style, the others smaller;
// Link values open when tapped) and the disclosure arrow. Line heights are measured once
// for each number of tile columns; a reused cell finds its subviews by tag and only changes
// what differs.
class MultipleGenericRowViewController : public GenericRowViewController {
    Q_OBJECT
public:
    MultipleGenericRowViewController();
    ~MultipleGenericRowViewController() override;

    // The height of every line: "A" in the title font plus 4, then "A" in the row font
    // plus 4 for each further line. Measured on the first ask, and again once the number
    // of tile columns has changed.
    const QList<float>& heights();
    float getHeight();
    QSizeF getRowSize() override;
    void createRow(platform::ui::View* contentView, qint64 index, const QSizeF& cellSize) override;

    // A tapped check mark selects its row and stores the flipped value at once.
    void checkMarkTouched(platform::ui::GestureRecognizer* recognizer);
    // A tapped Link line shows its web address in the in-app browser, pushed.
    void linkTouched(platform::ui::GestureRecognizer* recognizer);

    static constexpr int CheckMarkTag = 5000;

protected:
    // The number of text lines of a tile.
    virtual int lineCount();

private:
    GenericTemplateDataController* tableController() const;

    QList<float> m_heights;
    float m_totalHeight = 0;
    bool m_measured = false;
    int m_measuredLines = 0;
};
