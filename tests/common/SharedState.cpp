#include "common/TestSupport.h"

#include "common/ChildProcess.h"

#include "platform/LocalNotifications.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/UbiquitousKeyValueStore.h"
#ifndef KIVOTAB_TEST_CORE_ONLY
#include "bridge/BridgeCaller.h"
#include "forms/DetailExportMenu.h"
#include "forms/FormElement.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormScheduler.h"
#include "grid/BridgeServices.h"
#include "grid/CloudDocumentService.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextView.h"
#include "reports/ReportController.h"
#include "screens/ApplicationState.h"
#include "screens/MainDataController.h"
#include "style/ThemedImages.h"
#include "utilities/shell/RatePromptServices.h"
#include "utilities/shell/ScreenServices.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/FormatLocale.h"
#include "utilities/text/LocalizedStrings.h"
#include "utilities/text/StringsLanguage.h"
#include "widgets/ProgressHUD.h"
#endif

#include <QLocale>

namespace testsupport {

void resetSharedState()
{
    ChildProcess::resetForNextTest();
#ifndef KIVOTAB_TEST_CORE_ONLY
    // The store of one test never reaches the next.
    StoreStack::install(nullptr);
#endif
    // Formatters made on first use keep the locale of that moment: every test starts in
    // the same one, whatever ran before it.
#ifdef KIVOTAB_TEST_CORE_ONLY
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#else
    FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#endif
    platform::UserDefaults::standard().reload();
#ifndef KIVOTAB_TEST_CORE_ONLY
    // The strings table of that locale and of the fresh settings.
    StringsLanguage::load();
    // What the style sets for the controls made after it, and the first responder.
    platform::ui::TextInput::endEditing(nullptr, true);
    platform::ui::SearchBar::appearance() = {};
    platform::ui::TextField::appearance() = {};
    platform::ui::TextView::appearance() = {};
    platform::ui::DatePicker::appearance() = {};
    // A test that needs screen records installs the factory it means; the same for the
    // rate prompt start-up configures.
    ScreenServices::install(nullptr);
    RatePromptServices::install(nullptr);
    CloudDocumentService::install(nullptr);
    // The desktop server's client, token and limits, as the application starts them.
    BridgeServices::install(nullptr);
    BridgeCaller::setToken({});
    BridgeCaller::setMatrixOptions({});
    // The forms' shared appearance and their delayed steps.
    FormElement::resetClassAppearances();
    FormScheduler::setScheduler({});
    // A fresh process has no enumeration names until its first root build.
    FormRootBuilder::resetMappings();
    // The photos of the test that set a folder and picked from it.
    platform::ui::ImagePickerController::setPicturesFolder({});
    platform::ui::ImagePickerController::setAutoResponder({});
    ProgressHUD::appearance() = {};
    // Icons recoloured in one test's style.
    ThemedImages::forgetRecoloured();
    // The screens' open database, store manager and reminders, and what Home keeps.
    ApplicationState::reset();
    MainDataController::resetProcessState();
    // Saved files open with the desktop's program unless a test stands in for it.
    ReportController::setFileOpener({});
    // Row displays make no export menu unless a test installs one.
    DetailExportMenu::setFactory({});
#endif
    // Scheduled notifications live in the test's home; the clock is the system's again.
    platform::LocalNotifications::shared().reset();
    platform::coredata::CloudContainer::reset();
    platform::coredata::UbiquitousKeyValueStore::defaultStore().reset();
}

} // namespace testsupport
