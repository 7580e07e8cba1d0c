// The repository I/O interface: existence checks, opening, line and block reading and
// closing of members. Only the workstation file system ("NTFS") is served; every other
// repository type answers 16, so a member kept in one is simply not found. Names are
// resolved case-insensitively through the cached folder listings of the path resolver.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kvrbase.h"
#include "platform/dd_names.h"
#include "platform/path_resolver.h"

namespace {

constexpr int32_t kSuccess = 0;
constexpr int32_t kEndOfFile = 1;
constexpr int32_t kFailure = 16;

bool IsServedType(const char* rmType) {
    return rmType != nullptr && std::strcmp(rmType, "NTFS") == 0;
}

bool IsEmpty(const char* text) {
    return text == nullptr || *text == '\0';
}

bool IsReadMode(const char* mode) {
    return mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
}

FILE* Open(const std::string& path, const char* mode) {
    return IsReadMode(mode) ? KVRIOAPI_OpenRegularFile(path.c_str())
                            : std::fopen(path.c_str(), mode);
}

// Opens the file a member name stands for: under its resolved (case-matched) name when it
// exists, else in its resolved folder, so modes that create files work the same way. A
// member is read only from a regular file.
FILE* OpenResolved(const char* fullName, const char* mode) {
    if (fullName == nullptr || mode == nullptr) return nullptr;
    if (auto file = kvr::platform::ResolveExistingFile(fullName)) {
        return Open(*file, mode);
    }
    std::string path = fullName;
    for (char& c : path)
        if (c == '\\') c = '/'; // a backslash separates folders, as on the workstation
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        if (auto folder = kvr::platform::ResolveExistingPath(path.substr(0, slash)))
            path = *folder + path.substr(slash);
    }
    return Open(path, mode);
}

// One line with the workstation's text-mode view: a carriage return directly before a
// line feed is dropped. getc rather than fgets, so the CR can be recognised even when it
// is the last character that fits (the next byte is peeked) and NUL bytes are kept. A
// member's stream is read by one thread only, so the stream is locked once per line
// rather than once per character.
int32_t ReadRecord(char* buffer, size_t size, FILE* stream) {
    if (buffer == nullptr || stream == nullptr || size < 2) return kFailure;
    flockfile(stream);
    size_t length = 0;
    while (length < size - 1) {
        int c = getc_unlocked(stream);
        if (c == EOF) break;
        if (c == '\r') {
            int next = getc_unlocked(stream);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                ungetc(next, stream);
            }
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    funlockfile(stream);
    buffer[length] = '\0';
    if (length > 0) return kSuccess;
    return std::ferror(stream) ? kFailure : kEndOfFile;
}

} // namespace

extern "C" {

KVR_API FILE* KVRIOAPI_OpenRegularFile(const char* iPath) {
    if (iPath == nullptr) return nullptr;
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int fd = open(iPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd); // a FIFO, a device (endless or blocking) or a folder is no member
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "r");
    if (file == nullptr) close(fd);
    return file;
}

KVR_API void KVRIOAPI_Initialize(int32_t debug) {
    kvr::platform::ClearPathCache();
    if (debug) std::printf("KVRIOAPI_Initialize\n");
}

KVR_API void KVRIOAPI_Terminate(int32_t debug) {
    kvr::platform::ClearPathCache();
    if (debug) std::printf("KVRIOAPI_Terminate\n");
}

KVR_API int32_t KVRIOAPI_CheckIfMemberExists(const char* iRmType, const char* iFullName,
                                             const char* /*iRmDDName*/,
                                             const char* /*iContainerName*/,
                                             const char* /*iFileName*/) {
    if (!IsServedType(iRmType) || iFullName == nullptr) return kFailure;
    return kvr::platform::ResolveExistingFile(iFullName) ? kSuccess : kFailure;
}

KVR_API int32_t KVRIOAPI_Open(const char* iRmType, const char* iFullName, const char* iFOpenParms,
                              FILE** outpFile, const char* /*iRmDDName*/,
                              const char* /*iContainerName*/, const char* /*iFileName*/) {
    if (outpFile != nullptr) *outpFile = nullptr;
    if (!IsServedType(iRmType) || outpFile == nullptr) return kFailure;
    *outpFile = OpenResolved(iFullName, iFOpenParms);
    return *outpFile != nullptr ? kSuccess : kFailure;
}

KVR_API int32_t KVRIOAPI_GetRecord(const char* iRmType, void* outBuffer, size_t iSize,
                                   FILE* iStream, const char* /*iRmDDName*/,
                                   const char* /*iContainerName*/, const char* /*iFileName*/) {
    if (!IsServedType(iRmType)) return kFailure;
    return ReadRecord(static_cast<char*>(outBuffer), iSize, iStream);
}

KVR_API int32_t KVRIOAPI_ReadFile(const char* iRmType, void* outBuffer, size_t iSize, size_t iCount,
                                  FILE* iStream, const char* /*iRmDDName*/,
                                  const char* /*iContainer*/, const char* /*iFile*/,
                                  int16_t* outItemsRead) {
    if (outItemsRead != nullptr) *outItemsRead = 0;
    if (!IsServedType(iRmType) || outBuffer == nullptr || iStream == nullptr) return kFailure;
    const size_t items = std::fread(outBuffer, iSize, iCount, iStream);
    if (outItemsRead != nullptr) *outItemsRead = static_cast<int16_t>(items);
    if (items > 0) return kSuccess;
    return std::ferror(iStream) ? kFailure : kEndOfFile;
}

KVR_API int32_t KVRIOAPI_Close(const char* iRmType, FILE* iStream, const char* /*iRmDDName*/,
                               const char* /*iContainerName*/, const char* /*iFileName*/) {
    if (!IsServedType(iRmType) || iStream == nullptr) return kFailure;
    return std::fclose(iStream) == 0 ? kSuccess : kFailure;
}

KVR_API int32_t KVRIOAPI_v2_CheckIfMemberExists(const char* iRmType, const char* iRmDDName,
                                                const char* iContainerName, const char* iFileName,
                                                int32_t debug) {
    if (!IsServedType(iRmType)) return kFailure;
    if (!IsEmpty(iRmDDName)) {
        // A repository DD name stands for the member itself; names beside it are an error.
        if (!IsEmpty(iContainerName) || !IsEmpty(iFileName)) return kFailure;
        const std::string ddName = std::string("DD:") + iRmDDName;
        const std::optional<std::string> path = kvr::platform::ResolveDDPath(ddName.c_str(), debug);
        FILE* file = path ? KVRIOAPI_OpenRegularFile(path->c_str()) : nullptr;
        if (file == nullptr) return kFailure;
        std::fclose(file);
        return kSuccess;
    }
    const std::string member = iFileName != nullptr ? iFileName : "";
    const std::string fullName =
        IsEmpty(iContainerName) ? member : std::string(iContainerName) + "/" + member;
    if (kvr::platform::ResolveExistingPath(fullName)) return kSuccess;
    if (debug)
        std::printf("KVRIOAPI_v2_CheckIfMemberExists: %s not found, error %d\n", fullName.c_str(),
                    ENOENT);
    return kFailure;
}

KVR_API int32_t KVRIOAPI_v2_Open(const char* iRmType, const char* iFullName,
                                 const char* iFOpenParms, FILE** outpFile, const char* iRmDDName,
                                 const char* iContainerName, const char* iFileName, int32_t debug) {
    if (debug) std::printf("KVRIOAPI_v2_Open %s\n", iFullName != nullptr ? iFullName : "");
    return KVRIOAPI_Open(iRmType, iFullName, iFOpenParms, outpFile, iRmDDName, iContainerName,
                         iFileName);
}

KVR_API int32_t KVRIOAPI_v2_GetRecord(const char* iRmType, void* outBuffer, size_t iSize,
                                      FILE* iStream, const char* iRmDDName,
                                      const char* iContainerName, const char* iFileName,
                                      int32_t debug) {
    if (debug) std::printf("KVRIOAPI_v2_GetRecord\n");
    return KVRIOAPI_GetRecord(iRmType, outBuffer, iSize, iStream, iRmDDName, iContainerName,
                              iFileName);
}

KVR_API int32_t KVRIOAPI_v2_Close(const char* iRmType, FILE* iStream, const char* iRmDDName,
                                  const char* iContainerName, const char* iFileName,
                                  int32_t debug) {
    if (debug) std::printf("KVRIOAPI_v2_Close\n");
    return KVRIOAPI_Close(iRmType, iStream, iRmDDName, iContainerName, iFileName);
}

} // extern "C"
