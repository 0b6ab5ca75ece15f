#include "log/DbfFile.h"

#include <shapefil.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tirvon::log {

namespace {

// What shapelib holds as its file: the caller's descriptor and a position.
// After the first refused write every further write of the same operation is
// refused too, so that a record that did not reach the disk is never followed
// by a header that counts it.
struct HookFile {
    int fd;
    SAOffset position = 0;
    int writeError = 0;
};

HookFile* hookFile(SAFile file) {
    return reinterpret_cast<HookFile*>(file);
}

// The descriptor that shapelib's next open of the table gets; set only for the
// duration of one create or open call on this thread.
thread_local int adoptedFd = -1;

bool endsWithCpg(const char* name) {
    const size_t n = std::strlen(name);
    return n >= 4 && ::strcasecmp(name + n - 4, ".cpg") == 0;
}

// shapelib derives side files from the name (a code page file); there are none.
SAFile hookOpen(const char* name, const char* access) {
    if (adoptedFd < 0 || endsWithCpg(name)) {
        errno = ENOENT;
        return nullptr;
    }
    if (access[0] == 'w' && ::ftruncate(adoptedFd, 0) != 0)
        return nullptr;
    return reinterpret_cast<SAFile>(new HookFile{adoptedFd});
}

SAOffset hookRead(void* p, SAOffset size, SAOffset count, SAFile file) {
    HookFile* f = hookFile(file);
    if (size == 0)
        return 0;
    const SAOffset total = size * count;
    SAOffset done = 0;
    while (done < total) {
        const ssize_t n =
            ::pread(f->fd, static_cast<char*>(p) + done, total - done, off_t(f->position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += SAOffset(n);
    }
    f->position += done;
    return done / size;
}

SAOffset hookWrite(void* p, SAOffset size, SAOffset count, SAFile file) {
    HookFile* f = hookFile(file);
    if (size == 0 || f->writeError != 0)
        return 0;
    const SAOffset total = size * count;
    SAOffset done = 0;
    while (done < total) {
        const ssize_t n = ::pwrite(f->fd, static_cast<const char*>(p) + done, total - done,
                                   off_t(f->position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            f->writeError = n < 0 ? errno : EIO;
            break;
        }
        done += SAOffset(n);
    }
    f->position += done;
    return done / size;
}

SAOffset hookSeek(SAFile file, SAOffset offset, int whence) {
    HookFile* f = hookFile(file);
    if (whence == SEEK_SET) {
        f->position = offset;
    } else if (whence == SEEK_CUR) {
        f->position += offset;
    } else {
        struct stat st {};
        if (::fstat(f->fd, &st) != 0)
            return SAOffset(-1);
        f->position = SAOffset(st.st_size) + offset;
    }
    return 0;
}

SAOffset hookTell(SAFile file) {
    return hookFile(file)->position;
}

// Writes go straight to the descriptor; there is no buffer to flush.
int hookFlush(SAFile) {
    return 0;
}

int hookClose(SAFile file) {
    delete hookFile(file);
    return 0;
}

int hookRemove(const char*) {
    return 0;
}

// Failures are seen through the return values and the hook file's error.
void hookError(const char*) {}

double hookAtof(const char* text) {
    return std::strtod(text, nullptr);
}

SAHooks hooks() {
    SAHooks h{};
    h.FOpen = hookOpen;
    h.FRead = hookRead;
    h.FWrite = hookWrite;
    h.FSeek = hookSeek;
    h.FTell = hookTell;
    h.FFlush = hookFlush;
    h.FClose = hookClose;
    h.Remove = hookRemove;
    h.Error = hookError;
    h.Atof = hookAtof;
    return h;
}

class Adoption {
public:
    explicit Adoption(int fd) { adoptedFd = fd; }
    ~Adoption() { adoptedFd = -1; }
    Adoption(const Adoption&) = delete;
    Adoption& operator=(const Adoption&) = delete;
};

// A name with the extension shapelib expects; the file is the adopted one.
constexpr char AdoptedName[] = "table.dbf";
constexpr char CodePage1251[] = "LDID/201";

} // namespace

struct DbfFile::Handle {
    DBFHandle dbf;
};

DbfFile::DbfFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

int DbfFile::create(int fd, const std::vector<DbfFieldSpec>& fields, QDate modified) {
    SAHooks h = hooks();
    DBFHandle handle;
    {
        Adoption adoption(fd);
        handle = DBFCreateLL(AdoptedName, CodePage1251, &h);
    }
    if (!handle)
        return errno != 0 ? errno : EIO;
    DbfFile file(std::make_unique<Handle>(Handle{handle}));
    for (const DbfFieldSpec& f : fields) {
        const DBFFieldType type = f.type == 'L' ? FTLogical : FTString;
        if (DBFAddField(handle, f.name, type, f.size, 0) < 0)
            return EINVAL;
    }
    file.setModifiedDate(modified);
    DBFUpdateHeader(handle);
    return hookFile(handle->fp)->writeError;
}

std::unique_ptr<DbfFile> DbfFile::open(int fd, bool writable) {
    SAHooks h = hooks();
    Adoption adoption(fd);
    DBFHandle handle = DBFOpenLL(AdoptedName, writable ? "rb+" : "rb", &h);
    if (!handle)
        return nullptr;
    return std::unique_ptr<DbfFile>(new DbfFile(std::make_unique<Handle>(Handle{handle})));
}

DbfFile::~DbfFile() {
    // Every append has already written its record and the header; closing
    // writes nothing more.
    hookFile(handle_->dbf->fp)->writeError = EBADF;
    DBFClose(handle_->dbf);
}

int DbfFile::recordCount() const {
    return DBFGetRecordCount(handle_->dbf);
}

int DbfFile::recordLength() const {
    return handle_->dbf->nRecordLength;
}

int DbfFile::headerLength() const {
    return handle_->dbf->nHeaderLength;
}

int DbfFile::fieldCount() const {
    return DBFGetFieldCount(handle_->dbf);
}

int DbfFile::fieldOffset(int field) const {
    return handle_->dbf->panFieldOffset[field];
}

int DbfFile::fieldSize(int field) const {
    return handle_->dbf->panFieldSize[field];
}

const char* DbfFile::record(int index) const {
    const char* raw = DBFReadTuple(handle_->dbf, index);
    // A failed read may have filled part of shapelib's record buffer while it
    // still takes the buffer for the record it held before.
    if (!raw)
        handle_->dbf->nCurrentRecord = -1;
    return raw;
}

int DbfFile::append(const QByteArray& raw) {
    HookFile* file = hookFile(handle_->dbf->fp);
    file->writeError = 0;
    const int before = handle_->dbf->nRecords;
    // shapelib copies the whole record buffer, recordLength bytes.
    if (raw.size() != handle_->dbf->nRecordLength)
        return EINVAL;
    const bool taken = DBFWriteTuple(handle_->dbf, before, const_cast<char*>(raw.constData()));
    DBFUpdateHeader(handle_->dbf);
    if (taken && file->writeError == 0)
        return 0;
    const int error = file->writeError != 0 ? file->writeError : EIO;
    // The header on disk was not touched after the failure; the handle forgets
    // the record too.
    handle_->dbf->nRecords = before;
    handle_->dbf->nCurrentRecord = -1;
    handle_->dbf->bCurrentRecordModified = 0;
    file->writeError = 0;
    return error;
}

int DbfFile::appendRecords(const char* raw, int count) {
    DBFHandle dbf = handle_->dbf;
    HookFile* file = hookFile(dbf->fp);
    if (count <= 0)
        return count == 0 ? 0 : EINVAL;
    file->writeError = 0;
    const int before = dbf->nRecords;
    // Every append leaves shapelib's record buffer written: nothing of it is
    // pending that could land after these records.
    const SAOffset at = SAOffset(dbf->nHeaderLength) + SAOffset(dbf->nRecordLength) * before;
    dbf->sHooks.FSeek(dbf->fp, at, SEEK_SET);
    dbf->sHooks.FWrite(const_cast<char*>(raw), SAOffset(dbf->nRecordLength), SAOffset(count),
                       dbf->fp);
    // The end mark after the last record, as shapelib writes it.
    if (dbf->bWriteEndOfFileChar) {
        char end = 0x1a;
        dbf->sHooks.FWrite(&end, 1, 1, dbf->fp);
    }
    if (file->writeError == 0) {
        dbf->nRecords = before + count;
        DBFUpdateHeader(dbf);
    }
    if (file->writeError == 0)
        return 0;
    const int error = file->writeError;
    dbf->nRecords = before;
    dbf->nCurrentRecord = -1;
    file->writeError = 0;
    return error;
}

void DbfFile::setModifiedDate(QDate date) {
    if (date.isValid())
        DBFSetLastModifiedDate(handle_->dbf, date.year() - 1900, date.month(), date.day());
}

void DbfFile::pinRecordCount(int count) {
    handle_->dbf->nRecords = count;
    handle_->dbf->nCurrentRecord = -1;
}

} // namespace tirvon::log
