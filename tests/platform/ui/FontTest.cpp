#include "platform/ui/Font.h"
#include "common/TestSupport.h"
#include "platform/ui/Label.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace platform::ui;

// A name with an emoji (a database called "Party 🎉") shows the emoji in colour, from the
// emoji font the texts fall back to, rather than an empty box or nothing.
TEST(Font, TextsFallBackToTheColourEmojiFont)
{
    for (const QString& name : { QStringLiteral("HelveticaNeue"),
             QStringLiteral("HelveticaNeue-Bold"), QStringLiteral("Georgia") }) {
        SCOPED_TRACE(name.toStdString());
        Label label(QRectF(0, 0, 120, 60));
        label.setBackgroundColor(Qt::white);
        label.setTextColor(Qt::black);
        label.setFont(Font::named(name, 40));
        label.setText(QStringLiteral("🎉"));
        const QImage shot = label.snapshot().convertToFormat(QImage::Format_RGB32);
        int coloured = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (const QColor c = shot.pixelColor(x, y);
                    c.hsvSaturation() > 120 && c.value() > 80)
                    ++coloured;
        EXPECT_GT(coloured, 50);
    }
}
