#pragma once

#include "forms/FormLabelElement.h"
#include "style/Color.h"

// A label row with a pill-shaped count badge.
class FormBadgeElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(QString badge READ badge WRITE setBadge)

public:
    Q_INVOKABLE FormBadgeElement();
    static std::shared_ptr<FormBadgeElement> initWithTitle(
        const QString& title, const QString& badge);

    QString badge() const { return m_badge; }
    void setBadge(const QString& badge) { m_badge = badge; }
    // Unset fills the badge with the cell's tint colour.
    std::optional<Color> badgeColor;
    Color badgeTextColor = Color::whiteColor();

    // A new badge cell every time: the title, the badge, the image.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

private:
    QString m_badge;
};
