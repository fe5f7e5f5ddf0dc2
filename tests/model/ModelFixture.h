#pragma once

#include "common/TestSupport.h"
#include "model/FilterExtended.h"
#include "model/ModelRegistry.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/FormatLocale.h"
#include "utilities/text/LocalizedStrings.h"

#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <unicode/ucal.h>

#include <memory>

namespace modeltest {

namespace cd = platform::coredata;

struct ModelTest : ::testing::Test {
    void SetUp() override
    {
        // US English in UTC, set before the first formatter or calendar is made.
        FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        UErrorCode status = U_ZERO_ERROR;
        ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(u"UTC"), &status);
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
        delegate = std::make_unique<KivoAppDelegate>();
        // The application's store stack over a store of the real model.
        ModelRegistry::registerClasses();
        platform::Error error;
        StoreStack::install(
            StoreStack::open(testsupport::homePath() + "/Kivotab.sqlite", {}, &error));
        ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    }
    void TearDown() override
    {
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        StoreStack::install(nullptr);
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

    // A row value's key: the column's id.
    static QString key(TemplateColumn* c) { return c->id().toString(); }

    static std::shared_ptr<FilterExtended> filter(TemplateColumn* c, const QString& condition,
        const QString& joiner = LocalizedStrings::And())
    {
        auto f = std::make_shared<FilterExtended>();
        f->setColumn(key(c));
        f->setOperator(condition);
        f->setAndOr(joiner);
        return f;
    }

    static std::shared_ptr<Sort> sort(TemplateColumn* c, bool ascending)
    {
        auto s = std::make_shared<Sort>();
        s->setColumn(key(c));
        s->setAscending(ascending);
        return s;
    }

    static QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
    }

    static cd::ManagedObjectContext* context() { return StoreStack::instance()->context(); }
    static const std::shared_ptr<cd::PersistentStoreCoordinator>& coordinator()
    {
        return StoreStack::instance()->coordinator();
    }

    std::unique_ptr<KivoAppDelegate> delegate;
};

} // namespace modeltest
