#include "common/ZipPasswordChecks.h"

#include <QFile>
#include <QRandomGenerator>

#include <array>

namespace testsupport {

namespace {

constexpr int HeaderSize = 12;

quint32 readLittle(const QByteArray& bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// The traditional PKWARE keys, written here from the format's description so that the
// test does not lean on the code it checks.
class Keys {
public:
    explicit Keys(const QByteArray& password)
    {
        for (const char c : password)
            update(quint8(c));
    }
    char encode(char plain)
    {
        const char cipher = char(quint8(plain) ^ stream());
        update(quint8(plain));
        return cipher;
    }
    char decode(char cipher)
    {
        const quint8 plain = quint8(cipher) ^ stream();
        update(plain);
        return char(plain);
    }

private:
    quint8 stream() const
    {
        const quint32 temp = (m_k2 & 0xffff) | 2;
        return quint8((temp * (temp ^ 1)) >> 8);
    }
    void update(quint8 c)
    {
        m_k0 = crc(m_k0, c);
        m_k1 = (m_k1 + (m_k0 & 0xff)) * 134775813u + 1;
        m_k2 = crc(m_k2, quint8(m_k1 >> 24));
    }
    static quint32 crc(quint32 value, quint8 c)
    {
        static const std::array<quint32, 256> table = [] {
            std::array<quint32, 256> made {};
            for (quint32 n = 0; n < 256; ++n) {
                quint32 v = n;
                for (int k = 0; k < 8; ++k)
                    v = (v & 1) ? 0xedb88320u ^ (v >> 1) : v >> 1;
                made[n] = v;
            }
            return made;
        }();
        return table[(value ^ c) & 0xff] ^ (value >> 8);
    }

    quint32 m_k0 = 305419896u;
    quint32 m_k1 = 591751049u;
    quint32 m_k2 = 878082192u;
};

// The entry's enciphered bytes, header first, made again under `madeWith` with a header
// whose check under `openedWith` passes or fails as wanted; empty when the bytes are not
// enciphered with `madeWith`.
QByteArray enciphered(const QByteArray& data, quint8 check, const QByteArray& madeWith,
    const QByteArray& openedWith, bool pass, QRandomGenerator& random)
{
    Keys reading(madeWith);
    QByteArray plain = data;
    for (char& c : plain)
        c = reading.decode(c);
    if (plain.size() < HeaderSize || quint8(plain[HeaderSize - 1]) != check)
        return {};
    for (;;) {
        for (int i = 0; i < HeaderSize - 1; ++i)
            plain[i] = char(random.generate() & 0xff);
        Keys writing(madeWith);
        QByteArray made = plain;
        for (int i = 0; i < HeaderSize; ++i)
            made[i] = writing.encode(plain[i]);
        Keys opening(openedWith);
        char seen = 0;
        for (int i = 0; i < HeaderSize; ++i)
            seen = opening.decode(made[i]);
        if ((quint8(seen) == check) != pass)
            continue;
        for (qsizetype i = HeaderSize; i < made.size(); ++i)
            made[i] = writing.encode(plain[i]);
        return made;
    }
}

} // namespace

bool setPasswordChecks(const QString& path, const QString& madeWith, const QString& openedWith,
    const QList<bool>& passes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > bytes.size())
        return false;
    const int count = int(readLittle(bytes, end + 10, 2));
    qsizetype at = readLittle(bytes, end + 16, 4);
    QRandomGenerator random(20240229);
    for (int index = 0; index < count; ++index) {
        if (at + 46 > bytes.size() || bytes.mid(at, 4) != QByteArray("PK\x01\x02", 4))
            return false;
        const quint32 flag = readLittle(bytes, at + 8, 2);
        const quint32 time = readLittle(bytes, at + 12, 2);
        const quint32 crc = readLittle(bytes, at + 16, 4);
        const qsizetype size = readLittle(bytes, at + 20, 4);
        const qsizetype local = readLittle(bytes, at + 42, 4);
        at += 46 + readLittle(bytes, at + 28, 2) + readLittle(bytes, at + 30, 2)
            + readLittle(bytes, at + 32, 2);
        if ((flag & 1) == 0 || local + 30 > bytes.size())
            return false;
        const qsizetype data
            = local + 30 + readLittle(bytes, local + 26, 2) + readLittle(bytes, local + 28, 2);
        if (data + size > bytes.size())
            return false;
        // With the sizes after the data, the check is on the time rather than the CRC.
        const quint8 check = (flag & 8) ? quint8(time >> 8) : quint8(crc >> 24);
        const QByteArray made = enciphered(bytes.mid(data, size), check, madeWith.toUtf8(),
            openedWith.toUtf8(), passes.value(index, true), random);
        if (made.isEmpty())
            return false;
        bytes.replace(data, size, made);
    }
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

} // namespace testsupport
