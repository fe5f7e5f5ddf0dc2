#include "platform/net/HttpAnswerReader.h"

#include <gtest/gtest.h>

using platform::net::HttpAnswerReader;
using State = HttpAnswerReader::State;

namespace {

constexpr qint64 Unlimited = 1 << 20;

// Feeds the answer a byte at a time, as a slow connection would deliver it.
HttpAnswerReader readByteByByte(const QByteArray& answer, qint64 maxBodyBytes = Unlimited)
{
    HttpAnswerReader reader(maxBodyBytes);
    for (char c : answer)
        reader.feed(QByteArrayView(&c, 1));
    return reader;
}

const QByteArray chunkedAnswer = "HTTP/1.1 200 OK\r\n"
                                 "Content-Type: application/json\r\n"
                                 "Transfer-Encoding: chunked\r\n"
                                 "\r\n"
                                 "5;name=value\r\n"
                                 "[1,2,\r\n"
                                 "A\r\n"
                                 "3,4,5,6,7]\r\n"
                                 "0\r\n"
                                 "Expires: never\r\n"
                                 "\r\n";

const QByteArray lengthAnswer = "HTTP/1.1 200 OK\r\n"
                                "Content-Length: 10\r\n"
                                "\r\n"
                                "[1,2,3,45]";

} // namespace

TEST(HttpAnswerReader, ReadsChunksWithExtensionsAndTrailersHoweverTheyArrive)
{
    HttpAnswerReader atOnce(Unlimited);
    atOnce.feed(chunkedAnswer);
    for (const HttpAnswerReader& reader : { atOnce, readByteByByte(chunkedAnswer) }) {
        ASSERT_EQ(reader.state(), State::Complete) << qPrintable(reader.error());
        EXPECT_EQ(reader.status(), 200);
        EXPECT_EQ(reader.body(), QByteArray("[1,2,3,4,5,6,7]"));
        EXPECT_EQ(reader.header("content-type"), QByteArray("application/json"));
    }
}

// Every answer that stops before its framing says it is whole is cut short, wherever it
// stops: in the headers, in a chunk's size, data or line break, or before the last chunk.
TEST(HttpAnswerReader, AnAnswerStoppedAnywhereBeforeItsEndIsCutShort)
{
    for (const QByteArray& answer : { chunkedAnswer, lengthAnswer }) {
        for (qsizetype end = 0; end < answer.size(); ++end) {
            HttpAnswerReader reader(Unlimited);
            reader.feed(answer.left(end));
            EXPECT_EQ(reader.state(), State::Reading) << end;
            EXPECT_EQ(reader.endOfInput(), State::Failed) << end;
            EXPECT_EQ(reader.error(), HttpAnswerReader::cutShortText()) << end;
            EXPECT_TRUE(reader.body().isEmpty()) << end;
        }
        HttpAnswerReader reader(Unlimited);
        EXPECT_EQ(reader.feed(answer), State::Complete);
        EXPECT_EQ(reader.endOfInput(), State::Complete);
    }
}

TEST(HttpAnswerReader, FramesTheBodyAsTheProtocolSays)
{
    // Without a length or chunks, the end of the connection ends the body.
    HttpAnswerReader toEnd(Unlimited);
    toEnd.feed("HTTP/1.0 200 OK\r\n\r\nabc");
    EXPECT_EQ(toEnd.state(), State::Reading);
    toEnd.feed("def");
    EXPECT_EQ(toEnd.endOfInput(), State::Complete);
    EXPECT_EQ(toEnd.body(), QByteArray("abcdef"));

    // Chunks frame the body even where a length is also given.
    HttpAnswerReader both(Unlimited);
    both.feed("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n"
              "3\r\nabc\r\n");
    EXPECT_EQ(both.state(), State::Reading);
    both.feed("0\r\n\r\n");
    EXPECT_EQ(both.state(), State::Complete);

    // Interim answers are skipped; what follows a whole answer is not part of it.
    HttpAnswerReader interim(Unlimited);
    interim.feed("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\n"
                 "{}garbage");
    EXPECT_EQ(interim.state(), State::Complete);
    EXPECT_EQ(interim.status(), 201);
    EXPECT_EQ(interim.body(), QByteArray("{}"));

    HttpAnswerReader noContent(Unlimited);
    EXPECT_EQ(noContent.feed("HTTP/1.1 204 No Content\r\n\r\n"), State::Complete);
}

TEST(HttpAnswerReader, RefusesWhatItCannotFrameOrIsTooLarge)
{
    for (const QByteArray& answer : {
             QByteArray("SMTP ready\r\n\r\n"),
             QByteArray("HTTP/1.1 2000 OK\r\n\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nno colon\r\n\r\n"),
             QByteArray("HTTP/1.1 200 OK\r\nX: ") + QByteArray(20000, 'v'),
         }) {
        HttpAnswerReader reader(Unlimited);
        EXPECT_EQ(reader.feed(answer), State::Failed) << answer.left(60).constData();
        EXPECT_TRUE(reader.error().contains(QStringLiteral("not valid HTTP")))
            << qPrintable(reader.error());
        EXPECT_EQ(reader.endOfInput(), State::Failed);
    }

    // Too large as promised, as chunked, and as read to the end: refused as soon as known.
    HttpAnswerReader promised(100);
    EXPECT_EQ(promised.feed("HTTP/1.1 200 OK\r\nContent-Length: 101\r\n\r\n"), State::Failed);
    EXPECT_EQ(promised.error(), HttpAnswerReader::tooLargeText(100));
    HttpAnswerReader chunked(100);
    EXPECT_EQ(chunked.feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "40\r\n"
                  + QByteArray(64, 'a') + "\r\n40\r\n"),
        State::Failed);
    HttpAnswerReader toEnd(100);
    toEnd.feed("HTTP/1.1 200 OK\r\n\r\n" + QByteArray(100, 'b'));
    EXPECT_EQ(toEnd.state(), State::Reading);
    EXPECT_EQ(toEnd.feed("c"), State::Failed);
    EXPECT_TRUE(toEnd.body().isEmpty());
}
