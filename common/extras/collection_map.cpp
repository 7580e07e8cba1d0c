// Keyed maps: byte-string keys hashed into a table of buckets, each bucket a ring whose
// first entry is embedded in the table. The table grows by the initial size whenever it
// holds as many entries as buckets, by rebuilding the map into a larger one.
#include "extras/collections.h"
#include "extras/hash.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace kvr {
namespace {

cdm_idx_entry* Buckets(const cdm_handle* h) {
    return static_cast<cdm_idx_entry*>(h->pTop);
}

bool IsEmptyBucket(const cdm_idx_entry* head) {
    return head->pElement == nullptr;
}

// The bucket head for a key; null when the map has no buckets (it was cleared).
cdm_idx_entry* BucketOf(const cdm_handle* h, const unsigned char* key, uint32_t length) {
    if (h->ulMaxNumber == 0 || h->pTop == nullptr) return nullptr;
    return &Buckets(h)[MapHash(key, length) % h->ulMaxNumber];
}

bool KeyEquals(const cdm_idx_entry* entry, const unsigned char* key, uint32_t length) {
    return entry->ulLength == length && std::memcmp(entry->pKey, key, length) == 0;
}

cdm_idx_entry* FindEntry(const cdm_handle* h, const unsigned char* key, uint32_t length) {
    cdm_idx_entry* head = BucketOf(h, key, length);
    if (head == nullptr) return nullptr;
    cdm_idx_entry* entry = head;
    do {
        if (entry->pElement == nullptr || entry->pKey == nullptr) return nullptr;
        if (KeyEquals(entry, key, length)) return entry;
        entry = entry->pNext;
    } while (entry != head);
    return nullptr;
}

void ResetIteration(cdm_handle* h) {
    h->pCurrent = nullptr;
    h->ulCurrent = 0;
    h->ulSubCurrent = 0;
}

// Calls visit(entry) for every entry, bucket by bucket, head first and then in ring
// order; stops and returns false as soon as visit does.
template <typename Visit> bool VisitEntries(const cdm_handle* h, Visit visit) {
    for (uint32_t b = 0; b < h->ulMaxNumber; ++b) {
        cdm_idx_entry* head = &Buckets(h)[b];
        if (IsEmptyBucket(head)) continue;
        cdm_idx_entry* entry = head;
        do {
            if (!visit(entry)) return false;
            entry = entry->pNext;
        } while (entry != head);
    }
    return true;
}

// Rebuilds the map with ulInitialSize more buckets. The handles exchange their whole
// contents, so the caller's handle stays valid and takes the rebuilt map's size as its
// next growth step; on failure the map is left as it was.
bool GrowMap(cdm_handle* h) {
    const uint64_t buckets = static_cast<uint64_t>(h->ulInitialSize) + h->ulMaxNumber;
    if (buckets > UINT32_MAX) return false;
    auto* bigger =
        static_cast<cdm_handle*>(InitiateCollection(CDM_TYPE_MAP, static_cast<uint32_t>(buckets)));
    if (bigger == nullptr) return false;
    const bool filled = VisitEntries(h, [bigger](const cdm_idx_entry* entry) {
        return PutMapElement(bigger, entry->pKey, entry->ulLength, entry->pElement) == kCdmOk;
    });
    if (filled) std::swap(*h, *bigger);
    TerminateCollection(bigger);
    return filled;
}

// Puts into the key's bucket without growing; `added` tells whether an entry was added.
uint16_t PlaceEntry(cdm_handle* h, const unsigned char* key, uint32_t length, void* element,
                    bool& added) {
    added = false;
    cdm_idx_entry* head = BucketOf(h, key, length);
    if (head == nullptr) return kCdmFailed;
    cdm_idx_entry* entry = head;
    if (IsEmptyBucket(head)) {
        head->pNext = head;
        head->pPrev = head;
    } else {
        do {
            if (KeyEquals(entry, key, length)) return kCdmOk; // the first element stays
            entry = entry->pNext;
        } while (entry != head);
        entry = static_cast<cdm_idx_entry*>(std::calloc(1, sizeof(cdm_idx_entry)));
        if (entry == nullptr) return kCdmFailed;
        entry->pNext = head; // the ring's new last entry
        entry->pPrev = head->pPrev;
        head->pPrev->pNext = entry;
        head->pPrev = entry;
    }
    entry->pElement = element;
    entry->pKey = key;
    entry->ulLength = length;
    added = true;
    return kCdmOk;
}

// Unlinks an entry of the bucket headed by `head`. A head with followers takes over the
// second entry's contents, since the head itself lives in the table.
void RemoveEntry(cdm_idx_entry* head, cdm_idx_entry* entry) {
    if (entry == head) {
        if (head->pNext == head) {
            *head = cdm_idx_entry{};
            return;
        }
        entry = head->pNext;
        head->pElement = entry->pElement;
        head->pKey = entry->pKey;
        head->ulLength = entry->ulLength;
    }
    entry->pPrev->pNext = entry->pNext;
    entry->pNext->pPrev = entry->pPrev;
    std::free(entry);
}

// The entry ulSubCurrent + 1 steps after the head of the current bucket, or null when
// the ring has no further entry.
cdm_idx_entry* NextInBucket(cdm_handle* h) {
    if (h->ulCurrent >= h->ulMaxNumber) return nullptr;
    cdm_idx_entry* head = &Buckets(h)[h->ulCurrent];
    if (IsEmptyBucket(head)) return nullptr;
    cdm_idx_entry* entry = head;
    for (uint32_t step = 0; step <= h->ulSubCurrent; ++step) {
        entry = entry->pNext;
        if (entry == head) return nullptr;
    }
    ++h->ulSubCurrent;
    return entry;
}

// The head of the first non-empty bucket from `start`, made the current bucket.
cdm_idx_entry* FirstInBuckets(cdm_handle* h, uint32_t start) {
    for (uint32_t b = start; b < h->ulMaxNumber; ++b) {
        cdm_idx_entry* head = &Buckets(h)[b];
        if (IsEmptyBucket(head)) continue;
        h->ulCurrent = b;
        h->ulSubCurrent = 0;
        return head;
    }
    return nullptr;
}

struct KeyedElement {
    const unsigned char* key;
    uint32_t length;
    void* element;
};

} // namespace

void ReleaseMapEntries(cdm_handle* h) {
    for (uint32_t b = 0; b < h->ulMaxNumber; ++b) {
        cdm_idx_entry* head = &Buckets(h)[b];
        if (IsEmptyBucket(head)) continue;
        for (cdm_idx_entry* entry = head->pNext; entry != head;) {
            cdm_idx_entry* next = entry->pNext;
            std::free(entry);
            entry = next;
        }
    }
    std::free(h->pTop);
}

} // namespace kvr

using kvr::cdm_handle;
using kvr::cdm_idx_entry;

uint16_t GetMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength,
                       void** pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_MAP);
    if (h == nullptr || pElement == nullptr) return kvr::kCdmFailed;
    *pElement = nullptr;
    if (pKey == nullptr || ulLength == 0) return kvr::kCdmFailed;
    if (const cdm_idx_entry* entry = kvr::FindEntry(h, pKey, ulLength)) {
        *pElement = entry->pElement;
    }
    return kvr::kCdmOk;
}

uint16_t PutMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength,
                       void* pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_MAP);
    if (h == nullptr || pKey == nullptr || ulLength == 0 || pElement == nullptr) {
        return kvr::kCdmFailed;
    }
    if (h->ulNumber >= h->ulMaxNumber && !kvr::GrowMap(h)) return kvr::kCdmFailed;
    bool added = false;
    if (kvr::PlaceEntry(h, pKey, ulLength, pElement, added) != kvr::kCdmOk) {
        return kvr::kCdmFailed;
    }
    if (added) ++h->ulNumber;
    kvr::ResetIteration(h);
    return kvr::kCdmOk;
}

uint16_t GetNextMapElement(CDM_HANDLE handle, void** pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_MAP);
    if (h == nullptr || pElement == nullptr) return kvr::kCdmFailed;
    if (*pElement == nullptr) kvr::ResetIteration(h);
    cdm_idx_entry* entry = nullptr;
    if (h->pCurrent == nullptr) {
        entry = kvr::FirstInBuckets(h, 0);
    } else {
        entry = kvr::NextInBucket(h);
        if (entry == nullptr) entry = kvr::FirstInBuckets(h, h->ulCurrent + 1);
    }
    if (entry == nullptr) {
        kvr::ResetIteration(h); // no bucket left: the iteration ends
        *pElement = nullptr;
        return kvr::kCdmOk;
    }
    h->pCurrent = entry; // only a marker; never followed, so deletes cannot leave it dangling
    *pElement = entry->pElement;
    return kvr::kCdmOk;
}

uint16_t DeleteMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_MAP);
    if (h == nullptr || pKey == nullptr || ulLength == 0) return kvr::kCdmFailed;
    cdm_idx_entry* entry = kvr::FindEntry(h, pKey, ulLength);
    if (entry == nullptr) return kvr::kCdmFailed;
    kvr::RemoveEntry(kvr::BucketOf(h, pKey, ulLength), entry);
    --h->ulNumber;
    return kvr::kCdmOk;
}

uint16_t CopyMap(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle) {
    if (ptoHandle == nullptr || pfromHandle == nullptr) return kvr::kCdmFailed;
    cdm_handle* to = kvr::HandleOfKind(*ptoHandle, CDM_TYPE_MAP);
    cdm_handle* from = kvr::HandleOfKind(*pfromHandle, CDM_TYPE_MAP);
    if (to == nullptr || from == nullptr) return kvr::kCdmFailed;
    try {
        // Take the entries first: `to` may grow (and replace its table) while it is
        // filled, and it may be `from` itself.
        std::vector<kvr::KeyedElement> entries;
        entries.reserve(from->ulNumber);
        kvr::VisitEntries(from, [&entries](const cdm_idx_entry* entry) {
            entries.push_back({entry->pKey, entry->ulLength, entry->pElement});
            return true;
        });
        for (const kvr::KeyedElement& item : entries) {
            if (PutMapElement(to, item.key, item.length, item.element) != kvr::kCdmOk) {
                return kvr::kCdmFailed;
            }
        }
    } catch (const std::bad_alloc&) {
        return kvr::kCdmFailed;
    }
    return kvr::kCdmOk;
}
