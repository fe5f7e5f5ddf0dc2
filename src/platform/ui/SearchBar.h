#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/View.h"

#include <QMarginsF>

#include <memory>

namespace platform::ui {

class Button;
class ImageView;
class SearchBar;
class TextField;

// What a search bar asks and tells its delegate; every method is optional.
class SearchBarDelegate {
public:
    virtual ~SearchBarDelegate();
    virtual bool searchBarShouldBeginEditing(SearchBar* bar);
    virtual void searchBarTextDidBeginEditing(SearchBar* bar);
    virtual bool searchBarShouldEndEditing(SearchBar* bar);
    virtual void searchBarTextDidEndEditing(SearchBar* bar);
    // After every change a person makes to the text (not after changes made in code).
    virtual void searchBarTextDidChange(SearchBar* bar, const QString& text);
    virtual bool searchBarShouldChangeTextInRange(
        SearchBar* bar, const TextRange& range, const QString& replacement);
    // Return in the field.
    virtual void searchBarSearchButtonClicked(SearchBar* bar);
    virtual void searchBarCancelButtonClicked(SearchBar* bar);
    virtual void searchBarBookmarkButtonClicked(SearchBar* bar);
};

// A search bar: a rounded search field with a magnifying glass and a placeholder, an
// optional Cancel button at the right, and an optional bookmark button inside the field
// while it is empty (its image for the normal and the selected state can be set).
class SearchBar : public View {
    Q_OBJECT
public:
    enum class Icon { Search = 0, Bookmark = 2 };

    explicit SearchBar(QWidget* parent = nullptr);
    explicit SearchBar(const QRectF& frame, QWidget* parent = nullptr);
    ~SearchBar() override;

    QString text() const;
    void setText(const QString& text);
    QString placeholder() const;
    void setPlaceholder(const QString& placeholder);

    bool showsCancelButton() const { return m_showsCancel; }
    void setShowsCancelButton(bool shows, bool animated = false);
    bool showsBookmarkButton() const { return m_showsBookmark; }
    void setShowsBookmarkButton(bool shows);
    // The image of an icon for a state (normal or selected); a null image brings back
    // the bar's own drawing.
    void setImageForSearchBarIcon(const Image& image, Icon icon, unsigned state);
    Image imageForSearchBarIcon(Icon icon, unsigned state) const;

    QColor barTintColor() const { return m_barTint; }
    void setBarTintColor(const QColor& color);
    Image backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const Image& image);
    QColor searchFieldBackgroundColor() const;
    void setSearchFieldBackgroundColor(const QColor& color);
    // Title attributes of the bar's buttons (Cancel).
    TextAttributes buttonTextAttributes() const { return m_buttonAttributes; }
    void setButtonTextAttributes(const TextAttributes& attributes);

    SearchBarDelegate* delegate() const { return m_delegate; }
    void setDelegate(SearchBarDelegate* delegate) { m_delegate = delegate; }

    // Room kept clear at the sides, where a notch lies over the bar: the field and Cancel
    // stay inside it while the bar's background still reaches the edges.
    QMarginsF contentInsets() const { return m_contentInsets; }
    void setContentInsets(const QMarginsF& insets);

    TextField* searchTextField() const { return m_field; }
    Button* cancelButton() const { return m_cancel; }
    Button* bookmarkButton() const { return m_bookmark; }

    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const;

    void layoutSubviews() override;
    QSizeF sizeThatFits(const QSizeF& size) const override;

    // What every search bar made from now on starts with (the style object sets it).
    struct Appearance {
        QColor barTintColor;
        QColor tintColor;
        QColor searchFieldBackgroundColor;
        TextAttributes buttonTextAttributes;
    };
    static Appearance& appearance();

    static constexpr double Height = 44.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class FieldDelegate;

    void setUp();
    void updateBookmark();
    void updateIcons();
    void styleCancelButton();
    QRectF fieldFrame(bool withCancel) const;

    std::unique_ptr<FieldDelegate> m_fieldDelegate;
    SearchBarDelegate* m_delegate = nullptr;
    TextField* m_field = nullptr;
    Button* m_cancel = nullptr;
    Button* m_bookmark = nullptr;
    ImageView* m_glass = nullptr;
    bool m_showsCancel = false;
    bool m_showsBookmark = false;
    QMarginsF m_contentInsets;
    QColor m_barTint = QColor(201, 201, 206);
    Image m_backgroundImage;
    TextAttributes m_buttonAttributes;
    Image m_searchImage;
    Image m_bookmarkImage;
    Image m_bookmarkSelectedImage;
};

} // namespace platform::ui
