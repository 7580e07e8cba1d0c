// The two INI-like configuration files offered to every analyzer: the common one on
// "DD:KVRCFG" and the analyzers' one on "DD:KVRANLZ". Each is read into a list of
// sections keyed by name, each holding its key/value pairs in file order, and values are
// looked up as strings, bounded strings, positive numbers or booleans.
#include "services/configuration.h"

#include "kvrbase.h"
#include "platform/dd_names.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kMsgCannotOpen = 1680;
constexpr uint32_t kMsgNoLines = 3112;
constexpr size_t kLineSize = 512; // a line is read in pieces of up to 511 characters
constexpr size_t kSectionNameMax = 255;
constexpr size_t kValueSize = 512; // the size of every value area handed out
constexpr int32_t kNumericDigitsMax = 15;

struct CCL_keyValue {
    char* key;
    char* value;
};

struct CCL_section {
    char* name;
    void* list; // CCL_keyValue items keyed by their key
};

// One configuration file: its DD name, its section list and the area that the bounded
// lookups fill.
struct CfgFile {
    const char* ddName;
    void* sections;
    char valueArea[kValueSize];
};

CfgFile commonCfg{"DD:KVRCFG", nullptr, {}};
CfgFile analyzersCfg{"DD:KVRANLZ", nullptr, {}};

// A section of the list, or null; the list's own key match decides.
CCL_section* FindSection(void* sections, const char* name) {
    void* found = nullptr;
    if (sections == nullptr || name == nullptr) return nullptr;
    return FindItemWithKey(sections, name, &found) != 0 ? static_cast<CCL_section*>(found)
                                                        : nullptr;
}

// Appends a new empty section; null when no block is left for it.
CCL_section* AddSection(void* sections, const char* name, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(CCL_section), "cfgList", debug) == 0) return nullptr;
    auto* section = static_cast<CCL_section*>(block);
    section->name = CloneString(name, debug);
    section->list = nullptr;
    if (CreateList(&section->list, debug) == 0 ||
        AddItemToList(sections, section, section->name, debug) == 0) {
        FreeList(section->list, debug);
        FreeString(section->name, debug);
        FreeBlockWithDebug(section, "cfgList", debug);
        return nullptr;
    }
    return section;
}

void AddPair(CCL_section* section, const char* key, const char* value, int32_t debug) {
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(CCL_keyValue), "keyValue", debug) == 0) return;
    auto* pair = static_cast<CCL_keyValue*>(block);
    pair->key = CloneString(key, debug);
    pair->value = CloneString(value, debug);
    if (AddItemToList(section->list, pair, pair->key, debug) == 0) {
        FreeString(pair->key, debug);
        FreeString(pair->value, debug);
        FreeBlockWithDebug(pair, "keyValue", debug);
    }
}

// One piece of a line, at most 511 characters; a carriage return before the line feed
// is not part of it.
bool ReadLine(FILE* file, char* line) {
    if (std::fgets(line, static_cast<int>(kLineSize), file) == nullptr) return false;
    const size_t length = std::strlen(line);
    if (length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n') {
        line[length - 2] = '\n';
        line[length - 1] = '\0';
    }
    return true;
}

// A "[name]" header: switches to that section, creating it when it is new.
CCL_section* ProcessHeader(CfgFile& cfg, char* line, int32_t lineNumber, CCL_section* current,
                           int32_t debug) {
    char* close = std::strchr(line, ']');
    if (close == nullptr) {
        if (debug)
            std::printf("Missing ']' at line %d of config file [%s]\n", lineNumber, cfg.ddName);
        return current;
    }
    *close = '\0';
    char* name = trim(line + 1);
    if (std::strlen(name) > kSectionNameMax) name[kSectionNameMax] = '\0';
    if (CCL_section* existing = FindSection(cfg.sections, name)) {
        if (debug) std::printf("Duplicate section [%s] in config file [%s]\n", name, cfg.ddName);
        return existing;
    }
    CCL_section* section = AddSection(cfg.sections, name, debug);
    if (section == nullptr) return current;
    if (debug) std::printf("[%s]\n", name);
    return section;
}

// "key = value": both sides trimmed, the value is everything after the first "=".
void ProcessPair(char* line, char* equals, CCL_section* current, int32_t debug) {
    *equals = '\0';
    const char* key = trim(line);
    const char* value = trim(equals + 1);
    if (current != nullptr) AddPair(current, key, value, debug);
    if (debug) std::printf("%s = %s\n", key, value);
}

void ReadCfg(CfgFile& cfg, int32_t debug) {
    FILE* file = kvr::platform::OpenDDFile(cfg.ddName, "r", debug);
    if (file == nullptr) {
        KVRWriteMessageWithStrings(kMsgCannotOpen, cfg.ddName, nullptr, nullptr, nullptr);
        return;
    }
    if (debug) {
        std::printf("========================================\n");
        std::printf("Contents of %s\n", cfg.ddName);
        std::printf("========================================\n");
    }
    char line[kLineSize];
    int32_t lineNumber = 0;
    CCL_section* current = nullptr;
    while (ReadLine(file, line)) {
        if (++lineNumber == 1) {
            if (cfg.sections == nullptr) CreateList(&cfg.sections, debug);
            // Pairs before the first header belong to the section with the empty name.
            current = FindSection(cfg.sections, "");
            if (current == nullptr) current = AddSection(cfg.sections, "", debug);
        }
        trim(line);
        if (line[0] == '#') continue;
        if (line[0] == '[') {
            current = ProcessHeader(cfg, line, lineNumber, current, debug);
        } else if (char* equals = std::strchr(line, '=')) {
            ProcessPair(line, equals, current, debug);
        }
    }
    std::fclose(file);
    if (lineNumber == 0)
        KVRWriteMessageWithStrings(kMsgNoLines, cfg.ddName, nullptr, nullptr, nullptr);
}

// Releases every pair and section, then the list; the file then has no list.
void FreeCfg(CfgFile& cfg, int32_t debug) {
    void* data = nullptr;
    while (FindFirstItem(cfg.sections, &data) != 0) {
        UnlinkCurrentItem(cfg.sections, &data, debug);
        auto* section = static_cast<CCL_section*>(data);
        void* pairData = nullptr;
        while (FindFirstItem(section->list, &pairData) != 0) {
            UnlinkCurrentItem(section->list, &pairData, debug);
            auto* pair = static_cast<CCL_keyValue*>(pairData);
            FreeString(pair->key, debug);
            FreeString(pair->value, debug);
            FreeBlockWithDebug(pair, "item", debug);
        }
        FreeList(section->list, debug);
        FreeString(section->name, debug);
        FreeBlockWithDebug(section, "iList", debug);
    }
    FreeList(cfg.sections, debug);
    cfg.sections = nullptr;
}

void InitializeCfg(CfgFile& cfg, int32_t debug) {
    // A list made earlier is released rather than lost.
    FreeCfg(cfg, debug);
    if (CreateList(&cfg.sections, debug) == 0) cfg.sections = nullptr;
}

// The value of the first pair with that key in the named section, or null.
const char* LookupValue(const CfgFile& cfg, const char* iSection, const char* iKey) {
    CCL_section* section = FindSection(cfg.sections, iSection);
    void* found = nullptr;
    if (section == nullptr || iKey == nullptr || FindItemWithKey(section->list, iKey, &found) == 0)
        return nullptr;
    return static_cast<CCL_keyValue*>(found)->value;
}

void GetValue(const CfgFile& cfg, const char* iSection, const char* iKey, char* outValue) {
    if (outValue == nullptr) return;
    const char* value = LookupValue(cfg, iSection, iKey);
    // Values come from lines of at most 511 characters, so they fit the 512-byte area.
    std::snprintf(outValue, kValueSize, "%s", value != nullptr ? value : "");
}

int32_t GetValueN(CfgFile& cfg, const char* iSection, const char* iKey, char* outValue,
                  int32_t len) {
    GetValue(cfg, iSection, iKey, cfg.valueArea);
    const size_t length = std::strlen(cfg.valueArea);
    if (outValue != nullptr) {
        const size_t limit = len > 0 ? static_cast<size_t>(len) : 0;
        if (length <= limit) {
            std::memcpy(outValue, cfg.valueArea, length + 1);
        } else {
            std::memcpy(outValue, cfg.valueArea, limit);
            outValue[limit] = '\0';
        }
    }
    return static_cast<int32_t>(length);
}

} // namespace

namespace kvr {

void* CommonCfgList() {
    return commonCfg.sections;
}

void* AnalyzersCfgList() {
    return analyzersCfg.sections;
}

} // namespace kvr

extern "C" {

void KVRU921_InitializeCommonCfgList(int32_t debug) {
    InitializeCfg(commonCfg, debug);
}

void KVRU921_InitializeAnalyzersCfgList(int32_t debug) {
    InitializeCfg(analyzersCfg, debug);
}

void KVRU921_ReadCommonCfg(int32_t debug) {
    ReadCfg(commonCfg, debug);
}

void KVRU921_ReadAnalyzersCfg(int32_t debug) {
    ReadCfg(analyzersCfg, debug);
}

void KVRU921_GetCommonCfgValue(const char* iSection, const char* iKey, char* outValue) {
    GetValue(commonCfg, iSection, iKey, outValue);
}

void KVRU921_GetAnalyzersCfgValue(const char* iSection, const char* iKey, char* outValue) {
    GetValue(analyzersCfg, iSection, iKey, outValue);
}

int32_t KVRU921_GetCommonCfgValueN(const char* iSection, const char* iKey, char* outValue,
                                   int32_t len) {
    return GetValueN(commonCfg, iSection, iKey, outValue, len);
}

int32_t KVRU921_GetAnalyzersCfgValueN(const char* iSection, const char* iKey, char* outValue,
                                      int32_t len) {
    return GetValueN(analyzersCfg, iSection, iKey, outValue, len);
}

int32_t KVRU921_getCommonCfgNumericValue(const char* iSection, const char* iKey,
                                         int32_t iDefaultValue) {
    char digits[kNumericDigitsMax + 1];
    const int32_t length = KVRU921_GetCommonCfgValueN(iSection, iKey, digits, kNumericDigitsMax);
    if (length == 0 || length > kNumericDigitsMax) return iDefaultValue;
    // Fifteen digits fit a long long; a number beyond the 32-bit range saturates.
    const long long number = std::strtoll(digits, nullptr, 10);
    if (number < 1) return iDefaultValue;
    return number > INT32_MAX ? INT32_MAX : static_cast<int32_t>(number);
}

BOOLEAN KVRU921_getCommonCfgBooleanValue(const char* iSection, const char* iKey,
                                         BOOLEAN iDefaultValue) {
    char value[kValueSize];
    KVRU921_GetCommonCfgValue(iSection, iKey, value);
    if (value[0] == '\0') return iDefaultValue;
    return std::strchr("yYTt1", value[0]) != nullptr ? TRUE : FALSE;
}

void KVRU921_FreeCommonCfgList(int32_t debug) {
    FreeCfg(commonCfg, debug);
}

void KVRU921_FreeAnalyzersCfgList(int32_t debug) {
    FreeCfg(analyzersCfg, debug);
}

} // extern "C"
