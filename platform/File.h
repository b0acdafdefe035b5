#pragma once
// Files by path. Paths are engine texts (CP932, Windows separators allowed);
// they are mapped with MapPath. Errors are return values, never exceptions.
#include <cstdio>
#include <string>

#include "platform/String.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,    // create; truncates unless modeNoTruncate
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    struct Status {
        uint64_t m_size = 0;
        bool m_isDirectory = false;
    };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // True when opened. modeCreate without modeNoTruncate empties the file.
    virtual bool Open(const CString& path, UINT flags);
    virtual void Close();
    bool IsOpen() const { return fp_ != nullptr; }

    // Reads up to count bytes; returns the number read (0 at the end or on error).
    UINT Read(void* buffer, UINT count);
    // Writes count bytes; false when not all were written.
    bool Write(const void* buffer, UINT count);
    bool Flush();
    // New position, or -1 on error.
    int64_t Seek(int64_t offset, SeekPosition from);
    int64_t SeekToBegin() { return Seek(0, begin); }
    int64_t SeekToEnd() { return Seek(0, end); }
    int64_t GetPosition() const;
    int64_t GetLength() const;
    bool SetLength(int64_t length);

    // The path as given to Open.
    CString GetFilePath() const { return path_; }
    CString GetFileName() const;

    // True when a file or folder exists at path; fills status when given.
    static bool GetStatus(const CString& path, Status* status = nullptr);
    static bool Remove(const CString& path);

protected:
    std::FILE* fp_ = nullptr;
    CString path_;
    UINT flags_ = 0;
};

// Text file read line by line. Lines end at "\n"; a "\r" before it is dropped.
class CStdioFile : public CFile {
public:
    // False at the end of the file; line is emptied then.
    bool ReadString(CString& line);
    bool WriteString(const CString& text);
};

// Reads a whole file into bytes; false when it does not exist or cannot be read.
bool ReadWholeFile(const CString& path, std::string* bytes);
// Writes bytes to a file, replacing it; false on any failure.
bool WriteWholeFile(const CString& path, const std::string& bytes);
