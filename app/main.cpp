#include "bridge/BridgeCaller.h"
#include "forms/DetailForms.h"
#include "grid/MainCollectionViewController.h"
#include "model/AppDelegate.h"
#include "platform/LocalTimeZone.h"
#include "platform/Product.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "reports/ExportDetailDataController.h"
#include "screens/ScreenFactory.h"
#include "style/Theme.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/MailComposeViewController.h"
#include "widgets/RatePrompt.h"

#include <QApplication>
#include <QStringList>

#include <memory>

namespace {

// The first screen: the main window with its navigation stack, styled from the settings.
// Shown once start-up has waited for the store.
std::unique_ptr<platform::ui::NavigationController> showFirstScreen()
{
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
    return navigation;
}

// Files named on the command line reach the application the way the platform hands over
// a file another application opens in it.
void openHandedFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        QString problem;
        if (!platform::ui::Application::shared().handOverFile(path, &problem) && !problem.isEmpty())
            MessageHelper::ShowMessage(problem, true);
    }
}

} // namespace

int main(int argc, char** argv)
{
    platform::LocalTimeZone::pin();
    QApplication app(argc, argv);
    Product::nameApplication();
    QApplication::setApplicationDisplayName(Product::name);
    QApplication::setApplicationVersion(KIVOTAB_VERSION);

    // What the layers above the model lend to start-up and to the screens.
    RatePrompt::install();
    MailComposeViewController::registerAsComposer();
    ScreenFactory::install();
    DetailForms::registerAll();
    ExportDetailDataController::install();
    // The desktop server's client; no address or token is set, so its calls fail with a message.
    BridgeCaller::install();

    AppDelegate delegate;
    std::unique_ptr<platform::ui::NavigationController> navigation;
    QObject::connect(&delegate, &AppDelegate::launchFinished, &delegate, [&] {
        navigation = showFirstScreen();
        openHandedFiles(QApplication::arguments().mid(1));
    });
    delegate.didFinishLaunching();

    const int result = app.exec();
    delegate.shutdown();
    platform::ui::Application::shared().reset();
    navigation.reset();
    return result;
}
