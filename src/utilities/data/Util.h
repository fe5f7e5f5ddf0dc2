#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <initializer_list>

// Small helpers over records and texts.
class Util {
public:
    Util() = delete;

    // Every own declared property holding a text is set to the empty text; others
    // (numbers, null texts) stay as they are.
    static void initObjectWithEmptyString(QObject* object);
    // The text-valued properties of the object's class and of its direct superclass,
    // without "uid"; null texts are left out.
    static QVariantMap ObjectToDictionary(const QObject* object);
    // For each key: a text property takes the value as text, a number property takes
    // the value read as a decimal number in the current locale.
    static void DictionaryToObject(const QVariantMap& dictionary, QObject* object);
    // The texts joined, up to the first null one; the empty text when the first is null.
    static QString append(std::initializer_list<QString> texts);
    static QString GetClassName(const QObject* object);
    // The value cut toward zero to at most `fraction` decimal digits.
    static float Round(float value, int fraction);
};
