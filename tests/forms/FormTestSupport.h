#pragma once

#include "forms/FormControllerProtocol.h"
#include "forms/FormElement.h"
#include "forms/FormScheduler.h"
#include "utilities/text/FormatLocale.h"

#include <QLocale>
#include <QObject>
#include <QStringList>
#include <gtest/gtest.h>
#include <unicode/ucal.h>

#include <functional>
#include <vector>

namespace formtest {

// Keeps the warnings written while it lives.
class LogCapture {
public:
    LogCapture() { s_lines.clear(), s_previous = qInstallMessageHandler(&keep); }
    ~LogCapture() { qInstallMessageHandler(s_previous); }
    const QStringList& lines() const { return s_lines; }

private:
    static void keep(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            s_lines << message;
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

// A form screen as the elements see it, recording what they ask of it.
class FakeController : public QObject, public FormControllerProtocol {
    Q_OBJECT

public:
    QObject* controllerObject() override { return this; }
    bool isFormTableEditing() const override { return editing; }
    void popToPreviousRootElement() override { ++pops; }
    void setFormTableUserInteractionEnabled(bool enabled) override { tableTakesTouches = enabled; }

    Q_INVOKABLE void onSave(FormElement* element) { calls << "onSave:" + element->key(); }
    Q_INVOKABLE void refresh() { calls << "refresh"; }

    bool editing = false;
    int pops = 0;
    bool tableTakesTouches = true;
    QStringList calls;
};

// Delayed steps kept until the test runs them.
class ManualScheduler {
public:
    ManualScheduler()
    {
        FormScheduler::setScheduler([this](int milliseconds, FormScheduler::Block block) {
            pending.push_back({ milliseconds, std::move(block) });
        });
    }
    ~ManualScheduler() { FormScheduler::setScheduler({}); }
    void runAll()
    {
        auto due = std::move(pending);
        pending.clear();
        for (auto& step : due)
            step.second();
    }
    std::vector<std::pair<int, FormScheduler::Block>> pending;
};

// US English in UTC, set before the first formatter is made.
struct FormTest : ::testing::Test {
    void SetUp() override
    {
        FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        UErrorCode status = U_ZERO_ERROR;
        ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"UTC"), &status);
    }
};

} // namespace formtest
