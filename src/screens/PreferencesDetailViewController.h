#pragma once

#include "forms/QuickDetailViewController.h"
#include "screens/ColorViewController.h"

#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class KivotabPrefernces;

// The preferences: the background, the image, bar and tiles theme colours (each chosen in
// the Color Selector), the style flags, the device language, the status bar and the debug
// log. Its record is the application's settings object; Save writes what the form shows
// and restyles every open screen, Defaults restores the registered defaults. While the
// debug setting is on, the debug log can be mailed.
class PreferencesDetailViewController : public QuickDetailViewController {
    Q_OBJECT
public:
    Q_INVOKABLE explicit PreferencesDetailViewController(QObject* parent = nullptr);
    ~PreferencesDetailViewController() override;

    static std::shared_ptr<FormRootElement> createForm();
    // Makes the form known by its class name.
    static void registerForm();

    void createFields() override;
    bool respondsToSave() const override { return true; }
    bool Save(const QVariantMap& values) override;
    // Redraws the three swatches (the argument is not used).
    void EnableDisable(bool reload) override;
    QSizeF popupContentSize() const override;

    Q_INVOKABLE void onDefaults();
    Q_INVOKABLE void onEmail();

    // Opens the Color Selector for the theme of that key.
    void showColorPicker(const QString& key);
    void colorSelected(const QVariantMap& color, const QString& key);
    // The colour record stored for a theme name, else black.
    QVariantMap colorDictionary(const QString& name) const;
    void setColorImage(const QString& key);

    void mailComposeControllerDidFinish(platform::ui::MailComposeViewController* controller,
        platform::ui::MailComposeResult result, const platform::Error& error) override;

    // The colour records picked in this form (empty until one is).
    QVariantMap imageColor() const { return m_imageColor; }
    QVariantMap barColor() const { return m_barColor; }
    QVariantMap tilesColor() const { return m_tilesColor; }
    // The selector shown now (null when none).
    ColorViewController* colorSelector() const { return m_selector; }

    static const QStringList& backgrounds();
    static const QString ImageThemeKey; // "imagetheme"
    static const QString BarThemeKey; // "bartheme"
    static const QString TilesThemeKey; // "tilestheme"
    static const QString SupportMail;
    static constexpr double SelectorPopupWidth = 645;
    static constexpr double SelectorPopupHeight = 600;

private:
    KivotabPrefernces* settings() const;
    void closeSelector();

    QVariantMap m_imageColor;
    QVariantMap m_barColor;
    QVariantMap m_tilesColor;
    QPointer<ColorViewController> m_selector;
};
