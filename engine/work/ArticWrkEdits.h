#pragma once
// A count of the edits that can change what the work data's navigation finds:
// an event's time, status, first data byte, number or place in its block, an
// entry of an event-number table, a track's selection, a track or block
// joining or leaving its list. Indexes kept for the navigation are valid only while the
// count stands where it stood when they were built; the count is shared by
// every work data, so an edit anywhere makes them all rebuild.
#include <atomic>
#include <cstdint>

class CArticWrkEdits {
public:
    static void Count() { s_Count.fetch_add(1, std::memory_order_relaxed); }
    static uint64_t Now() { return s_Count.load(std::memory_order_relaxed); }

private:
    static inline std::atomic<uint64_t> s_Count{0};
};
