// One compiled template rendered from several threads at once.
#include "MustacheTestSupport.h"

#include <QThreadPool>

#include <atomic>
#include <thread>
#include <vector>

TEST(MustacheThreads, LocalizedSectionsOnFourThreadsNeverMix)
{
    QVariantList people;
    for (int i = 0; i < 200; ++i)
        people << QVariantMap { { "name", QStringLiteral("P%1<").arg(i) }, { "age", i } };
    auto compiled = MustacheTemplate::templateFromString(
        "{{#people}}{{#localize}}Name {{name}} aged {{age}}{{/localize}};{{/people}}", nullptr);
    ASSERT_TRUE(compiled);
    const QVariantMap data { { "people", people } };
    const QString expected = compiled->renderObject(data, nullptr).value();
    ASSERT_TRUE(expected.startsWith("Name P0&lt; aged 0;Name P1&lt; aged 1;"));

    std::atomic<int> ready { 0 };
    std::atomic<int> mismatches { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            ++ready;
            while (ready < 4) { }
            for (int round = 0; round < 25; ++round)
                if (compiled->renderObject(data, nullptr).value_or(QString()) != expected)
                    ++mismatches;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}
