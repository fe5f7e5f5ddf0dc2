#include "model/ZipFacade.h"

#include "utilities/shell/DebugHelper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include <unistd.h>
#include <unzip.h>
#include <zip.h>
#include <zlib.h>

const QString ZipFacade::FailedMessage = QStringLiteral("Failed");
const QString ZipFacade::OpenEntryFailedMessage = QStringLiteral("Error occurs");
const QString ZipFacade::FileInfoFailedMessage
    = QStringLiteral("Error occurs while getting file info");
const QString ZipFacade::ReadFailedMessage = QStringLiteral("Failed to read zip file");
const QString ZipFacade::OpenOutputFailedMessage
    = QStringLiteral("Failed to open output file for writing");
const QString ZipFacade::WriteOutputFailedMessage = QStringLiteral("Failed to write output file");
const QString ZipFacade::CrcFailedMessage
    = QStringLiteral("file was unzipped but failed crc check");
const QString ZipFacade::UnsafeNameMessage
    = QStringLiteral("Entry name leads outside the target folder");
const QString ZipFacade::WrongPasswordMessage = QStringLiteral("Wrong password");
const QString ZipFacade::WrongPasswordOrDamagedMessage
    = QStringLiteral("Wrong password or damaged data");

namespace {

// Bigger than minizip's own buffers, so a large entry costs few calls.
constexpr qint64 ChunkSize = 256 * 1024;
// Entries from this size on are read and deciphered ahead of their inflating.
constexpr quint64 FewestBytesReadAhead = 4 * ChunkSize;
constexpr uLong EncryptedFlag = 0x1;
constexpr uLong DataDescriptorFlag = 0x8;
constexpr uLong Utf8NameFlag = 0x800;
constexpr int EncryptionHeaderSize = 12;

zipFile zipHandle(void* handle)
{
    return static_cast<zipFile>(handle);
}

unzFile unzipHandle(void* handle)
{
    return static_cast<unzFile>(handle);
}

// The date in the format's packed DOS date and time: local time, two-second steps, years
// 1980 to 2107 (dates outside are held at the nearest end).
uLong dosDateOf(const QDateTime& date)
{
    const QDateTime local = date.toLocalTime();
    const QDate day = local.date();
    const QTime time = local.time();
    if (day.year() < 1980)
        return (1u << 21) | (1u << 16);
    if (day.year() > 2107)
        return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
    return (uLong(day.year() - 1980) << 25) | (uLong(day.month()) << 21) | (uLong(day.day()) << 16)
        | (uLong(time.hour()) << 11) | (uLong(time.minute()) << 5) | uLong(time.second() / 2);
}

// The local date of a packed DOS date and time; none for a field that holds no valid date
// (archives that put other numbers there).
std::optional<QDateTime> dateOfDos(uLong dos)
{
    const QDate day(
        int(1980 + ((dos >> 25) & 0x7f)), int((dos >> 21) & 0xf), int((dos >> 16) & 0x1f));
    const QTime time(int((dos >> 11) & 0x1f), int((dos >> 5) & 0x3f), int((dos & 0x1f) * 2));
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(day, time);
}

// The traditional PKWARE cipher. minizip's own copy of it does not produce what other
// ZIP tools read, so entries go through minizip raw and are enciphered here.
class TraditionalCipher {
public:
    explicit TraditionalCipher(const QByteArray& password)
    {
        Keys keys { m_keys, get_crc_table() };
        for (const char c : password)
            keys.update(quint8(c));
        keys.store(m_keys);
    }
    void encode(char* data, qsizetype size)
    {
        // The keys in locals: stores through `data` could otherwise change the members
        // for all the compiler knows, which would have them read again at every byte.
        Keys keys { m_keys, get_crc_table() };
        for (qsizetype i = 0; i < size; ++i) {
            const quint8 plain = quint8(data[i]);
            data[i] = char(plain ^ keys.streamByte());
            keys.update(plain);
        }
        keys.store(m_keys);
    }
    void decode(char* data, qsizetype size)
    {
        Keys keys { m_keys, get_crc_table() };
        for (qsizetype i = 0; i < size; ++i) {
            const quint8 plain = quint8(data[i]) ^ keys.streamByte();
            data[i] = char(plain);
            keys.update(plain);
        }
        keys.store(m_keys);
    }

private:
    struct Keys {
        Keys(const std::array<quint32, 3>& from, const z_crc_t* table)
            : k0(from[0])
            , k1(from[1])
            , k2(from[2])
            , crcTable(table)
        {
        }
        quint8 streamByte() const
        {
            const quint32 temp = (k2 & 0xffff) | 2;
            return quint8(((temp * (temp ^ 1)) >> 8) & 0xff);
        }
        void update(quint8 c)
        {
            k0 = crc(k0, c);
            k1 = (k1 + (k0 & 0xff)) * 134775813u + 1;
            k2 = crc(k2, quint8(k1 >> 24));
        }
        quint32 crc(quint32 value, quint8 c) const
        {
            return quint32(crcTable[(value ^ c) & 0xff]) ^ (value >> 8);
        }
        void store(std::array<quint32, 3>& to) const { to = { k0, k1, k2 }; }

        quint32 k0;
        quint32 k1;
        quint32 k2;
        const z_crc_t* crcTable;
    };

    std::array<quint32, 3> m_keys { 305419896u, 591751049u, 878082192u };
};

// Reads exactly the size from the current (raw) entry; false when it ends before or fails.
bool readFully(unzFile unzip, char* data, int size)
{
    while (size > 0) {
        const int read = unzReadCurrentFile(unzip, data, unsigned(size));
        if (read <= 0)
            return false;
        data += read;
        size -= read;
    }
    return true;
}

// What opening the current entry's raw bytes found.
enum class Opening { Opened, NotOpened, HeaderUnreadable, WrongPassword };

// Opens the current entry raw. An encrypted one's header is read and deciphered and the
// password checked against its last byte, which leaves the cipher ready for the content.
// The caller closes the entry whatever the outcome (closing one not opened does nothing).
Opening openRaw(unzFile unzip, uLong flag, uLong crc, uLong dosDate, const QByteArray& password,
    std::optional<TraditionalCipher>& cipher)
{
    const bool encrypted = (flag & EncryptedFlag) != 0;
    if (encrypted && password.isEmpty())
        return Opening::WrongPassword;
    int method = 0;
    int level = 0;
    if (unzOpenCurrentFile3(unzip, &method, &level, 1, nullptr) != UNZ_OK)
        return Opening::NotOpened;
    if (!encrypted)
        return Opening::Opened;
    cipher.emplace(password);
    std::array<char, EncryptionHeaderSize> header {};
    if (!readFully(unzip, header.data(), EncryptionHeaderSize))
        return Opening::HeaderUnreadable;
    cipher->decode(header.data(), EncryptionHeaderSize);
    // The last header byte repeats the top byte of the CRC, or of the time when the sizes
    // follow the data.
    const quint8 check
        = (flag & DataDescriptorFlag) ? quint8((dosDate >> 8) & 0xff) : quint8((crc >> 24) & 0xff);
    return quint8(header[11]) == check ? Opening::Opened : Opening::WrongPassword;
}

// Reads the raw bytes of the current entry and deciphers them. For a big entry it does
// so on a thread of its own, a few pieces ahead of the caller: deciphering a byte at a
// time costs about as much as inflating, and the two then run side by side.
class RawReader {
public:
    RawReader(unzFile unzip, TraditionalCipher* cipher, bool ahead)
        : m_unzip(unzip)
        , m_cipher(cipher)
    {
        const int count = ahead ? Slots : 1;
        for (int i = 0; i < count; ++i)
            m_buffers.emplace_back(ChunkSize, Qt::Uninitialized);
        m_sizes.assign(size_t(count), 0);
        if (ahead)
            m_thread = std::thread([this] { run(); });
    }
    ~RawReader()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    RawReader(const RawReader&) = delete;
    RawReader& operator=(const RawReader&) = delete;

    // The next piece, valid until the next call: size 0 at the end, below 0 when the
    // read failed (and from then on).
    std::pair<char*, int> next()
    {
        if (!m_thread.joinable()) {
            const int read = readPiece(m_buffers.front());
            return { m_buffers.front().data(), read };
        }
        std::unique_lock lock(m_mutex);
        // The piece handed out last is done with.
        if (m_handedOut) {
            ++m_consumed;
            m_handedOut = false;
            m_changed.notify_all();
        }
        m_changed.wait(lock, [this] { return m_produced > m_consumed; });
        const size_t slot = m_consumed % m_buffers.size();
        const int size = m_sizes[slot];
        // The end and a failure are told again at every later call.
        m_handedOut = size > 0;
        return { m_buffers[slot].data(), size };
    }

private:
    static constexpr int Slots = 4;

    int readPiece(QByteArray& buffer)
    {
        const int read = unzReadCurrentFile(m_unzip, buffer.data(), unsigned(buffer.size()));
        if (read > 0 && m_cipher)
            m_cipher->decode(buffer.data(), read);
        return read;
    }

    void run()
    {
        for (;;) {
            size_t slot = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock,
                    [this] { return m_stopping || m_produced - m_consumed < m_buffers.size(); });
                if (m_stopping)
                    return;
                slot = m_produced % m_buffers.size();
            }
            // The slot is neither handed out nor waiting to be: it is this thread's alone.
            const int read = readPiece(m_buffers[slot]);
            {
                std::lock_guard lock(m_mutex);
                m_sizes[slot] = read;
                ++m_produced;
            }
            m_changed.notify_all();
            if (read <= 0)
                return;
        }
    }

    unzFile m_unzip;
    TraditionalCipher* m_cipher;
    std::vector<QByteArray> m_buffers;
    std::vector<int> m_sizes;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_produced = 0;
    size_t m_consumed = 0;
    bool m_handedOut = false;
    bool m_stopping = false;
    std::thread m_thread;
};

// A relative path of plain names: no root, no drive, no "..", nothing empty but a folder
// entry's trailing separator.
bool isSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(QChar(0))
        || (name.size() >= 2 && name[1] == u':'))
        return false;
    const QStringList parts = name.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i] == QLatin1String(".."))
            return false;
        if (parts[i].isEmpty() && i != parts.size() - 1)
            return false;
    }
    return true;
}

// Whether the file is an archive of no entries: its end-of-directory record alone,
// directory empty, with its comment.
bool isArchiveWithoutEntries(const QString& path)
{
    constexpr qint64 RecordSize = 22;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < RecordSize
        || file.size() > RecordSize + 0xffff)
        return false;
    const QByteArray bytes = file.readAll();
    const auto field = [&bytes](int at, int size) {
        quint32 value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | quint8(bytes[at + i]);
        return value;
    };
    // Disk numbers, entry counts, directory size and offset all 0.
    return bytes.startsWith("PK\x05\x06")
        && std::all_of(bytes.begin() + 4, bytes.begin() + 20, [](char c) { return c == 0; })
        && field(20, 2) == quint32(bytes.size() - RecordSize);
}

bool renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool syncFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && ::fsync(file.handle()) == 0;
}

// A new, empty file beside the path, made with the usual permissions (not a private
// temporary file's), that no one else has.
QString claimTemporaryName(const QString& path)
{
    const QFileInfo target(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = target.dir().filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return candidate;
        if (!file.exists())
            return QString();
    }
    return QString();
}

// Deflated as one raw stream. Large content is cut into blocks deflated on several
// threads at once: each block is primed with the 32 KiB before it, so it compresses almost
// as one stream would, and ends on a byte boundary without ending the stream (a sync
// flush), so the blocks joined are one valid stream that the last block finishes.
std::optional<std::vector<QByteArray>> deflated(const QByteArray& content)
{
    constexpr qsizetype BlockSize = 1024 * 1024;
    constexpr qsizetype Window = 32 * 1024;
    const qsizetype count = std::max<qsizetype>(1, (content.size() + BlockSize - 1) / BlockSize);
    std::vector<QByteArray> blocks(static_cast<size_t>(count));
    std::atomic<qsizetype> next { 0 };
    std::atomic<bool> failed { false };
    const auto work = [&] {
        for (qsizetype i = next++; i < count && !failed; i = next++) {
            const qsizetype start = i * BlockSize;
            const qsizetype length = std::min(BlockSize, content.size() - start);
            const bool last = i == count - 1;
            z_stream stream {};
            if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL,
                    Z_DEFAULT_STRATEGY)
                != Z_OK) {
                failed = true;
                return;
            }
            if (start > 0) {
                const qsizetype primed = std::min(Window, start);
                deflateSetDictionary(&stream,
                    reinterpret_cast<const Bytef*>(content.constData() + start - primed),
                    uInt(primed));
            }
            QByteArray& out = blocks[size_t(i)];
            out.resize(qsizetype(deflateBound(&stream, uLong(length))) + 16);
            stream.next_in
                = reinterpret_cast<Bytef*>(const_cast<char*>(content.constData() + start));
            stream.avail_in = uInt(length);
            int status = Z_OK;
            do {
                if (stream.total_out == uLong(out.size()))
                    out.resize(out.size() * 2);
                stream.next_out = reinterpret_cast<Bytef*>(out.data() + stream.total_out);
                stream.avail_out = uInt(out.size() - qsizetype(stream.total_out));
                status = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
            } while ((status == Z_OK || status == Z_BUF_ERROR) && stream.avail_out == 0);
            out.truncate(qsizetype(stream.total_out));
            deflateEnd(&stream);
            if (last ? status != Z_STREAM_END : status != Z_OK)
                failed = true;
        }
    };
    const int threads = int(std::min<qsizetype>(count, std::max(1, QThread::idealThreadCount())));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (auto& helper : helpers)
        helper.join();
    if (failed)
        return std::nullopt;
    return blocks;
}

} // namespace

ZipFacade::ZipFacade() = default;

ZipFacade::~ZipFacade()
{
    discardZip();
    UnzipCloseFile();
}

void ZipFacade::OutputErrorMessage(const QString& message) const
{
    if (m_delegate)
        m_delegate->ErrorMessage(message);
}

bool ZipFacade::OverWrite(const QString& path) const
{
    return m_delegate && m_delegate->OverWriteOperation(path);
}

QByteArray ZipFacade::encodedName(const QString& name) const
{
    QStringEncoder encoder(m_stringEncoding);
    return encoder.encode(name);
}

QString ZipFacade::decodedName(const QByteArray& name) const
{
    QStringDecoder decoder(m_stringEncoding);
    return decoder.decode(name);
}

// Writing

bool ZipFacade::CreateZipFile2(const QString& path)
{
    if (m_zip || path.isEmpty())
        return false;
    const QString temporary = claimTemporaryName(path);
    if (temporary.isNull())
        return false;
    const QByteArray name = QFile::encodeName(temporary);
    m_zip = zipOpen64(name.constData(), APPEND_STATUS_CREATE);
    if (!m_zip) {
        QFile::remove(temporary);
        return false;
    }
    m_zipPath = path;
    m_zipTempPath = temporary;
    return true;
}

bool ZipFacade::CreateZipFile2(const QString& path, const QString& password)
{
    m_password = password;
    return CreateZipFile2(path);
}

bool ZipFacade::addFileToZip(const QString& path, const QString& newname)
{
    if (!m_zip)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError || content.size() != file.size())
        return false;
    // The file's own date (through links); now when it has none.
    const QDateTime modified = QFileInfo(path).lastModified();
    return addDataToZip(
        content, newname, modified.isValid() ? modified : QDateTime::currentDateTime());
}

bool ZipFacade::addDataToZip(
    const QByteArray& content, const QString& newname, const QDateTime& modified)
{
    if (!m_zip)
        return false;
    zip_fileinfo info {};
    info.dosDate = dosDateOf(modified);
    const QByteArray name = encodedName(newname);
    bool ascii = true;
    for (const char c : name)
        ascii = ascii && quint8(c) < 0x80;
    const QByteArray password = m_password.toUtf8();
    const bool encrypt = !password.isEmpty();
    const uLong flags = (encrypt ? EncryptedFlag : 0)
        | ((!ascii && m_stringEncoding == QStringConverter::Utf8) ? Utf8NameFlag : 0);
    const uLong crc
        = crc32_z(0, reinterpret_cast<const Bytef*>(content.constData()), size_t(content.size()));
    const int zip64 = content.size() >= 0xffffffffLL ? 1 : 0;
    // Raw: the data comes deflated (and enciphered) from here.
    if (zipOpenNewFileInZip4_64(zipHandle(m_zip), name.constData(), &info, nullptr, 0, nullptr, 0,
            nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, DEF_MEM_LEVEL,
            Z_DEFAULT_STRATEGY, nullptr, 0, 0, flags, zip64)
        != ZIP_OK)
        return false;

    bool written = true;
    std::optional<TraditionalCipher> cipher;
    const auto put = [&](char* data, qsizetype size) {
        if (cipher)
            cipher->encode(data, size);
        written = written && zipWriteInFileInZip(zipHandle(m_zip), data, unsigned(size)) == ZIP_OK;
    };
    if (encrypt) {
        cipher.emplace(password);
        // Ten random bytes, then the two top bytes of the CRC, which readers check the
        // password against.
        std::array<char, EncryptionHeaderSize> header {};
        for (int i = 0; i < EncryptionHeaderSize - 2; ++i)
            header[size_t(i)] = char(QRandomGenerator::global()->generate() & 0xff);
        header[10] = char((crc >> 16) & 0xff);
        header[11] = char((crc >> 24) & 0xff);
        put(header.data(), EncryptionHeaderSize);
    }

    auto blocks = deflated(content);
    written = written && blocks.has_value();
    for (qsizetype i = 0; written && i < qsizetype(blocks->size()); ++i)
        put((*blocks)[size_t(i)].data(), (*blocks)[size_t(i)].size());
    const bool closed
        = zipCloseFileInZipRaw64(zipHandle(m_zip), ZPOS64_T(content.size()), crc) == ZIP_OK;
    return written && closed;
}

bool ZipFacade::CloseZipFile2()
{
    m_password.clear();
    if (!m_zip)
        return false;
    const bool closed = zipClose(zipHandle(m_zip), nullptr) == ZIP_OK;
    m_zip = nullptr;
    // On the disk before it takes the old archive's place.
    const bool placed = closed && syncFile(m_zipTempPath) && renameOver(m_zipTempPath, m_zipPath);
    if (!placed)
        QFile::remove(m_zipTempPath);
    m_zipPath.clear();
    m_zipTempPath.clear();
    return placed;
}

void ZipFacade::discardZip()
{
    if (!m_zip)
        return;
    zipClose(zipHandle(m_zip), nullptr);
    m_zip = nullptr;
    QFile::remove(m_zipTempPath);
    m_zipPath.clear();
    m_zipTempPath.clear();
}

// Reading

bool ZipFacade::UnzipOpenFile(const QString& path)
{
    if (m_unzip || m_openWithoutEntries)
        return false;
    m_unzippedFiles.clear();
    m_numFiles = 0;
    m_archiveSize = quint64(std::max<qint64>(0, QFileInfo(path).size()));
    const QByteArray name = QFile::encodeName(path);
    m_unzip = unzOpen64(name.constData());
    if (!m_unzip) {
        // minizip takes a directory record at the very start of the file for none found,
        // and that is where an archive without entries has its only record.
        m_openWithoutEntries = isArchiveWithoutEntries(path);
        return m_openWithoutEntries;
    }
    unz_global_info64 global {};
    if (unzGetGlobalInfo64(unzipHandle(m_unzip), &global) == UNZ_OK) {
        m_numFiles = int(global.number_entry);
        DebugHelper::singleton().logMessage(
            QStringLiteral("%1 entries in the zip file").arg(global.number_entry));
    }
    return true;
}

bool ZipFacade::UnzipOpenFile(const QString& path, const QString& password)
{
    m_password = password;
    return UnzipOpenFile(path);
}

bool ZipFacade::UnzipFileTo(const QString& path, bool overWrite)
{
    return forEachEntry([&](const Entry& entry) {
        const QString fullPath = QDir(path).filePath(entry.name);
        if (entry.isFolder) {
            QDir().mkpath(fullPath);
            return true;
        }
        const QString parent = QFileInfo(fullPath).path();
        QDir().mkpath(parent);
        if (QFileInfo::exists(fullPath) && !overWrite && !OverWrite(fullPath))
            return true;

        QTemporaryFile output(QDir(parent).filePath(QStringLiteral(".zip-XXXXXX")));
        if (!output.open()) {
            OutputErrorMessage(OpenOutputFailedMessage);
            return false;
        }
        // A file that fails its check never takes the place of the one that was there.
        if (!readCurrent(entry,
                [&](const char* data, qsizetype size) { return output.write(data, size) == size; }))
            return false;
        if (!output.flush()) {
            OutputErrorMessage(WriteOutputFailedMessage);
            return false;
        }
        if (entry.dosDate != 0) {
            const auto date = dateOfDos(entry.dosDate);
            if (!date || !output.setFileTime(*date, QFileDevice::FileModificationTime))
                DebugHelper::singleton().logMessage(QStringLiteral("Failed to set attributes"));
        }
        output.close();
        if (!renameOver(output.fileName(), fullPath)) {
            OutputErrorMessage(WriteOutputFailedMessage);
            return false;
        }
        output.setAutoRemove(false);
        m_unzippedFiles << fullPath;
        return true;
    });
}

bool ZipFacade::UnzipFilesToData(QMap<QString, QByteArray>& files)
{
    return UnzipFilesToData(files, QStringList());
}

bool ZipFacade::UnzipFilesToData(QMap<QString, QByteArray>& files, const DataWritten& written)
{
    return UnzipFilesToData(files, QStringList(), written);
}

bool ZipFacade::UnzipFilesToData(
    QMap<QString, QByteArray>& files, const QStringList& names, const DataWritten& written)
{
    return forEachEntry(
        [&](const Entry& entry) {
            if (entry.isFolder)
                return true;
            // The size an entry claims is only a hint: a damaged archive may claim anything,
            // but no more than its compressed bytes can inflate to. Within that, the buffer
            // takes memory only as it fills, so whoever reads it as it fills can stop a
            // file that is no use long before a huge claim is met.
            if (!isPlausible(entry)) {
                OutputErrorMessage(CrcFailedMessage);
                return false;
            }
            QByteArray content;
            try {
                content = QByteArray(qsizetype(entry.size), Qt::Uninitialized);
            } catch (const std::bad_alloc&) {
                OutputErrorMessage(ReadFailedMessage);
                return false;
            }
            // Filled in place, so that it can be read while it fills. More than it claims is
            // damage, which reading the entry reports.
            qsizetype filled = 0;
            const bool ok = readCurrent(
                entry,
                [&](const char* data, qsizetype size) {
                    const qsizetype room = std::min(size, content.size() - filled);
                    // Inflated content is there already.
                    if (room > 0 && data != content.constData() + filled)
                        std::memcpy(content.data() + filled, data, size_t(room));
                    filled += room;
                    return !written || written(entry.name, content, filled);
                },
                &content);
            if (!ok) {
                if (written)
                    written(entry.name, content, -1);
                return false;
            }
            files.insert(entry.name, content);
            return true;
        },
        names.isEmpty() ? nullptr : &names);
}

bool ZipFacade::forEachEntry(
    const std::function<bool(const Entry&)>& handle, const QStringList* names)
{
    if (!m_unzip)
        return m_openWithoutEntries;
    if (m_numFiles == 0)
        return true;
    // A wrong password passes the check of one entry in 256: content deciphered with it
    // is never read while any entry's check says it is wrong.
    if (!checkPassword())
        return false;
    unzFile unzip = unzipHandle(m_unzip);
    if (unzGoToFirstFile(unzip) != UNZ_OK) {
        OutputErrorMessage(FailedMessage);
        return false;
    }
    for (int done = 1;; ++done) {
        unz_file_info64 info {};
        if (unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            OutputErrorMessage(FileInfoFailedMessage);
            return false;
        }
        QByteArray rawName(qsizetype(info.size_filename), Qt::Uninitialized);
        if (unzGetCurrentFileInfo64(
                unzip, &info, rawName.data(), uLong(rawName.size()), nullptr, 0, nullptr, 0)
            != UNZ_OK) {
            OutputErrorMessage(FileInfoFailedMessage);
            return false;
        }
        Entry entry;
        entry.isFolder = rawName.endsWith('/') || rawName.endsWith('\\');
        entry.name = decodedName(rawName).replace(u'\\', u'/');
        entry.flag = info.flag;
        entry.method = info.compression_method;
        entry.crc = info.crc;
        entry.dosDate = info.dosDate;
        entry.size = info.uncompressed_size;
        entry.compressedSize = info.compressed_size;
        if (!isSafeEntryName(entry.name)) {
            OutputErrorMessage(UnsafeNameMessage);
            return false;
        }
        const bool chosen = !names || names->contains(entry.name);
        if (chosen && !handle(entry))
            return false;
        if (chosen && m_progressBlock)
            m_progressBlock(int(qint64(done) * 100 / m_numFiles), done, m_numFiles);
        const int next = unzGoToNextFile(unzip);
        if (next == UNZ_END_OF_LIST_OF_FILE)
            return true;
        if (next != UNZ_OK) {
            OutputErrorMessage(FailedMessage);
            return false;
        }
    }
}

bool ZipFacade::checkPassword()
{
    unzFile unzip = unzipHandle(m_unzip);
    if (unzGoToFirstFile(unzip) != UNZ_OK) {
        OutputErrorMessage(FailedMessage);
        return false;
    }
    const QByteArray password = m_password.toUtf8();
    for (;;) {
        unz_file_info64 info {};
        if (unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            OutputErrorMessage(FileInfoFailedMessage);
            return false;
        }
        if ((info.flag & EncryptedFlag) != 0) {
            std::optional<TraditionalCipher> cipher;
            const Opening opening
                = openRaw(unzip, info.flag, info.crc, info.dosDate, password, cipher);
            unzCloseCurrentFile(unzip);
            if (opening != Opening::Opened) {
                OutputErrorMessage(opening == Opening::WrongPassword ? WrongPasswordMessage
                        : opening == Opening::NotOpened              ? OpenEntryFailedMessage
                                                                     : ReadFailedMessage);
                return false;
            }
        }
        const int next = unzGoToNextFile(unzip);
        if (next == UNZ_END_OF_LIST_OF_FILE)
            return true;
        if (next != UNZ_OK) {
            OutputErrorMessage(FailedMessage);
            return false;
        }
    }
}

bool ZipFacade::isPlausible(const Entry& entry) const
{
    // Deflate makes at most 258 bytes of two bits; a block header or two besides.
    constexpr quint64 MostInflatedPerByte = 1032;
    constexpr quint64 Slack = 64 * 1024;
    const quint64 compressed = std::min<quint64>(entry.compressedSize, m_archiveSize);
    if (entry.method == 0)
        return entry.size <= compressed;
    return compressed <= (std::numeric_limits<quint64>::max() - Slack) / MostInflatedPerByte
        && entry.size <= compressed * MostInflatedPerByte + Slack;
}

bool ZipFacade::readCurrent(const Entry& entry,
    const std::function<bool(const char*, qsizetype)>& deliver, QByteArray* into)
{
    unzFile unzip = unzipHandle(m_unzip);
    if (entry.method != 0 && entry.method != Z_DEFLATED) {
        OutputErrorMessage(OpenEntryFailedMessage);
        return false;
    }
    struct EntryCloser {
        unzFile unzip;
        ~EntryCloser() { unzCloseCurrentFile(unzip); }
    } closer { unzip };
    // Raw: deciphered, inflated and checked here.
    std::optional<TraditionalCipher> cipher;
    switch (openRaw(unzip, entry.flag, entry.crc, entry.dosDate, m_password.toUtf8(), cipher)) {
    case Opening::Opened:
        break;
    case Opening::NotOpened:
        OutputErrorMessage(OpenEntryFailedMessage);
        return false;
    case Opening::HeaderUnreadable:
        OutputErrorMessage(ReadFailedMessage);
        return false;
    case Opening::WrongPassword:
        OutputErrorMessage(WrongPasswordMessage);
        return false;
    }
    // Enciphered content that fails may be a wrong password that passed the check.
    const auto contentFailed = [&](const QString& message) {
        OutputErrorMessage(cipher ? WrongPasswordOrDamagedMessage : message);
        return false;
    };

    const bool deflated = entry.method == Z_DEFLATED;
    z_stream stream {};
    if (deflated && inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        OutputErrorMessage(ReadFailedMessage);
        return false;
    }
    struct InflateEnder {
        z_stream* stream;
        bool active;
        ~InflateEnder()
        {
            if (active)
                inflateEnd(stream);
        }
    } ender { &stream, deflated };

    // Ended before the entry is closed: it reads the entry until then.
    RawReader raw(unzip, cipher ? &*cipher : nullptr, entry.size >= FewestBytesReadAhead);
    QByteArray out(ChunkSize, Qt::Uninitialized);
    qsizetype made = 0; // inflated into `into`
    uLong crc = crc32_z(0, nullptr, 0);
    ZPOS64_T size = 0;
    // Content refused by its receiver. Enciphered content is then read on to its end
    // without being passed on: only its check tells a refusal of what it holds from
    // content a wrong password made.
    bool refused = false;
    const auto pass = [&](const char* data, qsizetype length) {
        crc = crc32_z(crc, reinterpret_cast<const Bytef*>(data), size_t(length));
        size += ZPOS64_T(length);
        // More than it claims: damaged, however much more is still to come.
        if (size > entry.size)
            return contentFailed(CrcFailedMessage);
        if (refused || deliver(data, length))
            return true;
        refused = true;
        if (cipher)
            return true;
        OutputErrorMessage(WriteOutputFailedMessage);
        return false;
    };
    bool ended = !deflated;
    for (;;) {
        const auto [in, read] = raw.next();
        if (read == 0)
            break;
        if (read < 0) {
            OutputErrorMessage(ReadFailedMessage);
            return false;
        }
        if (deflated && ended)
            return contentFailed(ReadFailedMessage);
        if (!deflated) {
            if (!pass(in, read))
                return false;
            continue;
        }
        stream.next_in = reinterpret_cast<Bytef*>(in);
        stream.avail_in = uInt(read);
        do {
            // In place while there is room, so that the content need not be copied there.
            const bool inPlace = into && !refused && made < into->size();
            char* target = inPlace ? into->data() + made : out.data();
            const qsizetype room = inPlace ? std::min(ChunkSize, into->size() - made) : out.size();
            stream.next_out = reinterpret_cast<Bytef*>(target);
            stream.avail_out = uInt(room);
            const int status = inflate(&stream, Z_NO_FLUSH);
            // Everything given was used up exactly: the next read brings more.
            if (status == Z_BUF_ERROR && stream.avail_in == 0)
                break;
            if (status != Z_OK && status != Z_STREAM_END)
                return contentFailed(ReadFailedMessage);
            ended = status == Z_STREAM_END;
            const qsizetype produced = room - qsizetype(stream.avail_out);
            if (inPlace)
                made += produced;
            if (!pass(target, produced))
                return false;
        } while (!ended && (stream.avail_in > 0 || stream.avail_out == 0));
    }
    // Deflated data that stops early is damage too.
    if (!ended)
        return contentFailed(ReadFailedMessage);
    if (crc != entry.crc || size != entry.size)
        return contentFailed(CrcFailedMessage);
    if (refused) {
        OutputErrorMessage(WriteOutputFailedMessage);
        return false;
    }
    return true;
}

QStringList ZipFacade::getZipFileContents()
{
    QStringList names;
    if (!m_unzip)
        return names;
    unzFile unzip = unzipHandle(m_unzip);
    if (m_numFiles == 0)
        return names;
    if (unzGoToFirstFile(unzip) != UNZ_OK) {
        OutputErrorMessage(FailedMessage);
        return names;
    }
    do {
        unz_file_info64 info {};
        if (unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            OutputErrorMessage(FileInfoFailedMessage);
            break;
        }
        QByteArray rawName(qsizetype(info.size_filename), Qt::Uninitialized);
        if (unzGetCurrentFileInfo64(
                unzip, &info, rawName.data(), uLong(rawName.size()), nullptr, 0, nullptr, 0)
            != UNZ_OK) {
            OutputErrorMessage(FileInfoFailedMessage);
            break;
        }
        names << decodedName(rawName).replace(u'\\', u'/');
    } while (unzGoToNextFile(unzip) == UNZ_OK);
    return names;
}

bool ZipFacade::UnzipCloseFile()
{
    m_password.clear();
    m_openWithoutEntries = false;
    if (!m_unzip)
        return true;
    const bool closed = unzClose(unzipHandle(m_unzip)) == UNZ_OK;
    m_unzip = nullptr;
    return closed;
}
