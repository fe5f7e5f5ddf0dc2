#include "CryptoTestSupport.h"

#include "utilities/crypto/CryptoHelper.h"
#include "utilities/crypto/KivoAES256.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/crypto/KivoMD5.h"
#include "utilities/crypto/StringEncryption.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using cryptotest::randomBytes;
using cryptotest::tool;

QByteArray rowKeyHex(const QString& key)
{
    QByteArray bytes = key.toUtf8();
    bytes.append(QByteArray(32 - bytes.size(), '\0'));
    return bytes.toHex();
}

const QByteArray kZeroIV = QByteArray(16, '\0').toHex();

} // namespace

TEST(CryptoHelper, EncryptsToOneLineAndBackWithEitherPassword)
{
    const QString text = QStringLiteral("Qx7pLm2#Vt9rKd ünïcödé");
    const auto sealed = CryptoHelper::encrypt(text, QStringLiteral("table password"));
    ASSERT_TRUE(sealed.has_value());
    EXPECT_FALSE(sealed->contains(QLatin1Char('\n')));
    EXPECT_EQ(CryptoHelper::decrypt(*sealed, QStringLiteral("table password")), text);
    EXPECT_EQ(CryptoHelper::decrypt(*sealed, QStringLiteral("other")), std::nullopt);

    const auto builtIn = CryptoHelper::encrypt(QStringLiteral("server secret"));
    ASSERT_TRUE(builtIn.has_value());
    EXPECT_EQ(CryptoHelper::decrypt(*builtIn), QStringLiteral("server secret"));
    EXPECT_EQ(CryptoHelper::decrypt(*builtIn, QStringLiteral("Wq7LtVr2mKx9PbZ")),
        QStringLiteral("server secret"));
}

TEST(KivoAES256, RowTextMatchesOpensslAndOpensBothWays)
{
    const QString key = QStringLiteral("pässword");
    for (qsizetype length : { 0, 1, 15, 16, 17, 1000 }) {
        const QByteArray plain = randomBytes(length, quint32(length) + 1);
        const auto ours = KivoAES256::AES256EncryptWithKey(plain, key);
        ASSERT_TRUE(ours.has_value());
        const QByteArray theirs = tool(QStringLiteral("openssl"),
            { "enc", "-aes-256-cbc", "-K", rowKeyHex(key), "-iv", kZeroIV }, plain);
        EXPECT_EQ(*ours, theirs) << length;
        EXPECT_EQ(KivoAES256::AES256DecryptWithKey(theirs, key), plain) << length;
    }

    const QString row = QStringLiteral("{\n  \"A1\" : \"Ärger\"\n}");
    const auto text = KivoAES256::AES256EncryptWithKey(row, key);
    ASSERT_TRUE(text.has_value());
    const qsizetype m = 16 * (row.toUtf8().size() / 16 + 1);
    EXPECT_EQ(text->size(), 4 * ((m + 2) / 3));
    EXPECT_EQ(KivoAES256::AES256DecryptWithKey(*text, key), row);
}

TEST(KivoAES256, WrongKeyGivesEmptyTextAndOverlongKeyFails)
{
    const auto text
        = KivoAES256::AES256EncryptWithKey(QStringLiteral("a row"), QStringLiteral("k1"));
    ASSERT_TRUE(text.has_value());
    const auto wrong = KivoAES256::AES256DecryptWithKey(*text, QStringLiteral("k2"));
    // Another key nearly always breaks the padding (empty text); it never gives the row back.
    EXPECT_NE(wrong, std::optional<QString>(QStringLiteral("a row")));
    EXPECT_EQ(KivoAES256::AES256DecryptWithKey(
                  QStringLiteral("not base64 at all!"), QStringLiteral("k1")),
        QString());

    const QString tooLong(33, QLatin1Char('x'));
    EXPECT_FALSE(KivoAES256::AES256EncryptWithKey(QByteArray("data"), tooLong).has_value());
    const QString longest(32, QLatin1Char('x'));
    const auto fits = KivoAES256::AES256EncryptWithKey(QStringLiteral("data"), longest);
    ASSERT_TRUE(fits.has_value());
    EXPECT_EQ(KivoAES256::AES256DecryptWithKey(*fits, longest), QStringLiteral("data"));
}

TEST(KivoAES256, EveryMessageStartsAfreshWhateverCameBeforeOnItsThread)
{
    const QString key = QStringLiteral("pässword");
    const QByteArray plain = randomBytes(100, 7);
    const QByteArray theirs = tool(QStringLiteral("openssl"),
        { "enc", "-aes-256-cbc", "-K", rowKeyHex(key), "-iv", kZeroIV }, plain);
    const auto check = [&] {
        return KivoAES256::AES256EncryptWithKey(plain, key) == theirs
            && KivoAES256::AES256DecryptWithKey(theirs, key) == plain;
    };
    // The same message again, after a failure midway (wrong key, cut text), after another
    // key: always what a fresh cipher gives.
    EXPECT_TRUE(check());
    EXPECT_TRUE(check());
    EXPECT_NE(KivoAES256::AES256DecryptWithKey(theirs, QStringLiteral("other")), plain);
    EXPECT_FALSE(KivoAES256::AES256DecryptWithKey(theirs.left(17), key).has_value());
    EXPECT_TRUE(check());
    ASSERT_TRUE(KivoAES256::AES256EncryptWithKey(plain, QStringLiteral("k2")).has_value());
    EXPECT_TRUE(check());

    // Threads at once, each with keys taking turns.
    std::atomic<int> wrong { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const QString own = QStringLiteral("key %1").arg(t);
            for (int i = 0; i < 50; ++i) {
                const auto sealed = KivoAES256::AES256EncryptWithKey(plain, own);
                if (!check() || !sealed || KivoAES256::AES256DecryptWithKey(*sealed, own) != plain)
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(KivoBase64, MatchesBase64ToolWithAndWithoutLineBreaks)
{
    for (qsizetype length : { 1, 2, 3, 4, 47, 48, 49, 57, 114, 1000 }) {
        const QByteArray data = randomBytes(length, quint32(length) + 100);
        const QByteArray plain = tool(QStringLiteral("base64"), { "-w", "0" }, data);
        EXPECT_EQ(KivoBase64::base64EncodedString(data), QString::fromLatin1(plain)) << length;

        // The tool ends every line, the last one too; we end only lines filled by a group.
        QString wrapped = QString::fromLatin1(tool(QStringLiteral("base64"), { "-w", "64" }, data));
        wrapped.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        if (plain.size() % 64 != 0 || plain.endsWith('='))
            wrapped.chop(2);
        EXPECT_EQ(KivoBase64::base64EncodedStringWithWrapWidth(data, 64), wrapped) << length;
        EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(wrapped), data) << length;
    }
}

TEST(KivoBase64, CharactersOutsideTheAlphabetAreSkippedWhereverTheyStand)
{
    QRandomGenerator random(11);
    const QString junk = QStringLiteral(" \r\n\t=*-\u00ff\u20ac");
    for (qsizetype length : { 3, 4, 5, 100, 1000 }) {
        const QByteArray data = randomBytes(length, quint32(length));
        const QString clean = *KivoBase64::base64EncodedString(data);
        QString noisy;
        for (QChar c : clean) {
            while (random.bounded(4) == 0)
                noisy += junk.at(random.bounded(int(junk.size())));
            noisy += c;
        }
        EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(noisy), data) << length;
    }
}

TEST(KivoBase64, WidthsAndLenientDecoding)
{
    const QByteArray data("abcdefghijkl");
    EXPECT_EQ(
        KivoBase64::base64EncodedStringWithWrapWidth(data, 3), QStringLiteral("YWJjZGVmZ2hpamts"));
    EXPECT_EQ(KivoBase64::base64EncodedStringWithWrapWidth(data, 4),
        QStringLiteral("YWJj\r\nZGVm\r\nZ2hp\r\namts\r\n"));
    EXPECT_EQ(KivoBase64::base64EncodedStringWithWrapWidth(data, 5),
        KivoBase64::base64EncodedStringWithWrapWidth(data, 4));
    EXPECT_EQ(KivoBase64::base64EncodedString(QByteArray()), std::nullopt);

    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("YW Jj\r\nZG=Vm==")),
        QByteArray("abcdef"));
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("YQ")), QByteArray("a"));
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("YWI")), QByteArray("ab"));
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("Y")), std::nullopt);
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QString()), std::nullopt);
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("*** ==\n")), std::nullopt);
    EXPECT_EQ(KivoBase64::dataWithBase64EncodedString(QStringLiteral("ÿYWJj")), QByteArray("abc"));

    EXPECT_EQ(
        KivoBase64::base64EncodedString(QStringLiteral("Grüße")), QStringLiteral("R3LDvMOfZQ=="));
    EXPECT_EQ(
        KivoBase64::base64DecodedString(QStringLiteral("R3LDvMOfZQ==")), QStringLiteral("Grüße"));
    EXPECT_EQ(KivoBase64::base64DecodedString(QStringLiteral("/w==")), std::nullopt); // not UTF-8
}

TEST(KivoMD5, MatchesMd5sum)
{
    for (const QString& text : { QString(), QStringLiteral("hello"), QStringLiteral("grüße €") }) {
        const QByteArray expected = tool(QStringLiteral("md5sum"), {}, text.toUtf8()).left(32);
        EXPECT_EQ(KivoMD5::MD5(text), QString::fromLatin1(expected));
        EXPECT_EQ(StringEncryption().md5data(text), expected.toUpper());
    }
    // Bytes after a zero are not part of the digest.
    EXPECT_EQ(KivoMD5::MD5(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")),
        KivoMD5::MD5(QStringLiteral("abc")));
}

TEST(StringEncryption, PasswordIsTheKeysFirstSixteenCharacters)
{
    const QString longKey = QStringLiteral("0123456789abcdefEXTRA");
    const auto sealed = StringEncryption::EncryptString(QStringLiteral("pw"), longKey);
    ASSERT_TRUE(sealed.has_value());
    EXPECT_EQ(
        CryptoHelper::decrypt(*sealed, QStringLiteral("0123456789abcdef")), QStringLiteral("pw"));
    const auto shortKeyed
        = StringEncryption::EncryptString(QStringLiteral("pw"), QStringLiteral("short"));
    EXPECT_EQ(CryptoHelper::decrypt(*shortKeyed, QStringLiteral("short")), QStringLiteral("pw"));
}

TEST(StringEncryption, RawCipherChoosesPaddingByLengthAndMatchesOpenssl)
{
    StringEncryption encryption;
    const QByteArray key("0123456789abcdefIGNORED");
    const QByteArray keyHex = key.left(16).toHex();

    uint32_t padding = 1;
    const QByteArray whole(32, 'w');
    const auto unpadded = encryption.encrypt(whole, key, &padding);
    EXPECT_EQ(padding, 0u);
    ASSERT_TRUE(unpadded.has_value());
    EXPECT_EQ(*unpadded,
        tool(QStringLiteral("openssl"),
            { "enc", "-aes-128-cbc", "-nopad", "-K", keyHex, "-iv", kZeroIV }, whole));

    const QByteArray odd("seventeen bytes!!");
    const auto padded = encryption.encrypt(odd, key, &padding);
    EXPECT_EQ(padding, 1u);
    ASSERT_TRUE(padded.has_value());
    EXPECT_EQ(*padded,
        tool(QStringLiteral("openssl"), { "enc", "-aes-128-cbc", "-K", keyHex, "-iv", kZeroIV },
            odd));
    EXPECT_EQ(encryption.decrypt(*padded, key, &padding), odd);

    EXPECT_FALSE(encryption.encrypt(odd, QByteArray("short"), &padding).has_value());
    EXPECT_EQ(
        StringEncryption::DecryptString(QStringLiteral("not a multiple of 16"), key), std::nullopt);
}
