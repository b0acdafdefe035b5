#pragma once
// Access to one phrase SMF file by path: loads it through its own reader (or
// takes it from the process-wide cache) and saves an event list through it.
#include <memory>

#include "engine/work/ArticSmf.h"
#include "engine/work/ArticWrkEvnt.h"
#include "platform/File.h"
#include "platform/Object.h"
#include "platform/String.h"

class CArticFileIO : public CObject {
public:
    CArticFileIO();
    ~CArticFileIO() override;
    CArticFileIO(const CArticFileIO&) = delete;
    CArticFileIO& operator=(const CArticFileIO&) = delete;

    // Loads the file or takes it from the cache: 1; 0 when it cannot be
    // opened, is no ".mid" file or is refused by the reader. The list
    // belongs to this object (or to the cache) and is only read.
    virtual int Load(const char* path);
    virtual int GetEvntList(CArticWrkEvntList** out);
    virtual CArticWrkEvntList* GetEvntListPtr() { return m_pEvntList; }
    // Writes the event list to path, replacing the file's contents: 1 or 0.
    virtual int Save(const char* path);
    virtual void SetEvntList(CArticWrkEvntList* list) { m_pEvntList = list; }

    // 0 ".mid", 1 ".dat", 2 anything else (the extension ignoring case).
    static unsigned CheckPrefix(const char* path);

protected:
    virtual int LoadFile(CFile* file, unsigned kind);
    virtual int SaveFile(CFile* file, unsigned kind);

private:
    CArticWrkEvntList* m_pEvntList = nullptr;  // not owned
    std::unique_ptr<CArticSmf> m_pSmf;          // owned
};
