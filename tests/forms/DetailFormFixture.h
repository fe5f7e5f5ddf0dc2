#pragma once

#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "forms/DetailForms.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTestSupport.h"
#include "forms/QuickDetailViewController.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/DetailFormRegistry.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Exception.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "utilities/crypto/KivoAES256.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/Preferences.h"
#include "utilities/store/StoreStack.h"
#include "widgets/PopoverController.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace detailtest {

// The rows data controller of one user table, as the row form sees it.
class RowsController : public BaseDataController, public RowFormDataController {
    Q_OBJECT
public:
    const Rows::Columns& Columns() const override { return columns; }
    const Rows::Password& secret() const override { return password; }
    QVariantList getAutoCompleteValues(const QString& columnId) override
    {
        completionsAskedFor << columnId;
        return { QStringLiteral("Alpha"), QStringLiteral("Beta") };
    }
    // Writes the form's values into the row being edited.
    bool saveRow(const QVariant& values) override
    {
        saved << values.toMap();
        if (failSave)
            throw platform::Exception("TestException", "The row could not be stored.");
        if (!acceptSave)
            return false;
        Rows* row = qobject_cast<Rows*>(RowObject::object(detailRowInAction()));
        if (!row)
            return false;
        row->updateData(values.toMap(), columns, password);
        return row->saveRows();
    }

    Rows::Columns columns;
    Rows::Password password;
    QStringList completionsAskedFor;
    QList<QVariantMap> saved;
    bool acceptSave = true;
    bool failSave = false;
};

// A screen that opens forms, with a data controller of the test's choosing.
class HostScreen : public BaseViewController {
    Q_OBJECT
public:
    void use(std::shared_ptr<BaseDataController> controller) { setDataController(controller); }
    void initProperties() override { }
};

struct DetailFormTest : formtest::FormTest {
    std::unique_ptr<KivoAppDelegate> delegate;
    std::unique_ptr<formtest::ManualScheduler> scheduler;
    std::shared_ptr<RowsController> controller = std::make_shared<RowsController>();
    std::unique_ptr<platform::ui::NavigationController> navigation;
    QPointer<HostScreen> host;
    std::unique_ptr<QObject> table;
    const QString templateId = QStringLiteral("T1");
    const QString userTemplateId = QStringLiteral("U1");

    void SetUp() override
    {
        formtest::FormTest::SetUp();
        platform::ui::Animation::setInstant(true);
        delegate = std::make_unique<KivoAppDelegate>();
        Preferences::registerDefaults();
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        ModelRegistry::registerClasses();
        platform::Error error;
        StoreStack::install(
            StoreStack::open(testsupport::homePath() + "/Kivotab.sqlite", {}, &error));
        ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
        DetailForms::registerAll();
        table = std::make_unique<QObject>();
        table->setProperty("name", QStringLiteral("Contacts"));
    }

    void TearDown() override
    {
        platform::ui::TextInput::endEditing(nullptr, true);
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(10);
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        scheduler.reset();
        StoreStack::install(nullptr);
        delegate.reset();
        platform::ui::Animation::setInstant(false);
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    TemplateColumn* column(const QString& name, const QString& type, int precision = 0)
    {
        TemplateColumn* made = TemplateColumn::add(templateId);
        made->setName(name);
        made->setType(type);
        made->setPrecision(precision);
        EXPECT_TRUE(made->saveTemplateColumn());
        controller->columns << made;
        return made;
    }

    Rows* newRow(const QVariantMap& values = {})
    {
        Rows* row = Rows::add(userTemplateId);
        if (!values.isEmpty())
            row->updateData(values, controller->columns, controller->password);
        EXPECT_TRUE(row->saveRows());
        return row;
    }

    // The host screen of the table's rows, on the device.
    HostScreen* showHost(const QString& device)
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        scheduler = std::make_unique<formtest::ManualScheduler>();
        host = new HostScreen();
        host->use(controller);
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(table.get());
        host->setParentLink(link);
        navigation = std::make_unique<platform::ui::NavigationController>();
        navigation->pushViewController(host, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return host;
    }

    // Opens the form the way a screen does: the add (1) or edit (2) button, the row.
    template<class Form>
    Form* open(const QString& formClass, unsigned button, Rows* row, const QVariant& values)
    {
        controller->setLastClickedButton(button);
        controller->setDetailRowInAction(row ? RowObject::fromObject(row) : QVariant());
        host->ShowDetail(values, formClass, {});
        EXPECT_TRUE(testsupport::waitUntil([&] { return shownForm() != nullptr; }));
        settle();
        return qobject_cast<Form*>(shownForm());
    }

    platform::ui::ViewController* shownForm() const
    {
        if (!host)
            return nullptr;
        if (navigation && navigation->topViewController() != host)
            return navigation->topViewController();
        PopoverController* popover = host->popupController();
        return popover ? popover->contentViewController() : nullptr;
    }

    static void settle() { testsupport::processEvents(5); }

    // The stored JSON of the row, decrypted for a protected table.
    QString storedJson(Rows* row) const { return clear(row->json().toString()); }
    QString expectedJson(const QVariantMap& values) const
    {
        const auto text = Rows::encodeData(values, controller->columns, controller->password);
        return text ? clear(*text) : QString();
    }
    QString clear(const QString& text) const
    {
        if (!controller->password)
            return text;
        return KivoAES256::AES256DecryptWithKey(text, *controller->password).value_or(QString());
    }

    static FormElement* elementBound(QuickDetailViewController* form, const QString& key)
    {
        for (const auto& section : form->root()->sections())
            for (const auto& element : section->elements())
                if (element->bind().section(u':', 1) == key)
                    return element.get();
        return nullptr;
    }

    static qsizetype rowsInFirstSection(QuickDetailViewController* form)
    {
        return form->root()->sections().value(0)->elements().size();
    }

    // Taps a row of the form's table at x from its left edge.
    static void tapRow(QuickDetailViewController* form, FormElement* element, double x = 30)
    {
        FormTableView* table = form->formTableView();
        const std::optional<FormIndexPath> path = element->getIndexPath();
        ASSERT_TRUE(path.has_value());
        const platform::ui::IndexPath row = FormTableView::tablePath(*path);
        table->scrollToRowAtIndexPath(row, platform::ui::TableView::ScrollPosition::None, false);
        settle();
        const QRectF r = table->rectForRowAtIndexPath(row);
        testsupport::GestureSynthesizer::tap(
            table, QPointF(r.left() + x, r.center().y()) - table->contentOffset());
        settle();
    }

    static platform::ui::TextField* focusedField()
    {
        return dynamic_cast<platform::ui::TextField*>(platform::ui::TextInput::firstResponder());
    }

    // Types into the field of the entry, tapped first.
    void typeInto(QuickDetailViewController* form, FormElement* element, const QString& text)
    {
        tapRow(form, element, 200);
        scheduler->runAll();
        settle();
        platform::ui::TextField* field = focusedField();
        ASSERT_NE(field, nullptr) << element->bind().toStdString();
        QTest::keyClicks(field->lineEdit(), text);
        settle();
    }

    void save(const QString& name)
    {
        settle();
        platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }

    static QStringList alertMessages()
    {
        testsupport::processEvents(10);
        QStringList messages;
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            messages << alert->message();
        return messages;
    }
};

} // namespace detailtest
