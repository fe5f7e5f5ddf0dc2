#include "grid/MainCollectionViewController.h"
#include "platform/LocalTimeZone.h"
#include "platform/Product.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/shell/UncaughtExceptionHandler.h"
#include "widgets/MailComposeViewController.h"

#include <QApplication>

#include <memory>

// The application shell: the main window whose navigation stack starts with the root grid
// screen, styled from the settings. The full start-up of the application's delegate builds
// on this.
int main(int argc, char** argv)
{
    platform::LocalTimeZone::pin();
    QApplication app(argc, argv);
    Product::nameApplication();
    QApplication::setApplicationDisplayName(Product::name);
    QApplication::setApplicationVersion(KIVOTAB_VERSION);

    installUncaughtExceptionHandler();

    KivoAppDelegate delegate;
    Preferences::registerDefaults();
    delegate.setCurrentStyle(Theme::getDefaultTheme());
    delegate.setVestionInSettings();
    MailComposeViewController::registerAsComposer();
    ScreenFactory::install();

    std::unique_ptr<platform::ui::NavigationController> navigation(
        MainCollectionViewController::createRootNavigation());
    navigation->setTitle(QApplication::applicationDisplayName());
    Theme* style = Theme::current();
    style->applyStyleToNavigatioBar(navigation->navigationBar());
    style->applyiOS7StyleForToolbar(navigation->toolbar());
    navigation->view()->setBackgroundPattern(
        platform::ui::Image(style->BackColor().patternImage(), 2.0));

    auto& application = platform::ui::Application::shared();
    application.setRootViewController(navigation.get());
    application.makeKeyAndVisible();
    const int result = app.exec();
    application.reset();
    return result;
}
