#include "JsonFormFuzzHarness.h"

#include "forms/FormControllerProtocol.h"
#include "forms/FormRootElement.h"
#include "forms/FormTableView.h"
#include "forms/FormWebController.h"
#include "platform/Exception.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>

#include <algorithm>
#include <memory>

namespace {

// Every kind of row an answer can fill, lists of rows made from templates, and the
// heights and colours that come from the answer.
const char* const kForm = R"({
    "title": "Answer", "grouped": true, "emptyMessage": "Nothing",
    "sections": [
    {"title": "Record", "footer": "From the web", "elements": [
        {"type": "FormEntryElement", "title": "Name", "key": "name",
         "bind": "textValue:name, height:heights.name"},
        {"type": "FormTextElement", "title": "Notes", "key": "notes",
         "bind": "text:notes, color:color, height:height"},
        {"type": "FormDateTimeInlineElement", "title": "When", "key": "when",
         "bind": "ticksValue:when, height:heights.when"},
        {"type": "FormCountdownElement", "title": "Timer", "key": "timer",
         "bind": "ticksValue:timer"},
        {"type": "FormBooleanElement", "title": "Done", "key": "done", "bind": "boolValue:done"},
        {"type": "FormDecimalElement", "title": "Amount", "key": "amount",
         "bind": "numberValue:amount"},
        {"type": "FormFloatElement", "title": "Level", "key": "level", "bind": "floatValue:level"},
        {"type": "FormProgressElement", "key": "progress", "bind": "progress:progress"},
        {"type": "FormLabelElement", "title": "Value", "key": "value",
         "bind": "value:value, title:title"}]},
    {"title": "Items", "key": "items", "bind": "iterate:items",
     "beforeTemplateElements": [{"type": "FormLabelElement", "title": "First"}],
     "elementTemplate": {"type": "FormTextElement",
                         "bind": "title:title, text:text, color:color, height:height"},
     "afterTemplateElements": [{"type": "FormLabelElement", "title": "Last"}]},
    {"type": "FormDynamicDataSection", "key": "rows", "bind": "iterate:rows",
     "emptyMessage": "No rows",
     "elementTemplate": {"type": "FormLabelElement", "bind": "iterate:self, value:self",
                         "sectionTemplate": {"bind": "iterate:self",
                                             "elementTemplate": {"type": "FormTextElement",
                                                                 "bind": "text:self"}}}},
    {"key": "properties", "bind": "iterateproperties:properties",
     "elementTemplate": {"type": "FormLabelElement", "bind": "title:key, value:value"}}
    ]})";

// The screen the table belongs to: it answers and does nothing.
class Screen : public QObject, public FormControllerProtocol {
public:
    QObject* controllerObject() override { return this; }
    bool isFormTableEditing() const override { return false; }
    void popToPreviousRootElement() override { }
    void setFormTableUserInteractionEnabled(bool) override { }
};

void layOut(const std::shared_ptr<FormRootElement>& root)
{
    constexpr double width = 160;
    constexpr double height = 240;
    Screen screen;
    FormTableView table(&screen, root);
    table.setFrame(QRectF(0, 0, width, height));
    table.layoutIfNeeded();
    table.snapshot();
    table.setContentOffset(QPointF(0, std::max(0.0, table.contentSize().height() - height)));
    table.layoutIfNeeded();
    table.snapshot();
}

} // namespace

void bindJsonFormFuzzInput(const uint8_t* data, size_t size)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (error.error != QJsonParseError::NoError)
        return;
    const QVariant input = document.toVariant();
    static const QVariant fixed = QJsonDocument::fromJson(kForm).toVariant();
    QVariant description = fixed;
    QVariant answer = input;
    if (input.metaType().id() == QMetaType::QVariantMap) {
        const QVariantMap parts = input.toMap();
        if (parts.value("form").metaType().id() == QMetaType::QVariantMap) {
            description = parts.value("form");
            answer = parts.value("data");
        }
    }
    std::shared_ptr<FormRootElement> root;
    try {
        root = FormRootElement::initWithJSON(description, QVariant());
    } catch (const platform::Exception&) {
        // A description setting what its classes cannot hold raises, as binding does.
        return;
    }
    FormWebController::bindReply(root.get(), answer);
    layOut(root);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
