#pragma once

#include <QSizeF>
#include <QVariant>

// What a screen that opens a detail form asks of the form: take the record to show, and
// the size of the popover it wants on a tablet. The form engine's controller implements it.
class DetailFormProtocol {
public:
    virtual ~DetailFormProtocol();

    // Binds the form to the record (a row object, or a dictionary of values).
    virtual void loadData(const QVariant& record) = 0;
    virtual QSizeF popupContentSize() const = 0;
    // Whether Escape closes its popover as the Close button does. A form a person types
    // into keeps it open, as it keeps a tap outside: the typing would be lost.
    virtual bool closesOnEscape() const { return false; }
};
