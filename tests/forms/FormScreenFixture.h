#pragma once

#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "forms/FormController.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <optional>

namespace formtest {

// A form shown as a screen in the main window, on a navigation stack, with animations
// instant and the delayed steps kept until the test runs them.
struct FormScreen : FormTest {
    KivoAppDelegate delegate;
    std::unique_ptr<ManualScheduler> scheduler;
    platform::ui::NavigationController* navigation = nullptr;
    QPointer<FormController> form;

    void TearDown() override
    {
        close();
        platform::ui::Animation::setInstant(false);
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    // Shows the root as the first screen of the window on the device ("tablet",
    // "phone").
    FormController* open(std::shared_ptr<FormRootElement> root, const QString& device = "tablet")
    {
        using namespace platform::ui;
        EXPECT_TRUE(Device::current().selectModel(device));
        Animation::setInstant(true);
        scheduler = std::make_unique<ManualScheduler>();
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        form = new FormController(std::move(root));
        navigation = new NavigationController(form);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
        settle();
        return form;
    }

    void close()
    {
        platform::ui::TextInput::endEditing(nullptr, true);
        platform::ui::Application::shared().reset();
        delete navigation;
        navigation = nullptr;
        scheduler.reset();
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Lets queued main-queue work and layout run.
    static void settle() { testsupport::processEvents(5); }

    // Runs the delayed steps (scrolling to a field, focusing one scrolled to), repeatedly,
    // since a step may schedule another.
    void runSteps()
    {
        for (int round = 0; round < 5 && scheduler && !scheduler->pending.empty(); ++round) {
            scheduler->runAll();
            settle();
        }
    }

    FormTableView* table() const { return form->formTableView(); }

    platform::ui::TableViewCell* cellOf(FormElement* element)
    {
        return table()->cellForElement(element);
    }
    FormEntryTableViewCell* entryCellOf(FormElement* element)
    {
        return qobject_cast<FormEntryTableViewCell*>(cellOf(element));
    }

    // Taps a row where a person would: at the given x from the row's left edge.
    void tapRow(FormElement* element, double x = 30)
    {
        const std::optional<FormIndexPath> path = element->getIndexPath();
        ASSERT_TRUE(path.has_value());
        const platform::ui::IndexPath row = FormTableView::tablePath(*path);
        table()->scrollToRowAtIndexPath(row, platform::ui::TableView::ScrollPosition::None, false);
        settle();
        const QRectF r = table()->rectForRowAtIndexPath(row);
        testsupport::GestureSynthesizer::tap(
            table(), QPointF(r.left() + x, r.center().y()) - table()->contentOffset());
        settle();
    }

    // The element whose field takes the keys now, or null.
    FormEntryElement* focused()
    {
        platform::ui::TextInput* input = platform::ui::TextInput::firstResponder();
        if (!input)
            return nullptr;
        for (platform::ui::TableViewCell* cell : table()->visibleCells())
            if (auto* entry = qobject_cast<FormEntryTableViewCell*>(cell))
                if (entry->textField() == dynamic_cast<platform::ui::TextField*>(input))
                    return entry->entryElement();
        return nullptr;
    }

    // A key to the field that takes the keys now.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        auto* field
            = dynamic_cast<platform::ui::TextField*>(platform::ui::TextInput::firstResponder());
        ASSERT_NE(field, nullptr);
        QTest::keyClick(field->lineEdit(), key, modifiers);
        settle();
        runSteps();
    }

    void type(const QString& text)
    {
        auto* field
            = dynamic_cast<platform::ui::TextField*>(platform::ui::TextInput::firstResponder());
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field->lineEdit(), text);
        settle();
    }

    // Saves what the window shows under the test output folder.
    void save(const QString& name)
    {
        settle();
        platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }
};

} // namespace formtest
