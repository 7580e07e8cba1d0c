// Ownership inside the analyzer, stated once for every layer.
//
// Every record, text and list the analyzer owns is a counted block of kvrbase: records are
// taken with CreateBlockWithDebug, texts with CloneString, lists with CreateList. So a
// debug run's block statistics balance, and the -d2 trace names the function that took each
// block and the one that gave it back. The handles below own such blocks and give them back
// through the C API when they go: an OwnedText through FreeString, a record through its
// type's Release (its destructor, then FreeBlockWithDebug with the tag its type names), a
// list through the release of each item and then FreeBlockWithDebug of the list itself.
// A raw pointer in a record never owns; what a record owns is held by one of these types.
// Handles move, they are never copied; a null handle owns nothing.
#ifndef KVR_BASE_OWNERSHIP_H
#define KVR_BASE_OWNERSHIP_H

#include <cstdint>
#include <memory>
#include <new>
#include <utility>

#include "kvrbase.h"

namespace kvr {

// The debug level that the block traces of released handles follow: the run's -d level.
// One of the few process-wide values of the analyzer (a handle has no context when it goes).
int32_t BlockTraceLevel();
void SetBlockTraceLevel(int32_t level);

// ---------------------------------------------------------------- texts

struct TextRelease {
    void operator()(char* text) const { FreeString(text, BlockTraceLevel()); }
};
using OwnedText = std::unique_ptr<char, TextRelease>;

// An owned copy of the text (null stays null).
inline OwnedText CopyText(const char* text) {
    return OwnedText(text != nullptr ? CloneString(text, BlockTraceLevel()) : nullptr);
}
// An owned copy of the text, the empty text for null: absent values are stored as empty.
inline OwnedText CopyTextOrEmpty(const char* text) {
    return OwnedText(CloneString(text != nullptr ? text : "", BlockTraceLevel()));
}

// ---------------------------------------------------------------- records

// A record in a counted block: constructed in place, so its owned fields are handles.
// Null when no block can be had (the caller reports it).
template <class T, class... Args> T* NewRecord(const char* tag, Args&&... args) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(T), tag, BlockTraceLevel()) == 0) return nullptr;
    return new (block) T{std::forward<Args>(args)...};
}

// Destroys the record (its handles give back what they own) and gives its block back.
template <class T> void DeleteRecord(T* record, const char* tag) {
    if (record == nullptr) return;
    record->~T();
    FreeBlockWithDebug(record, tag, BlockTraceLevel());
}

// An object the holder owns and gives back with the release function its maker named, so
// that a lower layer can hold what a higher one made without knowing how it is released.
template <class T> class Owned {
  public:
    using Release = void (*)(T*);
    Owned() = default;
    Owned(T* object, Release release) : object_(object), release_(release) {}
    Owned(Owned&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)), release_(other.release_) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
            release_ = other.release_;
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the object over without releasing it.
    T* release() { return std::exchange(object_, nullptr); }
    void reset(T* object = nullptr, Release release = nullptr) {
        if (object_ != nullptr && release_ != nullptr) release_(object_);
        object_ = object;
        if (release != nullptr) release_ = release;
    }

  private:
    T* object_ = nullptr;
    Release release_ = nullptr;
};

// Undoes a step of a walk on every way out unless dismissed (the undo of a half-made call).
template <class Undo> class ScopeGuard {
  public:
    explicit ScopeGuard(Undo undo) : undo_(std::move(undo)) {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    ~ScopeGuard() {
        if (active_) undo_();
    }
    void Dismiss() { active_ = false; }

  private:
    Undo undo_;
    bool active_ = true;
};

} // namespace kvr

#endif
