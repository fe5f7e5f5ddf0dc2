#include "platform/ui/ActionSheet.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/Observation.h"
#include "platform/ui/ViewController.h"

#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

TEST(ActionSheet, IndexesRunDestructiveOthersThenCancel)
{
    Animation::setInstant(true);
    ViewController root;
    Application::shared().setRootViewController(&root);
    Application::shared().makeKeyAndVisible();

    QPointer<ActionSheet> sheet
        = new ActionSheet("Export", nullptr, "Cancel", "Delete", { "CSV", "PDF" });
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    EXPECT_EQ(sheet->addButtonWithTitle("XLS"), 3);
    EXPECT_EQ(sheet->cancelButtonIndex(), 4);
    EXPECT_EQ(sheet->buttonTitleAtIndex(4), "Cancel");

    int chosen = -1;
    sheet->setCallback([&](ActionSheet*, int index) { chosen = index; });
    sheet->showFromRect(QRectF(100, 100, 40, 40), root.view());
    EXPECT_TRUE(sheet->isVisible());
    testsupport::processEvents(20);
    Application::shared().keyWindow()->snapshot().save(testsupport::outputPath("action-sheet.png"));
    sheet->clickButtonAtIndex(2);
    EXPECT_EQ(chosen, 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return sheet.isNull(); }));
    Application::shared().reset();
}

TEST(ActionSheet, EscapeCancelsAsATapOutsideDoesAndReturnLeavesTheSheet)
{
    Animation::setInstant(true);
    ViewController root;
    Application::shared().setRootViewController(&root);
    Application::shared().makeKeyAndVisible();
    QStringList told;
    QPointer<ActionSheet> sheet
        = new ActionSheet("Export", nullptr, "Cancel", QString(), { "CSV" });
    sheet->setCallback([&](ActionSheet*, int index) { told << QString::number(index); });
    sheet->showFromRect(QRectF(100, 100, 40, 40), root.view());
    testsupport::processEvents(20);

    // Return chooses nothing on a sheet; Escape is the cancel button.
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Return);
    testsupport::processEvents(20);
    EXPECT_TRUE(told.isEmpty());
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    EXPECT_EQ(told, QStringList { "1" });
    ASSERT_TRUE(testsupport::waitUntil([&] { return sheet.isNull(); }));
    // Gone, it takes no more keys.
    QTest::keyClick(Application::shared().keyWindow(), Qt::Key_Escape);
    EXPECT_EQ(told, QStringList { "1" });
    Application::shared().reset();
}

TEST(Observation, PropertyChangesReachTheObserverUntilTheContextGoes)
{
    ViewController controller;
    QStringList titles;
    auto context = std::make_unique<QObject>();
    EXPECT_TRUE(observeProperty(
        &controller, "title", context.get(), [&](const QVariant& v) { titles << v.toString(); }));
    controller.setTitle("Tables");
    controller.setTitle("Tables"); // unchanged: no notification
    controller.setTitle("Rows");
    context.reset();
    controller.setTitle("Gone");
    EXPECT_EQ(titles, QStringList({ "Tables", "Rows" }));
    QObject plain;
    EXPECT_FALSE(observeProperty(&plain, "missing", &plain, [](const QVariant&) {}));
}
