#include "forms/FormElement.h"

#include "forms/FormBindingEvaluator.h"
#include "forms/FormButtonElement.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormFlatAppearance.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "forms/FormThread.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <QHash>
#include <QMetaMethod>

namespace {

QHash<const QMetaObject*, std::shared_ptr<FormAppearance>>& classAppearances()
{
    static QHash<const QMetaObject*, std::shared_ptr<FormAppearance>> appearances;
    return appearances;
}

// The controller method an action names: "save:" and "save" both name save(element) or
// save(). One taking an element the element can be passed as is preferred.
std::optional<QMetaMethod> actionMethod(
    const QMetaObject* controller, const QString& action, const QMetaObject* element)
{
    QString name = action;
    while (name.endsWith(u':'))
        name.chop(1);
    const QByteArray wanted = name.toUtf8();
    std::optional<QMetaMethod> withoutArgument;
    for (int i = 0; i < controller->methodCount(); ++i) {
        const QMetaMethod method = controller->method(i);
        if (method.name() != wanted)
            continue;
        if (method.parameterCount() == 0) {
            withoutArgument = method;
            continue;
        }
        if (method.parameterCount() != 1)
            continue;
        const QMetaObject* parameter = method.parameterMetaType(0).metaObject();
        if (method.parameterMetaType(0).flags() & QMetaType::PointerToQObject && parameter
            && element->inherits(parameter))
            return method;
    }
    return withoutArgument;
}

} // namespace

FormElement::FormElement() = default;

FormElement::~FormElement() = default;

std::shared_ptr<FormElement> FormElement::initWithKey(const QString& key)
{
    auto element = std::make_shared<FormElement>();
    element->setKey(key);
    return element;
}

FormSection* FormElement::parentSection() const
{
    return m_parentSection;
}

void FormElement::setParentSection(FormSection* section)
{
    m_parentSection = section;
}

void FormElement::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    FormSection::visibilityChanged();
}

qsizetype FormElement::visibleIndex() const
{
    return m_parentSection ? m_parentSection->getVisibleIndexForElement(this) : FormNotFound;
}

std::optional<FormIndexPath> FormElement::getIndexPath() const
{
    if (m_hidden || !m_parentSection || m_parentSection->hidden())
        return std::nullopt;
    const qsizetype row = visibleIndex();
    const qsizetype section = m_parentSection->visibleIndex();
    if (row == FormNotFound || section == FormNotFound)
        return std::nullopt;
    return FormIndexPath { row, section };
}

std::shared_ptr<FormAppearance> FormElement::appearance()
{
    FormThread::assertMain();
    if (m_appearance)
        return m_appearance;
    if (m_parentSection) {
        FormRootElement* root = m_parentSection->rootElement();
        // A choice element is the root of its own item list; it has no record above it.
        if (root && root != this) {
            if (std::shared_ptr<FormAppearance> found = root->appearance())
                return found;
        }
    }
    m_appearance = classAppearance(metaObject());
    return m_appearance;
}

void FormElement::setAppearance(std::shared_ptr<FormAppearance> appearance)
{
    m_appearance = std::move(appearance);
}

std::shared_ptr<FormAppearance> FormElement::classAppearance(const QMetaObject* cls)
{
    auto& appearances = classAppearances();
    for (const QMetaObject* current = cls; current; current = current->superClass()) {
        auto found = appearances.constFind(current);
        if (found != appearances.constEnd() && *found)
            return *found;
        if (current == &FormElement::staticMetaObject)
            break;
    }
    auto made = std::make_shared<FormFlatAppearance>();
    appearances.insert(&FormElement::staticMetaObject, made);
    return made;
}

void FormElement::setClassAppearance(
    const QMetaObject* cls, std::shared_ptr<FormAppearance> appearance)
{
    classAppearances().insert(cls, std::move(appearance));
}

void FormElement::resetClassAppearances()
{
    classAppearances().clear();
}

void FormElement::handleElementSelected(FormControllerProtocol* controller)
{
    if (onSelected)
        onSelected();
    if (m_controllerAction.isEmpty())
        return;
    if (metaObject() != &FormButtonElement::staticMetaObject && controller
        && controller->isFormTableEditing())
        return;
    sendAction(m_controllerAction, controller);
}

void FormElement::handleAccessorySelected(FormControllerProtocol* controller)
{
    if (!m_controllerAccessoryAction.isEmpty())
        sendAction(m_controllerAccessoryAction, controller);
}

void FormElement::sendAction(const QString& action, FormControllerProtocol* controller)
{
    QObject* receiver = controller ? controller->controllerObject() : nullptr;
    const std::optional<QMetaMethod> method
        = receiver ? actionMethod(receiver->metaObject(), action, metaObject()) : std::nullopt;
    if (!method) {
        qWarning("No method '%s' was found on controller %s", qUtf8Printable(action),
            receiver ? receiver->metaObject()->className() : "(null)");
        return;
    }
    if (method->parameterCount() == 0) {
        method->invoke(receiver, Qt::DirectConnection);
        return;
    }
    FormElement* self = this;
    method->invoke(receiver, Qt::DirectConnection,
        QGenericArgument(method->parameterMetaType(0).name(), &self));
}

void FormElement::attachImageOnSelected(platform::ui::ImageView* imageView)
{
    using platform::ui::GestureRecognizer;
    // A reused cell drops the tap an earlier element gave its image.
    for (GestureRecognizer* recognizer : imageView->gestureRecognizers()) {
        if (recognizer->objectName() == QLatin1String("FormImageTap")) {
            imageView->removeGestureRecognizer(recognizer);
            recognizer->deleteLater();
        }
    }
    if (imageView->image().isNull() || !onImageSelected)
        return;
    QPointer<FormElement> element(this);
    auto* tap = new platform::ui::TapGestureRecognizer([element](GestureRecognizer*) {
        if (element)
            element->imageTouched();
    });
    tap->setObjectName(QStringLiteral("FormImageTap"));
    imageView->addGestureRecognizer(tap);
    imageView->setUserInteractionEnabled(true);
}

void FormElement::imageTouched()
{
    if (onImageSelected)
        onImageSelected(this);
}

QString FormElement::cellReuseIdentifier() const
{
    return QStringLiteral("QuickformElementCell%1%2")
        .arg(m_key.isNull() ? QStringLiteral("(null)") : m_key,
            QString::fromLatin1(metaObject()->className()));
}

FormTableViewCell* FormElement::getOrCreateEmptyCell(FormTableView* tableView)
{
    const QString identifier = cellReuseIdentifier();
    if (auto* cell = qobject_cast<FormTableViewCell*>(
            tableView->dequeueReusableCellWithIdentifier(identifier)))
        return cell;
    return new FormTableViewCell(identifier);
}

platform::ui::TableViewCell* FormElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol*)
{
    FormTableViewCell* cell = getOrCreateEmptyCell(tableView);
    cell->applyAppearanceForElement(this);
    cell->textLabel()->setText(QString());
    if (platform::ui::Label* detail = cell->detailTextLabel())
        detail->setText(QString());
    cell->imageView()->setImage({});
    cell->setSelectionStyle(platform::ui::TableViewCell::SelectionStyle::None);
    cell->setShowsReorderControl(true);
    cell->setAccessoryView(nullptr);
    cell->setAccessoryType(platform::ui::TableViewCell::AccessoryType::None);
    cell->setLabelingPolicy(m_labelingPolicy);
    return cell;
}

void FormElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    if (auto* cell = qobject_cast<FormTableViewCell*>(tableView->cellForRowAtIndexPath(indexPath)))
        cell->becomeFirstResponder();
    handleElementSelected(controller);
}

void FormElement::selectedAccessory(
    FormTableView*, FormControllerProtocol* controller, const platform::ui::IndexPath&)
{
    handleAccessorySelected(controller);
}

double FormElement::getRowHeightForTableView(FormTableView*)
{
    return m_height > 0 ? m_height : 44;
}

void FormElement::fetchValueIntoObject(const QVariant&)
{
}

void FormElement::bindToObject(const QVariant& data)
{
    FormBindingEvaluator().bindObject(this, data);
}

void FormElement::fetchValueUsingBindingsIntoObject(const QVariant& target)
{
    FormBindingEvaluator().fetchValueFromObject(this, target);
}
