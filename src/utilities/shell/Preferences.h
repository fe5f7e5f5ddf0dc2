#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// The user's settings. Nothing is cached: every getter reads the user defaults and every
// setter writes them at once, so two Preferences objects always agree. Safe from any
// thread.
class Preferences : public QObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "tiles,rows,listenerPort")
    Q_PROPERTY(QVariant tiles READ tiles WRITE setTiles)
    Q_PROPERTY(QVariant rows READ rows WRITE setRows)
    Q_PROPERTY(bool sslvalidation READ sslvalidation WRITE setSslvalidation)
    Q_PROPERTY(bool statusbar READ statusbar WRITE setStatusbar)
    Q_PROPERTY(bool firstlaunch READ firstlaunch WRITE setFirstlaunch)
    Q_PROPERTY(QVariant listenerPort READ listenerPort WRITE setListenerPort)
    Q_PROPERTY(bool autofitfont READ autofitfont WRITE setAutofitfont)
    Q_PROPERTY(QVariant imagetheme READ imagetheme WRITE setImagetheme)
    Q_PROPERTY(QVariant bartheme READ bartheme WRITE setBartheme)
    Q_PROPERTY(bool ioslanguage READ ioslanguage WRITE setIoslanguage)
    Q_PROPERTY(QVariant background READ background WRITE setBackground)
    Q_PROPERTY(bool gradient READ gradient WRITE setGradient)
    Q_PROPERTY(bool debug READ debug WRITE setDebug)
    Q_PROPERTY(bool disablebuttonborder READ disablebuttonborder WRITE setDisablebuttonborder)
    Q_PROPERTY(QVariant tilestheme READ tilestheme WRITE setTilestheme)

public:
    Q_INVOKABLE explicit Preferences(QObject* parent = nullptr);
    ~Preferences() override;

    // Object getters answer the stored (or registered) value unchanged; an invalid
    // QVariant when there is neither.
    QVariant tiles() const;
    QVariant rows() const;
    QVariant listenerPort() const;
    QVariant imagetheme() const;
    // The stored bar theme, or the image theme when the stored text is "Default".
    QVariant bartheme() const;
    QVariant background() const;
    QVariant tilestheme() const;

    bool sslvalidation() const;
    bool statusbar() const;
    bool firstlaunch() const;
    bool autofitfont() const;
    bool ioslanguage() const;
    bool gradient() const;
    bool debug() const;
    // Button borders are always off; the stored value is kept but read by nothing.
    bool disablebuttonborder() const;

    // Object setters store the value unchanged; an invalid QVariant removes the key.
    void setTiles(const QVariant& value);
    void setRows(const QVariant& value);
    void setImagetheme(const QVariant& value);
    void setBartheme(const QVariant& value);
    void setBackground(const QVariant& value);
    void setTilestheme(const QVariant& value);
    // Writes the listener port setting.
    void setlistenerPort(const QVariant& value);
    // Keeps the number in this object only; the stored port is not touched.
    void setListenerPort(const QVariant& value);
    QVariant listenerPortField() const { return m_listenerPort; }

    void setSslvalidation(bool value);
    void setStatusbar(bool value);
    void setFirstlaunch(bool value);
    void setAutofitfont(bool value);
    void setIoslanguage(bool value);
    void setGradient(bool value);
    void setDebug(bool value);
    void setDisablebuttonborder(bool value);

    // Writes every default into the store explicitly, keeping "firstlaunch" as it was.
    virtual void resetPreferences();

    // The settings and their defaults, computed now (page sizes follow the screen).
    static QVariantMap defaultValues();
    // Registers defaultValues() as the user defaults' registration domain.
    static void registerDefaults();

    // The keys, written once.
    static const QString TilesKey, RowsKey, SslValidationKey, StatusBarKey, FirstLaunchKey,
        ListenerPortKey, AutofitFontKey, ImageThemeKey, BarThemeKey, IosLanguageKey, BackgroundKey,
        GradientKey, DebugKey, DisableButtonBorderKey, TilesThemeKey;

protected:
    // The reset's steps with a given set of defaults (subclasses pass their own).
    void resetPreferencesWith(const QVariantMap& defaults);
    QVariant objectForKey(const QString& key) const;
    bool flagForKey(const QString& key) const;
    void setObjectForKey(const QString& key, const QVariant& value);
    void setFlagForKey(const QString& key, bool value);

private:
    QVariant m_listenerPort;
};
