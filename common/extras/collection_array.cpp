// Growable arrays of element pointers. The slot table grows in steps of the initial size
// so that the requested index fits; a put counts one element even when it overwrites.
#include "extras/collections.h"

#include <cstdlib>
#include <cstring>

namespace kvr {
namespace {

cdm_array_entry* Slots(const cdm_handle* h) {
    return static_cast<cdm_array_entry*>(h->pTop);
}

// Replaces the slot table by one of `slots` slots, keeping the old slots when asked.
bool ResizeSlots(cdm_handle* h, uint64_t slots, bool keepOld) {
    if (slots > UINT32_MAX) return false;
    auto* table = static_cast<cdm_array_entry*>(std::calloc(slots, sizeof(cdm_array_entry)));
    if (table == nullptr) return false;
    if (keepOld && h->ulMaxNumber > 0) {
        std::memcpy(table, Slots(h), h->ulMaxNumber * sizeof(cdm_array_entry));
    }
    std::free(h->pTop);
    h->pTop = table;
    h->ulMaxNumber = static_cast<uint32_t>(slots);
    return true;
}

// Slots that hold index lastIndex, rounded up to whole growth steps.
uint64_t RoundUpToStep(uint64_t lastIndex, uint32_t step) {
    return (lastIndex / step + 1) * static_cast<uint64_t>(step);
}

} // namespace

void ReleaseArrayTable(cdm_handle* h) {
    std::free(h->pTop);
}

} // namespace kvr

using kvr::cdm_handle;

uint16_t GetArrayElement(CDM_HANDLE handle, uint32_t ulIndex, void** pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_ARRAY);
    if (h == nullptr || pElement == nullptr) return kvr::kCdmFailed;
    *pElement = ulIndex < h->ulMaxNumber ? kvr::Slots(h)[ulIndex].pElement : nullptr;
    return kvr::kCdmOk;
}

uint16_t PutArrayElement(CDM_HANDLE handle, uint32_t ulIndex, void* pElement) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_ARRAY);
    if (h == nullptr || pElement == nullptr || h->ulInitialSize == 0) return kvr::kCdmFailed;
    if (ulIndex >= h->ulMaxNumber &&
        !kvr::ResizeSlots(h, kvr::RoundUpToStep(ulIndex, h->ulInitialSize), true)) {
        return kvr::kCdmFailed;
    }
    kvr::Slots(h)[ulIndex].pElement = pElement;
    ++h->ulNumber;
    return kvr::kCdmOk;
}

uint16_t DeleteArrayElement(CDM_HANDLE handle, uint32_t ulIndex) {
    cdm_handle* h = kvr::HandleOfKind(handle, CDM_TYPE_ARRAY);
    if (h == nullptr || ulIndex >= h->ulMaxNumber) return kvr::kCdmFailed;
    kvr::cdm_array_entry& slot = kvr::Slots(h)[ulIndex];
    if (slot.pElement == nullptr) return kvr::kCdmFailed;
    slot.pElement = nullptr;
    // A copy sets the count from the source while the target may keep further slots, so
    // more slots can be filled than counted; the count must not wrap below zero.
    if (h->ulNumber > 0) --h->ulNumber;
    return kvr::kCdmOk;
}

uint16_t CopyArray(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle) {
    if (ptoHandle == nullptr || pfromHandle == nullptr) return kvr::kCdmFailed;
    cdm_handle* to = kvr::HandleOfKind(*ptoHandle, CDM_TYPE_ARRAY);
    cdm_handle* from = kvr::HandleOfKind(*pfromHandle, CDM_TYPE_ARRAY);
    if (to == nullptr || from == nullptr || to->ulInitialSize == 0) return kvr::kCdmFailed;
    if (from->ulNumber == 0 || to == from) return kvr::kCdmOk;
    if (from->ulMaxNumber > to->ulMaxNumber &&
        !kvr::ResizeSlots(to, kvr::RoundUpToStep(from->ulMaxNumber - 1, to->ulInitialSize),
                          false)) {
        return kvr::kCdmFailed;
    }
    std::memcpy(to->pTop, from->pTop, from->ulMaxNumber * sizeof(kvr::cdm_array_entry));
    to->ulNumber = from->ulNumber;
    return kvr::kCdmOk;
}
