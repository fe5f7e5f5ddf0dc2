#include "utilities/shell/MessageHelper.h"
#include "common/TestSupport.h"
#include "platform/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/TalloxException.h"

#include <QLineEdit>
#include <QThread>
#include <gtest/gtest.h>

#include <thread>

using platform::ui::AlertView;

namespace {

struct AlertFixture : ::testing::Test {
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
    }
    void TearDown() override
    {
        for (AlertView* alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        platform::ui::Application::shared().reset();
    }
};

// Exposes a text property for the field check, as the screens' fields do.
class Record : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString uid MEMBER uid)
    Q_PROPERTY(QVariant value MEMBER value)
public:
    QString name;
    QString uid;
    QVariant value;
};

class DerivedRecord : public Record {
    Q_OBJECT
    Q_PROPERTY(QString extra MEMBER extra)
public:
    QString extra;
};

} // namespace

TEST_F(AlertFixture, MessageFromBackgroundThreadAppearsOnMainThread)
{
    std::thread worker([] { MessageHelper::ShowMessage("Saved in the background", true); });
    worker.join();
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    AlertView* alert = AlertView::visibleAlerts().first();
    EXPECT_EQ(alert->thread(), QThread::currentThread());
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_EQ(alert->message(), "Saved in the background");
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "OK"); // the fixed text, not the localized "Ok"

    MessageHelper::ShowMultipleMessage({ "a", "b" }, true);
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 2; }));
    EXPECT_EQ(AlertView::visibleAlerts().last()->title(), "Information");
    EXPECT_EQ(AlertView::visibleAlerts().last()->message(), "a\r\nb");
}

TEST_F(AlertFixture, NullErrorsAndExceptionsShowNothing)
{
    MessageHelper::ShowError(platform::Error());
    MessageHelper::ShowException(static_cast<const std::exception*>(nullptr));
    testsupport::processEvents(50);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());

    MessageHelper::ShowException(platform::Exception("Custom", "The reason"));
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "The reason");
}

TEST_F(AlertFixture, ValidationShowsOneMessageAndStopsAtTheEnd)
{
    EXPECT_TRUE(MessageHelper::ValidateTextString({ QString() }));
    EXPECT_TRUE(MessageHelper::ValidateTextString({ "x", QString(), "" })); // ends at the null
    EXPECT_FALSE(MessageHelper::ValidateTextString({ "x", "", QString() }));
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 1; }));
    EXPECT_EQ(AlertView::visibleAlerts().first()->message(), "Please enter valid data.");

    QLineEdit filled("text"), empty;
    EXPECT_TRUE(MessageHelper::ValidateTextFields({}));
    EXPECT_TRUE(MessageHelper::ValidateTextFields({ &filled, nullptr, &empty }));
    EXPECT_FALSE(MessageHelper::ValidateTextFields({ &filled, &empty }));

    EXPECT_TRUE(MessageHelper::ValidateTextStringInDict({ { "uid", "" } }));
    EXPECT_TRUE(MessageHelper::ValidateTextStringInDict({ { "n", 0 }, { "t", "x" } }));
    EXPECT_FALSE(MessageHelper::ValidateTextStringInDict({ { "t", "" } }));
}

TEST(MessageHelper, ObjectValidationWalksTheClassesUpToQObject)
{
    DerivedRecord record;
    record.name = "n";
    record.value = 1;
    // "extra" is empty: the own class fails before the base is looked at.
    EXPECT_FALSE(
        MessageHelper::ValidateTextStringInObject(&record, &DerivedRecord::staticMetaObject));
    record.extra = "e";
    EXPECT_TRUE(
        MessageHelper::ValidateTextStringInObject(&record, &DerivedRecord::staticMetaObject));
    record.value = QVariant(); // nil in the base class
    EXPECT_FALSE(
        MessageHelper::ValidateTextStringInObject(&record, &DerivedRecord::staticMetaObject));
    record.value = 2;
    record.uid.clear(); // "uid" is never looked at
    EXPECT_TRUE(MessageHelper::ValidateTextStringInObject(&record, &Record::staticMetaObject));
}

TEST(MessageHelper, ThrowIfErrorRaisesTalloxExceptionWithTheDescription)
{
    EXPECT_NO_THROW(MessageHelper::throwIfError(platform::Error()));
    const auto error = platform::Error::withDescription("Domain", 7, "Disk full");
    try {
        MessageHelper::throwIfError(error);
        FAIL() << "no exception";
    } catch (const TalloxException& exception) {
        EXPECT_EQ(exception.name(), "TalloxException");
        EXPECT_EQ(exception.reason(), "Disk full");
        EXPECT_TRUE(exception.userInfo().isEmpty());
    }
}

#include "MessageHelperTest.moc"
