// Creation, release, size and copy of collection handles: the operations that work on
// every kind and leave the work particular to a kind to the array, list and map files.
#include "extras/collections.h"

#include <cstdlib>

namespace kvr {
namespace {

bool IsKnownKind(CDM_TYPE kind) {
    return kind == CDM_TYPE_ARRAY || kind == CDM_TYPE_LIST || kind == CDM_TYPE_MAP;
}

void ReleaseContents(cdm_handle* h) {
    switch (h->enumType) {
    case CDM_TYPE_ARRAY:
        ReleaseArrayTable(h);
        break;
    case CDM_TYPE_LIST:
        ReleaseListEntries(h);
        break;
    case CDM_TYPE_MAP:
        ReleaseMapEntries(h);
        break;
    default:
        break;
    }
}

} // namespace

cdm_handle* HandleOfAnyKind(CDM_HANDLE handle) {
    auto* h = static_cast<cdm_handle*>(handle);
    return h != nullptr && IsKnownKind(h->enumType) ? h : nullptr;
}

cdm_handle* HandleOfKind(CDM_HANDLE handle, CDM_TYPE kind) {
    auto* h = static_cast<cdm_handle*>(handle);
    return h != nullptr && h->enumType == kind ? h : nullptr;
}

} // namespace kvr

using kvr::cdm_handle;

CDM_HANDLE InitiateCollection(CDM_TYPE enumType, uint32_t ulInitialSize) {
    if (!kvr::IsKnownKind(enumType)) return nullptr;
    if (enumType != CDM_TYPE_LIST && ulInitialSize == 0) return nullptr;
    auto* h = static_cast<cdm_handle*>(std::calloc(1, sizeof(cdm_handle)));
    if (h == nullptr) return nullptr;
    if (enumType == CDM_TYPE_ARRAY) {
        h->pTop = std::calloc(ulInitialSize, sizeof(kvr::cdm_array_entry));
    } else if (enumType == CDM_TYPE_MAP) {
        h->pTop = std::calloc(ulInitialSize, sizeof(kvr::cdm_idx_entry));
    }
    if (enumType != CDM_TYPE_LIST && h->pTop == nullptr) {
        std::free(h);
        return nullptr;
    }
    h->enumType = enumType;
    h->ulMaxNumber = ulInitialSize;
    h->ulInitialSize = ulInitialSize;
    return h;
}

uint16_t TerminateCollection(CDM_HANDLE handle) {
    cdm_handle* h = kvr::HandleOfAnyKind(handle);
    if (h == nullptr) return kvr::kCdmFailed;
    kvr::ReleaseContents(h);
    std::free(h);
    return kvr::kCdmOk;
}

uint16_t ClearCollection(CDM_HANDLE handle) {
    cdm_handle* h = kvr::HandleOfAnyKind(handle);
    if (h == nullptr) return kvr::kCdmFailed;
    kvr::ReleaseContents(h);
    // The kind and the growth step stay, so an emptied array or map grows on its next put.
    h->ulMaxNumber = 0;
    h->ulNumber = 0;
    h->pTop = nullptr;
    h->pCurrent = nullptr;
    h->ulCurrent = 0;
    h->ulSubCurrent = 0;
    return kvr::kCdmOk;
}

uint16_t GetCollectionSize(CDM_HANDLE handle, uint32_t* pulSize) {
    cdm_handle* h = kvr::HandleOfAnyKind(handle);
    if (h == nullptr || pulSize == nullptr) return kvr::kCdmFailed;
    *pulSize = h->ulNumber;
    return kvr::kCdmOk;
}

CDM_HANDLE CopyCollection(CDM_HANDLE handle) {
    cdm_handle* h = kvr::HandleOfAnyKind(handle);
    if (h == nullptr) return nullptr;
    CDM_HANDLE copy = InitiateCollection(h->enumType, h->ulMaxNumber);
    if (copy == nullptr) return nullptr;
    uint16_t status = kvr::kCdmFailed;
    switch (h->enumType) {
    case CDM_TYPE_ARRAY:
        status = CopyArray(&copy, &handle);
        break;
    case CDM_TYPE_LIST:
        status = CopyList(&copy, &handle);
        break;
    default:
        status = CopyMap(&copy, &handle);
        break;
    }
    if (status != kvr::kCdmOk) {
        TerminateCollection(copy);
        return nullptr;
    }
    return copy;
}
