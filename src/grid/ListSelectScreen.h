#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

// The list-select screen as its data controller reads it: the texts to choose from (none
// at all differs from an empty list), one image for every row or one image per row, and
// the opener's handler.
class ListSelectScreen {
public:
    // Called with the chosen item (its GridData row) and its index in the list.
    using Handler = std::function<void(const QVariant& item, qint64 index)>;

    virtual ~ListSelectScreen();

    virtual std::optional<QStringList> rows() const = 0;
    virtual QString image() const = 0;
    virtual QStringList images() const = 0;
    virtual Handler listSelectHandler() const = 0;
};
