#include "bridge/BridgeCaller.h"
#include "common/FixtureHttpServer.h"
#include "common/TestSupport.h"

#include <QVariantList>
#include <gtest/gtest.h>

namespace {

struct Received {
    int calls = 0;
    QVariant json;
    QString failure;
};

Received fetch(const QUrl& url)
{
    Received received;
    BridgeCaller::SimpleJSONGet(url, [&](const QVariant& json, const QString& failure) {
        ++received.calls;
        received.json = json;
        received.failure = failure;
    });
    testsupport::waitUntil([&] { return received.calls > 0; });
    return received;
}

} // namespace

TEST(BridgeCaller, SimpleJSONGetGivesTheJSONOrAnEmptyArrayAndTheReason)
{
    FixtureHttpServer server;
    server.serve(QStringLiteral("/t"), FixtureReply::json(R"([{"name":"Books"}])"));
    server.serve(QStringLiteral("/html"), FixtureReply::text("<p>maintenance</p>"));
    server.serve(QStringLiteral("/fail"), FixtureReply::json("{}", 500));

    const Received good = fetch(server.url(QStringLiteral("/t")));
    EXPECT_EQ(good.calls, 1);
    EXPECT_TRUE(good.failure.isEmpty());
    EXPECT_EQ(good.json.toList().value(0).toMap().value(QStringLiteral("name")).toString(),
        QStringLiteral("Books"));

    for (const QString& path : { QStringLiteral("/html"), QStringLiteral("/fail") }) {
        const Received bad = fetch(server.url(path));
        EXPECT_EQ(bad.calls, 1) << qPrintable(path);
        EXPECT_EQ(bad.json.typeId(), QMetaType::QVariantList) << qPrintable(path);
        EXPECT_TRUE(bad.json.toList().isEmpty()) << qPrintable(path);
        EXPECT_FALSE(bad.failure.isEmpty()) << qPrintable(path);
    }
}
