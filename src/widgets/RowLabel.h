#pragma once

#include "platform/ui/Label.h"

// A cell of a column table, in the row label colours and font.
class RowLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit RowLabel(QWidget* parent = nullptr);
    explicit RowLabel(const QRectF& frame, QWidget* parent = nullptr);

private:
    void initStyle();
};
