// Typed handles over the lists of kvrbase, which hold void* items: ListView walks the items
// as T* through a cursor of its own (so a search of the list meanwhile, which moves the
// list's current item, does not disturb the walk), and OwnedList owns a list and its items,
// releasing each item with its type's release function and then the list.
#ifndef KVR_BASE_LISTS_H
#define KVR_BASE_LISTS_H

#include <utility>

#include "base/ownership.h"

namespace kvr {

template <class T> class ListView {
  public:
    class Iterator {
      public:
        explicit Iterator(void* list) {
            if (list != nullptr && KVR_CreateCursor(list, &cursor_, BlockTraceLevel()) != 0)
                Load();
        }
        Iterator(Iterator&& other) noexcept
            : cursor_(std::exchange(other.cursor_, nullptr)), item_(other.item_) {}
        Iterator(const Iterator&) = delete;
        Iterator& operator=(const Iterator&) = delete;
        ~Iterator() {
            if (cursor_ != nullptr) DeleteCursor(cursor_, BlockTraceLevel());
        }
        T* operator*() const { return item_; }
        Iterator& operator++() {
            item_ = nullptr;
            if (AdvanceCursor(cursor_)) Load();
            return *this;
        }
        bool operator!=(std::nullptr_t) const { return item_ != nullptr; }

      private:
        // Null items (none are ever listed) end the walk like the list's end.
        void Load() {
            void* data = nullptr;
            item_ = GetDataAtCursor(cursor_, &data) ? static_cast<T*>(data) : nullptr;
        }
        void* cursor_ = nullptr;
        T* item_ = nullptr;
    };

    explicit ListView(void* list) : list_(list) {}
    Iterator begin() const { return Iterator(list_); }
    std::nullptr_t end() const { return nullptr; }

  private:
    void* list_;
};

template <class T> class OwnedList {
  public:
    using Release = void (*)(T*);
    // tag: what the -d2 trace names when the list itself is given back.
    OwnedList(Release release, const char* tag) : release_(release), tag_(tag) {}
    // A list whose items a higher layer makes: that layer binds their release before it
    // adds the first one.
    OwnedList() = default;
    void Bind(Release release, const char* tag) {
        release_ = release;
        tag_ = tag;
    }
    OwnedList(OwnedList&& other) noexcept
        : list_(std::exchange(other.list_, nullptr)), release_(other.release_), tag_(other.tag_) {}
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;
    ~OwnedList() { Clear(); }

    // Makes the list when there is none yet; false when no block can be had.
    bool Create() {
        return list_ != nullptr || CreateList(&list_, BlockTraceLevel()) != 0;
    }
    // Appends the item under key (kept as a pointer: it must live as long as the item). An
    // item that cannot be listed is released, so the caller never owns it afterwards.
    bool Add(T* item, const char* key) {
        if (item == nullptr) return false;
        if (!Create() || AddItemToList(list_, item, key, BlockTraceLevel()) == 0) {
            release_(item);
            return false;
        }
        return true;
    }
    // The first item listed under key (exact match), or null.
    T* Find(const char* key) const {
        void* data = nullptr;
        if (list_ == nullptr || key == nullptr || FindItemWithKey(list_, key, &data) == 0)
            return nullptr;
        return static_cast<T*>(data);
    }
    ListView<T> Items() const { return ListView<T>(list_); }
    void* Handle() const { return list_; }
    bool Empty() const {
        void* data = nullptr;
        return list_ == nullptr || FindFirstItem(list_, &data) == 0;
    }
    // Moves the first count items of other (all with a negative count), in order, to the
    // end of this list, all under key.
    bool TakeItemsFrom(OwnedList& other, const char* key, long count = -1) {
        void* data = nullptr;
        if (other.list_ == nullptr || count == 0) return true;
        if (!Create()) return false;
        while (count-- != 0 && FindFirstItem(other.list_, &data)) {
            UnlinkCurrentItem(other.list_, &data, BlockTraceLevel());
            if (data != nullptr && AddItemToList(list_, data, key, BlockTraceLevel()) == 0) {
                release_(static_cast<T*>(data));
                return false;
            }
        }
        return true;
    }
    void Swap(OwnedList& other) noexcept { std::swap(list_, other.list_); }
    // Keeps, in order, the items keep(item) accepts, each listed again under key(item), and
    // releases the others. False when the list could not be made again (every item is then
    // released).
    template <class Keep, class Key> bool Retain(Keep keep, Key key) {
        if (list_ == nullptr) return true;
        OwnedList kept(release_, tag_);
        bool listed = kept.Create();
        void* data = nullptr;
        while (FindFirstItem(list_, &data)) {
            UnlinkCurrentItem(list_, &data, BlockTraceLevel());
            T* item = static_cast<T*>(data);
            if (item == nullptr) continue;
            if (listed && keep(item))
                listed = kept.Add(item, key(item));
            else
                release_(item);
        }
        Swap(kept);
        return listed;
    }
    // Releases every item, from the front, then the list.
    void Clear() {
        if (list_ == nullptr) return;
        void* data = nullptr;
        // Unlinking the head leaves no current item, so every round starts at the head.
        while (FindFirstItem(list_, &data)) {
            UnlinkCurrentItem(list_, &data, BlockTraceLevel());
            if (data != nullptr) release_(static_cast<T*>(data));
        }
        FreeBlockWithDebug(list_, tag_, BlockTraceLevel());
        list_ = nullptr;
    }

  private:
    void* list_ = nullptr;
    Release release_ = nullptr;
    const char* tag_ = "FreeList";
};

} // namespace kvr

#endif
