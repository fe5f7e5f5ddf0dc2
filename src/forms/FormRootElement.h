#pragma once

#include "forms/FormElement.h"

#include <QFont>
#include <QList>
#include <QVariantMap>

#include <vector>

class FormEntryElement;
class FormSection;

// The root of a form: its title, how it is shown and its ordered sections. A root is
// itself an element, so a root can sit as a row in another root's section and open as a
// form of its own. Hidden sections stay in the tree; the table sees only the others.
class FormRootElement : public FormElement {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool grouped READ grouped WRITE setGrouped)
    Q_PROPERTY(QString controllerName READ controllerName WRITE setControllerName)
    Q_PROPERTY(QVariantMap sectionTemplate READ sectionTemplate WRITE setSectionTemplate)
    Q_PROPERTY(int presentationMode READ presentationMode WRITE setPresentationMode)
    Q_PROPERTY(bool showKeyboardOnAppear READ showKeyboardOnAppear WRITE setShowKeyboardOnAppear)
    Q_PROPERTY(QString emptyMessage READ emptyMessage WRITE setEmptyMessage)

public:
    // How the root's form opens when its row is tapped.
    enum PresentationMode {
        Normal = 0,
        Popover = 1,
        NavigationInPopover = 2,
        ModalForm = 3,
        ModalFullScreen = 4,
        ModalPage = 5
    };

    Q_INVOKABLE FormRootElement();
    ~FormRootElement() override;

    // Forms described in bundle resources ("<name>.json", read as JSON and built by
    // FormRootBuilder). A resource that cannot be read or parsed is logged and gives a
    // root without sections. With data, the new root is bound to it.
    static std::shared_ptr<FormRootElement> initWithJSONFile(const QString& name);
    static std::shared_ptr<FormRootElement> initWithJSONFile(
        const QString& name, const QVariant& data);
    // The description already parsed; anything but a dictionary describes an empty root.
    static std::shared_ptr<FormRootElement> initWithJSON(
        const QVariant& description, const QVariant& data);
    // The data read from a second resource; one that cannot be read is no data.
    static std::shared_ptr<FormRootElement> initWithJSONFileAndDataJSONFile(
        const QString& name, const QString& dataName);
    static std::shared_ptr<FormRootElement> rootForJSON(const QString& name);
    // The object is kept in the root's object.
    static std::shared_ptr<FormRootElement> rootForJSON(
        const QString& name, const QVariant& object);

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    // The title's width in the font, measured again only when title or font change: cells
    // line their fields up past the widest title of their section, and every cell's
    // layout asks for all of them.
    double titleWidth(const QFont& font) const;
    bool grouped() const { return m_grouped; }
    void setGrouped(bool grouped) { m_grouped = grouped; }
    // The form-controller class that shows the root; empty means FormController.
    QString controllerName() const { return m_controllerName; }
    void setControllerName(const QString& name) { m_controllerName = name; }
    // The description sections are built from when the bind string iterates.
    QVariantMap sectionTemplate() const { return m_sectionTemplate; }
    void setSectionTemplate(const QVariantMap& description) { m_sectionTemplate = description; }
    int presentationMode() const { return m_presentationMode; }
    void setPresentationMode(int mode) { m_presentationMode = mode; }
    bool showKeyboardOnAppear() const { return m_showKeyboardOnAppear; }
    void setShowKeyboardOnAppear(bool show) { m_showKeyboardOnAppear = show; }
    QString emptyMessage() const { return m_emptyMessage; }
    void setEmptyMessage(const QString& message) { m_emptyMessage = message; }

    // Run with the root by handleEditingChanged, after every change of the value.
    std::function<void(FormRootElement*)> onValueChanged;
    // The row the form scrolls to when it has appeared; none for no row.
    std::optional<FormIndexPath> preselectedElementIndex;

    const QList<std::shared_ptr<FormSection>>& sections() const { return m_sections; }
    // Whether the root has a section list at all (made by the first addSection), which
    // is what makes its row open it as a form.
    bool hasSections() const { return m_hasSections; }
    void addSection(std::shared_ptr<FormSection> section);
    // Empties the section list (it stays a list).
    void removeAllSections();
    // Drops the section list: the root has no sections then.
    void dropSections();

    FormSection* getSectionForIndex(qsizetype index) const;
    qsizetype numberOfSections() const { return m_sections.size(); }
    FormSection* getVisibleSectionForIndex(qsizetype index) const;
    qsizetype visibleNumberOfSections() const;
    // The visible sections before it, or FormNotFound when it is not in the root.
    qsizetype getVisibleIndexForSection(const FormSection* section) const;

    virtual void handleEditingChanged();

    // The plain cell with the title; a highlight when tapped.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;
    // The base selection, then a root with sections opens as a form of its own.
    void selected(FormTableView* tableView, FormControllerProtocol* controller,
        const platform::ui::IndexPath& indexPath) override;

    FormSection* sectionWithKey(const QString& key) const;
    // The first element with the key, depth first: an element that is itself a root is
    // searched before the elements after it.
    FormElement* elementWithKey(const QString& key) const;
    FormElement* rootWithKey(const QString& key) const { return elementWithKey(key); }

    // The nearest entry element before or after the element that can take the focus,
    // over all rows in order; with null, the first one. Rows of hidden sections are
    // skipped.
    FormEntryElement* findElementToFocusOnBefore(const FormElement* element) const;
    FormEntryElement* findElementToFocusOnAfter(const FormElement* element) const;

    // Without an iterating bind string: every section, then the root's own bind string.
    // With one: the sections are emptied and rebuilt from the data.
    void bindToObject(const QVariant& data) override;
    // Every section in order; the root writes nothing of its own.
    void fetchValueIntoObject(const QVariant& target) override;
    // The root's own bind string, then every section in order.
    void fetchValueUsingBindingsIntoObject(const QVariant& target) override;

private:
    QString m_title;
    struct MeasuredTitle {
        QString title;
        QFont font;
        double width = -1;
    };
    mutable MeasuredTitle m_measuredTitle;
    bool m_grouped = false;
    QString m_controllerName;
    QVariantMap m_sectionTemplate;
    int m_presentationMode = Normal;
    bool m_showKeyboardOnAppear = false;
    QString m_emptyMessage;
    QList<std::shared_ptr<FormSection>> m_sections;
    bool m_hasSections = false;
    // The visible sections, as a section keeps its visible rows (FormSection).
    const std::vector<FormSection*>& visibleSections() const;
    mutable std::vector<FormSection*> m_visibleSections;
    mutable quint64 m_visibleSectionsMadeAt = 0;
};
