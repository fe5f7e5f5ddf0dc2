#include "platform/ui/SearchBar.h"

#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BarPainting.h"
#include "platform/ui/Button.h"
#include "platform/ui/DesktopKeys.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace platform::ui {

namespace {

constexpr double kMargin = 8.0;
constexpr double kFieldHeight = 28.0;

// The bar's own icons, drawn at the screen's scale.
Image drawIcon(const QSizeF& size, const std::function<void(QPainter&)>& draw)
{
    const double scale = Device::current().scale();
    QImage image(QSize(qRound(size.width() * scale), qRound(size.height() * scale)),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    return Image(image, scale);
}

Image magnifyingGlass()
{
    return drawIcon(QSizeF(14, 14), [](QPainter& p) {
        QPen pen(QColor(142, 142, 147), 1.6);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawEllipse(QRectF(1.2, 1.2, 8.6, 8.6));
        p.drawLine(QPointF(8.8, 8.8), QPointF(12.8, 12.8));
    });
}

Image openBook(bool selected)
{
    return drawIcon(QSizeF(18, 14), [selected](QPainter& p) {
        const QColor ink = selected ? QColor(0, 122, 255) : QColor(142, 142, 147);
        QPen pen(ink, 1.3);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(selected ? ink.lighter(170) : QColor(Qt::transparent));
        QPainterPath left;
        left.moveTo(9, 3);
        left.cubicTo(7, 1.5, 4, 1.2, 1, 2);
        left.lineTo(1, 12);
        left.cubicTo(4, 11.2, 7, 11.5, 9, 13);
        left.closeSubpath();
        QPainterPath right;
        right.moveTo(9, 3);
        right.cubicTo(11, 1.5, 14, 1.2, 17, 2);
        right.lineTo(17, 12);
        right.cubicTo(14, 11.2, 11, 11.5, 9, 13);
        right.closeSubpath();
        p.drawPath(left);
        p.drawPath(right);
    });
}

} // namespace

SearchBarDelegate::~SearchBarDelegate() = default;

bool SearchBarDelegate::searchBarShouldBeginEditing(SearchBar*)
{
    return true;
}

void SearchBarDelegate::searchBarTextDidBeginEditing(SearchBar*)
{
}

bool SearchBarDelegate::searchBarShouldEndEditing(SearchBar*)
{
    return true;
}

void SearchBarDelegate::searchBarTextDidEndEditing(SearchBar*)
{
}

void SearchBarDelegate::searchBarTextDidChange(SearchBar*, const QString&)
{
}

bool SearchBarDelegate::searchBarShouldChangeTextInRange(
    SearchBar*, const TextRange&, const QString&)
{
    return true;
}

void SearchBarDelegate::searchBarSearchButtonClicked(SearchBar*)
{
}

void SearchBarDelegate::searchBarCancelButtonClicked(SearchBar*)
{
}

void SearchBarDelegate::searchBarBookmarkButtonClicked(SearchBar*)
{
}

// The bar answers its field's questions by asking its own delegate.
class SearchBar::FieldDelegate : public TextFieldDelegate {
public:
    explicit FieldDelegate(SearchBar* bar)
        : m_bar(bar)
    {
    }

    bool textFieldShouldBeginEditing(TextField*) override
    {
        bool should = true;
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded([&] { should = d->searchBarShouldBeginEditing(m_bar); });
        return should;
    }
    void textFieldDidBeginEditing(TextField*) override
    {
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded([&] { d->searchBarTextDidBeginEditing(m_bar); });
    }
    bool textFieldShouldEndEditing(TextField*) override
    {
        bool should = true;
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded([&] { should = d->searchBarShouldEndEditing(m_bar); });
        return should;
    }
    void textFieldDidEndEditing(TextField*) override
    {
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded([&] { d->searchBarTextDidEndEditing(m_bar); });
    }
    bool textFieldShouldChangeCharactersInRange(
        TextField*, const TextRange& range, const QString& replacement) override
    {
        bool should = true;
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded(
                [&] { should = d->searchBarShouldChangeTextInRange(m_bar, range, replacement); });
        return should;
    }
    bool textFieldShouldReturn(TextField*) override
    {
        if (SearchBarDelegate* d = m_bar->m_delegate)
            guarded([&] { d->searchBarSearchButtonClicked(m_bar); });
        return true;
    }

private:
    SearchBar* m_bar;
};

SearchBar::Appearance& SearchBar::appearance()
{
    static Appearance appearance;
    return appearance;
}

SearchBar::SearchBar(QWidget* parent)
    : View(parent)
{
    setUp();
}

SearchBar::SearchBar(const QRectF& frame, QWidget* parent)
    : View(parent)
{
    setUp();
    setFrame(frame);
}

SearchBar::~SearchBar()
{
    // The field asks its delegate nothing more once the bar is going.
    if (m_field) {
        m_field->setDelegate(nullptr);
        m_field->lineEdit()->removeEventFilter(this);
    }
}

void SearchBar::setUp()
{
    m_fieldDelegate = std::make_unique<FieldDelegate>(this);
    const Appearance& a = appearance();
    if (a.barTintColor.isValid())
        m_barTint = a.barTintColor;
    if (a.tintColor.isValid())
        setTintColor(a.tintColor);
    m_buttonAttributes = a.buttonTextAttributes;

    m_field = new TextField(this);
    m_field->setBorderStyle(TextField::BorderStyle::RoundedRect);
    m_field->setBackgroundColor(a.searchFieldBackgroundColor.isValid()
            ? a.searchFieldBackgroundColor
            : QColor(142, 142, 147, 40));
    m_field->layer()->setCornerRadius(6);
    m_field->setFont(Font::system(14));
    m_field->setPlaceholderColor(QColor(142, 142, 147));
    // Text searched for keeps its clear button after editing ends.
    m_field->setClearButtonMode(TextField::ViewMode::Always);
    m_field->setReturnKeyType(TextInputTraits::ReturnKeyType::Search);
    m_field->setAutocorrectionType(TextInputTraits::AutocorrectionType::No);
    m_field->setDelegate(m_fieldDelegate.get());
    m_field->lineEdit()->installEventFilter(this);
    DesktopKeys::setTakesEscape(m_field->lineEdit());
    QPointer<SearchBar> self(this);
    m_field->addTarget(
        [self](Control*) {
            if (!self)
                return;
            self->updateBookmark();
            if (SearchBarDelegate* d = self->m_delegate)
                guarded([&] { d->searchBarTextDidChange(self, self->m_field->text()); });
        },
        ControlEventEditingChanged);

    m_glass = new ImageView(Image());
    m_glass->setFrame(QRectF(0, 0, 14, 14));
    m_glass->setContentMode(ImageView::ContentMode::Center);
    m_field->setLeftView(m_glass);
    m_field->setLeftViewMode(TextField::ViewMode::Always);

    m_bookmark = Button::withType(Button::Type::Custom);
    m_bookmark->setFrame(QRectF(0, 0, 24, 24));
    m_bookmark->addTarget(
        [self](Control*) {
            if (self && self->m_delegate)
                guarded([&] { self->m_delegate->searchBarBookmarkButtonClicked(self); });
        },
        ControlEventTouchUpInside);
    m_field->setRightView(m_bookmark);

    m_cancel = Button::withType(Button::Type::System, this);
    m_cancel->setTitle(BarButtonItem::systemTitle(BarButtonItem::SystemItem::Cancel));
    m_cancel->setHidden(true);
    m_cancel->addTarget(
        [self](Control*) {
            if (self && self->m_delegate)
                guarded([&] { self->m_delegate->searchBarCancelButtonClicked(self); });
        },
        ControlEventTouchUpInside);
    styleCancelButton();
    updateIcons();
    updateBookmark();
    setFrame(QRectF(0, 0, 320, Height));
}

QString SearchBar::text() const
{
    return m_field->text();
}

void SearchBar::setText(const QString& text)
{
    m_field->setText(text);
    updateBookmark();
}

QString SearchBar::placeholder() const
{
    return m_field->placeholder();
}

void SearchBar::setPlaceholder(const QString& placeholder)
{
    m_field->setPlaceholder(placeholder);
}

void SearchBar::setShowsCancelButton(bool shows, bool animated)
{
    if (m_showsCancel == shows)
        return;
    m_showsCancel = shows;
    QPointer<SearchBar> self(this);
    if (shows) {
        m_cancel->setHidden(false);
        m_cancel->setAlpha(animated ? 0 : 1);
    }
    Animation::animate(
        animated ? 0.2 : 0,
        [this, shows] {
            layoutSubviews();
            m_cancel->setAlpha(shows ? 1 : 0);
        },
        [self, shows](bool) {
            if (self && !shows && !self->m_showsCancel)
                self->m_cancel->setHidden(true);
        });
    if (!animated && !shows)
        m_cancel->setHidden(true);
}

void SearchBar::setShowsBookmarkButton(bool shows)
{
    m_showsBookmark = shows;
    updateBookmark();
}

void SearchBar::setImageForSearchBarIcon(const Image& image, Icon icon, unsigned state)
{
    const bool selected = state & ControlStateSelected;
    if (icon == Icon::Search)
        m_searchImage = image;
    else if (selected)
        m_bookmarkSelectedImage = image;
    else
        m_bookmarkImage = image;
    updateIcons();
}

Image SearchBar::imageForSearchBarIcon(Icon icon, unsigned state) const
{
    if (icon == Icon::Search)
        return m_searchImage;
    return (state & ControlStateSelected) ? m_bookmarkSelectedImage : m_bookmarkImage;
}

void SearchBar::updateIcons()
{
    m_glass->setImage(m_searchImage.isNull() ? magnifyingGlass() : m_searchImage);
    const Image normal = m_bookmarkImage.isNull() ? openBook(false) : m_bookmarkImage;
    const Image selected = m_bookmarkSelectedImage.isNull()
        ? (m_bookmarkImage.isNull() ? openBook(true) : m_bookmarkImage)
        : m_bookmarkSelectedImage;
    m_bookmark->setImage(normal, ControlStateNormal);
    // Pressed, the button shows its selected image too.
    m_bookmark->setImage(selected, ControlStateSelected);
    m_bookmark->setImage(selected, ControlStateHighlighted);
}

void SearchBar::updateBookmark()
{
    // The bookmark shows in the empty field; typed text brings the clear button instead.
    m_field->setRightViewMode(m_showsBookmark && m_field->text().isEmpty()
            ? TextField::ViewMode::Always
            : TextField::ViewMode::Never);
}

void SearchBar::setBarTintColor(const QColor& color)
{
    m_barTint = color;
    update();
}

void SearchBar::setBackgroundImage(const Image& image)
{
    m_backgroundImage = image;
    update();
}

QColor SearchBar::searchFieldBackgroundColor() const
{
    return m_field->backgroundColor();
}

void SearchBar::setSearchFieldBackgroundColor(const QColor& color)
{
    m_field->setBackgroundColor(color);
}

void SearchBar::setButtonTextAttributes(const TextAttributes& attributes)
{
    m_buttonAttributes = attributes;
    styleCancelButton();
    layoutSubviews();
}

void SearchBar::styleCancelButton()
{
    m_cancel->setTitleFont(m_buttonAttributes.hasFont ? m_buttonAttributes.font : Font::system(16));
    if (m_buttonAttributes.foregroundColor.isValid())
        m_cancel->setTitleColor(m_buttonAttributes.foregroundColor);
}

bool SearchBar::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in the field is the desktop's Cancel: the search ends and the keys go back.
    if (watched == m_field->lineEdit() && event->type() == QEvent::KeyPress && m_delegate
        && m_field->isFirstResponder()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !(key->modifiers() & ~Qt::KeypadModifier)) {
            guarded([&] { m_delegate->searchBarCancelButtonClicked(this); });
            return true;
        }
    }
    return View::eventFilter(watched, event);
}

bool SearchBar::becomeFirstResponder()
{
    return m_field->becomeFirstResponder();
}

bool SearchBar::resignFirstResponder()
{
    return m_field->resignFirstResponder();
}

bool SearchBar::isFirstResponder() const
{
    return m_field->isFirstResponder();
}

void SearchBar::setContentInsets(const QMarginsF& insets)
{
    if (m_contentInsets == insets)
        return;
    m_contentInsets = insets;
    layoutSubviews();
}

QRectF SearchBar::fieldFrame(bool withCancel) const
{
    const QRectF b = bounds();
    const double left = kMargin + m_contentInsets.left();
    double right = b.width() - kMargin - m_contentInsets.right();
    if (withCancel)
        right -= m_cancel->sizeThatFits(b.size()).width() + kMargin;
    return QRectF(left, (b.height() - kFieldHeight) / 2, std::max(0.0, right - left), kFieldHeight);
}

void SearchBar::layoutSubviews()
{
    const QRectF b = bounds();
    m_field->setFrame(fieldFrame(m_showsCancel));
    const double width = m_cancel->sizeThatFits(b.size()).width();
    const double x
        = m_showsCancel ? b.width() - kMargin - m_contentInsets.right() - width : b.width();
    m_cancel->setFrame(QRectF(x, (b.height() - kFieldHeight) / 2, width, kFieldHeight));
}

QSizeF SearchBar::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width(), Height);
}

void SearchBar::drawRect(QPainter& painter, const QRectF& rect)
{
    paintBar(painter, rect, m_barTint, m_backgroundImage, false, false);
}

} // namespace platform::ui
