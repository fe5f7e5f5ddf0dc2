#include "platform/net/HttpClient.h"
#include "common/FixtureHttpServer.h"
#include "common/TestSupport.h"

#include <QVariantMap>
#include <gtest/gtest.h>

#include <optional>

using platform::net::HttpClient;
using platform::net::HttpRequestOptions;
using platform::net::HttpResponse;

namespace {

struct Outcome {
    int calls = 0;
    HttpResponse response;
};

// Starts a GET and waits until its completion has been called.
Outcome get(HttpClient& client, const QUrl& url, const HttpRequestOptions& options = {})
{
    Outcome outcome;
    client.get(
        url,
        [&](const HttpResponse& response) {
            ++outcome.calls;
            outcome.response = response;
        },
        options);
    testsupport::waitUntil([&] { return outcome.calls > 0; }, 10000);
    testsupport::processEvents(20); // a second call would show here
    return outcome;
}

} // namespace

TEST(HttpClient, GetsAndPostsJSON)
{
    FixtureHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.serve(QStringLiteral("/list"), FixtureReply::json(R"([{"a":1},{"a":"é"}])"));
    server.route(QStringLiteral("/echo"),
        [](const FixtureRequest& request) { return FixtureReply::json(request.body); });
    HttpClient client;

    const Outcome list = get(client, server.url(QStringLiteral("/list?x=1")));
    EXPECT_EQ(list.calls, 1);
    ASSERT_TRUE(list.response.ok) << qPrintable(list.response.error);
    EXPECT_EQ(list.response.status, 200);
    const QVariantList items = list.response.json().toList();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[1].toMap().value(QStringLiteral("a")).toString(), QStringLiteral("é"));
    EXPECT_EQ(server.requests().value(0).query, QStringLiteral("x=1"));

    Outcome posted;
    client.postJSON(
        server.url(QStringLiteral("/echo")), R"({"Id":"7"})", [&](const HttpResponse& response) {
            ++posted.calls;
            posted.response = response;
        });
    ASSERT_TRUE(testsupport::waitUntil([&] { return posted.calls > 0; }));
    EXPECT_TRUE(posted.response.ok);
    EXPECT_EQ(
        posted.response.json().toMap().value(QStringLiteral("Id")).toString(), QStringLiteral("7"));
    EXPECT_EQ(server.requests().value(1).method, QByteArray("POST"));
    EXPECT_EQ(
        server.requests().value(1).headers.value("content-type"), QByteArray("application/json"));
    EXPECT_EQ(client.pendingCount(), 0);
}

TEST(HttpClient, EveryFailureEndsOnceWithAReason)
{
    FixtureHttpServer server;
    server.serve(QStringLiteral("/text"), FixtureReply::text("<html>no</html>"));
    server.serve(QStringLiteral("/stall"), FixtureReply::stall());
    server.serve(QStringLiteral("/cut"), FixtureReply::cut(QByteArray(200000, 'x')));
    server.serve(QStringLiteral("/big"), FixtureReply::json(QByteArray(300000, ' ') + "[]"));
    FixtureReply closing;
    closing.behaviour = FixtureReply::Close;
    server.serve(QStringLiteral("/close"), closing);
    HttpClient client;

    const Outcome missing = get(client, server.url(QStringLiteral("/nothing")));
    EXPECT_EQ(missing.calls, 1);
    EXPECT_FALSE(missing.response.ok);
    EXPECT_EQ(missing.response.status, 404);
    EXPECT_TRUE(missing.response.error.contains(QStringLiteral("404")))
        << qPrintable(missing.response.error);

    const Outcome text = get(client, server.url(QStringLiteral("/text")));
    ASSERT_TRUE(text.response.ok);
    QString why;
    EXPECT_FALSE(text.response.json(&why).isValid());
    EXPECT_TRUE(why.contains(QStringLiteral("not JSON"))) << qPrintable(why);

    HttpRequestOptions quick;
    quick.timeoutMs = 300;
    const Outcome stalled = get(client, server.url(QStringLiteral("/stall")), quick);
    EXPECT_EQ(stalled.calls, 1);
    EXPECT_TRUE(
        stalled.response.error.contains(QStringLiteral("did not answer within 0.3 seconds")))
        << qPrintable(stalled.response.error);

    const Outcome cut = get(client, server.url(QStringLiteral("/cut")));
    EXPECT_EQ(cut.calls, 1);
    EXPECT_FALSE(cut.response.ok);
    EXPECT_FALSE(cut.response.error.isEmpty());
    EXPECT_TRUE(cut.response.body.isEmpty());

    const Outcome closed = get(client, server.url(QStringLiteral("/close")));
    EXPECT_EQ(closed.calls, 1);
    EXPECT_FALSE(closed.response.ok);
    EXPECT_FALSE(closed.response.error.isEmpty());

    HttpRequestOptions small;
    small.maxBodyBytes = 100000;
    const Outcome big = get(client, server.url(QStringLiteral("/big")), small);
    EXPECT_EQ(big.calls, 1);
    EXPECT_TRUE(big.response.error.contains(QStringLiteral("larger than")))
        << qPrintable(big.response.error);

    server.stop();
    const Outcome down = get(client, server.url(QStringLiteral("/text")));
    EXPECT_EQ(down.calls, 1);
    EXPECT_TRUE(down.response.error.startsWith(QStringLiteral("The server could not be reached")))
        << qPrintable(down.response.error);
    EXPECT_EQ(client.pendingCount(), 0);
}

TEST(HttpClient, RefusesOtherSchemesAndAnswersLater)
{
    HttpClient client;
    for (const char* address :
        { "file:///etc/passwd", "ftp://example.org/x", "qrc:/x.json", "http://" }) {
        int calls = 0;
        QString error;
        client.get(QUrl(QString::fromLatin1(address)), [&](const HttpResponse& response) {
            ++calls;
            error = response.error;
        });
        EXPECT_EQ(calls, 0) << address; // never inside the call that started it
        ASSERT_TRUE(testsupport::waitUntil([&] { return calls > 0; })) << address;
        EXPECT_FALSE(error.isEmpty()) << address;
    }
}

TEST(HttpClient, CancelledOrDestroyedRequestsCallNothing)
{
    FixtureHttpServer server;
    server.serve(QStringLiteral("/stall"), FixtureReply::stall());
    server.serve(QStringLiteral("/ok"), FixtureReply::json("[]"));
    int calls = 0;
    {
        HttpClient client;
        const quint64 id
            = client.get(server.url(QStringLiteral("/ok")), [&](const HttpResponse&) { ++calls; });
        client.cancel(id);
        client.get(server.url(QStringLiteral("/stall")), [&](const HttpResponse&) { ++calls; });
        testsupport::processEvents(200);
        EXPECT_EQ(client.pendingCount(), 1);
    }
    testsupport::processEvents(200);
    EXPECT_EQ(calls, 0);
}
