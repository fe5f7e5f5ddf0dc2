#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/View.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

QStringList g_log;

// Records its life-cycle calls and where it stands on its stack at that moment.
class Recorder : public ViewController {
public:
    explicit Recorder(const QString& name) { setTitle(name); }
    void loadView() override
    {
        g_log << title() + ".loadView";
        ViewController::loadView();
    }
    void viewDidLoad() override { g_log << title() + ".viewDidLoad"; }
    void viewWillAppear(bool) override { g_log << title() + ".willAppear" + stackNote(); }
    void viewDidAppear(bool) override { g_log << title() + ".didAppear"; }
    void viewWillDisappear(bool) override { g_log << title() + ".willDisappear" + stackNote(); }
    void viewDidDisappear(bool) override { g_log << title() + ".didDisappear"; }
    void prepareForSegue(StoryboardSegue& segue, QObject*) override
    {
        g_log << "prepare:" + segue.identifier() + "->"
                + (segue.destinationViewController()->navigationController() ? "stacked" : "free");
        segue.destinationViewController()->setTitle("Detail");
    }

private:
    QString stackNote() const
    {
        auto* nav = navigationController();
        return nav ? QStringLiteral("[%1]").arg(nav->viewControllers().size())
                   : QStringLiteral("[-]");
    }
};

// Asks for the keys as it appears, as the note editor does, with a text view or a field.
class Focusing : public ViewController {
public:
    explicit Focusing(bool multiline)
        : m_multiline(multiline)
    {
    }
    TextInput* input = nullptr;
    void loadView() override
    {
        View* view = m_multiline ? static_cast<View*>(new TextView) : new TextField;
        input = dynamic_cast<TextInput*>(view);
        setView(view);
    }
    void viewWillAppear(bool) override { input->becomeFirstResponder(); }
    QWidget* editor() const
    {
        auto* text = dynamic_cast<TextView*>(input);
        return text ? static_cast<QWidget*>(text->textEdit())
                    : dynamic_cast<TextField*>(input)->lineEdit();
    }
    QString text() const
    {
        auto* text = dynamic_cast<TextView*>(input);
        return text ? text->text() : dynamic_cast<TextField*>(input)->text();
    }

private:
    bool m_multiline;
};

struct Screens : ::testing::Test {
    NavigationController* navigation = nullptr;
    void SetUp() override
    {
        Animation::setInstant(true);
        g_log.clear();
        navigation = new NavigationController();
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
    }
    void TearDown() override
    {
        Application::shared().reset();
        delete navigation;
        Storyboard::main().clear();
    }
};

} // namespace

TEST_F(Screens, PushAndPopSendAppearanceCallsInThePlatformOrder)
{
    auto* first = new Recorder("A");
    navigation->pushViewController(first, false);
    testsupport::processEvents(20);
    EXPECT_EQ(
        g_log, QStringList({ "A.loadView", "A.viewDidLoad", "A.willAppear[1]", "A.didAppear" }));

    g_log.clear();
    QPointer<Recorder> second = new Recorder("B");
    navigation->pushViewController(second, true);
    // The new one is already on the stack when the covered one hears of it.
    EXPECT_EQ(g_log.mid(0, 4),
        QStringList({ "A.willDisappear[2]", "B.loadView", "B.viewDidLoad", "B.willAppear[2]" }));
    ASSERT_TRUE(testsupport::waitUntil([] { return g_log.size() == 6; }));
    EXPECT_EQ(g_log.mid(4), QStringList({ "A.didDisappear", "B.didAppear" }));
    EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), "B");
    EXPECT_FALSE(navigation->navigationBar()->backButton()->isHidden());

    g_log.clear();
    EXPECT_EQ(navigation->popViewController(true), second.data());
    // The popped one is already off the stack.
    EXPECT_EQ(g_log.mid(0, 2), QStringList({ "B.willDisappear[1]", "A.willAppear[1]" }));
    ASSERT_TRUE(testsupport::waitUntil([] { return g_log.size() == 4; }));
    EXPECT_EQ(g_log.mid(2), QStringList({ "B.didDisappear", "A.didAppear" }));
    // An owned controller is released once it is off the stack.
    ASSERT_TRUE(testsupport::waitUntil([&] { return second.isNull(); }));
    EXPECT_EQ(navigation->popViewController(false), nullptr); // the root stays
}

TEST_F(Screens, PopToRootAndToAControllerReleaseWhatWasAbove)
{
    auto* a = new Recorder("A");
    auto* b = new Recorder("B");
    QPointer<Recorder> c = new Recorder("C");
    QPointer<Recorder> d = new Recorder("D");
    navigation->setViewControllers({ a, b, c, d });
    testsupport::processEvents(20);
    EXPECT_EQ(
        navigation->popToViewController(b, false), QList<ViewController*>({ c.data(), d.data() }));
    EXPECT_EQ(navigation->topViewController(), b);
    EXPECT_EQ(navigation->popToRootViewController(false), QList<ViewController*>({ b }));
    EXPECT_EQ(navigation->viewControllers(), QList<ViewController*>({ a }));
    ASSERT_TRUE(testsupport::waitUntil([&] { return c.isNull() && d.isNull(); }));
    Recorder stranger("stranger");
    EXPECT_TRUE(navigation->popToViewController(&stranger, false).isEmpty());
}

TEST_F(Screens, ModalPresentAndDismissRunCompletionsAfterTheCalls)
{
    auto* root = new Recorder("Root");
    navigation->pushViewController(root, false);
    testsupport::processEvents(20);
    g_log.clear();

    QPointer<Recorder> sheet = new Recorder("Sheet");
    bool presented = false;
    root->presentViewController(sheet, true, [&] {
        presented = true;
        g_log << "presented";
    });
    ASSERT_TRUE(testsupport::waitUntil([&] { return presented; }));
    EXPECT_EQ(root->presentedViewController(), sheet.data());
    EXPECT_EQ(sheet->presentingViewController(), root);
    EXPECT_EQ(Application::shared().topMostPresentedController(), sheet.data());
    EXPECT_TRUE(g_log.contains("Sheet.willAppear[-]"));
    EXPECT_EQ(g_log.last(), "presented");
    // The sheet lives in the window's overlay level, above the screens.
    EXPECT_TRUE(sheet->view()->isDescendantOfView(Application::shared().overlayLevel()));

    bool dismissed = false;
    sheet->dismissViewController(true, [&] { dismissed = true; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return dismissed; }));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(g_log.contains("Sheet.didDisappear"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return sheet.isNull(); }));
}

TEST_F(Screens, SeguePreparesSynchronouslyBeforeThePush)
{
    Storyboard::main().registerController("Detail", [] { return new Recorder("fresh"); });
    Storyboard::main().registerSegue("Menu", "Detail");
    auto* root = new Recorder("Root");
    navigation->pushViewController(root, false);
    testsupport::processEvents(20);
    g_log.clear();
    root->performSegueWithIdentifier("Menu", nullptr);
    ASSERT_FALSE(g_log.isEmpty());
    EXPECT_EQ(g_log.first(), "prepare:Menu->free");
    EXPECT_EQ(navigation->topViewController()->title(), "Detail");
    EXPECT_EQ(navigation->topViewController()->storyboardIdentifier(), "Detail");

    EXPECT_THROW(
        Storyboard::main().instantiateViewControllerWithIdentifier("Nope"), platform::Exception);
    // An unknown segue is an exception shown to the person, never a crash.
    EXPECT_NO_THROW(root->performSegueWithIdentifier("Unknown", nullptr));
}

TEST_F(Screens, ExceptionsInLifeCycleCallsStopAtTheLoop)
{
    struct Faulty : ViewController {
        void viewDidLoad() override { throw platform::Exception("Test", "load failed"); }
    };
    QString shown;
    setExceptionPresenter([&](const std::exception& e) { shown = QString::fromUtf8(e.what()); });
    navigation->pushViewController(new Faulty, false);
    EXPECT_EQ(shown, "Test: load failed");
    EXPECT_EQ(navigation->viewControllers().size(), 1);
    setExceptionPresenter({});
}

TEST_F(Screens, AScreensOwnBarButtonsLeaveTheBarWithIt)
{
    auto* first = new ViewController();
    auto* own = new Button();
    own->setTitle("Mine");
    first->navigationItem()->setRightBarButtonItem(new BarButtonItem(own));
    navigation->pushViewController(first, false);
    testsupport::processEvents(20);
    EXPECT_TRUE(own->isVisible());

    // The next screen's bar does not show the covered screen's button.
    navigation->pushViewController(new ViewController(), false);
    testsupport::processEvents(20);
    EXPECT_FALSE(own->isVisible());
    navigation->popViewController(false);
    testsupport::processEvents(20);
    EXPECT_TRUE(own->isVisible()) << "back with its screen";
}

TEST_F(Screens, AnInputFocusedAsItsScreenAppearsHasTheKeysOnScreen)
{
    navigation->pushViewController(new ViewController(), false);
    for (const bool animated : { true, false }) {
        for (const bool multiline : { true, false }) {
            SCOPED_TRACE(QString("%1 %2")
                             .arg(animated ? "animated" : "at once")
                             .arg(multiline ? "text view" : "text field")
                             .toStdString());
            auto* screen = new Focusing(multiline);
            navigation->pushViewController(screen, animated);
            ASSERT_TRUE(testsupport::waitUntil([&] { return screen->view()->isVisible(); }));
            // The keys typed at once go to it, not only those after a click.
            EXPECT_EQ(Application::shared().keyWindow()->focusWidget(), screen->editor());
            QTest::keyClicks(Application::shared().keyWindow()->focusWidget(), "Elm");
            EXPECT_EQ(screen->text(), "Elm");
            EXPECT_EQ(TextInput::firstResponder(), screen->input);
            navigation->popViewController(false);
            testsupport::processEvents(20);
        }
    }
}
