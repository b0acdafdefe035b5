#pragma once
// Time-ordered lists of owned events, shared by the KV part timelines.
#include <type_traits>

#include "platform/Collections.h"
#include "platform/Types.h"

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
