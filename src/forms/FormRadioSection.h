#pragma once

#include "forms/FormSelectSection.h"

// A select section with one choice: the first of its ticked indexes. With no tick it
// has no choice.
class FormRadioSection : public FormSelectSection {
    Q_OBJECT
    Q_PROPERTY(qint64 selected READ selected WRITE setSelected)

public:
    Q_INVOKABLE FormRadioSection();

    // The first ticked index when it names an item, else -1.
    qint64 selected() const;
    // Replaces the first ticked index (adds it when there is none).
    void setSelected(qint64 index);
};
