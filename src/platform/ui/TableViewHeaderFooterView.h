#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

class Label;

// The view a table shows for a section's header or footer title: the grouped style's
// small grey text (headers in capitals, footers wrapped), or the plain style's bar.
class TableViewHeaderFooterView : public View {
    Q_OBJECT
public:
    enum class Role { GroupedHeader, GroupedFooter, PlainHeader, PlainFooter };

    explicit TableViewHeaderFooterView(QWidget* parent = nullptr);
    ~TableViewHeaderFooterView() override;

    Label* textLabel() const { return m_textLabel; }
    View* contentView() const { return m_contentView; }

    Role role() const { return m_role; }
    // The look of the role, the title (shown in capitals for a grouped header) and the
    // left and right margins of the text.
    void configure(Role role, const QString& title, double leading, double trailing);
    void setTextMargins(double leading, double trailing);

    // The height the title needs in a role, at a width, with its margins.
    static double heightForTitle(Role role, const QString& title, double width, bool firstSection);

    void layoutSubviews() override;

private:
    View* m_contentView = nullptr;
    Label* m_textLabel = nullptr;
    Role m_role = Role::GroupedHeader;
    double m_leading = 15;
    double m_trailing = 15;
};

} // namespace platform::ui
