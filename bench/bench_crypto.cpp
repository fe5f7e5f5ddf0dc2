// Row encryption and the encrypted container against `openssl enc` on the same bytes.
//
// Each case runs ours in process and the openssl command line over the same input written
// to a file; the openssl figure includes starting the process, as a caller of the command
// would see it. The container's reference also derives both keys and computes the HMAC
// with openssl, the work the container does besides the cipher. Ratios below 1 mean we are
// faster.

#include "utilities/crypto/KivoAES256.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/crypto/KivoDecryptor.h"
#include "utilities/crypto/KivoEncryptor.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "TimingReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr int kRows = 10000;
constexpr int kRowSize = 1024;
constexpr qsizetype kContainerSize = 10 * 1024 * 1024;
const QString kRowKey = QStringLiteral("table password");
const QString kPassword = QStringLiteral("correct horse");

struct Data {
    QTemporaryDir dir;
    QStringList rows; // 10,000 row texts of 1 KB
    QStringList encryptedRows; // the same, as our helper stores them
    QByteArray rowBytes; // all rows, one after another
    QByteArray rowCiphertextBase64; // openssl's encryption of rowBytes, one Base64 line
    QByteArray bulk; // 10 MB
    QByteArray container; // the bulk in our container
    QByteArray rowKeyHex;
    QByteArray iv = QByteArray(16, '\0').toHex();
    QByteArray bulkKeyHex = QByteArray(32, '\x5a').toHex();
    QByteArray bulkCiphertext;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

QString printable(int length, QRandomGenerator& generator)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += QChar(u'a' + char16_t(generator.bounded(26)));
    return text;
}

void runShell(const QString& command)
{
    if (std::system(command.toLocal8Bit().constData()) != 0)
        std::abort();
}

const Data& data()
{
    static const Data* prepared = [] {
        auto* d = new Data;
        QRandomGenerator generator(42);
        for (int i = 0; i < kRows; ++i) {
            d->rows.append(printable(kRowSize, generator));
            d->rowBytes.append(d->rows.last().toUtf8());
            d->encryptedRows.append(*KivoAES256::AES256EncryptWithKey(d->rows.last(), kRowKey));
        }
        QByteArray key = kRowKey.toUtf8();
        key.append(QByteArray(32 - key.size(), '\0'));
        d->rowKeyHex = key.toHex();
        writeFile(d->path("rows"), d->rowBytes);
        runShell(QStringLiteral("openssl enc -aes-256-cbc -a -A -K %1 -iv %2 -in %3 -out %4")
                     .arg(QString::fromLatin1(d->rowKeyHex), QString::fromLatin1(d->iv),
                         d->path("rows"), d->path("rows.b64")));
        d->rowCiphertextBase64 = readFile(d->path("rows.b64"));

        d->bulk.resize(kContainerSize);
        for (char& b : d->bulk)
            b = char(generator.bounded(256));
        writeFile(d->path("bulk"), d->bulk);
        d->container
            = *KivoEncryptor::encryptData(d->bulk, KivoCryptorAES256Settings, kPassword, nullptr);
        runShell(QStringLiteral("openssl enc -aes-256-cbc -K %1 -iv %2 -in %3 -out %4")
                     .arg(QString::fromLatin1(d->bulkKeyHex), QString::fromLatin1(d->iv),
                         d->path("bulk"), d->path("bulk.enc")));
        d->bulkCiphertext = readFile(d->path("bulk.enc"));
        return d;
    }();
    return *prepared;
}

void timeShell(benchmark::State& state, const QString& command)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        runShell(command);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void RowsEncrypt_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        for (const QString& row : d.rows)
            benchmark::DoNotOptimize(KivoAES256::AES256EncryptWithKey(row, kRowKey));
    }
}

void RowsEncrypt_Openssl(benchmark::State& state)
{
    const Data& d = data();
    timeShell(state,
        QStringLiteral("openssl enc -aes-256-cbc -a -A -K %1 -iv %2 -in %3 -out /dev/null")
            .arg(QString::fromLatin1(d.rowKeyHex), QString::fromLatin1(d.iv), d.path("rows")));
}

void RowsDecrypt_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        for (const QString& row : d.encryptedRows)
            benchmark::DoNotOptimize(KivoAES256::AES256DecryptWithKey(row, kRowKey));
    }
}

void RowsDecrypt_Openssl(benchmark::State& state)
{
    const Data& d = data();
    timeShell(state,
        QStringLiteral("openssl enc -d -aes-256-cbc -a -A -K %1 -iv %2 -in %3 -out /dev/null")
            .arg(QString::fromLatin1(d.rowKeyHex), QString::fromLatin1(d.iv), d.path("rows.b64")));
}

void ContainerEncrypt_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            KivoEncryptor::encryptData(d.bulk, KivoCryptorAES256Settings, kPassword, nullptr));
    state.SetBytesProcessed(state.iterations() * kContainerSize);
}

// The container's work besides the cipher, as openssl commands: both keys derived with
// PBKDF2 (HMAC-SHA1, 10,000 rounds, 32 bytes each) and the HMAC-SHA256 of the ciphertext.
QString keyDerivations()
{
    const QString derive = QStringLiteral("openssl kdf -keylen 32 -kdfopt digest:SHA1 "
                                          "-kdfopt pass:'%1' -kdfopt hexsalt:%2 -kdfopt "
                                          "iter:10000 PBKDF2 > /dev/null")
                               .arg(kPassword);
    return derive.arg(QStringLiteral("0102030405060708")) + " && "
        + derive.arg(QStringLiteral("1112131415161718"));
}

// The HMAC of the file, or of the standard input without one.
QString hmacOf(const QString& path = {})
{
    return QStringLiteral("openssl dgst -sha256 -mac HMAC -macopt hexkey:%1 %2 > /dev/null")
        .arg(QString::fromLatin1(QByteArray(32, '\x6b').toHex()), path);
}

void ContainerEncrypt_Openssl(benchmark::State& state)
{
    const Data& d = data();
    timeShell(state,
        keyDerivations()
            + QStringLiteral(" && openssl enc -aes-256-cbc -K %1 -iv %2 -in %3 | ")
                  .arg(QString::fromLatin1(d.bulkKeyHex), QString::fromLatin1(d.iv), d.path("bulk"))
            + hmacOf());
    state.SetBytesProcessed(state.iterations() * kContainerSize);
}

void ContainerDecrypt_Ours(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(KivoDecryptor::decryptData(d.container, kPassword, nullptr));
    state.SetBytesProcessed(state.iterations() * kContainerSize);
}

void ContainerDecrypt_Openssl(benchmark::State& state)
{
    const Data& d = data();
    timeShell(state,
        keyDerivations() + " && " + hmacOf(d.path("bulk.enc"))
            + QStringLiteral(" && openssl enc -d -aes-256-cbc -K %1 -iv %2 -in %3 -out /dev/null")
                  .arg(QString::fromLatin1(d.bulkKeyHex), QString::fromLatin1(d.iv),
                      d.path("bulk.enc")));
    state.SetBytesProcessed(state.iterations() * kContainerSize);
}

BENCHMARK(RowsEncrypt_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(RowsEncrypt_Openssl)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RowsDecrypt_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(RowsDecrypt_Openssl)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ContainerEncrypt_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(ContainerEncrypt_Openssl)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ContainerDecrypt_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(ContainerDecrypt_Openssl)->UseManualTime()->Unit(benchmark::kMillisecond);

class RatioReporter : public TimingReporter {
public:
    void printRatios() const
    {
        std::printf("\nours / openssl enc (same bytes)\n");
        for (const char* job :
            { "RowsEncrypt", "RowsDecrypt", "ContainerEncrypt", "ContainerDecrypt" }) {
            const auto ours = m_seconds.find(std::string(job) + "_Ours");
            auto theirs = m_seconds.find(std::string(job) + "_Openssl/manual_time");
            if (theirs == m_seconds.end())
                theirs = m_seconds.find(std::string(job) + "_Openssl");
            if (ours == m_seconds.end() || theirs == m_seconds.end() || theirs->second <= 0)
                continue;
            std::printf("  %-18s %10.2f ms  vs %10.2f ms   ratio %.2f\n", job, ours->second,
                theirs->second, ours->second / theirs->second);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    data();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
