// The records behind a collection handle and the helpers the array, list and map files
// share. One handle record serves all three kinds; the kind byte is checked by every
// operation before the record is used.
#ifndef KVR_EXTRAS_COLLECTIONS_H
#define KVR_EXTRAS_COLLECTIONS_H

#include "kvrbase.h"

#include <cstdint>

namespace kvr {

struct cdm_handle {
    CDM_TYPE enumType;
    uint32_t ulMaxNumber;   // array: slots; map: buckets; list: not used
    uint32_t ulInitialSize; // size given at creation; the growth step of arrays and maps
    uint32_t ulNumber;      // number of elements
    void* pTop;             // array: slot table; map: bucket table; list: first entry
    void* pCurrent;         // list: current entry; map: non-null while iterating
    uint32_t ulCurrent;     // map iteration: current bucket
    uint32_t ulSubCurrent;  // map iteration: steps from the bucket's head entry
};

struct cdm_array_entry {
    void* pElement; // null: empty slot
};

// List entries form a ring: the last entry's pNext is the first, the first's pPrev the last.
struct cdm_list_entry {
    void* pElement;
    cdm_list_entry* pNext;
    cdm_list_entry* pPrev;
};

// Map entry. Each bucket embeds its first entry (all fields zero when the bucket is
// empty); the bucket's further entries are allocated and linked into a ring with it.
struct cdm_idx_entry {
    void* pElement;
    const unsigned char* pKey; // the caller's key bytes, not copied
    uint32_t ulLength;
    cdm_idx_entry* pNext;
    cdm_idx_entry* pPrev;
};

constexpr uint16_t kCdmOk = 0;
constexpr uint16_t kCdmFailed = 1;

// The handle's record when it is non-null and of the given kind; null otherwise.
cdm_handle* HandleOfKind(CDM_HANDLE handle, CDM_TYPE kind);

// The handle's record when it is non-null and of a known kind; null otherwise.
cdm_handle* HandleOfAnyKind(CDM_HANDLE handle);

// Free every entry and table a collection of that kind allocated; the elements and keys
// are the caller's and stay untouched. The handle fields are left for the caller to reset.
void ReleaseArrayTable(cdm_handle* h);
void ReleaseListEntries(cdm_handle* h);
void ReleaseMapEntries(cdm_handle* h);

} // namespace kvr

#endif
