#include "screens/LinkOpener.h"
#include "platform/ui/Application.h"

#include <QList>
#include <gtest/gtest.h>

TEST(LinkOpener, OnlyWebAddressesOpenAndOnlyBareOnesGetHttp)
{
    EXPECT_EQ(LinkOpener::linkAddress("example.com/a"), QUrl("http://example.com/a"));
    EXPECT_EQ(LinkOpener::linkAddress(" example.com:8080/x "), QUrl("http://example.com:8080/x"));
    EXPECT_EQ(
        LinkOpener::linkAddress("https://secure.example.com"), QUrl("https://secure.example.com"));
    EXPECT_EQ(LinkOpener::linkAddress("HTTPS://Secure.example.com/P").scheme(), "https");
    EXPECT_FALSE(LinkOpener::linkAddress("").isValid());

    QList<QUrl> opened;
    platform::ui::Application::shared().setOpenURLHandler([&](const QUrl& url) {
        opened << url;
        return true;
    });
    EXPECT_TRUE(LinkOpener::openLink("https://secure.example.com/page"));
    EXPECT_TRUE(LinkOpener::openLink("HTTP://Example.com"));
    EXPECT_TRUE(LinkOpener::openLink("example.com"));
    EXPECT_FALSE(LinkOpener::openLink("javascript:alert(1)"));
    EXPECT_FALSE(LinkOpener::openLink("mailto:ann@example.com"));
    EXPECT_FALSE(LinkOpener::openLink("file:///etc/passwd"));
    EXPECT_FALSE(LinkOpener::openLink("   "));
    platform::ui::Application::shared().setOpenURLHandler({});
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], QUrl("https://secure.example.com/page"));
    EXPECT_EQ(opened[2], QUrl("http://example.com"));
}
