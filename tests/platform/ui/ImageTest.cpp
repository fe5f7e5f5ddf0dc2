// Bundle images looked up by name: where a name may lead, and what the lookups keep.
#include "platform/ui/Image.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <limits>

using platform::ui::Image;

namespace {

// A resources folder of the test's own beside a folder that is not part of it.
struct NamedImages : ::testing::Test {
    QString resources;
    QString outside;

    void SetUp() override
    {
        resources = testsupport::homePath() + "/bundle/resources";
        outside = testsupport::homePath() + "/bundle/outside";
        ASSERT_TRUE(QDir().mkpath(resources + "/images/sub"));
        ASSERT_TRUE(QDir().mkpath(outside));
        write(resources + "/images/inside.png", Qt::red);
        write(resources + "/images/sub/deep@2x.png", Qt::green);
        write(resources + "/top.png", Qt::blue);
        write(outside + "/secret.png", Qt::black);
        qputenv("KIVOTAB_RESOURCES", resources.toUtf8());
        Image::clearCache();
    }
    void TearDown() override
    {
        qunsetenv("KIVOTAB_RESOURCES");
        Image::clearCache();
    }
    static void write(const QString& path, const QColor& color)
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(path));
    }
    static QColor colourOf(const Image& image)
    {
        return image.isNull() ? QColor() : image.image().pixelColor(0, 0);
    }
};

} // namespace

TEST_F(NamedImages, ANameFindsImagesInsideTheResourcesOnly)
{
    EXPECT_EQ(colourOf(Image::named("inside")), QColor(Qt::red));
    EXPECT_EQ(colourOf(Image::named("inside.png")), QColor(Qt::red));
    const Image deep = Image::named("sub/deep");
    EXPECT_EQ(colourOf(deep), QColor(Qt::green));
    EXPECT_EQ(deep.scale(), 2.0);
    EXPECT_EQ(colourOf(Image::named("top")), QColor(Qt::blue));

    // Each of these names the image outside, from the images folder or the resources.
    for (const QString& name :
        { QStringLiteral("../../outside/secret"), QStringLiteral("../outside/secret"),
            QStringLiteral("../outside/secret.png"), QStringLiteral("sub/../../../outside/secret"),
            QStringLiteral("..\\outside\\secret"), outside + "/secret", outside + "/secret.png",
            QStringLiteral("/") + outside + "/secret", QStringLiteral(".."), QString() }) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(Image::named(name).isNull());
    }
}

TEST_F(NamedImages, OnlyFoundImagesAreKept)
{
    ASSERT_EQ(Image::cachedCount(), 0);
    EXPECT_FALSE(Image::named("inside").isNull());
    EXPECT_FALSE(Image::named("inside").isNull());
    EXPECT_EQ(Image::cachedCount(), 1);
    // Names from data, none of them an image: looking them up keeps nothing.
    for (int i = 0; i < 20000; ++i)
        EXPECT_TRUE(Image::named(QStringLiteral("item %1").arg(i)).isNull());
    EXPECT_EQ(Image::cachedCount(), 1);
    // An image written later is found once the cache is cleared.
    write(resources + "/images/later.png", Qt::yellow);
    Image::clearCache();
    EXPECT_EQ(Image::cachedCount(), 0);
    EXPECT_EQ(colourOf(Image::named("later")), QColor(Qt::yellow));
    EXPECT_EQ(colourOf(Image::named("inside")), QColor(Qt::red));
}

TEST_F(NamedImages, ANameThatFindsNothingCostsAboutWhatAKeptOneDoes)
{
    // A row of segments tries every item's text as an image name: twenty thousand names
    // from data, none an image, cost about what twenty thousand looks at a kept image do.
    constexpr int count = 20000;
    const auto best = [](const std::function<void(int)>& work) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int attempt = 0; attempt < 3; ++attempt) {
            QElapsedTimer timer;
            timer.start();
            work(attempt);
            fastest = std::min(fastest, timer.nsecsElapsed());
        }
        return double(fastest);
    };
    ASSERT_FALSE(Image::named("inside").isNull());
    const double kept = best([](int) {
        for (int i = 0; i < count; ++i)
            Image::named(QStringLiteral("inside"));
    });
    // Names never asked for before, at every attempt.
    const double missing = best([](int attempt) {
        for (int i = 0; i < count; ++i)
            Image::named(QStringLiteral("item %1.%2").arg(attempt).arg(i));
    });
    EXPECT_LT(missing / kept, 16) << missing / kept;
}
