#pragma once

#include "failure/OperationFailure.h"
#include "ini/IniDocument.h"

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

namespace tirvon::ini {

// A write that the file system refused. The handler in progress stops there;
// what it wrote before stays written and the program keeps running.
class IniWriteError : public OperationFailure {
public:
    explicit IniWriteError(const QString& path);
};

// One INI file named by its path, read and written key by key.
//
// Reads share one parse of the file for as long as the file's identity (size,
// modification time in nanoseconds, inode) stays the same, so every reader sees
// the latest write of either program without parsing the file for every key.
// An absent file reads as empty and is never created by a read. A file that is
// there but cannot be read reads as empty too, and refuses every write.
//
// Every write is one locked read-modify-write that replaces the file atomically
// (temporary file in the same folder, flushed to disk, renamed over the file):
// two programs writing at once lose nothing beyond last-write-wins of one key,
// and a crash or a full disk never leaves a truncated file.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    QByteArray readString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X"; the default for anything else.
    int readInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const;
    // "1"/"0"; any non-zero number is on; the default for a non-number.
    bool readBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const;
    bool sectionExists(const QByteArray& section) const;
    bool valueExists(const QByteArray& section, const QByteArray& key) const;

    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void writeInteger(const QByteArray& section, const QByteArray& key, int value);
    void writeBool(const QByteArray& section, const QByteArray& key, bool value);
    void eraseSection(const QByteArray& section);

    // The parse every read of this moment works on; a scan over many keys takes
    // it once.
    std::shared_ptr<const IniDocument> snapshot() const;

    // Applies one change under the lock and replaces the file; throws
    // IniWriteError when the file cannot be written, or when it is there but
    // cannot be read whole (it is then left as it was). Inside a WriteBatch the
    // change is kept and applied again at the commit, onto the file as it is
    // then: it must hold copies of what it uses, not references.
    void update(const std::function<void(IniDocument&)>& change);

private:
    QString path_;
};

// The writes of one burst (the handling of one listing of the modem) made as
// one. While a batch is open on this thread, the writes of every IniFile are
// kept in memory, in order, and its reads see them at once. commit() applies
// them, under the lock, onto each file as it is on disk then, and replaces the
// file once, synced to the disk: keys another program wrote meanwhile keep its
// values unless the burst wrote them too, and a crash before the commit leaves
// the file as it was before the burst. A batch closed without a commit (an
// exception left its scope) drops its writes. Batches nest: only the outermost
// one commits.
class WriteBatch {
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Throws IniWriteError, for the first file that could not be written, after
    // trying every file; the batch is empty afterwards either way.
    void commit();

private:
    bool outermost_;
};

// Reading of the value forms shared by every reader of the file.
std::optional<int> parseInteger(const QByteArray& value);
// An integer key of a parsed file: the default when absent or not a number.
int readInteger(const IniDocument& doc, const QByteArray& section, const QByteArray& key,
                int defaultValue);

namespace detail {

// How the INI layer takes a whole file from the disk: 0 with every byte of the
// file in content, or the errno of the failure, ENOENT for a file that is not
// there. A test puts another reader here to see how reads and writes deal with a
// file that is there but cannot be read.
using WholeFileReader = int (*)(const QByteArray& nativePath, QByteArray& content);
int readWholeFromDisk(const QByteArray& nativePath, QByteArray& content);
extern WholeFileReader readWholeFile;

} // namespace detail

} // namespace tirvon::ini
