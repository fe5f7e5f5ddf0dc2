#include "widgets/KeyboardControls.h"
#include "ScreenFixture.h"
#include "common/GestureSynthesizer.h"
#include "grid/BaseViewController.h"
#include "platform/UserDefaults.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"
#include "style/ThemeButton.h"
#include "style/ThemeSegmentedButton.h"
#include "utilities/text/LocalizedStrings.h"
#include "utilities/text/StringsLanguage.h"
#include "widgets/KeyboardControlsDelegate.h"
#include "widgets/SqlKeyboardView.h"

#include <QLocale>
#include <QPointer>

using namespace platform::ui;

namespace {

struct ControlsListener : KeyboardControlsDelegate {
    QStringList calls;
    void keyboardControlsPreviousNextPressed(KeyboardControls*, int direction, View* field) override
    {
        calls << QString("move %1 %2").arg(direction).arg(field->objectName());
    }
    void keyboardControlsDonePressed(KeyboardControls*) override { calls << "done"; }
};

struct Veto : TextFieldDelegate {
    bool textFieldShouldChangeCharactersInRange(
        TextField*, const TextRange&, const QString&) override
    {
        return false;
    }
};

// A bar item pressed as a person presses it: its button, or the item itself.
void press(BarButtonItem* item)
{
    if (auto* button = qobject_cast<Button*>(item->customView()))
        button->tap();
    else
        item->trigger();
}

struct Keyboards : ScreenFixture {
    QList<TextField*> fields;
    KeyboardControls* controls = nullptr;
    ControlsListener listener;

    void SetUp() override
    {
        ScreenFixture::SetUp();
        for (int i = 0; i < 3; ++i) {
            auto* field = new TextField(QRectF(20, 360 + i * 40, 300, 32), screen->view());
            field->setObjectName(QString("field%1").arg(i));
            field->setBorderStyle(TextField::BorderStyle::RoundedRect);
            field->show();
            fields << field;
        }
        controls = new KeyboardControls();
        controls->setDelegate(&listener);
        controls->setTextFields({ fields[0], fields[1], fields[2] });
        controls->reloadTextFields();
    }

    ThemeSegmentedButton* segments() { return controls->segmentedPreviousNext(); }
};

} // namespace

TEST_F(Keyboards, TheBarIsEachFieldsAccessoryAndShowsInThePanel)
{
    EXPECT_EQ(controls->frame(), QRectF(0, 0, 320, 44));
    EXPECT_EQ(controls->barStyle(), 2);
    for (TextField* field : fields)
        EXPECT_EQ(field->inputAccessoryView(), controls);
    fields[0]->becomeFirstResponder();
    controls->setActiveTextField(fields[0]);
    flush();
    InputPanel* panel = Application::shared().keyWindow()->inputPanel();
    EXPECT_EQ(panel->accessoryView(), controls);
    EXPECT_EQ(controls->toolbar()->tag(), KeyboardControls::DefaultLayoutTag);
    controls->clearTextFields();
    EXPECT_EQ(fields[1]->inputAccessoryView(), nullptr);
    EXPECT_TRUE(controls->textFields().isEmpty());
}

TEST_F(Keyboards, PreviousAndNextStopAtTheEndsAndForInputsNotInTheList)
{
    controls->setActiveTextField(fields[0]);
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(0));
    EXPECT_TRUE(segments()->isEnabledForSegmentAtIndex(1));
    controls->previous();
    EXPECT_TRUE(listener.calls.isEmpty());
    controls->next();
    EXPECT_EQ(controls->activeTextField(), fields[1]);
    EXPECT_TRUE(fields[1]->isFirstResponder());
    EXPECT_EQ(listener.calls, QStringList({ "move 1 field1" }));
    controls->next();
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(1));
    EXPECT_TRUE(segments()->isEnabledForSegmentAtIndex(0));
    controls->next();
    EXPECT_EQ(controls->activeTextField(), fields[2]);
    segments()->tapSegment(0);
    EXPECT_EQ(controls->activeTextField(), fields[1]);
    EXPECT_EQ(listener.calls, QStringList({ "move 1 field1", "move 1 field2", "move 0 field1" }));

    TextField stranger(QRectF(0, 0, 100, 30), screen->view());
    controls->setActiveTextField(&stranger);
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(0));
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(1));
    controls->next();
    controls->previous();
    EXPECT_EQ(listener.calls.size(), 3);

    controls->setActiveTextField(fields[1]);
    press(controls->buttonDone());
    EXPECT_EQ(listener.calls.last(), "done");
}

TEST_F(Keyboards, AnInputThatHasGoneIsInNoListAndNeverDangles)
{
    controls->setActiveTextField(fields[1]);
    delete fields[1];
    EXPECT_EQ(controls->activeTextField(), nullptr);
    EXPECT_EQ(controls->textFields().size(), 2);
    controls->next();
    controls->previous();
    controls->done();
    controls->clickedSql("SELECT");
    controls->buttonSQLPressed();
    EXPECT_EQ(listener.calls, QStringList({ "done" }));
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(0));
    EXPECT_FALSE(segments()->isEnabledForSegmentAtIndex(1));
}

TEST_F(Keyboards, LayoutsAreRebuiltOnlyWhenTheyChange)
{
    QPointer<Toolbar> first = controls->toolbar();
    controls->addDefault();
    EXPECT_EQ(controls->toolbar(), first.data());
    controls->addQuery();
    QPointer<Toolbar> query = controls->toolbar();
    EXPECT_NE(query.data(), first.data());
    EXPECT_EQ(query->tag(), KeyboardControls::QueryLayoutTag);
    ASSERT_TRUE(controls->buttonSQL());
    ASSERT_EQ(query->items().size(), 4);
    EXPECT_EQ(query->items()[2], controls->buttonSQL());
    EXPECT_EQ(query->items()[3], controls->buttonDone());
    controls->addQuery();
    EXPECT_EQ(controls->toolbar(), query.data());
    controls->addDefault();
    EXPECT_EQ(controls->toolbar()->tag(), KeyboardControls::DefaultLayoutTag);
    EXPECT_EQ(controls->toolbar()->items().size(), 3);
    EXPECT_EQ(controls->buttonSQL(), nullptr);
}

TEST_F(Keyboards, SqlSwapsTheKeyboardAndBack)
{
    controls->addQuery();
    fields[0]->becomeFirstResponder();
    controls->setActiveTextField(fields[0]);
    press(controls->buttonSQL());
    flush();
    auto* keyboard = qobject_cast<SqlKeyboardView*>(fields[0]->inputView());
    ASSERT_TRUE(keyboard);
    EXPECT_TRUE(fields[0]->isFirstResponder());
    InputPanel* panel = Application::shared().keyWindow()->inputPanel();
    EXPECT_EQ(panel->shownInputView(), keyboard);
    EXPECT_EQ(panel->accessoryView(), controls);
    EXPECT_EQ(keyboard->keywords().size(), 36);
    EXPECT_EQ(keyboard->keywords().value(32), "CONSTAINT");
    EXPECT_EQ(keyboard->frame().height(), 200);
    press(controls->buttonSQL());
    flush();
    EXPECT_EQ(fields[0]->inputView(), nullptr);
    EXPECT_EQ(panel->shownInputView(), nullptr);
    EXPECT_TRUE(fields[0]->isFirstResponder());
    // The keyboard is made once.
    press(controls->buttonSQL());
    EXPECT_EQ(fields[0]->inputView(), keyboard);
}

TEST_F(Keyboards, KeywordsGoInAsTypedAndAFieldsDelegateMayRefuseThem)
{
    fields[0]->setText("ab");
    fields[0]->becomeFirstResponder();
    fields[0]->setSelectedRange(TextRange { 1, 0 });
    controls->setActiveTextField(fields[0]);
    controls->clickedSql("FROM");
    EXPECT_EQ(fields[0]->text(), "aFROMb");

    Veto veto;
    fields[1]->setDelegate(&veto);
    fields[1]->setText("x");
    fields[1]->becomeFirstResponder();
    controls->setActiveTextField(fields[1]);
    controls->clickedSql("SELECT");
    EXPECT_EQ(fields[1]->text(), "x");
    fields[1]->setDelegate(nullptr);

    auto* view = new TextView(QRectF(20, 500, 300, 80), screen->view());
    view->setText("ab");
    view->becomeFirstResponder();
    view->setSelectedRange(TextRange { 1, 0 });
    controls->setActiveTextField(view);
    controls->clickedSql("WHERE");
    EXPECT_EQ(view->text(), "aWHERE b");
    EXPECT_EQ(view->selectedRange(), (TextRange { 7, 0 }));
    EXPECT_TRUE(view->isScrollEnabled());
}

TEST_F(Keyboards, KeywordButtonsUseTheirFontsAndTapThrough)
{
    controls->addQuery();
    fields[2]->becomeFirstResponder();
    controls->setActiveTextField(fields[2]);
    controls->buttonSQLPressed();
    flush();
    auto* keyboard = controls->sqlKeyboardView();
    ASSERT_TRUE(keyboard);
    keyboard->layoutIfNeeded();
    auto buttonAt = [&](int item) {
        CollectionViewCell* cell = keyboard->cellForItemAtIndexPath(IndexPath(item, 0));
        return cell ? qobject_cast<ThemeButton*>(cell->viewWithTag(SqlKeyboardView::ButtonTag))
                    : nullptr;
    };
    ThemeButton* star = buttonAt(1);
    ThemeButton* select = buttonAt(0);
    ASSERT_TRUE(star);
    ASSERT_TRUE(select);
    EXPECT_EQ(star->currentTitle(), "*");
    EXPECT_TRUE(star->titleFont().bold());
    EXPECT_EQ(star->titleFont(), Font::boldSystem(20));
    EXPECT_EQ(select->titleFont(), Theme::current()->subbuttonTitleFont());
    // Five to a column: "DISTINCT" starts the second one.
    EXPECT_EQ(keyboard->layoutAttributesForItemAtIndexPath(IndexPath(5, 0))->frame(),
        QRectF(90, 5, 80, 30));
    select->tap();
    EXPECT_EQ(fields[2]->text(), "SELECT");
}

TEST_F(Keyboards, TitlesComeFromTheNamedTable)
{
    EXPECT_EQ(controls->previousTitle(), "Previous");
    EXPECT_EQ(segments()->titleForSegmentAtIndex(1), "Next");
    // The language the settings chose at start.
    platform::UserDefaults::standard().setObject("AppleLanguages", QStringList { "de" });
    StringsLanguage::load();
    KeyboardControls german;
    platform::UserDefaults::standard().removeObject("AppleLanguages");
    StringsLanguage::load();
    EXPECT_EQ(german.previousTitle(), "Zurück");
    EXPECT_EQ(german.nextTitle(), "Weiter");
    auto* done = qobject_cast<Button*>(german.buttonDone()->customView());
    ASSERT_TRUE(done);
    EXPECT_EQ(done->currentTitle(), "Fertig");
    german.setDoneTitle("OK");
    EXPECT_EQ(done->currentTitle(), "OK");
}

namespace {

class FieldScreen : public BaseViewController {
public:
    QList<View*> getTextFields() override
    {
        if (m_fields.isEmpty())
            for (int i = 0; i < 2; ++i)
                m_fields << new TextField(QRectF(10, 100 + 40 * i, 200, 30), view());
        return m_fields;
    }
    QList<View*> m_fields;
};

} // namespace

TEST_F(Keyboards, ABaseScreenWithFieldsMakesItsBarAndFollowsTheActiveField)
{
    BaseViewController plain;
    plain.view();
    EXPECT_EQ(plain.keyboardControls(), nullptr);

    FieldScreen screenWithFields;
    screenWithFields.view();
    KeyboardControls* bar = screenWithFields.keyboardControls();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->textFields().size(), 2);
    auto* second = qobject_cast<TextField*>(screenWithFields.m_fields[1]);
    EXPECT_EQ(second->inputAccessoryView(), bar);
    screen->view()->addSubview(screenWithFields.view());
    second->becomeFirstResponder();
    EXPECT_EQ(bar->activeTextField(), second);
    bar->done();
    EXPECT_FALSE(second->isFirstResponder());
}
