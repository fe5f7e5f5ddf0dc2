#pragma once

#include "reports/mustache/MustacheTemplate.h"
#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheValue.h"

#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <future>
#include <thread>

// Compiles and renders in one go; a failure of either ends the test with its message.
inline QString render(const QString& text, const QVariant& data = {})
{
    platform::Error error;
    const MustacheTemplatePtr compiled = MustacheTemplate::templateFromString(text, &error);
    if (!compiled) {
        ADD_FAILURE() << "compile: " << error.localizedDescription().toStdString();
        return {};
    }
    const std::optional<QString> rendering = compiled->renderObject(data, &error);
    if (!rendering) {
        ADD_FAILURE() << "render: " << error.localizedDescription().toStdString();
        return {};
    }
    return *rendering;
}

// The error of compiling, or else of rendering, the text.
inline platform::Error failure(const QString& text, const QVariant& data = {})
{
    platform::Error error;
    const MustacheTemplatePtr compiled = MustacheTemplate::templateFromString(text, &error);
    if (compiled && compiled->renderObject(data, &error))
        ADD_FAILURE() << "no failure for " << text.toStdString();
    return error;
}

inline QString renderWithPartials(const QVariantMap& partials, const QString& name,
    const QVariant& data = {}, platform::Error* error = nullptr)
{
    auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(partials);
    platform::Error local;
    platform::Error* slot = error ? error : &local;
    const MustacheTemplatePtr compiled = repository->templateNamed(name, slot);
    if (!compiled)
        return {};
    return compiled->renderObject(data, slot).value_or(QString());
}

// Runs the work on a thread of its own, so that work that would never end fails the test
// instead of holding it up: a rendering cannot be stopped from outside, so the process
// ends there. Exceptions come back to the caller.
inline void finishesWithin(std::chrono::seconds limit, const std::function<void()>& work)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&] {
        try {
            work();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    if (finished.wait_for(limit) == std::future_status::timeout) {
        ADD_FAILURE() << "still running after " << limit.count() << " s";
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    }
    worker.join();
    finished.get();
}
