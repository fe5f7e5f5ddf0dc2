#include "forms/FormWebController.h"
#include "common/FixtureHttpServer.h"
#include "forms/FormEntryElement.h"
#include "platform/ui/AlertView.h"

#include "forms/FormScreenFixture.h"

#include <QJsonDocument>
#include <QTemporaryFile>

using namespace platform::ui;
using formtest::FormScreen;

namespace {

// A contact form whose values come from the web.
std::shared_ptr<FormRootElement> contactForm(const QVariant& object)
{
    const QVariantMap description = QJsonDocument::fromJson(R"({
        "title": "Contact", "grouped": true, "sections": [{"elements": [
            {"type": "FormEntryElement", "title": "Name", "key": "name", "bind": "textValue:name"},
            {"type": "FormEntryElement", "title": "City", "key": "city", "bind": "textValue:city"}
        ]}]})")
                                        .toVariant()
                                        .toMap();
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

    // Shows the contact form as a web form for the address (as the root's object).
    void openWeb(const QVariant& object, int timeoutMs = 5000)
    {
        root = contactForm(object);
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
