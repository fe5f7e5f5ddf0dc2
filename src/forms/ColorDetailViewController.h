#pragma once

#include "forms/GenericTemplateDetailViewController.h"
#include "widgets/ColorPickerController.h"
#include "widgets/ColorPickerDelegate.h"

#include <QPointer>

class FormLabelElement;
class FormEntryElement;

// The form of one colour of a colour list: its name, its colour and the colour's
// hexadecimal form, the colour chosen in the colour picker (which proposes the nearest
// colour name while the name is empty or still its last proposal). Columns other than these three
// get no element. Save hands the values to the colour screen's data controller.
class ColorDetailViewController : public GenericTemplateDetailViewController,
                                  public ColorPickerDelegate {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ColorDetailViewController(QObject* parent = nullptr);
    ~ColorDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();

    void createFields() override;
    QSizeF popupContentSize() const override;
    bool Save(const QVariantMap& values) override;
    void EnableDisable(bool reload) override;

    // Swatches of the colour and hex rows, from their values.
    void setColorImage();
    void showColorPicker();
    void closeColorPicker();
    void colorPickerSaved(ColorPickerController* picker) override;
    void colorPickerCancelled(ColorPickerController* picker) override;

    // The picker shown now (null when closed).
    ColorPickerController* colorPicker() const { return m_picker; }

    static constexpr double PickerPopupWidth = 400;
    static constexpr double PickerPopupHeight = 480;
    static const QString NameKey; // "name"
    static const QString ColorKey; // "color"
    static const QString HexKey; // "hex"
    static const QString SwatchImage; // "color"

private:
    FormLabelElement* labelWithKey(const QString& key) const;

    QPointer<ColorPickerController> m_picker;
    // The name the picker last proposed; empty before the first.
    QString m_proposedName;
};
