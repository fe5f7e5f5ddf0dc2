#pragma once

#include "platform/ui/Label.h"

// A column header of a column table, in the header colours and font, with a bottom
// border in the style's border colour and width.
class RowHeaderLabel : public platform::ui::Label {
    Q_OBJECT
public:
    explicit RowHeaderLabel(QWidget* parent = nullptr);
    explicit RowHeaderLabel(const QRectF& frame, QWidget* parent = nullptr);

protected:
    std::unique_ptr<platform::ui::Layer> makeLayer() const override;

private:
    void initStyle();
};
