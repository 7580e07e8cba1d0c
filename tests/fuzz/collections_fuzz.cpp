// Drives one keyed map and one ring with operations read from the input, and checks every
// result against a plain model: a std::map for the map, and a vector with a current index
// that follows the ring's position rules. Any disagreement aborts.
#include <algorithm>
#include <map>

#include "fuzz_support.h"

namespace {

using kvr::fuzz::Require;

int g_elements[64];

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool Has(size_t n) const { return size - pos >= n; }
    uint8_t Byte() { return data[pos++]; }
};

struct ListModel {
    std::vector<void*> items;
    int current = -1;
    void InsertAfter(void* e) {
        current = items.empty() || current < 0 ? 0 : current + 1;
        items.insert(items.begin() + current, e);
    }
    void InsertBefore(void* e) {
        if (items.empty() || current <= 0) current = 0;
        items.insert(items.begin() + current, e);
    }
    bool Delete() {
        if (current < 0) return false;
        const bool wasLast = current + 1 == static_cast<int>(items.size());
        items.erase(items.begin() + current);
        if (wasLast) current = -1;
        return true;
    }
    void* Next(bool restart) {
        if (restart) current = -1;
        if (items.empty() || current + 1 == static_cast<int>(items.size())) return nullptr;
        return items[++current];
    }
    void* Prev(bool restart) {
        if (restart) current = -1;
        if (items.empty() || current == 0) return nullptr;
        current = current < 0 ? static_cast<int>(items.size()) - 1 : current - 1;
        return items[current];
    }
};

struct State {
    CDM_HANDLE map = nullptr;
    CDM_HANDLE list = nullptr;
    std::map<std::string, void*> mapModel;
    ListModel listModel;
    void* mapVar = nullptr;
    void* listVar = nullptr;
};

uint32_t SizeOf(CDM_HANDLE handle) {
    uint32_t size = 0;
    Require(GetCollectionSize(handle, &size) == 0);
    return size;
}

std::vector<void*> SortedValues(const std::map<std::string, void*>& model) {
    std::vector<void*> values;
    for (const auto& [key, value] : model)
        values.push_back(value);
    std::sort(values.begin(), values.end());
    return values;
}

void FullMapWalk(State& s) {
    std::vector<void*> seen;
    s.mapVar = nullptr;
    do {
        Require(GetNextMapElement(s.map, &s.mapVar) == 0);
        if (s.mapVar != nullptr) seen.push_back(s.mapVar);
        Require(seen.size() <= s.mapModel.size());
    } while (s.mapVar != nullptr);
    std::sort(seen.begin(), seen.end());
    Require(seen == SortedValues(s.mapModel));
}

void CheckCopiedMap(State& s) {
    CDM_HANDLE copy = CopyCollection(s.map);
    if (copy == nullptr) {
        Require(s.mapModel.empty()); // only a cleared map has no buckets to size a copy
        return;
    }
    Require(SizeOf(copy) == s.mapModel.size());
    for (const auto& [key, value] : s.mapModel) {
        void* out = nullptr;
        const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
        Require(GetMapElement(copy, bytes, static_cast<uint32_t>(key.size()), &out) == 0);
        Require(out == value);
    }
    Require(TerminateCollection(copy) == 0);
}

// One map operation; false when the input ran out.
bool MapStep(State& s, Input& in, uint8_t op) {
    if (op >= 3) {
        if (op == 3) FullMapWalk(s);
        if (op == 4) {
            Require(GetNextMapElement(s.map, &s.mapVar) == 0);
            const std::vector<void*> values = SortedValues(s.mapModel);
            Require(s.mapVar == nullptr ||
                    std::binary_search(values.begin(), values.end(), s.mapVar));
        }
        if (op == 5) CheckCopiedMap(s);
        if (op == 6) {
            Require(ClearCollection(s.map) == 0);
            s.mapModel.clear();
        }
        return true;
    }
    if (!in.Has(1)) return false;
    const uint32_t length = 1 + in.Byte() % 4;
    if (!in.Has(length + 1)) return false;
    const unsigned char* key = in.data + in.pos; // the input outlives the map
    in.pos += length;
    void* element = &g_elements[in.Byte() % 64];
    const std::string text(reinterpret_cast<const char*>(key), length);
    auto found = s.mapModel.find(text);
    void* out = nullptr;
    switch (op) {
    case 0:
        Require(PutMapElement(s.map, key, length, element) == 0);
        s.mapModel.emplace(text, element); // an existing key keeps its first element
        break;
    case 1:
        Require(GetMapElement(s.map, key, length, &out) == 0);
        Require(out == (found == s.mapModel.end() ? nullptr : found->second));
        break;
    default:
        Require(DeleteMapElement(s.map, key, length) == (found == s.mapModel.end() ? 1 : 0));
        if (found != s.mapModel.end()) s.mapModel.erase(found);
        break;
    }
    return true;
}

// One list operation; false when the input ran out.
bool ListStep(State& s, Input& in, uint8_t op) {
    ListModel& model = s.listModel;
    switch (op) {
    case 0:
    case 1: {
        if (!in.Has(1)) return false;
        void* element = &g_elements[in.Byte() % 64];
        if (op == 0) {
            Require(InsertAfterListElement(s.list, element) == 0);
            model.InsertAfter(element);
        } else {
            Require(InsertBeforeListElement(s.list, element) == 0);
            model.InsertBefore(element);
        }
        break;
    }
    case 2:
        Require(DeleteListElement(s.list) == (model.Delete() ? 0 : 1));
        break;
    case 3:
    case 4: {
        const bool restart = s.listVar == nullptr;
        if (op == 3) {
            Require(GetNextListElement(s.list, &s.listVar) == 0);
            Require(s.listVar == model.Next(restart));
        } else {
            Require(GetPrevListElement(s.list, &s.listVar) == 0);
            Require(s.listVar == model.Prev(restart));
        }
        break;
    }
    case 5:
        s.listVar = nullptr; // the next walk step restarts
        break;
    default:
        // Keep the variable non-null so the next step continues from the position.
        s.listVar = &g_elements[0];
        break;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    if (!in.Has(1)) return 0;
    State s;
    s.map = InitiateCollection(CDM_TYPE_MAP, 1 + in.Byte() % 8);
    s.list = InitiateCollection(CDM_TYPE_LIST, 0);
    Require(s.map != nullptr && s.list != nullptr);
    bool more = true;
    while (more && in.Has(1)) {
        const uint8_t op = in.Byte();
        // Low bit picks the collection; the rest the operation on it.
        more = (op & 1) ? ListStep(s, in, (op >> 1) % 7) : MapStep(s, in, (op >> 1) % 7);
        Require(SizeOf(s.map) == s.mapModel.size());
        Require(SizeOf(s.list) == s.listModel.items.size());
    }
    FullMapWalk(s);
    Require(TerminateCollection(s.map) == 0);
    Require(TerminateCollection(s.list) == 0);
    return 0;
}
