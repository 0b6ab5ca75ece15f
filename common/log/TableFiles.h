#pragma once

#include <QByteArray>
#include <QString>

namespace tirvon::log {

// A file descriptor closed with its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

// The files behind the log tables. A station that writes a table holds an
// exclusive advisory lock (flock) on it for as long as the table is open; whoever
// would re-create or delete a table must get that lock first, so a live log is
// never replaced or removed under a running station.

// Opens a table's file. For writing, takes the lock without waiting and makes
// sure that the path still names the locked file. Throws LogError when the file
// is missing, cannot be opened, or is in use.
UniqueFd openTableFile(const QString& path, bool forWriting);

// Deletes a table's file under its lock; LogError when missing or in use.
void removeTableFile(const QString& path);

// A new table file made beside its final place under a hidden name, and put in
// place in one step by install(): the table it replaces is never seen half
// written, and a failure on the way leaves the old table as it was. Removed
// again when it is never installed.
class NewTableFile {
public:
    explicit NewTableFile(QString targetPath);
    ~NewTableFile();
    NewTableFile(const NewTableFile&) = delete;
    NewTableFile& operator=(const NewTableFile&) = delete;

    int fd() const { return fd_.get(); }
    QString path() const;
    // Starts writing what was written to the file since the last call out to
    // the disk, without waiting for it; failures are left to install().
    void startWriteback();
    // Syncs the file and renames it over the target, under the target's lock;
    // LogError when the target is in use or the rename fails.
    void install();

private:
    QString targetPath_;
    QByteArray tempName_;
    UniqueFd fd_;
    qint64 writtenBack_ = 0;
    bool installed_ = false;
};

// Reads or writes exactly size bytes at offset of the file open on fd, going on
// after a transfer that moved fewer or was interrupted. False, with errno set,
// when the system refuses or the file ends first (EIO).
bool readFully(int fd, char* data, qint64 size, qint64 offset);
bool writeFully(int fd, const char* data, qint64 size, qint64 offset);

// The operating system's text for an errno value.
QString systemMessage(int error);

} // namespace tirvon::log
