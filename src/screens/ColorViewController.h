#pragma once

#include "screens/ApplicationScreen.h"

#include <QVariantMap>

#include <functional>

// The Color Selector: the colour screen as a picking list. Its data controller hands the
// tapped colour (its values keyed by column id) and the tapped index to the handler.
class ColorViewController : public ApplicationScreen {
    Q_OBJECT
public:
    using Handler = std::function<void(const QVariantMap& color, qint64 index)>;

    explicit ColorViewController(QObject* parent = nullptr);
    explicit ColorViewController(Handler listSelectHandler, QObject* parent = nullptr);
    ~ColorViewController() override;

    Handler listSelectHandler() const { return m_handler; }
    void setListSelectHandler(Handler handler) { m_handler = std::move(handler); }

private:
    Handler m_handler;
};
