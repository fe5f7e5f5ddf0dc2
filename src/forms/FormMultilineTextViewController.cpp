#include "forms/FormMultilineTextViewController.h"

#include "forms/FormEntryElementDelegate.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormThread.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/InputPanel.h"
#include "platform/ui/TextView.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPlainTextEdit>
#include <QTextDocument>

using namespace platform::ui;

struct FormMultilineTextViewController::Cell {
    QPointer<FormEntryTableViewCell> cell;
};

FormMultilineTextViewController::FormMultilineTextViewController(
    const QString& title, QObject* parent)
    : ViewController(parent)
    , m_entryCell(std::make_unique<Cell>())
{
    FormThread::assertMain();
    setTitle(title.isNull() ? LocalizedStrings::getLocalizedString(QStringLiteral("Note")) : title);
}

FormMultilineTextViewController::~FormMultilineTextViewController()
{
    if (m_textView)
        m_textView->setDelegate(nullptr);
}

TextView* FormMultilineTextViewController::textView()
{
    view();
    return m_textView;
}

void FormMultilineTextViewController::setEntryElement(std::shared_ptr<FormMultilineElement> element)
{
    m_entryElement = std::move(element);
}

FormEntryTableViewCell* FormMultilineTextViewController::entryCell() const
{
    return m_entryCell->cell;
}

void FormMultilineTextViewController::setEntryCell(FormEntryTableViewCell* cell)
{
    m_entryCell->cell = cell;
}

void FormMultilineTextViewController::loadView()
{
    auto* text = new TextView;
    text->setDelegate(this);
    text->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    text->setFont(Font::system(18));
    // The text keeps off the edges: pushed on a phone the view spans the whole screen.
    text->textEdit()->document()->setDocumentMargin(TextPadding);
    m_textView = text;
    setView(text);
}

QSizeF FormMultilineTextViewController::getPopupSize() const
{
    return m_entryElement ? m_entryElement->popupSize : QSizeF(320, 360);
}

void FormMultilineTextViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    m_viewOnScreen = true;
    textView()->becomeFirstResponder();
}

void FormMultilineTextViewController::viewWillDisappear(bool animated)
{
    ViewController::viewWillDisappear(animated);
    m_viewOnScreen = false;
    if (m_willDisappearCallback)
        m_willDisappearCallback();
}

void FormMultilineTextViewController::setResizeWhenKeyboardPresented(bool resize)
{
    m_keyboardObserver.setActive(resize);
}

void FormMultilineTextViewController::resizeForKeyboard(const platform::Notification& notification)
{
    // A tablet's popover keeps clear of the keyboard by itself.
    if (Device::current().isPad() || !m_viewOnScreen || !m_textView)
        return;
    const bool showing = notification.name == InputPanel::KeyboardWillShowNotification;
    if (showing == m_keyboardVisible)
        return;
    m_keyboardVisible = showing;
    const double duration
        = notification.userInfo.value(InputPanel::AnimationDurationUserInfoKey).toDouble();
    const unsigned curve
        = notification.userInfo.value(InputPanel::AnimationCurveUserInfoKey).toUInt();
    const QRectF end = notification.userInfo.value(InputPanel::FrameEndUserInfoKey).toRectF();
    const QRectF local = m_textView->convertRectFromView(end, nullptr);
    QPointer<TextView> text(m_textView);
    Animation::animate(duration, 0, curve, [text, showing, local] {
        if (!text)
            return;
        QMarginsF inset = text->contentInset();
        inset.setBottom(showing ? local.height() : 0);
        text->setContentInset(inset);
    });
}

void FormMultilineTextViewController::textViewDidBeginEditing(TextView*)
{
    if (m_entryElement)
        if (FormEntryElementDelegate* delegate = m_entryElement->delegate())
            delegate->FormEntryDidBeginEditingElement(m_entryElement.get(), entryCell());
}

void FormMultilineTextViewController::textViewDidChange(TextView* view)
{
    if (!m_entryElement)
        return;
    m_entryElement->setTextFromField(view->text());
    if (FormEntryElementDelegate* delegate = m_entryElement->delegate())
        delegate->FormEntryEditingChangedForElement(m_entryElement.get(), entryCell());
}

bool FormMultilineTextViewController::textViewShouldChangeTextInRange(
    TextView*, const TextRange& range, const QString& replacement)
{
    if (m_entryElement)
        if (FormEntryElementDelegate* delegate = m_entryElement->delegate())
            return delegate->FormEntryShouldChangeCharactersInRange(
                range, replacement, m_entryElement.get(), entryCell());
    return true;
}

void FormMultilineTextViewController::textViewDidEndEditing(TextView* view)
{
    if (!m_entryElement)
        return;
    m_entryElement->setTextFromField(view->text());
    m_entryElement->handleEditingChanged(entryCell());
}
