#pragma once

#include "AppFixture.h"

#include "forms/FormLabelElement.h"
#include "forms/FormTableView.h"
#include "model/DefaultContent.h"
#include "platform/ui/Toolbar.h"
#include "widgets/MenuItem.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/VerticalMenuViewController.h"

#include <QHash>

namespace e2e {

// What the colour and preference tests share: the options lists, the colour screens and
// their forms, reached by taps.
struct ColourApp : AppTest {
    static constexpr int Add = 1, Edit = 2, Remove = 3, Settings = 28, Apply = 42, Source = 44;

    // The list the settings button opened: in a popup on a tablet, pushed on a phone.
    MainCollectionViewController* optionsList(ApplicationScreen* screen)
    {
        if (!tablet())
            return dynamic_cast<MainCollectionViewController*>(navigation->topViewController());
        SimplePopupViewController* popup = screen->simplepopupController();
        auto* wrapper = popup
            ? dynamic_cast<platform::ui::NavigationController*>(popup->contentViewController())
            : nullptr;
        return wrapper ? dynamic_cast<MainCollectionViewController*>(wrapper->topViewController())
                       : nullptr;
    }

    bool chooseOption(ApplicationScreen* screen, const QString& item)
    {
        platform::ui::View* settings = barButton(screen, Settings);
        if (!settings)
            return false;
        GestureSynthesizer::tap(settings);
        settle(100);
        MainCollectionViewController* list = optionsList(screen);
        return list && open(list, item);
    }

    // Household's Home, with a contacts table before any other.
    ApplicationScreen* household()
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, "Household", "Things at home") || !open(databases, "Household"))
            return nullptr;
        ApplicationScreen* home = top();
        return addTable(home, "Friends", "7DBCAB4F-2773-4A69-AE07-AFFD57BDC64A") ? home : nullptr;
    }

    ApplicationScreen* colours(ApplicationScreen* home)
    {
        if (!chooseOption(home, "Colors"))
            return nullptr;
        settle(100);
        return top() != home ? top() : nullptr;
    }

    static void tapElement(QuickDetailViewController* form, const QString& key)
    {
        FormElement* row = element(form, key);
        ASSERT_NE(row, nullptr) << key.toStdString();
        tapRow(form, row);
    }

    // Scrolls the row into view, as a person would, and taps it.
    static void tapRow(QuickDetailViewController* form, FormElement* row)
    {
        FormTableView* table = form->formTableView();
        if (const auto index = table->indexForElement(row)) {
            table->scrollToRowAtIndexPath(
                *index, platform::ui::TableView::ScrollPosition::Middle, false);
            settle(60);
        }
        platform::ui::TableViewCell* cell = table->cellForElement(row);
        ASSERT_NE(cell, nullptr);
        GestureSynthesizer::tap(cell);
        settle(100);
    }

    static QVariant valueOf(QuickDetailViewController* form, const QString& key)
    {
        auto* label = qobject_cast<FormLabelElement*>(element(form, key));
        return label ? label->property("value") : QVariant();
    }

    static QString nameIn(QuickDetailViewController* form)
    {
        auto* entry = qobject_cast<FormEntryElement*>(element(form, "name"));
        return entry ? entry->textValue() : QString();
    }

    // The source menu's entries; with a name, that entry is chosen.
    QStringList source(ApplicationScreen* screen, const QString& choice = {})
    {
        GestureSynthesizer::tap(barButton(screen, Source));
        settle(100);
        PopoverController* popover = screen->popupController();
        auto* menu = popover
            ? dynamic_cast<VerticalMenuViewController*>(popover->contentViewController())
            : nullptr;
        if (!menu)
            return {};
        QStringList texts;
        for (MenuItem* item : menu->menuItems())
            texts << item->text();
        if (!choice.isEmpty())
            menu->didSelectItemAtIndex(int(texts.indexOf(choice)));
        else
            screen->dismissPopup();
        settle(150);
        return texts;
    }

    // The colour the toolbar shows most.
    QColor toolbarColour()
    {
        settle(60);
        const QImage shot = navigation->toolbar()->snapshot().convertToFormat(QImage::Format_RGB32);
        QHash<QRgb, int> counts;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                ++counts[shot.pixel(x, y)];
        QRgb most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > counts.value(most))
                most = it.key();
        return QColor(most);
    }

    // The window as a person sees it: item views a bar let go of are gone, as they are once
    // the application's event loop has run (the tests never enter it).
    static bool shot(const QString& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return saveShot(name);
    }

    static bool near(const QColor& a, const QColor& b)
    {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
            && std::abs(a.blue() - b.blue()) <= 2;
    }
};

} // namespace e2e
