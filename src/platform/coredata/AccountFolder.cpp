#include "platform/coredata/AccountFolder.h"

#include "platform/coredata/CloudContainer.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::coredata {

namespace {

QByteArray nativeName(const QString& name)
{
    return QFile::encodeName(name);
}

QString systemProblem()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

// Reads what the descriptor holds to its end; none on a failure.
std::optional<QByteArray> readToEnd(int descriptor)
{
    QByteArray bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

bool writeEntirely(int descriptor, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put
            = ::write(descriptor, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

} // namespace

AccountFolder::AccountFolder(int descriptor, QString root, QVariant token)
    : m_descriptor(descriptor)
    , m_root(std::move(root))
    , m_token(std::move(token))
{
}

AccountFolder::~AccountFolder()
{
    ::close(m_descriptor);
}

std::unique_ptr<AccountFolder> AccountFolder::open(const QVariant& token)
{
    if (!token.isValid())
        return nullptr;
    const QString root = CloudContainer::rootPath();
    const int descriptor = ::open(nativeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    std::unique_ptr<AccountFolder> folder(new AccountFolder(descriptor, root, token));
    // The token read from the folder held, not from whatever lies at the path by then.
    if (!folder->holdsToken())
        return nullptr;
    return folder;
}

bool AccountFolder::holdsToken() const
{
    const int file
        = ::openat(m_descriptor, nativeName(CloudContainer::IdentityTokenFileName).constData(),
            O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0)
        return false;
    const std::optional<QByteArray> bytes = readToEnd(file);
    ::close(file);
    return bytes && QString::fromLatin1(*bytes).trimmed() == m_token.toString();
}

bool AccountFolder::isInPlace() const
{
    struct stat atPath { };
    struct stat held { };
    if (::stat(nativeName(m_root).constData(), &atPath) != 0 || ::fstat(m_descriptor, &held) != 0)
        return false;
    return atPath.st_dev == held.st_dev && atPath.st_ino == held.st_ino && holdsToken();
}

int AccountFolder::openFolder(const QString& path, bool make, QString* problem) const
{
    const QString clean = QDir::cleanPath(path);
    if (clean == m_root)
        return ::fcntl(m_descriptor, F_DUPFD_CLOEXEC, 0);
    if (!clean.startsWith(m_root + '/')) {
        if (make && !QDir().mkpath(clean)) {
            setProblem(problem, QStringLiteral("The folder could not be made."));
            return -1;
        }
        const int descriptor
            = ::open(nativeName(clean).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0)
            setProblem(problem, systemProblem());
        return descriptor;
    }
    // One level at a time, each inside the one above: none is followed out of the folder
    // held (a link met on the way is not taken).
    int current = ::fcntl(m_descriptor, F_DUPFD_CLOEXEC, 0);
    const QStringList levels = clean.mid(m_root.size() + 1).split('/', Qt::SkipEmptyParts);
    for (const QString& level : levels) {
        if (current < 0)
            break;
        const QByteArray name = nativeName(level);
        int next
            = ::openat(current, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (next < 0 && errno == ENOENT && make) {
            if (::mkdirat(current, name.constData(), 0777) == 0 || errno == EEXIST)
                next = ::openat(
                    current, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        }
        if (next < 0)
            setProblem(problem, systemProblem());
        ::close(current);
        current = next;
    }
    return current;
}

int AccountFolder::openParent(const QString& path, bool make, QString* name, QString* problem) const
{
    const QString clean = QDir::cleanPath(path);
    const qsizetype slash = clean.lastIndexOf('/');
    *name = clean.mid(slash + 1);
    return openFolder(clean.left(std::max<qsizetype>(slash, 1)), make, problem);
}

bool AccountFolder::makeFolder(const QString& path, QString* problem)
{
    const int folder = openFolder(path, true, problem);
    if (folder < 0)
        return false;
    ::close(folder);
    if (!isInPlace()) {
        setProblem(problem, QStringLiteral("The cloud folder is away or another account's."));
        return false;
    }
    return true;
}

bool AccountFolder::writeFile(const QString& path, const QByteArray& bytes, QString* problem,
    const std::function<bool()>& stillWanted)
{
    QString name;
    const int folder = openParent(path, false, &name, problem);
    if (folder < 0)
        return false;
    const QByteArray target = nativeName(name);
    const QByteArray aside = nativeName(
        QStringLiteral(".%1.%2").arg(name, QUuid::createUuid().toString(QUuid::WithoutBraces)));
    const int file = ::openat(
        folder, aside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (file < 0) {
        setProblem(problem, systemProblem());
        ::close(folder);
        return false;
    }
    bool ok = writeEntirely(file, bytes) && ::fdatasync(file) == 0;
    if (!ok)
        setProblem(problem, systemProblem());
    ok = ::close(file) == 0 && ok;
    if (ok && !isInPlace()) {
        setProblem(problem, QStringLiteral("The cloud folder is away or another account's."));
        ok = false;
    }
    if (ok && stillWanted && !stillWanted()) {
        setProblem(problem, QStringLiteral("The file is no longer to be replaced."));
        ok = false;
    }
    if (ok && ::renameat(folder, aside.constData(), folder, target.constData()) != 0) {
        setProblem(problem, systemProblem());
        ok = false;
    }
    if (!ok) {
        ::unlinkat(folder, aside.constData(), 0);
        ::close(folder);
        return false;
    }
    ::close(folder);
    if (!isInPlace()) {
        setProblem(
            problem, QStringLiteral("The cloud folder changed hands as the file was written."));
        return false;
    }
    return true;
}

std::optional<QByteArray> AccountFolder::readFile(const QString& path, bool* missing) const
{
    if (missing)
        *missing = false;
    QString name;
    const int folder = openParent(path, false, &name, nullptr);
    if (folder < 0) {
        if (missing)
            *missing = errno == ENOENT;
        return std::nullopt;
    }
    const int file
        = ::openat(folder, nativeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int opening = errno;
    ::close(folder);
    if (file < 0) {
        if (missing)
            *missing = opening == ENOENT;
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = readToEnd(file);
    ::close(file);
    return bytes;
}

bool AccountFolder::exists(const QString& path) const
{
    QString name;
    const int folder = openParent(path, false, &name, nullptr);
    if (folder < 0)
        return false;
    struct stat status { };
    const bool found
        = ::fstatat(folder, nativeName(name).constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(folder);
    return found;
}

QStringList AccountFolder::folders(const QString& path) const
{
    const int folder = openFolder(path, false, nullptr);
    if (folder < 0)
        return {};
    DIR* listing = ::fdopendir(folder);
    if (!listing) {
        ::close(folder);
        return {};
    }
    QStringList names;
    while (const dirent* entry = ::readdir(listing)) {
        const QString name = QFile::decodeName(entry->d_name);
        // Hidden ones (and the dot entries) are no one's content.
        if (name.startsWith('.'))
            continue;
        struct stat status { };
        if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISDIR(status.st_mode))
            names << name;
    }
    ::closedir(listing);
    names.sort();
    return names;
}

std::unique_ptr<AccountFolder> AccountFolder::subfolder(const QString& path) const
{
    const int descriptor = openFolder(path, false, nullptr);
    if (descriptor < 0)
        return nullptr;
    return std::unique_ptr<AccountFolder>(
        new AccountFolder(descriptor, QDir::cleanPath(path), m_token));
}

bool AccountFolder::removeFile(const QString& path)
{
    QString name;
    const int folder = openParent(path, false, &name, nullptr);
    if (folder < 0)
        return false;
    const bool removed = ::unlinkat(folder, nativeName(name).constData(), 0) == 0;
    ::close(folder);
    return removed;
}

} // namespace platform::coredata
