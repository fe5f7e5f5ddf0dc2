#pragma once

#include "common/TestSupport.h"
#include "model/ModelRegistry.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Folders.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QLocale>
#include <QTimeZone>
#include <QUrl>
#include <gtest/gtest.h>
#include <unicode/ucal.h>

#include <memory>

namespace modeltest {

namespace cd = platform::coredata;

// The application's delegate with a store of the real model, as the application's own
// delegate supplies it.
class StoreDelegate : public KivoAppDelegate {
public:
    StoreDelegate()
    {
        ModelRegistry::registerClasses();
        model
            = cd::ManagedObjectModel::fromFile(platform::Folders::resourcePath("Kivotab", "momd"));
        coordinator = std::make_shared<cd::PersistentStoreCoordinator>(model);
        const QVariantMap options { { cd::MigratePersistentStoresAutomaticallyOption, true },
            { cd::InferMappingModelAutomaticallyOption, true } };
        EXPECT_TRUE(coordinator->addPersistentStore(cd::SQLiteStoreType, {},
            QUrl::fromLocalFile(testsupport::homePath() + "/Kivotab.sqlite"), options));
        context = std::make_unique<cd::ManagedObjectContext>();
        context->setPersistentStoreCoordinator(coordinator);
    }

    cd::ManagedObjectContext* managedObjectContext() const override { return context.get(); }
    std::shared_ptr<const cd::ManagedObjectModel> managedObjectModel() const override
    {
        return model;
    }

    std::shared_ptr<const cd::ManagedObjectModel> model;
    std::shared_ptr<cd::PersistentStoreCoordinator> coordinator;
    std::unique_ptr<cd::ManagedObjectContext> context;
};

struct ModelTest : ::testing::Test {
    void SetUp() override
    {
        // US English in UTC, set before the first formatter or calendar is made.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        UErrorCode status = U_ZERO_ERROR;
        ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"UTC"), &status);
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
        delegate = std::make_unique<StoreDelegate>();
    }
    void TearDown() override
    {
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        delegate.reset();
        platform::ui::Application::shared().reset();
    }

    // A saved column of the definition.
    TemplateColumn* column(
        const QString& templateId, const QString& name, const QString& type, int precision = 0)
    {
        TemplateColumn* made = TemplateColumn::add(templateId);
        made->setName(name);
        made->setType(type);
        made->setPrecision(precision);
        EXPECT_TRUE(made->saveTemplateColumn());
        return made;
    }

    static QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
    }

    std::unique_ptr<StoreDelegate> delegate;
};

} // namespace modeltest
