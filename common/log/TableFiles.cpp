#include "log/TableFiles.h"
#include "log/LogError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tirvon::log {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

int UniqueFd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

namespace {

// Repeats a positioned read or write, step(done, offset), until size bytes moved.
template <typename Step> bool transfer(Step step, qint64 size, qint64 offset) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = step(done, offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

[[noreturn]] void inUse(const QString& path) {
    throw LogError(QStringLiteral("Table %1 is in use by a running station").arg(path));
}

[[noreturn]] void missing(const QString& path) {
    throw LogError(QStringLiteral("Table %1 does not exist").arg(path));
}

[[noreturn]] void failed(const QString& what, const QString& path, int error) {
    throw LogError(QStringLiteral("Cannot %1 table %2: %3").arg(what, path, systemMessage(error)));
}

int openRetrying(const QByteArray& native, int flags) {
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// True when the lock was taken, false when another holder has it.
bool lockWithoutWaiting(int fd, const QString& path) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return false;
        if (errno != EINTR)
            failed(QStringLiteral("lock"), path, errno);
    }
    return true;
}

// Whether the path still names the file open on fd: a table replaced between
// opening and locking is opened again.
bool stillNamed(int fd, const QByteArray& native) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::stat(native.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// The file at path, open and locked; an empty descriptor when there is no file.
UniqueFd lockExisting(const QString& path, int flags) {
    const QByteArray native = QFile::encodeName(path);
    for (;;) {
        UniqueFd fd(openRetrying(native, flags));
        if (fd.get() < 0) {
            if (errno == ENOENT)
                return {};
            failed(QStringLiteral("open"), path, errno);
        }
        if (!lockWithoutWaiting(fd.get(), path))
            inUse(path);
        if (stillNamed(fd.get(), native))
            return fd;
    }
}

} // namespace

bool readFully(int fd, char* data, qint64 size, qint64 offset) {
    return transfer(
        [&](qint64 done, qint64 at) {
            return ::pread(fd, data + done, size_t(size - done), off_t(at));
        },
        size, offset);
}

bool writeFully(int fd, const char* data, qint64 size, qint64 offset) {
    return transfer(
        [&](qint64 done, qint64 at) {
            return ::pwrite(fd, data + done, size_t(size - done), off_t(at));
        },
        size, offset);
}

UniqueFd openTableFile(const QString& path, bool forWriting) {
    if (forWriting) {
        UniqueFd fd = lockExisting(path, O_RDWR);
        if (fd.get() < 0)
            missing(path);
        return fd;
    }
    UniqueFd fd(openRetrying(QFile::encodeName(path), O_RDONLY));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            missing(path);
        failed(QStringLiteral("open"), path, errno);
    }
    return fd;
}

void removeTableFile(const QString& path) {
    const UniqueFd fd = lockExisting(path, O_RDONLY);
    if (fd.get() < 0)
        missing(path);
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        failed(QStringLiteral("delete"), path, errno);
}

NewTableFile::NewTableFile(QString targetPath) : targetPath_(std::move(targetPath)) {
    const QFileInfo target(targetPath_);
    tempName_ = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                  QStringLiteral(".XXXXXX"));
    fd_ = UniqueFd(::mkostemp(tempName_.data(), O_CLOEXEC));
    if (fd_.get() < 0)
        failed(QStringLiteral("create"), targetPath_, errno);
    ::fchmod(fd_.get(), 0644);
}

NewTableFile::~NewTableFile() {
    if (!installed_)
        ::unlink(tempName_.constData());
}

QString NewTableFile::path() const {
    return QFile::decodeName(tempName_);
}

void NewTableFile::startWriteback() {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0 || st.st_size <= writtenBack_)
        return;
    ::sync_file_range(fd_.get(), writtenBack_, st.st_size - writtenBack_, SYNC_FILE_RANGE_WRITE);
    writtenBack_ = st.st_size;
}

void NewTableFile::install() {
    if (::fsync(fd_.get()) != 0)
        failed(QStringLiteral("write"), targetPath_, errno);
    // Held until the new file has taken the old one's name.
    const UniqueFd old = lockExisting(targetPath_, O_RDONLY);
    if (::rename(tempName_.constData(), QFile::encodeName(targetPath_).constData()) != 0)
        failed(QStringLiteral("create"), targetPath_, errno);
    installed_ = true;
}

} // namespace tirvon::log
