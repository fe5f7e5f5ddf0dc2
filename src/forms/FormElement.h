#pragma once

#include "forms/FormIndexPath.h"
#include "platform/KeyValueCoding.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class FormAppearance;
class FormControllerProtocol;
class FormSection;
class FormTableView;
class FormTableViewCell;

namespace platform::ui {
class ImageView;
class IndexPath;
class TableViewCell;
} // namespace platform::ui

// One row of a form. A form is a tree of plain objects: a root element holds sections, a
// section holds elements. An element keeps its value, its bind string (how the value is
// exchanged with a record, FormBindingEvaluator) and what to do when its row is chosen;
// the cell that shows it is made only when the table asks for it, so a tree may be built
// off the main thread. Elements are held by std::shared_ptr; make them through their
// static init... functions or std::make_shared.
class FormElement : public QObject,
                    public platform::KeyValueCoding,
                    public std::enable_shared_from_this<FormElement> {
    Q_OBJECT
    Q_PROPERTY(QString key READ key WRITE setKey)
    Q_PROPERTY(QString bind READ bind WRITE setBind)
    Q_PROPERTY(double height READ height WRITE setHeight)
    Q_PROPERTY(bool hidden READ hidden WRITE setHidden)
    Q_PROPERTY(QString controllerAction READ controllerAction WRITE setControllerAction)
    Q_PROPERTY(QVariant object READ object WRITE setObject)
    Q_PROPERTY(QString controllerAccessoryAction READ controllerAccessoryAction WRITE
            setControllerAccessoryAction)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(int labelingPolicy READ labelingPolicy WRITE setLabelingPolicy)

public:
    Q_INVOKABLE FormElement();
    ~FormElement() override;
    static std::shared_ptr<FormElement> initWithKey(const QString& key);

    // The section that holds the element (not owned; null once the section is gone).
    FormSection* parentSection() const;
    void setParentSection(FormSection* section);

    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    QString bind() const { return m_bind; }
    void setBind(const QString& bind) { m_bind = bind; }
    // Row height; 0 or less means the default.
    double height() const { return m_height; }
    void setHeight(double height) { m_height = height; }
    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // Name of a controller method called with the element when the row is chosen.
    QString controllerAction() const { return m_controllerAction; }
    void setControllerAction(const QString& action) { m_controllerAction = action; }
    // A free payload of the caller (the record or value the row stands for).
    QVariant object() const { return m_object; }
    void setObject(const QVariant& object) { m_object = object; }
    QString controllerAccessoryAction() const { return m_controllerAccessoryAction; }
    void setControllerAccessoryAction(const QString& action)
    {
        m_controllerAccessoryAction = action;
    }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // How the cell lays out title and value: 0 trimValue, 1 trimTitle.
    int labelingPolicy() const { return m_labelingPolicy; }
    void setLabelingPolicy(int policy) { m_labelingPolicy = policy; }

    // Run first when the row is chosen.
    std::function<void()> onSelected;
    // Run when the row's image is tapped.
    std::function<void(FormElement*)> onImageSelected;

    // Place among the visible elements of the section; FormNotFound without a section.
    qsizetype visibleIndex() const;
    // The element's table row; none when the element or its section is hidden or the
    // element is in no root.
    std::optional<FormIndexPath> getIndexPath() const;

    // The shared appearance record: the element's own, else its root's, else its class's
    // (which the element then keeps). Main thread only.
    std::shared_ptr<FormAppearance> appearance();
    void setAppearance(std::shared_ptr<FormAppearance> appearance);
    // The record of a class: its own, else its nearest ancestor's; the first one asked for
    // is made (a flat appearance) and kept for FormElement, so every class shares it.
    static std::shared_ptr<FormAppearance> classAppearance(
        const QMetaObject* cls = &FormElement::staticMetaObject);
    static void setClassAppearance(
        const QMetaObject* cls, std::shared_ptr<FormAppearance> appearance);
    // Forgets every class's record (tests start from a fresh process's state).
    static void resetClassAppearances();

    // A row chosen: onSelected, then the controller action (not while the table is being
    // edited, except for a button). A missing method is logged, never raised.
    virtual void handleElementSelected(FormControllerProtocol* controller);
    // The accessory of the row tapped: the controller accessory action.
    void handleAccessorySelected(FormControllerProtocol* controller);

    // The row's cell, reused or made when the table asks for it (main thread): the base
    // shows an empty value-style cell in the element's appearance.
    virtual platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller);
    // The row was tapped: its cell takes the keys (an entry row's field), then the
    // selection handling runs.
    virtual void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath);
    // The row's detail button was tapped.
    virtual void selectedAccessory(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath);
    // The height above 0, else 44.
    virtual double getRowHeightForTableView(FormTableView* tableView);
    // Makes the image view run onImageSelected when tapped, when it shows an image and the
    // block is set; otherwise the view takes no taps of the element's.
    void attachImageOnSelected(platform::ui::ImageView* imageView);
    // The row's image was tapped.
    void imageTouched();

    // The reuse identifier of the element's plain cell: key and class name, so elements
    // of different keys never share a cell.
    QString cellReuseIdentifier() const;

    // Writes the element's value under its key (nothing in the base).
    virtual void fetchValueIntoObject(const QVariant& target);
    // Binds the element's bind string to the data (values from the data into the element).
    virtual void bindToObject(const QVariant& data);
    // Writes the bound properties into the target under their key paths.
    virtual void fetchValueUsingBindingsIntoObject(const QVariant& target);

protected:
    // A plain cell waiting under the element's identifier, or a new one.
    FormTableViewCell* getOrCreateEmptyCell(FormTableView* tableView);

    // Sends the named action to the controller with this element, or logs "No method
    // '%@' was found on controller %@".
    void sendAction(const QString& action, FormControllerProtocol* controller);

private:
    QPointer<FormSection> m_parentSection;
    QString m_key;
    QString m_bind;
    double m_height = 0;
    bool m_hidden = false;
    QString m_controllerAction;
    QVariant m_object;
    QString m_controllerAccessoryAction;
    bool m_enabled = true;
    int m_labelingPolicy = 0;
    std::shared_ptr<FormAppearance> m_appearance;
};
