// Circular doubly linked lists with one current position. The get operations walk the
// ring from the first entry (or backwards from the last) and report its end with null;
// an inserted entry becomes current, and deleting moves the position to the successor.
#include "extras/collections.h"

#include <cstdlib>
#include <new>
#include <vector>

namespace kvr {
namespace {

cdm_list_entry* First(const cdm_handle* h) {
    return static_cast<cdm_list_entry*>(h->pTop);
}
cdm_list_entry* Current(const cdm_handle* h) {
    return static_cast<cdm_list_entry*>(h->pCurrent);
}

// Links `entry` into the ring just before `at`.
void LinkBefore(cdm_list_entry* entry, cdm_list_entry* at) {
    entry->pNext = at;
    entry->pPrev = at->pPrev;
    at->pPrev->pNext = entry;
    at->pPrev = entry;
}

enum class InsertPlace { AfterCurrent, BeforeCurrent };

// Both insert operations: an empty list gets its only entry; `place` chooses where in a
// non-empty one. The new entry becomes current.
uint16_t InsertEntry(CDM_HANDLE handle, void* pElement, InsertPlace place) {
    cdm_handle* h = HandleOfKind(handle, CDM_TYPE_LIST);
    if (h == nullptr || pElement == nullptr) return kCdmFailed;
    auto* entry = static_cast<cdm_list_entry*>(std::calloc(1, sizeof(cdm_list_entry)));
    if (entry == nullptr) return kCdmFailed;
    entry->pElement = pElement;
    cdm_list_entry* first = First(h);
    cdm_list_entry* current = Current(h);
    if (first == nullptr) {
        entry->pNext = entry;
        entry->pPrev = entry;
        h->pTop = entry;
    } else if (place == InsertPlace::AfterCurrent && current != nullptr) {
        LinkBefore(entry, current->pNext);
    } else if (place == InsertPlace::BeforeCurrent && current != nullptr && current != first) {
        LinkBefore(entry, current);
    } else {
        // Before the first entry, i.e. after the last one, as the new first entry.
        LinkBefore(entry, first);
        h->pTop = entry;
    }
    h->pCurrent = entry;
    ++h->ulNumber;
    return kCdmOk;
}

} // namespace

void ReleaseListEntries(cdm_handle* h) {
    cdm_list_entry* first = First(h);
    if (first == nullptr) return;
    first->pPrev->pNext = nullptr; // open the ring so the walk ends
    for (cdm_list_entry* entry = first; entry != nullptr;) {
        cdm_list_entry* next = entry->pNext;
        std::free(entry);
        entry = next;
    }
}

} // namespace kvr

using kvr::cdm_handle;
using kvr::cdm_list_entry;

uint16_t GetNextListElement(CDM_HANDLE handle, void** pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_LIST);
    if (h == nullptr || pElement == nullptr) return kvr::kCdmFailed;
    if (*pElement == nullptr) h->pCurrent = nullptr; // the caller restarts the walk
    cdm_list_entry* first = kvr::First(h);
    cdm_list_entry* current = kvr::Current(h);
    if (first == nullptr || (current != nullptr && current->pNext == first)) {
        *pElement = nullptr; // empty, or at the end: the position stays
        return kvr::kCdmOk;
    }
    current = current == nullptr ? first : current->pNext;
    h->pCurrent = current;
    *pElement = current->pElement;
    return kvr::kCdmOk;
}

uint16_t GetPrevListElement(CDM_HANDLE handle, void** pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_LIST);
    if (h == nullptr || pElement == nullptr) return kvr::kCdmFailed;
    if (*pElement == nullptr) h->pCurrent = nullptr;
    cdm_list_entry* first = kvr::First(h);
    cdm_list_entry* current = kvr::Current(h);
    if (first == nullptr || current == first) {
        *pElement = nullptr;
        return kvr::kCdmOk;
    }
    current = current == nullptr ? first->pPrev : current->pPrev;
    h->pCurrent = current;
    *pElement = current->pElement;
    return kvr::kCdmOk;
}

uint16_t InsertAfterListElement(CDM_HANDLE handle, void* pElement) {
    return kvr::InsertEntry(handle, pElement, kvr::InsertPlace::AfterCurrent);
}

uint16_t InsertBeforeListElement(CDM_HANDLE handle, void* pElement) {
    return kvr::InsertEntry(handle, pElement, kvr::InsertPlace::BeforeCurrent);
}

uint16_t DeleteListElement(CDM_HANDLE handle) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_LIST);
    if (h == nullptr || h->pCurrent == nullptr) return kvr::kCdmFailed;
    cdm_list_entry* current = kvr::Current(h);
    cdm_list_entry* first = kvr::First(h);
    cdm_list_entry* next = current->pNext;
    if (next == current) {
        h->pTop = nullptr;
        h->pCurrent = nullptr;
    } else {
        current->pPrev->pNext = next;
        next->pPrev = current->pPrev;
        if (current == first) h->pTop = next;
        // Deleting the last entry leaves no position; otherwise the successor takes it.
        h->pCurrent = next == first ? nullptr : next;
    }
    std::free(current);
    --h->ulNumber;
    return kvr::kCdmOk;
}

uint16_t CopyList(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle) {
    if (ptoHandle == nullptr || pfromHandle == nullptr) return kvr::kCdmFailed;
    cdm_handle* to = kvr::HandleOfKind(*ptoHandle, CDM_TYPE_LIST);
    cdm_handle* from = kvr::HandleOfKind(*pfromHandle, CDM_TYPE_LIST);
    if (to == nullptr || from == nullptr) return kvr::kCdmFailed;
    try {
        // Take the elements first: copying a list into itself must not see its own inserts.
        std::vector<void*> elements;
        elements.reserve(from->ulNumber);
        cdm_list_entry* first = kvr::First(from);
        for (cdm_list_entry* entry = first; entry != nullptr;) {
            elements.push_back(entry->pElement);
            entry = entry->pNext == first ? nullptr : entry->pNext;
        }
        for (void* element : elements) {
            if (InsertAfterListElement(to, element) != kvr::kCdmOk) return kvr::kCdmFailed;
        }
    } catch (const std::bad_alloc&) {
        return kvr::kCdmFailed;
    }
    return kvr::kCdmOk;
}
