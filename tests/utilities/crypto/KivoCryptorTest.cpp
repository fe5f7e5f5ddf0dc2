#include "CryptoTestSupport.h"

#include "platform/Dispatch.h"
#include "utilities/crypto/CryptoHelper.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/crypto/KivoDecryptor.h"
#include "utilities/crypto/KivoEncryptor.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <atomic>

namespace {

const QString kPassword = QStringLiteral("correct horse");

// Offsets of the password form.
constexpr qsizetype kEncryptionSaltAt = 2;
constexpr qsizetype kHMACSaltAt = 10;
constexpr qsizetype kIVAt = 18;
constexpr qsizetype kCiphertextAt = 34;
constexpr qsizetype kHMACSize = 32;

using cryptotest::randomBytes;

QByteArray openssl(const QStringList& arguments, const QByteArray& input = {})
{
    return cryptotest::tool(QStringLiteral("openssl"), arguments, input);
}

QByteArray opensslPBKDF2(const QByteArray& passwordBytes, const QByteArray& salt)
{
    return openssl({ "kdf", "-keylen", "32", "-kdfopt", "digest:SHA1", "-kdfopt",
        "hexpass:" + passwordBytes.toHex(), "-kdfopt", "hexsalt:" + salt.toHex(), "-kdfopt",
        "iter:10000", "-binary", "PBKDF2" });
}

QByteArray opensslHMAC(const QByteArray& key, const QByteArray& data)
{
    return openssl(
        { "mac", "-digest", "SHA256", "-macopt", "hexkey:" + key.toHex(), "-binary", "HMAC" },
        data);
}

QByteArray opensslAES(
    bool encrypt, const QByteArray& key, const QByteArray& iv, const QByteArray& data)
{
    return openssl(
        { "enc", encrypt ? "-e" : "-d", "-aes-256-cbc", "-K", key.toHex(), "-iv", iv.toHex() },
        data);
}

// A password container put together from the openssl command line alone.
QByteArray opensslContainer(const QByteArray& passwordBytes, const QByteArray& plaintext)
{
    const QByteArray encryptionSalt = QByteArray::fromHex("0102030405060708");
    const QByteArray HMACSalt = QByteArray::fromHex("a1a2a3a4a5a6a7a8");
    const QByteArray iv = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const QByteArray ciphertext
        = opensslAES(true, opensslPBKDF2(passwordBytes, encryptionSalt), iv, plaintext);
    const QByteArray hmac = opensslHMAC(opensslPBKDF2(passwordBytes, HMACSalt), ciphertext);
    return QByteArray::fromHex("0101") + encryptionSalt + HMACSalt + iv + ciphertext + hmac;
}

struct Collected {
    QByteArray data;
    std::atomic<bool> finished { false };
    platform::Error error;
    std::atomic<int> nonEmptyPieces { 0 };
};

KivoCryptor::Handler collectInto(const std::shared_ptr<Collected>& collected)
{
    return [collected](KivoCryptor& cryptor, const QByteArray& piece) {
        collected->data.append(piece);
        if (!piece.isEmpty())
            ++collected->nonEmptyPieces;
        if (cryptor.isFinished()) {
            collected->error = cryptor.error();
            collected->finished = true;
        }
    };
}

void feedInPieces(KivoCryptor& cryptor, const QByteArray& data, qsizetype pieceSize)
{
    for (qsizetype at = 0; at < data.size(); at += pieceSize)
        cryptor.addData(data.mid(at, pieceSize));
    cryptor.finish();
}

std::optional<QByteArray> decrypt(
    const QByteArray& container, platform::Error* error, const QString& password = kPassword)
{
    return KivoDecryptor::decryptData(container, password, error);
}

} // namespace

TEST(KivoCryptor, ContainerMadeHereOpensWithOpensslSteps)
{
    const QByteArray plaintext = randomBytes(1000, 1);
    platform::Error error;
    const auto container
        = KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, kPassword, &error);
    ASSERT_TRUE(container.has_value());
    EXPECT_TRUE(error.isNull());
    ASSERT_EQ(container->size(), 66 + 16 * (1000 / 16 + 1));
    EXPECT_EQ(uint8_t(container->at(0)), 0x01);
    EXPECT_EQ(uint8_t(container->at(1)), 0x01);

    const QByteArray passwordBytes = kPassword.toUtf8();
    const QByteArray encryptionKey
        = opensslPBKDF2(passwordBytes, container->mid(kEncryptionSaltAt, 8));
    const QByteArray HMACKey = opensslPBKDF2(passwordBytes, container->mid(kHMACSaltAt, 8));
    const QByteArray iv = container->mid(kIVAt, 16);
    const QByteArray ciphertext
        = container->mid(kCiphertextAt, container->size() - kCiphertextAt - kHMACSize);
    EXPECT_EQ(opensslHMAC(HMACKey, ciphertext), container->right(kHMACSize));
    EXPECT_EQ(opensslAES(false, encryptionKey, iv, ciphertext), plaintext);
}

TEST(KivoCryptor, ContainerFromOpensslOpensHere)
{
    const QByteArray plaintext = QStringLiteral("Protected row text ✓").toUtf8();
    const QByteArray container = opensslContainer(kPassword.toUtf8(), plaintext);
    platform::Error error;
    EXPECT_EQ(decrypt(container, &error), plaintext);
    EXPECT_TRUE(error.isNull());

    const QString text = *KivoBase64::base64EncodedString(container);
    EXPECT_EQ(CryptoHelper::decrypt(text, kPassword), QString::fromUtf8(plaintext));
}

TEST(KivoCryptor, NonAsciiPasswordUsesAsManyUtf8BytesAsUtf16Units)
{
    const QString password = QStringLiteral("pässwörd€");
    const QByteArray passwordBytes = password.toUtf8().left(password.size());
    ASSERT_LT(passwordBytes.size(), password.toUtf8().size());
    const QByteArray container = opensslContainer(passwordBytes, "secret");
    platform::Error error;
    EXPECT_EQ(decrypt(container, &error, password), QByteArray("secret"));

    const auto made = CryptoHelper::encrypt(QStringLiteral("again"), password);
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(CryptoHelper::decrypt(*made, password), QStringLiteral("again"));
}

TEST(KivoCryptor, EmptyPlaintextMakesEightyTwoBytesAndOpens)
{
    platform::Error error;
    const auto text
        = KivoEncryptor::encryptString({}, KivoCryptorAES256Settings, kPassword, &error);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), 112);
    EXPECT_FALSE(text->contains(QLatin1Char('\n')));
    const auto container = KivoBase64::dataWithBase64EncodedString(*text);
    ASSERT_TRUE(container.has_value());
    EXPECT_EQ(container->size(), 82);
    const auto plaintext = KivoDecryptor::decryptString(*text, kPassword, &error);
    ASSERT_TRUE(plaintext.has_value());
    EXPECT_TRUE(plaintext->isEmpty());
    EXPECT_TRUE(error.isNull());
}

TEST(KivoCryptor, SameInputTwiceGivesDifferentContainers)
{
    const auto first = CryptoHelper::encrypt(QStringLiteral("same"), kPassword);
    const auto second = CryptoHelper::encrypt(QStringLiteral("same"), kPassword);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(CryptoHelper::decrypt(*first, kPassword), QStringLiteral("same"));
    EXPECT_EQ(CryptoHelper::decrypt(*second, kPassword), QStringLiteral("same"));
}

TEST(KivoCryptor, WrongPasswordTruncatedAndFlippedBytesFailWithoutPlaintext)
{
    const QByteArray plaintext = randomBytes(100, 2);
    const QByteArray container
        = *KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, kPassword, nullptr);
    auto expectFailure = [&](const QByteArray& bad, qint64 code, const char* what) {
        platform::Error error;
        EXPECT_FALSE(decrypt(bad, &error).has_value()) << what;
        EXPECT_EQ(error.domain(), QStringLiteral("net.solvane.KivoCryptManager")) << what;
        EXPECT_EQ(error.code(), code) << what;
    };
    auto flipped = [&](qsizetype at) {
        QByteArray bad = container;
        bad[at] = char(bad[at] ^ 0x40);
        return bad;
    };

    {
        platform::Error error;
        EXPECT_FALSE(decrypt(container, &error, QStringLiteral("wrong")).has_value());
        EXPECT_EQ(error.code(), KivoCryptorHMACMismatch);
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("HMAC Mismatch"));
    }
    expectFailure(container.left(container.size() - 1), KivoCryptorHMACMismatch, "truncated");
    expectFailure(container.left(kCiphertextAt + 40), KivoCryptorHMACMismatch, "cut in body");
    expectFailure(flipped(0), KivoCryptorUnknownHeader, "version");
    expectFailure(flipped(kHMACSaltAt + 3), KivoCryptorHMACMismatch, "HMAC salt");
    expectFailure(flipped(kCiphertextAt + 5), KivoCryptorHMACMismatch, "ciphertext");
    expectFailure(flipped(container.size() - 1), KivoCryptorHMACMismatch, "last ciphertext");
    expectFailure(flipped(container.size() - kHMACSize), KivoCryptorHMACMismatch, "HMAC");

    {
        platform::Error error;
        EXPECT_EQ(decrypt(flipped(0), &error), std::nullopt);
        EXPECT_EQ(error.localizedDescription(), QStringLiteral("Unknown header"));
    }
    {
        // The header is not covered by the HMAC: another encryption salt gives another key,
        // which nearly always fails the padding check and never yields the plaintext.
        platform::Error error;
        const auto result = decrypt(flipped(kEncryptionSaltAt + 1), &error);
        EXPECT_NE(result, std::optional<QByteArray>(plaintext));
        if (!result) {
            EXPECT_EQ(error.code(), KivoCryptorEngine::DecodeError);
        }
    }
    {
        // Likewise another IV changes only the first block.
        platform::Error error;
        const auto result = decrypt(flipped(kIVAt), &error);
        ASSERT_TRUE(result.has_value());
        EXPECT_NE(result->left(16), plaintext.left(16));
        EXPECT_EQ(result->mid(16), plaintext.mid(16));
    }
    {
        // Unused option bits are ignored; the password bit is not.
        QByteArray bad = container;
        bad[1] = char(0x03);
        EXPECT_EQ(decrypt(bad, nullptr), plaintext);
        bad[1] = char(0x00);
        platform::Error error;
        EXPECT_FALSE(decrypt(bad, &error).has_value());
        EXPECT_FALSE(error.isNull());
    }
}

TEST(KivoCryptor, EmptyShortAndNonBase64InputAreErrors)
{
    for (const QByteArray& input :
        { QByteArray(), QByteArray("\x01"), QByteArray("\x01\x01", 2), QByteArray(33, '\x01') }) {
        platform::Error error;
        EXPECT_FALSE(decrypt(input, &error).has_value()) << input.size();
        EXPECT_EQ(error.code(), KivoCryptorUnknownHeader) << input.size();
    }
    for (const QString& text :
        { QString(), QStringLiteral(""), QStringLiteral("***"), QStringLiteral("AQ==") }) {
        platform::Error error;
        EXPECT_FALSE(KivoDecryptor::decryptString(text, kPassword, &error).has_value());
        EXPECT_EQ(error.code(), KivoCryptorUnknownHeader);
        EXPECT_EQ(CryptoHelper::decrypt(text, kPassword), std::nullopt);
    }
}

TEST(KivoCryptor, KeyFormWithAndWithoutHMAC)
{
    const QByteArray key = randomBytes(32, 3);
    const QByteArray HMACKey = randomBytes(32, 4);
    const QByteArray plaintext = randomBytes(50, 5);

    const auto withHMAC
        = KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, key, HMACKey, nullptr);
    ASSERT_TRUE(withHMAC.has_value());
    EXPECT_EQ(withHMAC->size(), 18 + 64 + 32);
    EXPECT_EQ(uint8_t(withHMAC->at(1)), 0x00);
    EXPECT_EQ(KivoDecryptor::decryptData(*withHMAC, key, HMACKey, nullptr), plaintext);
    EXPECT_EQ(opensslAES(false, key, withHMAC->mid(2, 16), withHMAC->mid(18, 64)), plaintext);

    const auto bare
        = KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, key, {}, nullptr);
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->size(), 18 + 64);
    EXPECT_EQ(KivoDecryptor::decryptData(*bare, key, {}, nullptr), plaintext);

    platform::Error error;
    EXPECT_FALSE(KivoEncryptor::encryptData(
        plaintext, KivoCryptorAES256Settings, QByteArray(7, 'k'), {}, &error)
                     .has_value());
    EXPECT_EQ(error.code(), KivoCryptorEngine::KeySizeError);

    // A decryptor given keys does not open a password container.
    const QByteArray passwordContainer
        = *KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, kPassword, nullptr);
    EXPECT_FALSE(KivoDecryptor::decryptData(passwordContainer, key, HMACKey, &error).has_value());
    EXPECT_FALSE(error.isNull());
}

TEST(KivoCryptor, ByteAtATimeMatchesWholeAndRunsOnTheMainQueue)
{
    const QByteArray plaintext = randomBytes(200, 6);
    const QByteArray container
        = *KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, kPassword, nullptr);
    auto collected = std::make_shared<Collected>();
    std::atomic<bool> offMain { false };
    auto decryptor = KivoDecryptor::initWithPassword(
        kPassword, [collected, &offMain](KivoCryptor& cryptor, const QByteArray& piece) {
            if (!platform::dispatch::isMainThread())
                offMain = true;
            collectInto(collected)(cryptor, piece);
        });
    feedInPieces(*decryptor, container, 1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return collected->finished.load(); }, 20000));
    EXPECT_TRUE(collected->error.isNull());
    EXPECT_EQ(collected->data, plaintext);
    EXPECT_FALSE(offMain.load());
    // Finished cryptors ignore further calls.
    decryptor->addData("more");
    decryptor->finish();
    testsupport::processEvents(50);
    EXPECT_EQ(collected->data, plaintext);
}

TEST(KivoCryptor, HandlerRunsOnTheGivenResponseQueue)
{
    auto queue = platform::dispatch::SerialQueue::create(QStringLiteral("test.response"));
    auto collected = std::make_shared<Collected>();
    std::atomic<bool> everyCallOnQueue { true };
    auto encryptor = KivoEncryptor::initWithSettings(KivoCryptorAES256Settings, kPassword,
        [collected, queue, &everyCallOnQueue](KivoCryptor& cryptor, const QByteArray& piece) {
            if (!queue->isCurrent())
                everyCallOnQueue = false;
            collectInto(collected)(cryptor, piece);
        });
    encryptor->setResponseQueue(queue);
    feedInPieces(*encryptor, "some text in three pieces", 9);
    ASSERT_TRUE(testsupport::waitUntil([&] { return collected->finished.load(); }, 20000));
    EXPECT_TRUE(everyCallOnQueue.load());
    EXPECT_EQ(decrypt(collected->data, nullptr), QByteArray("some text in three pieces"));
}

TEST(KivoCryptor, TenMegabytesStreamedBothWays)
{
    const QByteArray plaintext = randomBytes(10 * 1024 * 1024, 7);
    constexpr qsizetype kPiece = 64 * 1024;

    auto encrypted = std::make_shared<Collected>();
    auto encryptor = KivoEncryptor::initWithSettings(
        KivoCryptorAES256Settings, kPassword, collectInto(encrypted));
    feedInPieces(*encryptor, plaintext, kPiece);
    ASSERT_TRUE(testsupport::waitUntil([&] { return encrypted->finished.load(); }, 120000));
    ASSERT_TRUE(encrypted->error.isNull());
    const QByteArray container = encrypted->data;
    EXPECT_GT(encrypted->nonEmptyPieces.load(), 100); // output left piece by piece

    // Checked by openssl, not by ourselves.
    const QByteArray passwordBytes = kPassword.toUtf8();
    const QByteArray ciphertext
        = container.mid(kCiphertextAt, container.size() - kCiphertextAt - kHMACSize);
    EXPECT_EQ(opensslHMAC(opensslPBKDF2(passwordBytes, container.mid(kHMACSaltAt, 8)), ciphertext),
        container.right(kHMACSize));
    EXPECT_TRUE(opensslAES(false, opensslPBKDF2(passwordBytes, container.mid(kEncryptionSaltAt, 8)),
                    container.mid(kIVAt, 16), ciphertext)
        == plaintext);

    auto decrypted = std::make_shared<Collected>();
    auto decryptor = KivoDecryptor::initWithPassword(kPassword, collectInto(decrypted));
    feedInPieces(*decryptor, container, kPiece);
    ASSERT_TRUE(testsupport::waitUntil([&] { return decrypted->finished.load(); }, 120000));
    EXPECT_TRUE(decrypted->error.isNull());
    EXPECT_TRUE(decrypted->data == plaintext);

    // One altered byte near the end: the HMAC check fails before any plaintext appears.
    QByteArray bad = container;
    bad[bad.size() - 100] = char(bad[bad.size() - 100] ^ 1);
    auto rejected = std::make_shared<Collected>();
    auto checker = KivoDecryptor::initWithPassword(kPassword, collectInto(rejected));
    feedInPieces(*checker, bad, kPiece);
    ASSERT_TRUE(testsupport::waitUntil([&] { return rejected->finished.load(); }, 120000));
    EXPECT_EQ(rejected->error.code(), KivoCryptorHMACMismatch);
    EXPECT_EQ(rejected->nonEmptyPieces.load(), 0);
}

// Pieces of a megabyte and more are authenticated on another thread while the cipher
// runs: the bytes are the same as one pass after the other makes.
TEST(KivoCryptor, BigPiecesAuthenticatedAlongsideTheCipherGiveTheSameContainer)
{
    const QByteArray plaintext = randomBytes(3 * 1024 * 1024 + 5, 9);
    platform::Error error;
    const auto container
        = KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, kPassword, &error);
    ASSERT_TRUE(container.has_value());
    EXPECT_TRUE(error.isNull());
    const QByteArray passwordBytes = kPassword.toUtf8();
    const QByteArray ciphertext
        = container->mid(kCiphertextAt, container->size() - kCiphertextAt - kHMACSize);
    EXPECT_EQ(ciphertext.size(), (plaintext.size() / 16 + 1) * 16);
    EXPECT_EQ(opensslHMAC(opensslPBKDF2(passwordBytes, container->mid(kHMACSaltAt, 8)), ciphertext),
        container->right(kHMACSize));
    EXPECT_TRUE(
        opensslAES(false, opensslPBKDF2(passwordBytes, container->mid(kEncryptionSaltAt, 8)),
            container->mid(kIVAt, 16), ciphertext)
        == plaintext);

    // Whole, and in pieces big and small by turns.
    EXPECT_TRUE(decrypt(*container, &error) == plaintext);
    EXPECT_TRUE(error.isNull());
    auto decrypted = std::make_shared<Collected>();
    auto decryptor = KivoDecryptor::initWithPassword(kPassword, collectInto(decrypted));
    for (qsizetype at = 0, turn = 0; at < container->size(); ++turn) {
        const qsizetype piece = turn % 2 ? 1000 : 3 * 512 * 1024;
        decryptor->addData(container->mid(at, piece));
        at += piece;
    }
    decryptor->finish();
    ASSERT_TRUE(testsupport::waitUntil([&] { return decrypted->finished.load(); }, 120000));
    EXPECT_TRUE(decrypted->error.isNull());
    EXPECT_TRUE(decrypted->data == plaintext);

    // A byte altered in the middle, or a wrong password: no plaintext at all.
    QByteArray bad = *container;
    bad[bad.size() / 2] = char(bad[bad.size() / 2] ^ 1);
    for (const auto& [input, password] :
        { std::pair(bad, kPassword), std::pair(*container, QStringLiteral("wrong")) }) {
        auto rejected = std::make_shared<Collected>();
        auto checker = KivoDecryptor::initWithPassword(password, collectInto(rejected));
        checker->addData(input);
        checker->finish();
        ASSERT_TRUE(testsupport::waitUntil([&] { return rejected->finished.load(); }, 120000));
        EXPECT_EQ(rejected->error.code(), KivoCryptorHMACMismatch);
        EXPECT_EQ(rejected->nonEmptyPieces.load(), 0);
    }

    // Without an HMAC key the big piece is only encrypted.
    const QByteArray key(32, '\x21');
    const auto bare
        = KivoEncryptor::encryptData(plaintext, KivoCryptorAES256Settings, key, {}, &error);
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(KivoDecryptor::decryptData(*bare, key, {}, &error) == plaintext);
}

TEST(KivoCryptor, ManySynchronousRunsFromPoolThreadsAllFinish)
{
    // Each run waits for its result; none may wait on a pool thread that is never freed.
    constexpr int kRuns = 24;
    std::atomic<int> good { 0 };
    platform::dispatch::Group group;
    for (int i = 0; i < kRuns; ++i) {
        group.enter();
        platform::dispatch::asyncGlobal([&good, &group, i] {
            const QString text = QStringLiteral("row %1").arg(i);
            const auto sealed = CryptoHelper::encrypt(text, kPassword);
            if (sealed && CryptoHelper::decrypt(*sealed, kPassword) == text)
                ++good;
            group.leave();
        });
    }
    group.wait();
    EXPECT_EQ(good.load(), kRuns);
}
