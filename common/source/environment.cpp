// The environment variables that name the search-list and translation files ("DD:JCLLIB",
// "DD:XLATLIBS"): their value, or none when unset or "DUMMY".
#include <cstdio>
#include <optional>
#include <string>

#include "platform/dd_names.h"
#include "source/source_access.h"

extern "C" KVR_API BOOLEAN CheckWorkstationEnvironmentVariable(const char* iDDNameVar,
                                                               char* outDDNameVarValue,
                                                               int32_t debug) {
    // The caller's buffer holds 1025 characters: a longer value is cut there.
    constexpr size_t kValueBuffer = 1025;
    if (outDDNameVarValue) outDDNameVarValue[0] = '\0';
    std::optional<std::string> value = kvr::platform::LookupDDVariable(iDDNameVar);
    if (!value) {
        if (debug)
            std::printf("Environment variable %s is not set\n", iDDNameVar ? iDDNameVar : "");
        return FALSE;
    }
    if (*value == "DUMMY") {
        if (debug) std::printf("Environment variable %s is DUMMY\n", iDDNameVar);
        return FALSE;
    }
    if (outDDNameVarValue) kvr::CopyToField(outDDNameVarValue, kValueBuffer, value->c_str());
    if (debug) std::printf("Environment variable %s is %s\n", iDDNameVar, value->c_str());
    return TRUE;
}
