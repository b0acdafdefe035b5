#pragma once
// Time-ordered lists of owned events, shared by the KV part timelines.
#include <type_traits>

#include "platform/Collections.h"
#include "platform/Object.h"
#include "platform/Types.h"

// One setting of a timeline: what it sets, when (engine ticks) and to what.
class CArticTimelineEvnt : public CObject {
    VX_DECLARE_CLASS(CArticTimelineEvnt)
public:
    CArticTimelineEvnt(signed char kind, INT64 time, BYTE value) : m_Kind(kind), m_Time(time), m_Value(value) {}
    ~CArticTimelineEvnt() override = default;

    signed char GetKind() const { return m_Kind; }
    INT64 GetTime() const { return m_Time; }
    BYTE GetValue() const { return m_Value; }
    void SetKind(signed char kind) { m_Kind = kind; }
    void SetTime(INT64 time) { m_Time = time; }
    void SetValue(BYTE value) { m_Value = value; }

private:
    signed char m_Kind;
    INT64 m_Time;
    BYTE m_Value;
};

namespace articline {

// Inserts before the first event that is later; equal times keep their arrival order.
template <class List, class Evnt>
void InsertByTime(List& list, Evnt* evnt) {
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (list.GetNext(pos)->GetTime() > evnt->GetTime()) {
            list.InsertBefore(at, evnt);
            return;
        }
    }
    list.AddTail(evnt);
}

template <class List>
void DeleteAll(List& list) {
    while (!list.IsEmpty()) delete list.RemoveHead();
}

// Replaces the events with copies of the source's; copying a list onto itself changes nothing.
template <class List>
void CopyAll(List& list, const List* from) {
    if (from == &list) return;
    DeleteAll(list);
    if (!from) return;
    for (POSITION pos = from->GetHeadPosition(); pos;) {
        const auto* src = from->GetNext(pos);
        list.AddTail(new std::remove_const_t<std::remove_pointer_t<decltype(src)>>(*src));
    }
}

}  // namespace articline
