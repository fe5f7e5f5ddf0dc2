#include "utilities/shell/MessageHelper.h"

#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Device.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/TalloxException.h"
#include "utilities/text/LocalizedStrings.h"

#include <QMetaProperty>
#include <QObject>

const QString MessageHelper::OkButtonTitle = QStringLiteral("OK");
const QString MessageHelper::InvalidDataMessage = QStringLiteral("Please enter valid data.");
const QString MessageHelper::UidKey = QStringLiteral("uid");

namespace {

QString reasonOf(const std::exception& exception)
{
    if (auto* platformException = dynamic_cast<const platform::Exception*>(&exception))
        return platformException->reason();
    return QString::fromUtf8(exception.what());
}

} // namespace

void MessageHelper::ShowMessage(const QString& message, bool Error)
{
    // Touches switched off during a long task come back with the message. Everything,
    // the text lookup included, happens on the main thread.
    platform::dispatch::asyncMain([Error, message] {
        const QString title = Error ? LocalizedStrings::Error() : LocalizedStrings::Information();
        try {
            platform::ui::Device::current().endIgnoringInteractionEvents();
        } catch (...) {
        }
        auto* alert = new platform::ui::AlertView(title, message, nullptr, OkButtonTitle);
        alert->show();
    });
}

void MessageHelper::ShowMessage(const QString& message, const platform::Error& error)
{
    if (error.isNull()) {
        ShowMessage(message, false);
        return;
    }
    DebugHelper::singleton().logError(error, false);
    const QString description = error.localizedDescription();
    ShowMessage(
        description.isEmpty() || description == message ? message : message + "\n" + description,
        true);
}

void MessageHelper::ShowMultipleMessage(const QStringList& messages, bool)
{
    ShowMessage(messages.join(QStringLiteral("\r\n")), false);
}

void MessageHelper::ShowError(const platform::Error& error)
{
    if (error.isNull())
        return;
    DebugHelper::singleton().logError(error, false);
    ShowMessage(error.localizedDescription(), true);
}

void MessageHelper::ShowException(const std::exception& exception)
{
    DebugHelper::singleton().logException(exception, false);
    ShowMessage(reasonOf(exception), true);
}

void MessageHelper::ShowException(const std::exception* exception)
{
    if (exception)
        ShowException(*exception);
}

bool MessageHelper::ValidateTextFields(const QList<QObject*>& fields)
{
    for (QObject* field : fields) {
        if (!field)
            break;
        if (field->property("text").toString().isEmpty()) {
            ShowMessage(InvalidDataMessage, true);
            return false;
        }
    }
    return true;
}

bool MessageHelper::ValidateTextString(const QStringList& texts)
{
    for (const QString& text : texts) {
        if (text.isNull())
            break;
        if (text.isEmpty()) {
            ShowMessage(InvalidDataMessage, true);
            return false;
        }
    }
    return true;
}

bool MessageHelper::ValidateTextStringInObject(const QObject* object, const QMetaObject* classType)
{
    if (!object || !classType)
        return false;
    bool valid = true;
    for (int i = classType->propertyOffset(); i < classType->propertyCount(); ++i) {
        const QMetaProperty property = classType->property(i);
        if (UidKey == QLatin1String(property.name()))
            continue;
        const QVariant value = property.read(object);
        if (!value.isValid() || value.isNull())
            valid = false;
        else if (value.metaType().id() == QMetaType::QString && value.toString().isEmpty())
            valid = false;
    }
    if (!valid)
        return false;
    const QMetaObject* super = classType->superClass();
    if (!super || super == &QObject::staticMetaObject)
        return true;
    return ValidateTextStringInObject(object, super);
}

bool MessageHelper::ValidateTextStringInDict(const QVariantMap& dictionary)
{
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        if (it.key() == UidKey)
            continue;
        if (it.value().metaType().id() == QMetaType::QString && it.value().toString().isEmpty()) {
            ShowMessage(InvalidDataMessage, true);
            return false;
        }
    }
    return true;
}

void MessageHelper::throwIfError(const platform::Error& error)
{
    if (error.isNull())
        return;
    throw TalloxException(error.localizedDescription());
}
