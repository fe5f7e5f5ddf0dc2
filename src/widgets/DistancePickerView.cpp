#include "widgets/DistancePickerView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

using namespace platform::ui;

DistancePickerView::DistancePickerView(const QRectF& frame, QWidget* parent)
    : PickerView(frame, parent)
{
}

QString DistancePickerView::longestKey(int component)
{
    return QStringLiteral("%1_%2").arg(QStringLiteral("longestString")).arg(component);
}

void DistancePickerView::addLabel(const QString& text, int component, const QString& longestString)
{
    m_labels.insert(QString::number(component), text);
    m_labels.insert(longestKey(component), longestString.isNull() ? text : longestString);
}

void DistancePickerView::updateLabel(const QString& text, int component)
{
    auto* label = qobject_cast<Label*>(viewWithTag(component + 1));
    if (label && label->text() == text)
        return;
    addLabel(text, component, m_labels.value(longestKey(component)).toString());
    if (!label)
        return;
    Animation::animate(LabelAnimationDuration, 0, AnimationOptionCurveEaseInOut, [label, text] {
        label->setAlpha(0);
        label->setText(text);
        label->setAlpha(1);
    });
}

void DistancePickerView::showEvent(QShowEvent* event)
{
    PickerView::showEvent(event);
    didMoveToWindow();
}

void DistancePickerView::didMoveToWindow()
{
    if (!window() || m_labels.isEmpty())
        return;
    const QFont font = Font::boldSystem(20);
    for (int component = 0; component < numberOfComponents(); ++component) {
        const QString text = m_labels.value(QString::number(component)).toString();
        if (text.isEmpty())
            continue;
        const double right = rectForComponent(component).right();
        const QSizeF size = Font::measure(m_labels.value(longestKey(component)).toString(), font);
        const double gap = component == numberOfComponents() - 1 ? 5 : 7;
        auto* label = qobject_cast<Label*>(viewWithTag(component + 1));
        if (!label) {
            label = new Label(this);
            label->setTag(component + 1);
        }
        label->setFrame(QRectF(right - size.width() - gap,
            bounds().height() * 0.5 - size.height() * 0.5 - 0.5, size.width(), size.height()));
        label->setText(text);
        label->setFont(font);
        label->setBackgroundColor(Qt::transparent);
        label->setShadowColor(Qt::white);
        label->setShadowOffset(QPointF(0, 1));
        label->setUserInteractionEnabled(false);
        // Over the wheel it names.
        label->raise();
        label->show();
        if (delegate())
            delegate()->pickerViewDidSelectRow(this, selectedRowInComponent(component), component);
    }
}
