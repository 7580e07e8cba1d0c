// Splits arbitrary bytes as an operand field, with and without the asterisk ending the
// text, and checks what any split must satisfy: at most 2096 parameters, each inside the
// structure's own copy and in order, joined by commas they give back the text up to its
// end, and keyword lookups agree with a plain scan. Every block is returned.
#include <algorithm>
#include <cstring>

#include "fuzz_support.h"
#include "services/parameter_structure.h"

namespace {

using kvr::fuzz::Outstanding;
using kvr::fuzz::Require;

// What a keyword lookup must find: the first entry holding the keyword and then "=".
const char* FirstWithKeyword(const std::vector<const char*>& entries, const std::string& keyword) {
    for (const char* entry : entries)
        if (std::strncmp(entry, keyword.c_str(), keyword.size()) == 0 &&
            entry[keyword.size()] == '=')
            return entry;
    return nullptr;
}

void CheckSplit(const std::string& text, bool useAsterisk) {
    const int32_t before = Outstanding();
    void* parms = nullptr;
    CreateParmStructure(&parms, text.c_str(), useAsterisk ? TRUE : FALSE, 0, 0);
    if (parms == nullptr) { // refused: too many parameters or nested too deep
        Require(before == Outstanding());
        return;
    }
    const int32_t count = QueryParmCount(parms);
    Require(count >= 0 && count <= kvr::kMaxParmEntries);
    uint32_t length = 0;
    const char* data = kvr::ParmDataOf(parms, &length);
    Require(data != nullptr && length == std::strlen(text.c_str()) + 1);

    std::vector<const char*> entries;
    std::string joined;
    const char* previousEnd = data;
    for (int32_t i = 1; i <= count; ++i) {
        char* parm = nullptr;
        Require(QueryPositionalParm(i, parms, &parm) == TRUE);
        const size_t parmLength = std::strlen(parm);
        Require(parm >= previousEnd && parm + parmLength < data + length);
        previousEnd = parm + parmLength + 1;
        entries.push_back(parm);
        joined += (i > 1 ? "," : "") + std::string(parm);
    }
    char* unused = nullptr;
    Require(QueryPositionalParm(count + 1, parms, &unused) == FALSE);

    // The text up to its end: the terminator, a line feed or (with the flag) an asterisk.
    const std::string enders = useAsterisk ? "\n*" : "\n";
    const std::string visible = text.c_str();
    const std::string prefix =
        visible.substr(0, std::min(visible.find_first_of(enders), visible.size()));
    Require(joined == prefix || joined + "," == prefix);

    std::vector<std::string> keywords = {"DSN", "PARM", "", prefix.substr(0, 3)};
    if (!entries.empty()) keywords.push_back(std::string(entries[0]).substr(0, 2));
    for (const std::string& keyword : keywords) {
        char* found = nullptr;
        const BOOLEAN hit = QueryKeywordParm(keyword.c_str(), parms, &found);
        const char* expected = FirstWithKeyword(entries, keyword);
        Require((hit == TRUE) == (expected != nullptr));
        if (hit == TRUE) Require(found == expected);
    }
    DeleteParmStructure(parms, FALSE);
    Require(before == Outstanding());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckSplit(text, false);
    CheckSplit(text, true);
    return 0;
}
