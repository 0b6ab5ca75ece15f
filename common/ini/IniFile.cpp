#include "ini/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tirvon::ini {

IniWriteError::IniWriteError(const QString& path)
    : OperationFailure(QStringLiteral("Unable to write to %1").arg(path)) {}

namespace detail {

int readWholeFromDisk(const QByteArray& nativePath, QByteArray& content) {
    content.clear();
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : 0;
            ::close(fd);
            return error;
        }
        content.append(chunk, n);
    }
}

WholeFileReader readWholeFile = readWholeFromDisk;

} // namespace detail

namespace {

struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const Identity& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

Identity identityOf(const QByteArray& nativePath) {
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool writeWhole(int fd, const QByteArray& content) {
    const char* p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// File times advance in coarse steps, so a file changed twice within one step
// can keep its size and time. A parse is kept only for a file whose last change
// lies further back than any step, so that a later change always shows in the
// time (the same reasoning protects git's index from "racily clean" files).
constexpr qint64 SettleNs = 100'000'000;

bool settled(const Identity& identity) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 modified =
        qint64(identity.modified.tv_sec) * 1'000'000'000 + identity.modified.tv_nsec;
    const qint64 current = qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return modified + SettleNs < current;
}

// The parses of the files this process reads, each valid for one identity.
class ParseCache {
public:
    static ParseCache& instance() {
        static ParseCache cache;
        return cache;
    }

    std::shared_ptr<const IniDocument> load(const QByteArray& nativePath) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const Identity before = identityOf(nativePath);
            if (!before.exists)
                return empty();
            {
                std::lock_guard lock(mutex_);
                const auto it = entries_.constFind(nativePath);
                if (it != entries_.cend() && it->identity == before)
                    return it->document;
            }
            QByteArray content;
            if (detail::readWholeFile(nativePath, content) != 0)
                return empty();
            // A file replaced while it was read is read again, so a parse is
            // never filed under an identity it does not belong to.
            if (!(identityOf(nativePath) == before))
                continue;
            auto doc = std::make_shared<const IniDocument>(IniDocument::parse(content));
            if (settled(before))
                store(nativePath, before, doc, content);
            return doc;
        }
        const auto doc = current(nativePath);
        return doc ? doc : empty();
    }

    // The file as it is on disk now, whatever its identity says: the kept parse
    // when the file still holds the very bytes it was made from, else a new one.
    // A file that is not there is empty; one that is there but cannot be read
    // whole gives nothing, since its lines are unknown.
    std::shared_ptr<const IniDocument> current(const QByteArray& nativePath) {
        QByteArray content;
        if (const int error = detail::readWholeFile(nativePath, content); error != 0)
            return error == ENOENT ? empty() : nullptr;
        {
            std::lock_guard lock(mutex_);
            const auto it = entries_.constFind(nativePath);
            if (it != entries_.cend() && it->content == content)
                return it->document;
        }
        return std::make_shared<const IniDocument>(IniDocument::parse(content));
    }

    void store(const QByteArray& nativePath, const Identity& identity,
               std::shared_ptr<const IniDocument> doc, const QByteArray& content) {
        std::lock_guard lock(mutex_);
        entries_.insert(nativePath, {identity, std::move(doc), content});
    }

private:
    static std::shared_ptr<const IniDocument> empty() {
        static const auto doc = std::make_shared<const IniDocument>();
        return doc;
    }

    struct Entry {
        Identity identity;
        std::shared_ptr<const IniDocument> document;
        QByteArray content; // the bytes the document stands for
    };
    std::mutex mutex_;
    QHash<QByteArray, Entry> entries_;
};

// An exclusive advisory lock on a companion file beside the INI file, held for
// one read-modify-write. The INI file itself cannot carry the lock, since every
// write replaces it by another inode.
class WriteLock {
public:
    explicit WriteLock(const QByteArray& lockPath)
        : fd_(::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~WriteLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// Asks the disk to hold a file or folder as it is now.
void syncToDisk(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The writes of the open write batch of this thread, file by file.
struct PendingWrites {
    QString path;
    std::vector<std::function<void(IniDocument&)>> changes;
    std::shared_ptr<const IniDocument> base; // the parse the view was made from
    std::shared_ptr<IniDocument> view;       // base with the changes applied
};

struct OpenBatch {
    int depth = 0;
    std::vector<PendingWrites> files; // in the order of their first write
};

thread_local OpenBatch batch;

PendingWrites* pendingWrites(const QString& path, bool create) {
    if (batch.depth == 0)
        return nullptr;
    for (PendingWrites& pending : batch.files) {
        if (pending.path == path)
            return &pending;
    }
    if (!create)
        return nullptr;
    batch.files.push_back(PendingWrites{path, {}, {}, {}});
    return &batch.files.back();
}

QString resolvedPath(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return target;
    }
    return info.absoluteFilePath();
}

} // namespace

std::optional<int> parseInteger(const QByteArray& value) {
    QByteArray v = value.trimmed();
    bool negative = false;
    if (v.startsWith('-') || v.startsWith('+')) {
        negative = v.startsWith('-');
        v = v.mid(1);
    }
    int base = 10;
    if (v.startsWith("0x") || v.startsWith("0X")) {
        base = 16;
        v = v.mid(2);
    }
    if (v.isEmpty())
        return std::nullopt;
    qint64 n = 0;
    for (const char c : v) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        n = n * base + digit;
        if (n > qint64(std::numeric_limits<quint32>::max()))
            return std::nullopt;
    }
    if (base == 16 && n > std::numeric_limits<int>::max())
        n -= qint64(1) << 32; // "0xFFFFFFFF" is -1, as a 32-bit reader takes it
    if (negative)
        n = -n;
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(n);
}

WriteBatch::WriteBatch() : outermost_(batch.depth == 0) {
    ++batch.depth;
}

WriteBatch::~WriteBatch() {
    if (--batch.depth == 0)
        batch.files.clear();
}

void WriteBatch::commit() {
    if (!outermost_)
        return;
    std::vector<PendingWrites> files = std::exchange(batch.files, {});
    // The writes go to disk one file at a time, as single writes do.
    --batch.depth;
    const auto reopen = qScopeGuard([] { ++batch.depth; });
    std::optional<IniWriteError> failure;
    for (const PendingWrites& pending : files) {
        try {
            IniFile(pending.path).update([&pending](IniDocument& doc) {
                for (const auto& change : pending.changes)
                    change(doc);
            });
        } catch (const IniWriteError& e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

std::shared_ptr<const IniDocument> IniFile::snapshot() const {
    auto onDisk = ParseCache::instance().load(QFile::encodeName(path_));
    PendingWrites* pending = pendingWrites(path_, false);
    if (!pending)
        return onDisk;
    // Another program's write shows through the writes of the batch.
    if (pending->base != onDisk) {
        IniDocument doc = *onDisk;
        for (const auto& change : pending->changes)
            change(doc);
        pending->base = std::move(onDisk);
        pending->view = std::make_shared<IniDocument>(std::move(doc));
    }
    return pending->view;
}

QByteArray IniFile::readString(const QByteArray& section, const QByteArray& key,
                               const QByteArray& defaultValue) const {
    return snapshot()->value(section, key).value_or(defaultValue);
}

int readInteger(const IniDocument& doc, const QByteArray& section, const QByteArray& key,
                int defaultValue) {
    const auto v = doc.value(section, key);
    return v ? parseInteger(*v).value_or(defaultValue) : defaultValue;
}

int IniFile::readInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const {
    return ini::readInteger(*snapshot(), section, key, defaultValue);
}

bool IniFile::readBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const {
    const auto v = snapshot()->value(section, key);
    if (!v)
        return defaultValue;
    const auto n = parseInteger(*v);
    return n ? *n != 0 : defaultValue;
}

bool IniFile::sectionExists(const QByteArray& section) const {
    return snapshot()->hasSection(section);
}

bool IniFile::valueExists(const QByteArray& section, const QByteArray& key) const {
    return snapshot()->hasKey(section, key);
}

void IniFile::writeString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& value) {
    update([section, key, value](IniDocument& doc) { doc.setValue(section, key, value); });
}

void IniFile::writeInteger(const QByteArray& section, const QByteArray& key, int value) {
    writeString(section, key, QByteArray::number(value));
}

void IniFile::writeBool(const QByteArray& section, const QByteArray& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(const QByteArray& section) {
    update([section](IniDocument& doc) { doc.removeSection(section); });
}

void IniFile::update(const std::function<void(IniDocument&)>& change) {
    if (PendingWrites* pending = pendingWrites(path_, true)) {
        const std::shared_ptr<const IniDocument> view = snapshot();
        // The view is changed in place while no reader holds it.
        if (view.use_count() == 2) {
            change(*pending->view);
        } else {
            auto doc = std::make_shared<IniDocument>(*view);
            change(*doc);
            pending->view = std::move(doc);
        }
        pending->changes.push_back(change);
        return;
    }
    const QString target = resolvedPath(path_);
    const QFileInfo info(target);
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QByteArray nativeDir = QFile::encodeName(info.absolutePath());
    const QByteArray base = QFile::encodeName(info.fileName());

    WriteLock lock(nativeDir + "/." + base + ".lock");
    if (!lock.held())
        throw IniWriteError(path_);

    const Identity current = identityOf(nativeTarget);
    if (current.exists && ::access(nativeTarget.constData(), W_OK) != 0)
        throw IniWriteError(path_);

    // Under the lock the file is read as it is on disk, so no write of another
    // program is lost; only its parse may be the one kept for the same bytes.
    // Only a file that is not there starts empty. One that is there but cannot
    // be read whole (an I/O error, no free descriptor, not a plain file) refuses
    // the write and stays as it is: the file written in its place would hold the
    // written key alone, and every other line of the configuration would be lost.
    const auto onDisk = ParseCache::instance().current(nativeTarget);
    if (!onDisk)
        throw IniWriteError(path_);
    IniDocument doc = *onDisk;
    change(doc);
    const QByteArray content = doc.serialize();

    QByteArray temp = nativeDir + "/." + base + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw IniWriteError(path_);
    // The file keeps its permissions; a new one is readable by all, like any
    // file the programs create.
    struct stat st {};
    const mode_t mode =
        current.exists && ::stat(nativeTarget.constData(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    bool written = writeWhole(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    // The rename keeps inode, size and modification time, so the identity of the
    // new file is known before anybody else can change it. Only two further
    // writes of the same size within one step of the file clock, the second
    // reusing this inode, could hide from this parse; no write can be lost.
    struct stat after {};
    written = written && ::fstat(fd, &after) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.constData(), nativeTarget.constData()) != 0) {
        ::unlink(temp.constData());
        throw IniWriteError(path_);
    }
    syncToDisk(nativeDir);
    ParseCache::instance().store(nativeTarget,
                                 {true, after.st_dev, after.st_ino, after.st_size, after.st_mtim},
                                 std::make_shared<const IniDocument>(std::move(doc)), content);
}

} // namespace tirvon::ini
