#pragma once

#include "forms/QuickDetailViewController.h"

#include <QString>
#include <QVariantList>

#include <memory>

class BaseDataController;
class FormElement;
class FormRadioElement;
class FormRootElement;
class FormSection;
class TemplateColumn;

// The form a chart is defined in: kind and style; the x column with its range (typed like
// the column, preset to its first and last values) and, for a date, the grouping; the y
// column and what to compute of it. "Plot Chart" hands the definition to the rows screen's
// data controller, which draws the chart.
class ChartDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ChartDetailViewController(QObject* parent = nullptr);
    ~ChartDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    static void registerForm();

    void createFields() override;
    // Rebuilds the range fields for the x column chosen and enables the grouping only
    // for a date column; reloads their cells when asked.
    void EnableDisable(bool reload) override;

    FormRadioElement* createXAxisField(BaseDataController* dataController, FormSection* section);
    FormRadioElement* createYAxisField(BaseDataController* dataController, FormSection* section);
    FormRadioElement* createFunctionField(FormSection* section);
    FormRadioElement* createChartTypeField(FormSection* section);
    FormRadioElement* createChartTheme(FormSection* section);
    FormRadioElement* createGroupingsField(FormSection* section);
    // The minimum and maximum fields for the column, put in place of the present ones.
    QList<std::shared_ptr<FormElement>> createMinMaxFields(
        FormSection* section, TemplateColumn* column);
    // The column's first and last values in x order, or what a column without rows shows.
    QVariantList getMinMaxValue(TemplateColumn* column);
    QList<std::shared_ptr<FormElement>> getMinMaxFields(
        TemplateColumn* column, const QString& minTitle, const QString& maxTitle);

    bool respondsToSaveWithSender() const override { return true; }
    void Save(const QVariantMap& values, QObject* sender) override;
    QSizeF popupContentSize() const override;

    // Eligible x and y columns of the calling table.
    QList<TemplateColumn*> xColumns() const;
    QList<TemplateColumn*> yColumns() const;
    // The theme a new chart starts with: dark on a light image colour.
    static QString defaultTheme();
    // Positions of the range fields in the x section.
    static qsizetype minimumPosition();
    static qsizetype maximumPosition();

    static const QString XSectionKey; // "section1"

private:
    FormRadioElement* addChoice(FormSection* section, const QVariantList& items, qsizetype selected,
        const QString& title, const QString& image, const QStringList& itemImages,
        const QString& key);
    FormSection* xSection() const;

    QString m_shownX;
};
