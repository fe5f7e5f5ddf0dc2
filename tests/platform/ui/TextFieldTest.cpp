#include "platform/ui/TextField.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/TextView.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

struct Change {
    TextRange range;
    QString replacement;
    QString textWhenAsked;
    bool operator==(const Change&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Change& c)
{
    return out << "(" << c.range.location << "," << c.range.length << " \""
               << c.replacement.toStdString() << "\" in \"" << c.textWhenAsked.toStdString()
               << "\")";
}

// Refuses every change that brings in an "x", and whatever the flags say.
struct FieldDelegate : TextFieldDelegate {
    QList<Change> asked;
    QStringList calls;
    bool refuseAll = false;
    bool allowBegin = true;
    bool allowEnd = true;
    std::function<void(TextField*)> duringQuestion;

    bool textFieldShouldChangeCharactersInRange(
        TextField* field, const TextRange& range, const QString& replacement) override
    {
        asked << Change { range, replacement, field->text() };
        if (duringQuestion)
            duringQuestion(field);
        return !refuseAll && !replacement.contains('x');
    }
    bool textFieldShouldBeginEditing(TextField*) override
    {
        calls << "shouldBegin";
        return allowBegin;
    }
    void textFieldDidBeginEditing(TextField*) override { calls << "didBegin"; }
    bool textFieldShouldEndEditing(TextField*) override
    {
        calls << "shouldEnd";
        return allowEnd;
    }
    void textFieldDidEndEditing(TextField*) override { calls << "didEnd"; }
    bool textFieldShouldReturn(TextField*) override
    {
        calls << "return";
        return true;
    }
    bool textFieldShouldMoveFocus(TextField*, FocusMove move) override
    {
        calls << (move == FocusMove::Next ? "next" : "previous");
        return true;
    }
};

void paste(QLineEdit* edit, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

void drop(QWidget* target, const QString& text)
{
    QMimeData mime;
    mime.setText(text);
    const QPointF at(target->width() - 2, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

struct Fields : ::testing::Test {
    View root { QRectF(0, 0, 400, 200) };
    TextField* field = new TextField(QRectF(10, 10, 300, 30), &root);
    FieldDelegate delegate;

    void SetUp() override
    {
        root.show();
        field->setDelegate(&delegate);
    }
    void TearDown() override { TextInput::endEditing(nullptr, true); }
};

} // namespace

TEST(TextInput, ChangedRangeTellsApartEditsTheTextsAloneLeaveOpen)
{
    QString replacement;
    // Typing "a" into "aa" between the two.
    EXPECT_EQ(TextInput::changedRange("aa", "aaa", 2, { 1, 0 }, &replacement), TextRange({ 1, 0 }));
    EXPECT_EQ(replacement, "a");
    // A paste over a selection that starts like the pasted text replaces all of it.
    EXPECT_EQ(
        TextInput::changedRange("abc", "axc", 2, { 0, 2 }, &replacement), TextRange({ 0, 2 }));
    EXPECT_EQ(replacement, "ax");
    // Backspace and forward delete with nothing selected.
    EXPECT_EQ(
        TextInput::changedRange("abcc", "abc", 2, { 3, 0 }, &replacement), TextRange({ 2, 1 }));
    EXPECT_EQ(replacement, "");
    EXPECT_EQ(
        TextInput::changedRange("abcc", "abc", 3, { 3, 0 }, &replacement), TextRange({ 3, 1 }));
    // Whatever else happened (an undo), the differing middle.
    EXPECT_EQ(TextInput::changedRange("hello world", "hello", 0, { 11, 0 }, &replacement),
        TextRange({ 5, 6 }));
    // Ranges count UTF-16 units: an emoji is two.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(TextInput::changedRange("ab", "a" + smile + "b", 3, { 1, 0 }, &replacement),
        TextRange({ 1, 0 }));
    EXPECT_EQ(replacement.size(), 2);
}

TEST_F(Fields, TheDelegateVetoesTypingPastingDroppingAndClearingAlike)
{
    ASSERT_TRUE(field->becomeFirstResponder());
    QLineEdit* edit = field->lineEdit();
    QTest::keyClicks(edit, "abxc");
    EXPECT_EQ(field->text(), "abc");
    EXPECT_EQ(edit->text(), "abc");
    ASSERT_EQ(delegate.asked.size(), 4);
    // While it was asked, the field still had the text from before.
    EXPECT_EQ(delegate.asked[2], (Change { { 2, 0 }, "x", "ab" }));
    EXPECT_EQ(delegate.asked[3], (Change { { 2, 0 }, "c", "ab" }));

    paste(edit, "yxz");
    EXPECT_EQ(field->text(), "abc");
    EXPECT_EQ(delegate.asked.last(), (Change { { 3, 0 }, "yxz", "abc" }));
    paste(edit, "yz");
    EXPECT_EQ(field->text(), "abcyz");
    edit->selectAll();
    paste(edit, "Q");
    EXPECT_EQ(delegate.asked.last(), (Change { { 0, 5 }, "Q", "abcyz" }));
    EXPECT_EQ(field->text(), "Q");

    drop(edit, "dx");
    EXPECT_EQ(field->text(), "Q");
    drop(edit, "d");
    EXPECT_EQ(field->text(), "Qd");

    // Backspace removes a whole emoji: two UTF-16 units.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    field->insertText(smile);
    EXPECT_EQ(delegate.asked.last().range, TextRange({ 2, 0 }));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(delegate.asked.last(), (Change { { 2, 2 }, "", "Qd" + smile }));
    EXPECT_EQ(field->text(), "Qd");

    // The clear button asks the same question.
    delegate.refuseAll = true;
    field->clearButtonClicked();
    EXPECT_EQ(field->text(), "Qd");
    EXPECT_EQ(delegate.asked.last(), (Change { { 0, 2 }, "", "Qd" }));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "Qd");
    EXPECT_EQ(edit->text(), "Qd");
    delegate.refuseAll = false;
    field->clearButtonClicked();
    EXPECT_EQ(field->text(), "");
}

TEST_F(Fields, EditingChangedComesOncePerEditAndNeverForTextSetInCode)
{
    int changed = 0;
    int notified = 0;
    field->addTarget([&](Control*) { ++changed; }, ControlEventEditingChanged);
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        TextField::TextDidChangeNotification, field,
        [&](const platform::Notification&) { ++notified; });
    field->setText("start");
    EXPECT_EQ(changed, 0);
    QTest::keyClicks(field->lineEdit(), "12x3");
    EXPECT_EQ(field->text(), "start123");
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(notified, 3);
    QTest::keyClick(field->lineEdit(), Qt::Key_Left);
    EXPECT_EQ(changed, 3);
    QTest::keyClick(field->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "start13");
    EXPECT_EQ(changed, 4);
    platform::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(Fields, ADelegateThatSetsTheTextWhileAskedHasTheLastWord)
{
    // As a cash-register field does: it shows its own rendering of what was typed.
    delegate.duringQuestion = [](TextField* f) {
        QString digits;
        for (QChar c : f->text() + "9")
            if (c.isDigit())
                digits += c;
        f->setText("#" + digits);
    };
    delegate.refuseAll = true;
    field->becomeFirstResponder();
    QTest::keyClicks(field->lineEdit(), "a");
    EXPECT_EQ(field->text(), "#9");
    EXPECT_EQ(field->lineEdit()->text(), "#9");
    QTest::keyClicks(field->lineEdit(), "b");
    EXPECT_EQ(field->text(), "#99");
}

TEST_F(Fields, FirstResponderAsksToBeginAndToEndAndPassesFromFieldToField)
{
    auto* other = new TextField(QRectF(10, 50, 300, 30), &root);
    FieldDelegate otherDelegate;
    other->setDelegate(&otherDelegate);

    delegate.allowBegin = false;
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    // Typing into a field that may not begin changes nothing.
    QTest::keyClicks(field->lineEdit(), "a");
    EXPECT_EQ(field->text(), "");
    delegate.allowBegin = true;
    delegate.calls.clear();

    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(TextInput::firstResponder(), field);
    EXPECT_EQ(delegate.calls, QStringList({ "shouldBegin", "didBegin" }));

    // The next field takes over only when the first lets go.
    delegate.allowEnd = false;
    EXPECT_FALSE(other->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    delegate.allowEnd = true;
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(TextInput::firstResponder(), other);
    EXPECT_EQ(delegate.calls.mid(2), QStringList({ "shouldEnd", "shouldEnd", "didEnd" }));

    // Ending editing by force does not ask.
    otherDelegate.allowEnd = false;
    EXPECT_FALSE(TextInput::endEditing(&root, false));
    EXPECT_TRUE(TextInput::endEditing(&root, true));
    EXPECT_EQ(TextInput::firstResponder(), nullptr);
    EXPECT_EQ(otherDelegate.calls.last(), "didEnd");
}

TEST_F(Fields, ReturnAndTabGoToTheDelegateAndTheKeysStayInTheField)
{
    auto* other = new TextField(QRectF(10, 50, 300, 30), &root);
    int exits = 0;
    field->addTarget([&](Control*) { ++exits; }, ControlEventEditingDidEndOnExit);
    field->becomeFirstResponder();
    delegate.calls.clear();
    QTest::keyClick(field->lineEdit(), Qt::Key_Tab);
    QTest::keyClick(field->lineEdit(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(field->lineEdit(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(delegate.calls, QStringList({ "next", "previous", "previous", "return" }));
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_FALSE(other->isFirstResponder());
    EXPECT_EQ(field->text(), "");
}

TEST_F(Fields, ClearsWhenEditingBeginsAndShowsASubclassDrawingWhenNotEditing)
{
    // A field that draws a prefix before the text, as the forms' fields do.
    struct Prefixed : TextField {
        using TextField::TextField;
        int drawn = 0;
        void drawTextInRect(QPainter& painter, const QRectF& rect) override
        {
            ++drawn;
            painter.fillRect(QRectF(rect.left(), rect.top(), 8, rect.height()), Qt::red);
        }
    };
    auto* prefixed = new Prefixed(QRectF(10, 100, 200, 30), &root);
    prefixed->setText("12");
    QImage shot = prefixed->snapshot();
    EXPECT_GT(prefixed->drawn, 0);
    EXPECT_EQ(shot.pixelColor(3 * shot.width() / 200, shot.height() / 2), QColor(Qt::red));

    prefixed->setClearsOnBeginEditing(true);
    int changed = 0;
    prefixed->addTarget([&](Control*) { ++changed; }, ControlEventEditingChanged);
    ASSERT_TRUE(prefixed->becomeFirstResponder());
    EXPECT_EQ(prefixed->text(), "");
    EXPECT_EQ(changed, 1);
    // While editing, the line edit shows the text and the subclass draws nothing.
    prefixed->setText("34");
    prefixed->drawn = 0;
    prefixed->snapshot();
    EXPECT_EQ(prefixed->drawn, 0);

    prefixed->setSecureTextEntry(true);
    EXPECT_EQ(prefixed->lineEdit()->echoMode(), QLineEdit::Password);
}

TEST_F(Fields, AClickOnTheFieldBeginsEditingUnlessTheDelegateSaysNo)
{
    delegate.allowBegin = false;
    testsupport::GestureSynthesizer::tap(field, QPointF(20, 15));
    EXPECT_FALSE(field->isFirstResponder());
    delegate.allowBegin = true;
    testsupport::GestureSynthesizer::tap(field, QPointF(20, 15));
    EXPECT_TRUE(field->isFirstResponder());
}

TEST(TextView, TheDelegateVetoesChangesAndHearsOfEachOneMade)
{
    struct ViewDelegate : TextViewDelegate {
        QList<TextRange> ranges;
        int changes = 0;
        int moves = 0;
        bool textViewShouldChangeTextInRange(
            TextView*, const TextRange& range, const QString& replacement) override
        {
            ranges << range;
            return !replacement.contains('x');
        }
        void textViewDidChange(TextView*) override { ++changes; }
        bool textViewShouldMoveFocus(TextView*, FocusMove) override { return ++moves > 1; }
    } delegate;
    View root(QRectF(0, 0, 300, 200));
    root.show();
    auto* view = new TextView(QRectF(0, 0, 300, 200), &root);
    view->setDelegate(&delegate);
    ASSERT_TRUE(view->becomeFirstResponder());
    QTest::keyClicks(view->textEdit(), "abxc");
    QTest::keyClick(view->textEdit(), Qt::Key_Return);
    QTest::keyClicks(view->textEdit(), "d");
    EXPECT_EQ(view->text(), "abc\nd");
    EXPECT_EQ(delegate.changes, 5);
    EXPECT_EQ(delegate.ranges[3], TextRange({ 2, 0 }));

    // Tab: the delegate first declines (a tab is typed), then moves the focus.
    QTest::keyClick(view->textEdit(), Qt::Key_Tab);
    QTest::keyClick(view->textEdit(), Qt::Key_Tab);
    EXPECT_EQ(view->text(), "abc\nd\t");

    // Inserting at the cursor, as a keyword keyboard does, asks the same question.
    view->setSelectedRange({ 1, 0 });
    view->insertText("SELECT ");
    EXPECT_EQ(view->text(), "aSELECT bc\nd\t");
    EXPECT_EQ(view->selectedRange(), TextRange({ 8, 0 }));
    view->setText("set in code");
    EXPECT_EQ(delegate.changes, 7);
    TextInput::endEditing(nullptr, true);
}

// A field that shrinks its text shows all of it, typed or set, down to its minimum size;
// past that it cuts the text as any field does.
TEST_F(Fields, AShrinkingFieldShowsTheWholeTextDownToItsMinimumSize)
{
    const QString name = "Backup_2026-12-08_14-30-00.zip";
    field->setBorderStyle(TextField::BorderStyle::RoundedRect);
    field->setFrame(QRectF(10, 10, 200, 30));
    field->setText(name);
    const auto fits = [&](const QString& text) {
        return Font::measure(text, field->shownFont()).width()
            <= field->textRectForBounds(field->bounds()).width();
    };
    // Cut as before while it does not shrink.
    ASSERT_FALSE(fits(name));
    EXPECT_EQ(field->shownFont(), field->font());

    field->setAdjustsFontSizeToFitWidth(true);
    field->setMinimumFontSize(10);
    EXPECT_TRUE(fits(name));
    EXPECT_LT(field->shownFont().pixelSize(), field->font().pixelSize());
    EXPECT_GE(field->shownFont().pixelSize(), 10);
    // The line edit types in the size shown.
    EXPECT_EQ(field->lineEdit()->font().pixelSize(), field->shownFont().pixelSize());

    // A short text keeps the field's own size; a wider field needs less shrinking.
    field->setText("a.zip");
    EXPECT_EQ(field->shownFont(), field->font());
    field->setText(name);
    const int narrow = field->shownFont().pixelSize();
    field->setFrame(QRectF(10, 10, 260, 30));
    EXPECT_GT(field->shownFont().pixelSize(), narrow);
    EXPECT_TRUE(fits(name));

    // Typing on grows the text past what fits: it shrinks further as it is typed.
    ASSERT_TRUE(field->becomeFirstResponder());
    field->lineEdit()->end(false);
    QTest::keyClicks(field->lineEdit(), ".old");
    EXPECT_EQ(field->text(), name + ".old");
    EXPECT_TRUE(fits(field->text()));
    EXPECT_EQ(field->lineEdit()->font().pixelSize(), field->shownFont().pixelSize());

    // Never below the minimum.
    field->setText(name.repeated(4));
    EXPECT_EQ(field->shownFont().pixelSize(), 10);
    EXPECT_FALSE(fits(field->text()));
}
