#pragma once

#include "platform/Error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <exception>

class QObject;
struct QMetaObject;

// Messages to the user: information and error alerts (also for error objects and
// exceptions, which are logged first), checks that required texts are filled, and the
// way from an error object to a raised exception. The alerts may be asked for from any
// thread; they are shown on the main thread and the call returns at once.
class MessageHelper {
public:
    MessageHelper() = delete;

    // An alert titled "Error" (Error true) or "Information", with a single "OK" button.
    static void ShowMessage(const QString& message, bool Error);
    // The message as an error alert that also names the error (logged first); a null
    // error makes it an information message.
    static void ShowMessage(const QString& message, const platform::Error& error);
    // The texts joined by CR LF, as an information message (the flag is not read).
    static void ShowMultipleMessage(const QStringList& messages, bool Error);
    // Logs the error and shows its description as an error; a null error does nothing.
    static void ShowError(const platform::Error& error);
    // Logs the exception and shows its reason as an error.
    static void ShowException(const std::exception& exception);
    // The same; a null pointer does nothing.
    static void ShowException(const std::exception* exception);

    // The fields' "text" properties must all be non-empty, up to the first null field;
    // otherwise "Please enter valid data." is shown and the answer is false.
    [[nodiscard]] static bool ValidateTextFields(const QList<QObject*>& fields);
    // The same rule on the texts, up to the first null text.
    [[nodiscard]] static bool ValidateTextString(const QStringList& texts);
    // Every property the class declares itself (but "uid") must be set and, for a text,
    // non-empty; then the same for its base classes up to QObject. Shows nothing.
    [[nodiscard]] static bool ValidateTextStringInObject(
        const QObject* object, const QMetaObject* classType);
    // Every text value under a key other than "uid" must be non-empty.
    [[nodiscard]] static bool ValidateTextStringInDict(const QVariantMap& dictionary);

    // Raises TalloxException with the error's description; a null error does nothing.
    static void throwIfError(const platform::Error& error);

    // The fixed texts.
    static const QString OkButtonTitle; // "OK"
    static const QString InvalidDataMessage; // "Please enter valid data."
    static const QString UidKey; // "uid"
};
