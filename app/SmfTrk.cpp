#include "app/SmfTrk.h"

#include <algorithm>
#include <new>

#include "app/SmfCodes.h"

int CTrk::Clear() {
    m_Events.clear();
    return 0;
}

int CTrk::Append(std::unique_ptr<CEvnt> evnt) {
    if (!evnt) return SmfFail(1);
    m_Events.push_back(std::move(evnt));
    return 0;
}

int CTrk::InsertSorted(std::unique_ptr<CEvnt> evnt) {
    if (!evnt) return SmfFail(1);
    const DWORD time = evnt->GetTime();
    auto it = m_Events.end();
    // From the end: the cheap case when events arrive in time order.
    while (it != m_Events.begin()) {
        auto before = std::prev(it);
        if ((*before)->GetTime() <= time) break;
        it = before;
    }
    m_Events.insert(it, std::move(evnt));
    return 0;
}

int CTrk::InsertAt(size_t index, std::unique_ptr<CEvnt> evnt) {
    if (!evnt) return SmfFail(1);
    auto it = m_Events.begin();
    std::advance(it, std::min(index, m_Events.size()));
    m_Events.insert(it, std::move(evnt));
    return 0;
}

int CTrk::RemoveEvent(const CEvnt* evnt) {
    if (!evnt) return SmfFail(1);
    const DWORD time = evnt->GetTime();
    for (auto it = m_Events.begin(); it != m_Events.end(); ++it) {
        if (it->get() == evnt) {
            m_Events.erase(it);
            return 0;
        }
        if ((*it)->GetTime() > time) return SmfFail(4);
    }
    return 0;
}

int CTrk::SortByTime() {
    m_Events.sort([](const std::unique_ptr<CEvnt>& a, const std::unique_ptr<CEvnt>& b) {
        return a->GetTime() < b->GetTime();
    });
    return 0;
}

int CTrk::CopyEventsFrom(const CTrk& other) {
    if (&other == this) return SmfFail(1);
    for (const auto& source : other.m_Events) {
        std::unique_ptr<CEvnt> copy(new (std::nothrow) CEvnt);
        if (!copy) return SmfFail(2);
        const int rc = copy->CopyFrom(source.get());
        if (SmfFailed(rc)) return SmfWrap(rc, 3);
        InsertSorted(std::move(copy));
    }
    return 0;
}

int CTrk::RebuildEndOfTrack() {
    UINT64 end = 0;
    for (auto it = m_Events.begin(); it != m_Events.end();) {
        const CEvnt& e = **it;
        UINT64 eventEnd = e.GetTime();
        if (e.GetStatus() == SMF_NOTE_ON) eventEnd += e.GetGate();
        end = std::max(end, eventEnd);
        it = e.IsEndOfTrack() ? m_Events.erase(it) : std::next(it);
    }
    std::unique_ptr<CEvnt> eot(new (std::nothrow) CEvnt);
    if (!eot) return SmfFail(2);
    eot->SetStatus(SMF_META);
    eot->SetMetaType(SMF_META_END_OF_TRACK);
    eot->SetTime(DWORD(std::min<UINT64>(end, 0xFFFFFFFFu)));
    return InsertSorted(std::move(eot));
}
