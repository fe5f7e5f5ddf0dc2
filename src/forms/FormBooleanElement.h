#pragma once

#include "forms/FormControllerProtocol.h"
#include "forms/FormLabelElement.h"

// A yes/no row, shown with a switch or with a pair of images.
class FormBooleanElement : public FormLabelElement {
    Q_OBJECT
    Q_PROPERTY(bool boolValue READ boolValue WRITE setBoolValue)
    Q_PROPERTY(QVariant numberValue READ numberValue WRITE setNumberValue)
    Q_PROPERTY(QString onImageName READ noImageName WRITE setOnImageName)
    Q_PROPERTY(QString offImageName READ noImageName WRITE setOffImageName)

public:
    Q_INVOKABLE FormBooleanElement();
    static std::shared_ptr<FormBooleanElement> initWithTitle(const QString& title, bool value);

    bool boolValue() const { return m_boolValue; }
    // Stores the flag, then runs the value-changed block.
    void setBoolValue(bool value);
    // The flag as a boolean number; setting takes a number's truth value.
    QVariant numberValue() const { return QVariant(m_boolValue); }
    void setNumberValue(const QVariant& number);

    // The images of the two states, by bundle image name; looked up when first shown.
    platform::ui::Image onImage() const;
    platform::ui::Image offImage() const;
    void setOnImage(const platform::ui::Image& image) { m_onImage = image; }
    void setOffImage(const platform::ui::Image& image) { m_offImage = image; }
    void setOnImageName(const QString& name);
    void setOffImageName(const QString& name);
    // Whether the row shows images instead of a switch.
    bool hasImages() const;

    // The controller of the form that made the cell (not owned).
    FormControllerProtocol* controller() const { return m_controller.get(); }
    void setController(FormControllerProtocol* controller);

    // The row tapped: the flag flips, then the row's selection handling runs.
    void rowTapped(FormControllerProtocol* controller);
    // The switch moved: the flag follows it; the selection handling runs when the
    // remembered controller and an action are set, or an onSelected block is.
    void switched(bool on);
    // The image button pressed while it showed the flag `wasOn`: the flag flips and the
    // controller accessory action is sent, when there is one.
    void imagePressed(bool wasOn);

    // The label row with a switch (or the image button) as its accessory.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The row tapped: the flag flips, the switch or button follows, the row fades back
    // (unless an action is set), then the selection handling runs. No keyboard.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    // Nil for "boolValue" is NO.
    void setNilValueForKey(const QString& key) override;
    // Writes the flag as a boolean number under the key.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    QString noImageName() const { return {}; }

    bool m_boolValue = false;
    mutable platform::ui::Image m_onImage;
    mutable platform::ui::Image m_offImage;
    QString m_onImageName;
    QString m_offImageName;
    FormControllerReference m_controller;
};
