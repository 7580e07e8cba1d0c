// Message catalogs: the binding of a base name and locale to a catalog library, and the
// library itself, a text file "<name>.msg" of "number<TAB>text" lines read into memory
// once and kept until the base name or the locale changes.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_map>

#include "kvrbase.h"
#include "platform/dd_names.h"
#include "services/messages.h"

namespace kvr {

namespace {

struct BindingRow {
    const char* baseName;
    const char* localePrefix; // "" matches every locale
    const char* library;
};

constexpr BindingRow kBindingTable[] = {
    {"kvrmsg.dll", "en", "kvrenus.dll"}, {"kvrmsg.dll", "ko", "kvrkokr.dll"},
    {"kvrmsg.dll", "ja", "kvrjajp.dll"}, {"kvrmsg.dll", "", "kvrenus.dll"},
    {"pjwenus.dll", "", "pjwenus.dll"},
};

constexpr size_t kLibraryNameSize = 128;

using Catalog = std::unordered_map<uint32_t, std::string>;

// The pair the current library was chosen for; a failed load leaves `catalog` empty and
// is not retried while the pair stays the same.
struct CatalogCache {
    bool pairKnown = false;
    std::string baseName;
    std::string locale;
    std::unique_ptr<Catalog> catalog;
};

CatalogCache sCache;

// "kvrenus.dll" is kept in the file "kvrenus.msg".
std::string CatalogFileName(const std::string& library) {
    std::string stem = library;
    if (stem.size() > 4) {
        std::string extension = stem.substr(stem.size() - 4);
        for (char& c : extension)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (extension == ".dll") stem.resize(stem.size() - 4);
    }
    return stem + ".msg";
}

// One "number<TAB>text" line; comments, blank and malformed lines are passed over.
void ParseCatalogLine(std::string line, Catalog& catalog) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') return;
    const size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string::npos || tab > 10) return;
    uint64_t number = 0;
    for (size_t i = 0; i < tab; ++i) {
        if (line[i] < '0' || line[i] > '9') return;
        number = number * 10 + static_cast<uint64_t>(line[i] - '0');
    }
    if (number > UINT32_MAX) return;
    catalog.emplace(static_cast<uint32_t>(number), line.substr(tab + 1)); // first one wins
}

std::unique_ptr<Catalog> LoadCatalog(const std::string& library) {
    const std::string fileName = CatalogFileName(library);
    for (const std::string& folder : MessageCatalogFolders()) {
        std::ifstream in(folder + "/" + fileName);
        if (!in) continue;
        auto catalog = std::make_unique<Catalog>();
        for (std::string line; std::getline(in, line);)
            ParseCatalogLine(std::move(line), *catalog);
        return catalog;
    }
    return nullptr;
}

} // namespace

std::vector<std::string> MessageCatalogFolders() {
    if (const char* path = std::getenv("KVRMSGPATH"); path != nullptr && *path != '\0') {
        return {path};
    }
    const std::string exeDir = platform::ExecutableDirectory();
    if (exeDir.empty()) return {};
    return {exeDir + "/messages", exeDir + "/../share/kvr4000/messages"};
}

std::string CatalogDescription(const char* baseName, const char* locale) {
    char library[kLibraryNameSize];
    if (!KVRGetMessageBind(baseName, locale, library))
        return std::string("no catalog for ") + (baseName != nullptr ? baseName : "");
    std::string text = CatalogFileName(library) + " in ";
    const std::vector<std::string> folders = MessageCatalogFolders();
    for (size_t i = 0; i < folders.size(); ++i)
        text += (i > 0 ? ", " : "") + folders[i];
    return text;
}

const std::string* LookupCatalogText(const char* baseName, const char* locale, uint32_t number) {
    if (baseName == nullptr) return nullptr;
    if (locale == nullptr) locale = "";
    if (!sCache.pairKnown || sCache.baseName != baseName || sCache.locale != locale) {
        sCache.pairKnown = true;
        sCache.baseName = baseName;
        sCache.locale = locale;
        sCache.catalog.reset();
        char library[kLibraryNameSize];
        if (KVRGetMessageBind(baseName, locale, library)) sCache.catalog = LoadCatalog(library);
    }
    if (!sCache.catalog) return nullptr;
    auto found = sCache.catalog->find(number);
    return found == sCache.catalog->end() ? nullptr : &found->second;
}

void ForgetCachedCatalogPair() {
    sCache.pairKnown = false;
    sCache.catalog.reset();
}

} // namespace kvr

extern "C" KVR_API BOOLEAN KVRGetMessageBind(const char* pszBaseName, const char* pszLocale,
                                             char* outLibrary) {
    if (outLibrary != nullptr) outLibrary[0] = '\0';
    if (pszBaseName == nullptr) return FALSE;
    const char* locale = pszLocale ? pszLocale : "";
    for (const kvr::BindingRow& row : kvr::kBindingTable) {
        if (std::strcmp(row.baseName, pszBaseName) != 0) continue;
        if (std::strncmp(row.localePrefix, locale, std::strlen(row.localePrefix)) != 0) continue;
        if (outLibrary != nullptr) {
            const size_t length = strnlen(row.library, kvr::kLibraryNameSize - 1);
            std::memcpy(outLibrary, row.library, length);
            outLibrary[length] = '\0';
        }
        return TRUE;
    }
    return FALSE;
}
