#include "forms/FormWebController.h"
#include "common/FixtureHttpServer.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormSegmentedElement.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/SegmentedControl.h"

#include "forms/FormScreenFixture.h"

#include <QJsonDocument>
#include <QTemporaryFile>

#include <cmath>

using namespace platform::ui;
using formtest::FormScreen;

namespace {

// A contact form whose values come from the web.
const char* const kContactForm = R"({
    "title": "Contact", "grouped": true, "sections": [{"elements": [
        {"type": "FormEntryElement", "title": "Name", "key": "name", "bind": "textValue:name"},
        {"type": "FormEntryElement", "title": "City", "key": "city", "bind": "textValue:city"}
    ]}]})";

// A name and a row per item of a list; an item that is itself a list gives its row a
// section per entry.
const char* const kListForm = R"({
    "title": "Lists", "sections": [
    {"elements": [
        {"type": "FormEntryElement", "title": "Name", "key": "name", "bind": "textValue:name"}]},
    {"key": "items", "bind": "iterate:items",
     "elementTemplate": {"type": "FormLabelElement", "bind": "iterate:self, value:self",
                         "sectionTemplate": {"title": "Part"}}}
    ]})";

std::shared_ptr<FormRootElement> webForm(const char* form, const QVariant& object)
{
    const QVariantMap description = QJsonDocument::fromJson(form).toVariant().toMap();
    auto root = FormRootElement::initWithJSON(description, QVariant());
    root->setObject(object);
    return root;
}

struct WebForm : FormScreen, ::testing::WithParamInterface<const char*> {
    FixtureHttpServer server;
    QPointer<FormWebController> web;
    std::shared_ptr<FormRootElement> root;

    void SetUp() override
    {
        FormScreen::SetUp();
        ASSERT_TRUE(server.isListening());
        server.serve("/contact.json", FixtureReply::json(R"({"name": "Ada", "city": "London"})"));
        server.serve("/page.html", FixtureReply::text("<html>not a form</html>"));
        server.serve("/slow.json", FixtureReply::stall());
    }

    // Shows the form (the contact form unless told) as a web form for the address (as the
    // root's object).
    void openWeb(const QVariant& object, int timeoutMs = 5000, const char* form = kContactForm)
    {
        root = webForm(form, object);
        open(std::make_shared<FormRootElement>(), QString::fromLatin1(GetParam()));
        web = new FormWebController(root);
        web->requestOptions.timeoutMs = timeoutMs;
        navigation->pushViewController(web, false);
        settle();
    }
    QString value(const char* key)
    {
        return qobject_cast<FormEntryElement*>(root->elementWithKey(QString::fromLatin1(key)))
            ->textValue();
    }
    // What a person sees of the loading overlay.
    bool overlayShown()
    {
        for (View* subview : web->formTableView()->subviews())
            if (subview->tag() == FormController::LoadingViewTag)
                return !subview->isHidden() && subview->alpha() > 0;
        return false;
    }
    bool waitForEnd()
    {
        return testsupport::waitUntil([&] { return !web->isFetching(); }, 8000);
    }
    // The one alert up: its message, after OK dismissed it.
    QString dismissAlert()
    {
        settle();
        const QList<AlertView*> alerts = AlertView::visibleAlerts();
        if (alerts.size() != 1)
            return QStringLiteral("<%1 alerts>").arg(alerts.size());
        EXPECT_EQ(alerts[0]->title(), "Error");
        EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
        EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "OK");
        const QString message = alerts[0]->message();
        alerts[0]->clickButtonAtIndex(0);
        settle();
        return message;
    }
    // Values the person typed before a reload.
    void typeValues()
    {
        qobject_cast<FormEntryElement*>(root->elementWithKey("name"))->setTextValue("Typed");
        qobject_cast<FormEntryElement*>(root->elementWithKey("city"))->setTextValue("Here");
    }
};

TEST_P(WebForm, AGoodDocumentFillsTheFormUnderTheOverlay)
{
    openWeb(server.url("/contact.json").toString());
    // The local server may have answered already; while it has not, the overlay is up.
    if (web->isFetching()) {
        EXPECT_TRUE(overlayShown());
        EXPECT_FALSE(web->formTableView()->isUserInteractionEnabled());
    }
    ASSERT_TRUE(waitForEnd());
    settle();
    EXPECT_EQ(web->url(), server.url("/contact.json").toString());
    EXPECT_EQ(value("name"), "Ada");
    EXPECT_EQ(value("city"), "London");
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(web->formTableView()->isUserInteractionEnabled());
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].method, "GET");
    // The cell shows what the form holds.
    auto* cell = qobject_cast<FormEntryTableViewCell*>(
        web->formTableView()->cellForElement(root->elementWithKey("city")));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->textField()->text(), "London");
    save(QStringLiteral("web-form-%1.png").arg(QString::fromLatin1(GetParam())));
}

TEST_P(WebForm, AnErrorStatusOrAnAnswerThatIsNotJsonIsShownAndTheValuesStay)
{
    openWeb(server.url("/contact.json").toString());
    ASSERT_TRUE(waitForEnd());
    typeValues();

    web->setUrl(server.url("/missing.json").toString());
    web->reload();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(dismissAlert().contains("404")) << "the status is named";
    EXPECT_EQ(value("name"), "Typed");
    EXPECT_FALSE(overlayShown());

    web->setUrl(server.url("/page.html").toString());
    web->reload();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(dismissAlert().contains("JSON"));
    EXPECT_EQ(value("name"), "Typed");
    EXPECT_EQ(value("city"), "Here");
    EXPECT_FALSE(overlayShown());
}

TEST_P(WebForm, AnAnswerTheBindingsDoNotFitIsShownAndChangesNothing)
{
    // A list where the bindings read keys; a dictionary where they set a text, after the
    // name has been set from the same answer.
    server.serve("/list.json", FixtureReply::json(R"([{"name": "Ada", "city": "Paris"}])"));
    server.serve("/street.json",
        FixtureReply::json(R"({"name": "Ada", "city": {"street": "Baker Street"}})"));
    openWeb(server.url("/contact.json").toString());
    ASSERT_TRUE(waitForEnd());
    typeValues();
    for (const char* path : { "/list.json", "/street.json" }) {
        SCOPED_TRACE(path);
        web->setUrl(server.url(path).toString());
        web->reload();
        ASSERT_TRUE(waitForEnd());
        EXPECT_TRUE(dismissAlert().contains("does not fit the form"));
        EXPECT_EQ(value("name"), "Typed");
        EXPECT_EQ(value("city"), "Here");
        EXPECT_FALSE(overlayShown());
        EXPECT_TRUE(web->formTableView()->isUserInteractionEnabled());
        auto* cell = qobject_cast<FormEntryTableViewCell*>(
            web->formTableView()->cellForElement(root->elementWithKey("name")));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->textField()->text(), "Typed");
    }
    // The form still takes an answer that fits.
    web->setUrl(server.url("/contact.json").toString());
    web->reload();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    EXPECT_EQ(value("city"), "London");
}

TEST_P(WebForm, AnAnswerThatWouldMakeTooManyRowsIsRefusedAndTheRowsStay)
{
    const qsizetype bound = FormWebController::MaximumReplyElements;
    server.serve("/three.json", FixtureReply::json(R"({"name": "Ada", "items": ["a", "b", "c"]})"));
    // One list longer than the bound.
    QByteArray flat = R"({"name": "Flat", "items": [)";
    for (qsizetype i = 0; i <= bound; ++i)
        flat += i ? ",0" : "0";
    server.serve("/flat.json", FixtureReply::json(flat + "]}"));
    // Lists each well within it, whose rows and sections together pass it.
    const int side = int(std::sqrt(double(bound))) + 2;
    QByteArray inner = "[";
    for (int i = 0; i < side; ++i)
        inner += i ? ",1" : "1";
    inner += "]";
    QByteArray nested = R"({"name": "Nested", "items": [)";
    for (int i = 0; i < side; ++i)
        nested += (i ? "," : "") + inner;
    server.serve("/nested.json", FixtureReply::json(nested + "]}"));

    openWeb(server.url("/three.json").toString(), 5000, kListForm);
    ASSERT_TRUE(waitForEnd());
    FormSection* items = root->sectionWithKey("items");
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->elements().size(), 3);
    const QList<std::shared_ptr<FormElement>> rows = items->elements();
    qobject_cast<FormEntryElement*>(root->elementWithKey("name"))->setTextValue("Typed");

    for (const char* path : { "/flat.json", "/nested.json" }) {
        SCOPED_TRACE(path);
        web->setUrl(server.url(path).toString());
        web->reload();
        ASSERT_TRUE(waitForEnd());
        const QString message = dismissAlert();
        EXPECT_TRUE(message.contains(QString::number(bound))) << message.toStdString();
        EXPECT_EQ(items->elements(), rows);
        EXPECT_EQ(qobject_cast<FormLabelElement*>(rows[2].get())->value(), "c");
        EXPECT_EQ(rows[2]->parentSection(), items);
        EXPECT_EQ(value("name"), "Typed");
        EXPECT_FALSE(overlayShown());
        EXPECT_EQ(web->formTableView()->numberOfRowsInSection(1), 3);
    }
}

TEST_P(WebForm, TheItemsOfChoicesCountAsRowsAgainstTheBound)
{
    const qsizetype bound = FormWebController::MaximumReplyElements;
    // Sizes ticked in place, a colour chosen from a list of its own, a fit chosen by segment,
    // and for every part of the answer a choice among the hundred grades its description
    // lists.
    QVariantList grades;
    for (int i = 0; i < 100; ++i)
        grades.append(i);
    const QVariantMap form { { "title", "Choices" },
        { "sections",
            QVariantList { QVariantMap { { "type", "FormSelectSection" }, { "key", "sizes" },
                               { "bind", "items:sizes" } },
                QVariantMap { { "elements",
                    QVariantList {
                        QVariantMap { { "type", "FormRadioElement" }, { "title", "Colour" },
                            { "key", "colour" }, { "bind", "items:colours" } },
                        QVariantMap { { "type", "FormSegmentedElement" }, { "key", "fit" },
                            { "bind", "items:fits" } } } } },
                QVariantMap { { "key", "parts" }, { "bind", "iterate:parts" },
                    { "elementTemplate",
                        QVariantMap { { "type", "FormRadioElement" }, { "bind", "title:self" },
                            { "items", grades } } } } } } };
    const QByteArray description = QJsonDocument::fromVariant(form).toJson();
    QVariantList many;
    for (qsizetype i = 0; i <= bound; ++i)
        many.append(QString::number(i));
    QVariantList parts;
    for (qsizetype i = 0; i < bound / 100 + 1; ++i)
        parts.append(QString::number(i));
    const QVariantMap small { { "sizes", QVariantList { "S", "M", "L" } },
        { "colours", QVariantList { "Red", "Blue" } }, { "fits", QVariantList { "Slim", "Loose" } },
        { "parts", QVariantList { "Lid" } } };
    const auto serve = [&](const char* path, const char* key, const QVariantList& list) {
        QVariantMap answer = small;
        answer.insert(key, list);
        server.serve(path, FixtureReply::json(QJsonDocument::fromVariant(answer).toJson()));
    };
    server.serve("/small.json", FixtureReply::json(QJsonDocument::fromVariant(small).toJson()));
    serve("/sizes.json", "sizes", many);
    serve("/colours.json", "colours", many);
    serve("/fits.json", "fits", many);
    serve("/parts.json", "parts", parts);

    openWeb(server.url("/small.json").toString(), 5000, description.constData());
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    FormSection* sizes = root->sectionWithKey("sizes");
    auto* colour = qobject_cast<FormRadioElement*>(root->elementWithKey("colour"));
    auto* fit = qobject_cast<FormSegmentedElement*>(root->elementWithKey("fit"));
    FormSection* partRows = root->sectionWithKey("parts");
    ASSERT_TRUE(sizes && colour && fit && partRows);
    ASSERT_EQ(sizes->elements().size(), 3);
    ASSERT_EQ(colour->internalRadioItemsSection()->elements().size(), 2);
    ASSERT_EQ(fit->items().size(), 2);
    ASSERT_EQ(partRows->elements().size(), 1);
    const auto segmentsShown = [&] {
        TableViewCell* cell = web->formTableView()->cellForElement(fit);
        auto* control = cell
            ? qobject_cast<SegmentedControl*>(cell->viewWithTag(FormSegmentedElement::ControlTag))
            : nullptr;
        return control ? control->numberOfSegments() : -1;
    };
    EXPECT_EQ(segmentsShown(), 2);

    for (const char* path : { "/sizes.json", "/colours.json", "/fits.json", "/parts.json" }) {
        SCOPED_TRACE(path);
        web->setUrl(server.url(path).toString());
        web->reload();
        ASSERT_TRUE(waitForEnd());
        const QString message = dismissAlert();
        EXPECT_TRUE(message.contains(QString::number(bound))) << message.toStdString();
        EXPECT_EQ(sizes->elements().size(), 3);
        EXPECT_EQ(web->formTableView()->numberOfRowsInSection(0), 3);
        EXPECT_EQ(colour->items().size(), 2);
        EXPECT_EQ(colour->internalRadioItemsSection()->elements().size(), 2);
        EXPECT_EQ(fit->items().size(), 2);
        EXPECT_EQ(fit->items().value(1).toString(), "Loose");
        EXPECT_EQ(segmentsShown(), 2);
        EXPECT_EQ(partRows->elements().size(), 1);
    }
}

TEST_P(WebForm, NoAnswerClearsTheValuesShowsWhyAndTheOverlayGoes)
{
    // A stall past the time allowed.
    openWeb(server.url("/slow.json").toString(), 300);
    EXPECT_TRUE(overlayShown());
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(dismissAlert().startsWith("<"));
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(web->formTableView()->isUserInteractionEnabled());

    // The server down.
    typeValues();
    const QString address = server.url("/contact.json").toString();
    server.stop();
    web->setUrl(address);
    web->reload();
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(dismissAlert().startsWith("<"));
    EXPECT_TRUE(value("name").isEmpty());
    EXPECT_TRUE(value("city").isEmpty());
    EXPECT_FALSE(overlayShown());
}

TEST_P(WebForm, OnlyWebAddressesAreFetchedAndNoAddressLoadsNothing)
{
    QTemporaryFile local;
    ASSERT_TRUE(local.open());
    local.write(R"({"name": "From disk"})");
    local.flush();
    openWeb(QUrl::fromLocalFile(local.fileName()).toString());
    settle();
    EXPECT_FALSE(web->isFetching());
    EXPECT_FALSE(dismissAlert().startsWith("<"));
    EXPECT_TRUE(value("name").isEmpty());
    EXPECT_FALSE(overlayShown());
    close();

    // An object that is no address, and no url: nothing is fetched, no overlay.
    openWeb(QVariant(42));
    EXPECT_TRUE(web->url().isEmpty());
    EXPECT_FALSE(web->isFetching());
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_P(WebForm, ANestedRootNamingTheWebControllerOpensAsAWebForm)
{
    const QVariantMap description = QJsonDocument::fromJson(R"({"sections": [{"elements": [
        {"type": "FormLabelElement", "title": "Online", "key": "online",
         "controllerName": "FormWebController", "presentationMode": "Normal",
         "sections": [{"elements": [
            {"type": "FormEntryElement", "key": "name", "bind": "textValue:name"}]}]}]}]})")
                                        .toVariant()
                                        .toMap();
    auto outer = FormRootElement::initWithJSON(description, QVariant());
    auto* online = qobject_cast<FormRootElement*>(outer->elementWithKey("online"));
    ASSERT_NE(online, nullptr);
    online->setObject(server.url("/contact.json").toString());
    open(outer, QString::fromLatin1(GetParam()));
    tapRow(online);
    web = qobject_cast<FormWebController*>(navigation->topViewController());
    ASSERT_NE(web, nullptr);
    ASSERT_TRUE(waitForEnd());
    settle();
    EXPECT_EQ(qobject_cast<FormEntryElement*>(online->elementWithKey("name"))->textValue(), "Ada");
    EXPECT_FALSE(overlayShown());
}

INSTANTIATE_TEST_SUITE_P(Devices, WebForm, ::testing::Values("tablet", "phone"));

} // namespace
