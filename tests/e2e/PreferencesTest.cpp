#include "ColourFixture.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormRadioElement.h"
#include "style/ThemedImages.h"

#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "platform/UserDefaults.h"
#include "platform/ui/MailComposeViewController.h"
#include "screens/ApplicationState.h"
#include "screens/ColorDataController1.h"
#include "screens/ColorViewController.h"
#include "screens/PreferencesDetailViewController.h"
#include "style/NamedColors.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include "common/ChildProcess.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace e2e {
namespace {

struct Preferences : ColourApp {
    // Household open (and the default), then the Databases screen again.
    void openHousehold()
    {
        databases = top();
        ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
        ASSERT_TRUE(open(databases, "Household"));
        back();
        household = ApplicationState::database();
        ASSERT_NE(household, nullptr);
    }

    PreferencesDetailViewController* preferences()
    {
        // A phone leaves the options list under the form it opened.
        while (navigation->viewControllers().size() > 1
            && navigation->topViewController() != databases)
            back();
        if (!chooseOption(databases, "Preferences"))
            return nullptr;
        return dynamic_cast<PreferencesDetailViewController*>(awaitedForm(databases));
    }

    // Picks the colour of that name in the selector the theme's row opens.
    bool pick(PreferencesDetailViewController* form, const QString& key, const QString& name)
    {
        tapElement(form, key);
        ColorViewController* selector = form->colorSelector();
        if (!selector || !open(selector, name))
            return false;
        settle(100);
        return !form->colorSelector();
    }

    bool save(PreferencesDetailViewController* form)
    {
        QPointer<PreferencesDetailViewController> alive(form);
        tapElement(form, LocalizedStrings::Save());
        return takeMessages() == QStringList({ "Information|Preferences updated." })
            && (!alive || navigation->topViewController() != alive);
    }

    // The element of that key or bind, else of that title.
    static FormElement* row(QuickDetailViewController* form, const QString& keyOrTitle)
    {
        if (FormElement* found = element(form, keyOrTitle))
            return found;
        for (const auto& section : form->root()->sections())
            for (const auto& item : section->elements())
                if (auto* titled = qobject_cast<FormRootElement*>(item.get());
                    titled && titled->title() == keyOrTitle)
                    return item.get();
        return nullptr;
    }

    static void tapElement(QuickDetailViewController* form, const QString& keyOrTitle)
    {
        FormElement* row = Preferences::row(form, keyOrTitle);
        ASSERT_NE(row, nullptr) << keyOrTitle.toStdString();
        tapRow(form, row);
    }

    static QVariantMap colour(const QString& name, const QString& text)
    {
        return { { DefaultContent::ColorNameColumnId, name },
            { DefaultContent::ColorValueColumnId, text } };
    }

    ApplicationScreen* databases = nullptr;
    Database* household = nullptr;
};

TEST_P(Preferences, APickedColourIsStoredOnlyForTheThemeItRenames)
{
    openHousehold();
    KivotabPrefernces* settings = ApplicationState::preferences();
    const QVariant tiles = settings->tilesthemeColor();
    // A bar colour of our own: picking the bar's own name again must keep it.
    const QVariantMap ownBar = colour("Blue", "{0.1, 0.2, 0.3, 1}");
    settings->setBarthemeColor(ownBar);
    settings->setResetReminders(true);
    PreferencesDetailViewController* form = preferences();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(row(form, LocalizedStrings::EmailDebugInfo()), nullptr);

    tapElement(form, "imagetheme");
    ColorViewController* selector = form->colorSelector();
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->screen()->title, "Colors");
    EXPECT_EQ(selector->title(), "#ColorsKivo");
    auto* controller = controllerOf<ColorDataController1>(selector);
    ASSERT_NE(controller, nullptr);
    // The system database's colours, without making it the open one.
    EXPECT_TRUE(titles(selector).contains("Brown"));
    EXPECT_EQ(controller->database()->id().toString(), ApplicationState::SystemDatabaseId);
    EXPECT_EQ(ApplicationState::database(), household);
    EXPECT_EQ(settings->defaultDatabase().toString(), household->id().toString());
    ASSERT_TRUE(shot(QString("preferences-selector-%1.png").arg(GetParam())));
    ASSERT_TRUE(open(selector, "Brown"));
    settle(100);
    EXPECT_EQ(form->colorSelector(), nullptr);
    EXPECT_EQ(valueOf(form, "imagetheme").toString(), "Brown");
    const QVariantMap brown = form->imageColor();
    EXPECT_EQ(brown.value(DefaultContent::ColorNameColumnId).toString(), "Brown");
    EXPECT_EQ(brown.value(DefaultContent::ColorValueColumnId).toString(),
        UIColor_Expanded::themeRGBString("Brown"));
    ASSERT_TRUE(pick(form, "bartheme", "Blue"));
    ASSERT_TRUE(shot(QString("preferences-form-%1.png").arg(GetParam())));

    ASSERT_TRUE(save(form));
    EXPECT_EQ(settings->imagetheme().toString(), "Brown");
    EXPECT_EQ(settings->imagethemeColor().toMap(), brown);
    EXPECT_EQ(settings->barthemeColor().toMap(), ownBar);
    EXPECT_EQ(settings->tilesthemeColor(), tiles);
    EXPECT_FALSE(settings->resetReminders());
    EXPECT_EQ(ApplicationState::database(), household);
    // Restyled from the stored colours; English at the next start.
    EXPECT_EQ(Theme::current()->imageColor().toQColor(),
        UIColor_Expanded::colorWithString(
            brown.value(DefaultContent::ColorValueColumnId).toString())
            .value_or(Color::clearColor())
            .toQColor());
    EXPECT_EQ(platform::UserDefaults::standard().objectForKey("AppleLanguages").toStringList(),
        QStringList({ "en" }));

    // Saving without a pick keeps every colour; the device language drops the setting.
    form = preferences();
    ASSERT_NE(form, nullptr);
    qobject_cast<FormBooleanElement*>(element(form, "ioslanguage"))->setBoolValue(true);
    ASSERT_TRUE(save(form));
    EXPECT_EQ(settings->imagethemeColor().toMap(), brown);
    EXPECT_EQ(settings->barthemeColor().toMap(), ownBar);
    EXPECT_FALSE(platform::UserDefaults::standard().objectForKey("AppleLanguages").isValid());
}

TEST_P(Preferences, DefaultsRestoreAllButTheDefaultDatabase)
{
    openHousehold();
    KivotabPrefernces* settings = ApplicationState::preferences();
    settings->setBackground("Noisy");
    settings->setAutofitfont(false);
    settings->setImagetheme("Brown");
    settings->setImagethemeColor(colour("Brown", UIColor_Expanded::themeRGBString("Brown")));
    settings->setTilestheme("Nowhere");
    settings->setTilesthemeColor(colour("Grey", UIColor_Expanded::themeRGBString("Grey")));
    settings->setFirstlaunch(false);
    settings->setDefaultTemplatesLoaded(true);
    PreferencesDetailViewController* form = preferences();
    ASSERT_NE(form, nullptr);
    // A name none of the themes has shows black.
    EXPECT_EQ(
        form->colorDictionary("Elsewhere").value(DefaultContent::ColorValueColumnId).toString(),
        UIColor_Expanded::stringValue(Color::blackColor()));
    EXPECT_EQ(form->colorDictionary("Brown").value(DefaultContent::ColorNameColumnId).toString(),
        "Brown");

    tapElement(form, LocalizedStrings::Defaults());
    EXPECT_EQ(openedForm(databases), form) << "the form stays open";
    EXPECT_EQ(settings->background().toString(), "TinyGrid");
    EXPECT_TRUE(settings->autofitfont());
    EXPECT_EQ(settings->imagetheme().toString(), "Blue");
    EXPECT_EQ(
        settings->imagethemeColor().toMap().value(DefaultContent::ColorValueColumnId).toString(),
        UIColor_Expanded::themeRGBString("Blue"));
    EXPECT_EQ(settings->defaultDatabase().toString(), household->id().toString());
    EXPECT_FALSE(settings->firstlaunch());
    EXPECT_FALSE(settings->defaultTemplatesLoaded());
    EXPECT_EQ(valueOf(form, "imagetheme").toString(), "Blue");
    EXPECT_EQ(
        qobject_cast<FormRadioElement*>(element(form, "background"))->selectedItem(), "TinyGrid");
    // The swatches are drawn from the restored colours.
    const auto swatch = [&](const QString& key) {
        return qobject_cast<FormLabelElement*>(element(form, key))->image().image();
    };
    EXPECT_FALSE(swatch("tilestheme").isNull());
    EXPECT_EQ(swatch("imagetheme"),
        ThemedImages::themedimageNamed1("color", *UIColor_Expanded::themeColor("Blue")).image());
}

TEST_P(Preferences, TheMailedDebugLogStartsAgainInTheSameFile)
{
    openHousehold();
    ApplicationState::preferences()->setDebug(true);
    // The error stream goes into the log, as it does at a start with debugging on.
    const int savedError = ::dup(STDERR_FILENO);
    DebugHelper& log = DebugHelper::singleton();
    log.logToFile();
    DebugHelper::writeToLog("before the mail");
    PreferencesDetailViewController* form = preferences();
    ASSERT_NE(form, nullptr);
    tapElement(form, LocalizedStrings::EmailDebugInfo());
    auto* composer = dynamic_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_NE(composer, nullptr);
    composer->send();
    settle(150);
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    DebugHelper::writeToLog("after the mail");
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);

    QFile file(log.logFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray kept = file.readAll();
    EXPECT_TRUE(kept.contains("after the mail")) << kept.toStdString();
    EXPECT_FALSE(kept.contains("before the mail"));

    const QStringList mails = QDir(platform::ui::MailComposeViewController::outboxFolder())
                                  .entryList({ "*.eml" }, QDir::Files);
    ASSERT_EQ(mails.size(), 1);
    const char* script = R"(
import email, sys
from email import policy
message = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=policy.default)
print(message['Subject'])
print(message['To'])
for part in message.iter_attachments():
    print(part.get_filename(), part.get_content_type())
    print(part.get_content().strip().splitlines()[-1].split(']', 1)[1].strip())
)";
    testsupport::ChildProcess python;
    ASSERT_TRUE(python.start("python3",
        { "-c", script,
            QDir(platform::ui::MailComposeViewController::outboxFolder())
                .filePath(mails.first()) }))
        << python.report();
    ASSERT_TRUE(python.waitForExit(30000)) << python.report();
    EXPECT_EQ(QString::fromUtf8(python.standardOutput()).split('\n'),
        QStringList({ "Debug Info", PreferencesDetailViewController::SupportMail,
            "debug.log text/plain", "before the mail", "" }))
        << python.report();
}

TEST_P(Preferences, TheMailButtonFollowsTheDebugSettingWhenTheFormIsBuilt)
{
    openHousehold();
    ApplicationState::preferences()->setDebug(true);
    PreferencesDetailViewController* form = preferences();
    ASSERT_NE(form, nullptr);
    EXPECT_NE(row(form, LocalizedStrings::EmailDebugInfo()), nullptr);
    EXPECT_EQ(
        form->popupContentSize().height(), QuickDetailViewController::calculateActualHeight(13));
}

INSTANTIATE_TEST_SUITE_P(Devices, Preferences, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
