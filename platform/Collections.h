#pragma once
// Lists, arrays and maps of the engine. Lists and arrays of pointers NEVER
// delete what they point at: the owner named in the engine class does.
#include <algorithm>
#include <cstddef>
#include <map>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VX_POISON_NODE(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VX_UNPOISON_NODE(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VX_POISON_NODE(p, n) ((void)(p), (void)(n))
#define VX_UNPOISON_NODE(p, n) ((void)(p), (void)(n))
#endif

#include "platform/Object.h"
#include "platform/String.h"

// A doubly linked node list whose positions (node addresses) stay valid while
// other elements are inserted or removed. Walking off either end yields a null
// position; passing a null position is an error the caller avoids.
//
// Nodes are cut from blocks the list owns (4 nodes, then twice as many per
// block up to 256), and a removed node's slot serves the next insertion:
// the engine builds hundreds of thousands of short lists, and one heap block
// per element made allocation the largest cost of loading. The blocks go
// back to the heap when the list becomes empty and when it is destroyed.
// Under AddressSanitizer a free slot is poisoned, so that using a removed
// position is still reported.
template <class E>
class VxNodeList {
    struct Node {
        Node* next;
        Node* prev;
        E data;
    };
    // A node's storage; while free it links the list's free slots.
    union Slot {
        Slot* nextFree;
        alignas(Node) unsigned char bytes[sizeof(Node)];
    };
    // A block: this header, then `count` slots.
    struct Block {
        Block* next;
        size_t count;
        Slot* FirstSlot() { return reinterpret_cast<Slot*>(reinterpret_cast<unsigned char*>(this) + kSlotsAt); }
    };
    static constexpr size_t kSlotsAt = (sizeof(Block) + alignof(Slot) - 1) / alignof(Slot) * alignof(Slot);
    static constexpr size_t kFirstBlock = 4;
    static constexpr size_t kLargestBlock = 256;

public:
    explicit VxNodeList(int /*blockSize*/ = 10) {}
    VxNodeList(const VxNodeList&) = delete;
    VxNodeList& operator=(const VxNodeList&) = delete;
    ~VxNodeList() { RemoveAll(); }

    int GetCount() const { return count_; }
    int GetSize() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    POSITION GetHeadPosition() const { return pos(head_); }
    POSITION GetTailPosition() const { return pos(tail_); }
    E& GetHead() { return head_->data; }
    const E& GetHead() const { return head_->data; }
    E& GetTail() { return tail_->data; }
    const E& GetTail() const { return tail_->data; }

    // Returns the element at pos and advances pos to the next (null at the end).
    E& GetNext(POSITION& p) {
        Node* n = node(p);
        p = pos(n->next);
        return n->data;
    }
    const E& GetNext(POSITION& p) const {
        Node* n = node(p);
        p = pos(n->next);
        return n->data;
    }
    E& GetPrev(POSITION& p) {
        Node* n = node(p);
        p = pos(n->prev);
        return n->data;
    }
    const E& GetPrev(POSITION& p) const {
        Node* n = node(p);
        p = pos(n->prev);
        return n->data;
    }
    E& GetAt(POSITION p) { return node(p)->data; }
    const E& GetAt(POSITION p) const { return node(p)->data; }
    void SetAt(POSITION p, const E& value) { node(p)->data = value; }

    POSITION AddHead(const E& value) { return insertBetween(nullptr, head_, value); }
    POSITION AddTail(const E& value) { return insertBetween(tail_, nullptr, value); }
    void AddTail(const VxNodeList& other) {
        for (Node* n = other.head_; n; n = n->next) AddTail(n->data);
    }
    void AddHead(const VxNodeList& other) {
        for (Node* n = other.tail_; n; n = n->prev) AddHead(n->data);
    }
    POSITION InsertBefore(POSITION p, const E& value) {
        if (!p) return AddHead(value);
        Node* n = node(p);
        return insertBetween(n->prev, n, value);
    }
    POSITION InsertAfter(POSITION p, const E& value) {
        if (!p) return AddTail(value);
        Node* n = node(p);
        return insertBetween(n, n->next, value);
    }

    E RemoveHead() {
        E value = head_->data;
        unlink(head_);
        return value;
    }
    E RemoveTail() {
        E value = tail_->data;
        unlink(tail_);
        return value;
    }
    void RemoveAt(POSITION p) { unlink(node(p)); }
    void RemoveAll() {
        for (Node* n = head_; n; n = n->next) n->data.~E();
        head_ = tail_ = nullptr;
        count_ = 0;
        freeBlocks();
    }

    // First position holding value, searching after `after` (from the head when null).
    POSITION Find(const E& value, POSITION after = nullptr) const {
        for (Node* n = after ? node(after)->next : head_; n; n = n->next)
            if (n->data == value) return pos(n);
        return nullptr;
    }
    // Position of the index-th element, null when out of range.
    POSITION FindIndex(int index) const {
        if (index < 0 || index >= count_) return nullptr;
        Node* n = head_;
        while (index-- > 0) n = n->next;
        return pos(n);
    }

private:
    static POSITION pos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* node(POSITION p) { return reinterpret_cast<Node*>(p); }

    POSITION insertBetween(Node* prev, Node* next, const E& value) {
        if (!free_) addBlock();
        Slot* slot = free_;
        VX_UNPOISON_NODE(slot, sizeof(Slot));
        Slot* const after = slot->nextFree;
        Node* n = nullptr;
        try {
            n = ::new (static_cast<void*>(slot->bytes)) Node{next, prev, value};
        } catch (...) {
            slot->nextFree = after;
            VX_POISON_NODE(slot, sizeof(Slot));
            throw;
        }
        free_ = after;
        if (prev) prev->next = n; else head_ = n;
        if (next) next->prev = n; else tail_ = n;
        ++count_;
        return pos(n);
    }
    void unlink(Node* n) {
        if (n->prev) n->prev->next = n->next; else head_ = n->next;
        if (n->next) n->next->prev = n->prev; else tail_ = n->prev;
        n->~Node();
        --count_;
        if (count_ == 0) {
            freeBlocks();
            return;
        }
        Slot* slot = reinterpret_cast<Slot*>(n);
        slot->nextFree = free_;
        free_ = slot;
        VX_POISON_NODE(slot, sizeof(Slot));
    }
    // Adds a block and puts its slots on the free list (all of them free:
    // the list only grows a block when none is left).
    void addBlock() {
        const size_t count = blocks_ ? std::min(blocks_->count * 2, kLargestBlock) : kFirstBlock;
        auto* block = static_cast<Block*>(::operator new(kSlotsAt + count * sizeof(Slot)));
        block->next = blocks_;
        block->count = count;
        blocks_ = block;
        Slot* first = block->FirstSlot();
        for (size_t i = 0; i < count; ++i) first[i].nextFree = i + 1 < count ? &first[i + 1] : nullptr;
        free_ = first;
        VX_POISON_NODE(first, count * sizeof(Slot));
    }
    // Only when no node is in use.
    void freeBlocks() {
        while (blocks_) {
            Block* next = blocks_->next;
            VX_UNPOISON_NODE(blocks_->FirstSlot(), blocks_->count * sizeof(Slot));
            ::operator delete(blocks_);
            blocks_ = next;
        }
        free_ = nullptr;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
    Block* blocks_ = nullptr;  // owned
    Slot* free_ = nullptr;     // free slots of the blocks, linked
};

// Untyped pointer list.
class CPtrList : public VxNodeList<void*>, public CObject {
public:
    explicit CPtrList(int blockSize = 10) : VxNodeList<void*>(blockSize) {}
};

// List of object pointers (stored untyped so that the typed list below can
// hold any pointer type).
class CObList : public VxNodeList<void*>, public CObject {
public:
    explicit CObList(int blockSize = 10) : VxNodeList<void*>(blockSize) {}
};

// List of texts held by value.
class CStringList : public VxNodeList<CString>, public CObject {
public:
    explicit CStringList(int blockSize = 10) : VxNodeList<CString>(blockSize) {}
};

// Typed view of a pointer list. Getters return the pointer by value; write
// through SetAt.
template <class BASE, class TYPE>
class CTypedPtrList : public BASE {
    using Raw = VxNodeList<void*>;

public:
    explicit CTypedPtrList(int blockSize = 10) : BASE(blockSize) {}

    TYPE GetHead() const { return cast(Raw::GetHead()); }
    TYPE GetTail() const { return cast(Raw::GetTail()); }
    TYPE GetNext(POSITION& p) const { return cast(Raw::GetNext(p)); }
    TYPE GetPrev(POSITION& p) const { return cast(Raw::GetPrev(p)); }
    TYPE GetAt(POSITION p) const { return cast(Raw::GetAt(p)); }
    void SetAt(POSITION p, TYPE value) { Raw::SetAt(p, raw(value)); }
    POSITION AddHead(TYPE value) { return Raw::AddHead(raw(value)); }
    POSITION AddTail(TYPE value) { return Raw::AddTail(raw(value)); }
    void AddTail(const CTypedPtrList& other) { Raw::AddTail(other); }
    void AddHead(const CTypedPtrList& other) { Raw::AddHead(other); }
    POSITION InsertBefore(POSITION p, TYPE value) { return Raw::InsertBefore(p, raw(value)); }
    POSITION InsertAfter(POSITION p, TYPE value) { return Raw::InsertAfter(p, raw(value)); }
    TYPE RemoveHead() { return cast(Raw::RemoveHead()); }
    TYPE RemoveTail() { return cast(Raw::RemoveTail()); }
    POSITION Find(TYPE value, POSITION after = nullptr) const { return Raw::Find(raw(value), after); }

private:
    static TYPE cast(void* p) { return static_cast<TYPE>(p); }
    static void* raw(TYPE p) { return const_cast<void*>(static_cast<const void*>(p)); }
};

// Array of pointers with a visible size. SetSize grows with null slots and
// shrinking deletes nothing; nothing grows implicitly. An index outside the
// array reads as null and is never written.
template <class E>
class VxPtrArrayBase : public CObject {
public:
    int GetSize() const { return int(items_.size()); }
    int GetCount() const { return int(items_.size()); }
    int GetUpperBound() const { return int(items_.size()) - 1; }
    bool IsEmpty() const { return items_.empty(); }
    void SetSize(int size, int growBy = -1) {
        if (growBy > 0) growBy_ = growBy;
        items_.resize(size < 0 ? 0 : size_t(size), nullptr);
    }
    E GetAt(int i) const { return inRange(i) ? items_[size_t(i)] : nullptr; }
    E operator[](int i) const { return GetAt(i); }
    void SetAt(int i, E value) {
        if (inRange(i)) items_[size_t(i)] = value;
    }
    int Add(E value) {
        items_.push_back(value);
        return int(items_.size()) - 1;
    }
    void InsertAt(int i, E value, int count = 1) {
        if (i < 0 || count <= 0) return;
        if (size_t(i) > items_.size()) items_.resize(size_t(i), nullptr);
        items_.insert(items_.begin() + i, size_t(count), value);
    }
    void RemoveAt(int i, int count = 1) {
        if (!inRange(i) || count <= 0) return;
        size_t end = std::min(items_.size(), size_t(i) + size_t(count));
        items_.erase(items_.begin() + i, items_.begin() + long(end));
    }
    void RemoveAll() { items_.clear(); }
    int GetGrowBy() const { return growBy_; }

protected:
    bool inRange(int i) const { return i >= 0 && size_t(i) < items_.size(); }
    std::vector<E> items_;
    int growBy_ = 0;
};

class CPtrArray : public VxPtrArrayBase<void*> {};
class CObArray : public VxPtrArrayBase<void*> {};

template <class BASE, class TYPE>
class CTypedPtrArray : public BASE {
public:
    TYPE GetAt(int i) const { return static_cast<TYPE>(BASE::GetAt(i)); }
    TYPE operator[](int i) const { return GetAt(i); }
    void SetAt(int i, TYPE value) { BASE::SetAt(i, raw(value)); }
    int Add(TYPE value) { return BASE::Add(raw(value)); }
    void InsertAt(int i, TYPE value, int count = 1) { BASE::InsertAt(i, raw(value), count); }

private:
    static void* raw(TYPE p) { return const_cast<void*>(static_cast<const void*>(p)); }
};

// Ordered map with the old positional walk (GetStartPosition/GetNextAssoc).
// The position is the address of the entry; the walk looks up the entry after it.
template <class K, class V>
class VxMap : public CObject {
public:
    int GetCount() const { return int(map_.size()); }
    bool IsEmpty() const { return map_.empty(); }
    bool Lookup(const K& key, V& value) const {
        auto it = map_.find(key);
        if (it == map_.end()) return false;
        value = it->second;
        return true;
    }
    void SetAt(const K& key, const V& value) { map_[key] = value; }
    V& operator[](const K& key) { return map_[key]; }
    bool RemoveKey(const K& key) { return map_.erase(key) > 0; }
    void RemoveAll() { map_.clear(); }
    POSITION GetStartPosition() const { return map_.empty() ? nullptr : pos(*map_.begin()); }
    void GetNextAssoc(POSITION& p, K& key, V& value) const {
        const auto* entry = reinterpret_cast<const std::pair<const K, V>*>(p);
        key = entry->first;
        value = entry->second;
        auto it = map_.upper_bound(key);
        p = it == map_.end() ? nullptr : pos(*it);
    }

private:
    static POSITION pos(const std::pair<const K, V>& e) {
        return reinterpret_cast<POSITION>(const_cast<std::pair<const K, V>*>(&e));
    }
    std::map<K, V> map_;
};

class CMapWordToOb : public VxMap<WORD, CObject*> {};
class CMapPtrToWord : public VxMap<void*, WORD> {};
class CMapStringToPtr : public VxMap<CString, void*> {};
