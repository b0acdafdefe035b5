#include "engine/work/ArticWrkCond.h"

#include <new>

#include "engine/work/ArticWrkUtil.h"

VX_IMPLEMENT_CLASS(CArticWrkCond, CObject);

struct CArticWrkCond::SharedList {
    CArticWrkEvntList list{10};
    SharedList() = default;
    SharedList(const SharedList&) = delete;
    SharedList& operator=(const SharedList&) = delete;
    ~SharedList() {
        for (POSITION p = list.GetHeadPosition(); p;) DeleteEntry(list.GetNext(p));
    }
};

namespace {

template <class T>
std::shared_ptr<T> MakeShared() {
    try {
        return std::make_shared<T>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

CArticWrkCond::CArticWrkCond(CArticWrk* wrk) : m_pWrk(wrk) {
    for (auto& list : m_pList) list = MakeShared<SharedList>();
}

CArticWrkCond::~CArticWrkCond() = default;

CArticWrkCond& CArticWrkCond::operator=(const CArticWrkCond& src) {
    if (this == &src) return *this;
    m_pWrk = src.m_pWrk;
    for (int i = 0; i < kListCount; ++i) {
        if (src.m_pList[i]) {
            m_pList[i] = src.m_pList[i];
        } else {
            Clear(i);
        }
    }
    return *this;
}

void CArticWrkCond::Clear() {
    for (int i = 0; i < kListCount; ++i) Clear(i);
}

void CArticWrkCond::Clear(int kind) {
    // A shared list stays with the timelines still holding it.
    if (m_pList[kind] && m_pList[kind].use_count() == 1)
        ClearEvntList(&m_pList[kind]->list);
    else
        m_pList[kind] = MakeShared<SharedList>();
}

CArticWrkEvntList* CArticWrkCond::List(int kind) const { return m_pList[kind] ? &m_pList[kind]->list : nullptr; }

CArticWrkEvntList* CArticWrkCond::Own(int kind) const {
    std::shared_ptr<SharedList>& shared = m_pList[kind];
    if (!shared) return nullptr;
    if (shared.use_count() > 1) {
        std::shared_ptr<SharedList> own = MakeShared<SharedList>();
        if (!own) return nullptr;
        const_cast<CArticWrkCond*>(this)->CopyEvntList(&shared->list, &own->list);
        shared = std::move(own);
    }
    return &shared->list;
}

int CArticWrkCond::ShiftEvntPbRange(INT64 from, INT64 to, short shift) {
    return CArticWrkUtil::ShiftPackedEvnt(Own(kPbRange), 0x20, 0, 0, from, to, shift);
}

CArticWrkEvnt* CArticWrkCond::NewCopy(const CArticWrkEvnt* evnt) {
    auto* copy = new (std::nothrow) CArticWrkEvnt();
    if (!copy) return nullptr;
    *copy = *evnt;
    copy->SetOwner(evnt->GetOwner());
    copy->SetEvntNo(evnt->GetEvntNo());
    return copy;
}

void CArticWrkCond::DeleteEntry(CArticWrkEvnt* entry) {
    if (!entry) return;
    entry->SetOwner(nullptr);
    delete entry;
}

void CArticWrkCond::ClearEvntList(CArticWrkEvntList* list) {
    if (!list) return;
    for (POSITION p = list->GetHeadPosition(); p;) DeleteEntry(list->GetNext(p));
    list->RemoveAll();
}

void CArticWrkCond::CopyEvntList(const CArticWrkEvntList* src, CArticWrkEvntList* dst) {
    if (!src || !dst) return;
    for (POSITION p = src->GetHeadPosition(); p;) {
        CArticWrkEvnt* e = src->GetNext(p);
        if (!e) continue;
        if (CArticWrkEvnt* copy = NewCopy(e)) dst->AddTail(copy);
    }
}

void CArticWrkCond::DeleteEvntList(CArticWrkEvntList*& list) {
    ClearEvntList(list);
    delete list;
    list = nullptr;
}

int CArticWrkCond::AddEvnt(CArticWrkEvntList* list, CArticWrkEvnt* evnt) {
    if (!list || !evnt) return 1;
    const INT64 t = evnt->GetTime();
    for (POSITION p = list->GetTailPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* entry = list->GetPrev(p);
        if (!entry) continue;
        if (entry->GetTime() == t) {
            if (entry != evnt) *entry = *evnt;
            entry->SetOwner(evnt->GetOwner());
            entry->SetEvntNo(evnt->GetEvntNo());
            return 0;
        }
        if (entry->GetTime() < t) {
            CArticWrkEvnt* copy = NewCopy(evnt);
            if (!copy) return 1;
            list->InsertAfter(at, copy);
            return 0;
        }
    }
    CArticWrkEvnt* copy = NewCopy(evnt);
    if (!copy) return 1;
    list->AddHead(copy);
    return 0;
}

int CArticWrkCond::GetEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt) {
    if (!list || list->IsEmpty()) return 1;
    CArticWrkEvnt* before = nullptr;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* entry = list->GetNext(p);
        if (!entry) continue;
        if (entry->GetTime() > time) break;
        before = entry;
        if (entry->GetTime() == time) break;
    }
    if (!before) return 1;
    if (evnt) *evnt = before;
    return 0;
}

int CArticWrkCond::GetNextEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt) {
    if (!list) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        CArticWrkEvnt* entry = list->GetNext(p);
        if (entry && entry->GetTime() > time) {
            if (evnt) *evnt = entry;
            return 0;
        }
    }
    return 1;
}

int CArticWrkCond::GetPrevEvnt(CArticWrkEvntList* list, INT64 time, CArticWrkEvnt** evnt) {
    if (!list) return 1;
    for (POSITION p = list->GetTailPosition(); p;) {
        CArticWrkEvnt* entry = list->GetPrev(p);
        if (entry && entry->GetTime() < time) {
            if (evnt) *evnt = entry;
            return 0;
        }
    }
    return 1;
}

int CArticWrkCond::DelEvnt(CArticWrkEvntList* list, INT64 from, INT64 to) {
    if (!list) return 1;
    for (POSITION p = list->GetHeadPosition(); p;) {
        POSITION at = p;
        CArticWrkEvnt* entry = list->GetNext(p);
        if (!entry) continue;
        if (entry->GetTime() > to) break;
        if (entry->GetTime() >= from) {
            list->RemoveAt(at);
            DeleteEntry(entry);
        }
    }
    return 0;
}
