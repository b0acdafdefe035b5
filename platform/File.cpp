#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <cerrno>

#include "platform/Paths.h"
#include "platform/Text.h"

namespace {

// Opens `native` as the old file modes describe; returns a descriptor or -1.
// Folders are refused: they open fine for reading here but are no files.
int openDescriptor(const std::string& native, UINT flags) {
    UINT access = flags & (CFile::modeWrite | CFile::modeReadWrite);
    int oflags = access == CFile::modeReadWrite ? O_RDWR : access == CFile::modeWrite ? O_WRONLY : O_RDONLY;
    if (flags & CFile::modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & CFile::modeNoTruncate)) {
            oflags |= O_TRUNC;
            // Truncating needs write access, even for a file only to be read.
            if (access == CFile::modeRead) oflags = (oflags & ~O_RDONLY) | O_RDWR;
        }
    }
    int fd = ::open(native.c_str(), oflags | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

const char* streamMode(UINT flags) {
    UINT access = flags & (CFile::modeWrite | CFile::modeReadWrite);
    return access == CFile::modeReadWrite ? "r+b" : access == CFile::modeWrite ? "wb" : "rb";
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

CFile::~CFile() { Close(); }

bool CFile::Open(const CString& path, UINT flags) {
    Close();
    int fd = openDescriptor(MapPath(path), flags);
    if (fd < 0) return false;
    fp_ = ::fdopen(fd, streamMode(flags));
    if (!fp_) {
        ::close(fd);
        return false;
    }
    path_ = path;
    flags_ = flags;
    return true;
}

void CFile::Close() {
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!fp_ || !buffer || count == 0) return 0;
    return UINT(std::fread(buffer, 1, count, fp_));
}

bool CFile::Write(const void* buffer, UINT count) {
    if (!fp_) return false;
    if (count == 0) return true;
    if (!buffer) return false;
    return std::fwrite(buffer, 1, count, fp_) == count;
}

bool CFile::Flush() { return fp_ && std::fflush(fp_) == 0; }

int64_t CFile::Seek(int64_t offset, SeekPosition from) {
    if (!fp_) return -1;
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    if (::fseeko(fp_, off_t(offset), whence) != 0) return -1;
    return ::ftello(fp_);
}

int64_t CFile::GetPosition() const { return fp_ ? int64_t(::ftello(fp_)) : -1; }

int64_t CFile::GetLength() const {
    if (!fp_) return -1;
    // Seeking flushes pending writes, so the length includes them.
    off_t here = ::ftello(fp_);
    if (here < 0 || ::fseeko(fp_, 0, SEEK_END) != 0) return -1;
    off_t length = ::ftello(fp_);
    ::fseeko(fp_, here, SEEK_SET);
    return length;
}

bool CFile::SetLength(int64_t length) {
    if (!fp_ || length < 0 || std::fflush(fp_) != 0) return false;
    return ::ftruncate(::fileno(fp_), off_t(length)) == 0;
}

CString CFile::GetFileName() const {
    // The name after the last separator; a trail byte 0x5C is no separator.
    const char* text = path_.c_str();
    int length = path_.GetLength();
    int start = 0;
    for (int i = 0; i < length; i += CharLengthAt(text, length, i))
        if (text[i] == '\\' || text[i] == '/') start = i + 1;
    return path_.Mid(start);
}

bool CFile::GetStatus(const CString& path, Status* status) {
    struct stat st;
    std::string native = MapPath(path);
    if (native.empty() || ::stat(native.c_str(), &st) != 0) return false;
    if (status) {
        status->m_size = uint64_t(st.st_size);
        status->m_isDirectory = S_ISDIR(st.st_mode);
    }
    return true;
}

bool CFile::Remove(const CString& path) {
    std::string native = MapPath(path);
    return !native.empty() && ::unlink(native.c_str()) == 0;
}

bool CStdioFile::ReadString(CString& line) {
    std::string& out = line.str();
    out.clear();
    if (!fp_) return false;
    bool any = false;
    for (int c; (c = std::getc(fp_)) != EOF;) {
        any = true;
        if (c == '\n') {
            if (!out.empty() && out.back() == '\r') out.pop_back();
            return true;
        }
        out += char(c);
    }
    return any;
}

bool CStdioFile::WriteString(const CString& text) { return Write(text.c_str(), UINT(text.GetLength())); }

bool ReadWholeFile(const CString& path, std::string* bytes) {
    if (!bytes) return false;
    int fd = openDescriptor(MapPath(path), CFile::modeRead);
    if (fd < 0) return false;
    std::string data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(size_t(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        data.append(chunk, size_t(n));
    }
    ::close(fd);
    bytes->swap(data);
    return true;
}

bool WriteWholeFile(const CString& path, const std::string& bytes) {
    std::string target = MapPath(path);
    if (target.empty()) return false;
    struct stat st;
    bool replacing = ::stat(target.c_str(), &st) == 0;
    if (replacing && S_ISDIR(st.st_mode)) return false;

    // Written beside the target and renamed over it, so that a failed write
    // leaves the old file whole.
    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (ok && replacing) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}
