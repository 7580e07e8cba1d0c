// DD-name resolution and the executable's own folder: the two places where kvrbase asks
// the operating system where its files are.
#include "platform/dd_names.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace kvr::platform {

std::optional<std::string> LookupDDVariable(const char* ddName) {
    if (ddName == nullptr || *ddName == '\0') return std::nullopt;
    if (const char* value = std::getenv(ddName)) return std::string(value);
    if (std::strncmp(ddName, "DD:", 3) == 0) {
        std::string alternate = std::string("DD_") + (ddName + 3);
        if (const char* value = std::getenv(alternate.c_str())) return std::string(value);
    }
    return std::nullopt;
}

std::optional<std::string> ResolveDDPath(const char* ddName, int32_t debug) {
    std::optional<std::string> value = LookupDDVariable(ddName);
    if (!value) {
        if (debug) std::printf("DD name %s is not set\n", ddName ? ddName : "");
        return std::nullopt;
    }
    if (*value == "DUMMY") {
        if (debug) std::printf("DD name %s is DUMMY\n", ddName);
        return std::nullopt;
    }
    std::string path = *value;
    if (!path.empty() && path.front() == '"') {
        path.erase(0, 1);
        if (!path.empty() && path.back() == '"') path.pop_back();
        while (!path.empty() && path.back() == ' ') path.pop_back();
        if (debug) std::printf("DD name %s uses path %s\n", ddName, path.c_str());
    }
    return path;
}

FILE* OpenDDFile(const char* ddName, const char* mode, int32_t debug) {
    std::optional<std::string> path = ResolveDDPath(ddName, debug);
    if (!path) return nullptr;
    return std::fopen(path->c_str(), mode);
}

std::string ExecutableDirectory() {
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    std::string path(buffer, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace kvr::platform
