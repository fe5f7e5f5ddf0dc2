#pragma once

#include "forms/FormIndexPath.h"
#include "platform/KeyValueCoding.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <vector>

class FormElement;
class FormRootElement;

namespace platform::ui {
class View;
}

// An ordered list of elements with a header and a footer. Hidden elements stay in the
// section; the table sees only the others. Sections are held by std::shared_ptr.
class FormSection : public QObject,
                    public platform::KeyValueCoding,
                    public std::enable_shared_from_this<FormSection> {
    Q_OBJECT
    Q_PROPERTY(QString key READ key WRITE setKey)
    Q_PROPERTY(QString bind READ bind WRITE setBind)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QString footer READ footer WRITE setFooter)
    Q_PROPERTY(QVariantList beforeTemplateElements READ beforeTemplateElements WRITE
            setBeforeTemplateElements)
    Q_PROPERTY(QVariantList afterTemplateElements READ afterTemplateElements WRITE
            setAfterTemplateElements)
    Q_PROPERTY(bool needsEditing READ needsEditing)
    Q_PROPERTY(QString headerImage READ headerImage WRITE setHeaderImage)
    Q_PROPERTY(QString footerImage READ footerImage WRITE setFooterImage)
    Q_PROPERTY(QVariantMap elementTemplate READ elementTemplate WRITE setElementTemplate)
    Q_PROPERTY(bool hidden READ hidden WRITE setHidden)
    Q_PROPERTY(bool canDeleteRows READ canDeleteRows WRITE setCanDeleteRows)
    Q_PROPERTY(QVariant object READ object WRITE setObject)

public:
    Q_INVOKABLE FormSection();
    ~FormSection() override;
    static std::shared_ptr<FormSection> initWithTitle(const QString& title);

    // The name under which the section's own value is written (sorting and select
    // sections).
    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    QString bind() const { return m_bind; }
    void setBind(const QString& bind) { m_bind = bind; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    QString footer() const { return m_footer; }
    void setFooter(const QString& footer) { m_footer = footer; }
    // Element descriptions placed before and after those made from elementTemplate.
    QVariantList beforeTemplateElements() const { return m_beforeTemplateElements; }
    void setBeforeTemplateElements(const QVariantList& list) { m_beforeTemplateElements = list; }
    QVariantList afterTemplateElements() const { return m_afterTemplateElements; }
    void setAfterTemplateElements(const QVariantList& list) { m_afterTemplateElements = list; }
    // Whether the table must be in editing mode to show this section (reordering).
    virtual bool needsEditing() const { return false; }
    // Bundle images shown as the header or footer instead of the texts: each gives the
    // matching view.
    QString headerImage() const { return m_headerImage; }
    void setHeaderImage(const QString& name);
    QString footerImage() const { return m_footerImage; }
    void setFooterImage(const QString& name);
    // Views shown instead of the appearance's header and footer; main thread only. The
    // image view of a header or footer image is made when first asked for. A view shown
    // belongs to the table that shows it and goes with it.
    platform::ui::View* headerView() const;
    void setHeaderView(platform::ui::View* view);
    platform::ui::View* footerView() const;
    void setFooterView(platform::ui::View* view);
    QVariantMap elementTemplate() const { return m_elementTemplate; }
    void setElementTemplate(const QVariantMap& description) { m_elementTemplate = description; }
    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // Whether the table offers to delete the section's rows.
    bool canDeleteRows() const { return m_canDeleteRows; }
    void setCanDeleteRows(bool can) { m_canDeleteRows = can; }
    QVariant object() const { return m_object; }
    void setObject(const QVariant& object) { m_object = object; }

    // The frame of the entry column shared by the entry cells of the section; an empty
    // rectangle is still to be measured.
    QRectF entryPosition;

    // The owning root (not owned; null once the root is gone).
    FormRootElement* rootElement() const;
    void setRootElement(FormRootElement* root);

    const QList<std::shared_ptr<FormElement>>& elements() const { return m_elements; }
    virtual void addElement(std::shared_ptr<FormElement> element);
    // An index past the end appends.
    virtual void insertElement(std::shared_ptr<FormElement> element, qsizetype index);
    void removeAllElements();
    // The element at the raw position, or null.
    FormElement* elementAt(qsizetype index) const;
    // Raw position, or FormNotFound.
    qsizetype indexOfElement(const FormElement* element) const;

    FormElement* getVisibleElementForIndex(qsizetype index) const;
    qsizetype visibleNumberOfElements() const;
    // The visible elements before it, or FormNotFound when it is not in the section.
    qsizetype getVisibleIndexForElement(const FormElement* element) const;
    // The section's place among the root's visible sections.
    qsizetype visibleIndex() const;
    // Whenever an element or a section is hidden or shown, every list of visible rows or
    // sections is made afresh when next asked for (an element can be in a section other
    // than the one it names as its parent). The number of such changes, never 0.
    static quint64 visibilityChanges();
    static void visibilityChanged();

    // Without an iterating bind string: every element, then the section's own bind
    // string. With one: the elements are emptied and made from the data.
    virtual void bindToObject(const QVariant& data);
    virtual void fetchValueIntoObject(const QVariant& target);
    // Every element in order; the section's own bind string is not fetched.
    virtual void fetchValueUsingBindingsIntoObject(const QVariant& target);

protected:
    void bindAsPlainSection(const QVariant& data);
    QList<std::shared_ptr<FormElement>>& mutableElements();

private:
    // The table asks for rows by visible index, one row at a time: walking the elements
    // for each would lay out a long list in the square of its length.
    const std::vector<FormElement*>& visibleElements() const;

    QString m_key;
    QString m_bind;
    QString m_title;
    QString m_footer;
    QVariantList m_beforeTemplateElements;
    QVariantList m_afterTemplateElements;
    QString m_headerImage;
    QString m_footerImage;
    mutable QPointer<platform::ui::View> m_headerView;
    mutable QPointer<platform::ui::View> m_footerView;
    QVariantMap m_elementTemplate;
    bool m_hidden = false;
    bool m_canDeleteRows = false;
    QVariant m_object;
    QPointer<FormRootElement> m_rootElement;
    QList<std::shared_ptr<FormElement>> m_elements;
    mutable std::vector<FormElement*> m_visibleElements;
    // The visibility changes m_visibleElements was made after; 0 when it is to be made.
    mutable quint64 m_visibleElementsMadeAt = 0;
};
