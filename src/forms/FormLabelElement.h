#pragma once

#include "forms/FormRootElement.h"
#include "platform/ui/Image.h"

// A read-only row: a title and a value, with an optional image and accessory. A label is
// also a root, so it can hold sections and open them as a form of its own; it is the
// base of entries, switches, buttons and choice rows.
class FormLabelElement : public FormRootElement {
    Q_OBJECT
    Q_PROPERTY(QVariant value READ value WRITE setValue)
    Q_PROPERTY(QString imageNamed READ imageNamedProperty WRITE setImageNamed)
    Q_PROPERTY(int accessoryType READ accessoryType WRITE setAccessoryType)
    Q_PROPERTY(bool keepSelected READ keepSelected WRITE setKeepSelected)

public:
    // The platform's cell accessories.
    enum AccessoryType {
        AccessoryNone = 0,
        AccessoryDisclosureIndicator = 1,
        AccessoryDetailDisclosureButton = 2,
        AccessoryCheckmark = 3
    };

    Q_INVOKABLE FormLabelElement();
    static std::shared_ptr<FormLabelElement> initWithTitle(
        const QString& title, const QVariant& value);

    // Shown through its text.
    QVariant value() const { return m_value; }
    void setValue(const QVariant& value) { m_value = value; }
    // The row's image: one given, else the themed image named by setImageNamed, looked up
    // when first asked for (main thread).
    platform::ui::Image image() const;
    void setImage(const platform::ui::Image& image);
    void setImageNamed(const QString& name);
    // The name given to setImageNamed (the property itself always reads nil).
    QString imageName() const { return m_imageName; }
    int accessoryType() const { return m_accessoryType; }
    void setAccessoryType(int type) { m_accessoryType = type; }
    // Whether the row stays selected after a tap.
    bool keepSelected() const { return m_keepSelected; }
    void setKeepSelected(bool keep) { m_keepSelected = keep; }

    // The plain image of the name, drawn in the tint colour.
    void setIconNamed(const QString& name);

    // The value-style cell: title, value text, image, accessory; a highlight only for a
    // row that does something when tapped.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The root's selection, then the row fades back unless it keeps its selection.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    // The text a value shows: empty for nil.
    static QString valueText(const QVariant& value);

protected:
    // The accessory the row shows when the element sets none: a detail button for an
    // accessory action, a chevron for sections or an action.
    int defaultAccessoryType() const;

private:
    QString imageNamedProperty() const { return {}; }

    QVariant m_value;
    mutable platform::ui::Image m_image;
    QString m_imageName;
    bool m_imageIsIcon = false;
    int m_accessoryType = AccessoryNone;
    bool m_keepSelected = false;
};
