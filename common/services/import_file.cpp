// The one import file of a run, opened under "DD:ATTRBOUT": records are cleaned of control
// characters and written a line at a time; non-printable data goes out in hexadecimal.
// The stream is fully buffered in a buffer of its own, since a run writes many records;
// the member loop flushes it (with the log) at the end of every member.
#include "services/import_file.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "kvrbase.h"
#include "platform/dd_names.h"

namespace {

constexpr int16_t kVelkorMode = 2;
constexpr size_t kImportBufferSize = 1 << 16;

FILE* pFile_Attrbout = nullptr;
// The stream's buffer: setvbuf without a buffer of its own keeps the default size.
std::unique_ptr<char[]> importBuffer;

} // namespace

namespace kvr {

bool ImportFileIsOpen() {
    return pFile_Attrbout != nullptr;
}

} // namespace kvr

extern "C" {

KVR_API void KVR_OpenImportFile(const char* fileMode, int16_t iProcessingMode) {
    KVR_CloseImportFile(); // a second open must not leak the first stream
    if (fileMode != nullptr) pFile_Attrbout = kvr::platform::OpenDDFile("DD:ATTRBOUT", fileMode, 0);
    if (pFile_Attrbout == nullptr) {
        KVRWriteMessageWithStrings(iProcessingMode == kVelkorMode ? 3101 : 1680, "DD:ATTRBOUT",
                                   nullptr, nullptr, nullptr);
        return;
    }
    if (!importBuffer) importBuffer.reset(new (std::nothrow) char[kImportBufferSize]);
    if (importBuffer) std::setvbuf(pFile_Attrbout, importBuffer.get(), _IOFBF, kImportBufferSize);
}

KVR_API void KVR_CloseImportFile(void) {
    if (pFile_Attrbout == nullptr) return;
    std::fclose(pFile_Attrbout);
    pFile_Attrbout = nullptr;
}

KVR_API void KVR_PutImportRecord(char* iWork) {
    if (iWork == nullptr) return;
    KVRDBCS_Validate(nullptr, iWork, 3); // control characters to blanks, shift bytes out
    if (pFile_Attrbout == nullptr) return;
    // Written as it stands: a formatted print would parse a format for every record.
    std::fputs(iWork, pFile_Attrbout);
    std::fputc('\n', pFile_Attrbout);
}

KVR_API void KVR_PutImportRecordHex(const char* recType, const unsigned char* rec, int32_t length,
                                    int16_t /*processingMode*/) {
    if (pFile_Attrbout == nullptr) return;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = recType != nullptr ? recType : "";
    line += ' ';
    for (int32_t i = 0; rec != nullptr && i < length; ++i) {
        line += kDigits[rec[i] >> 4];
        line += kDigits[rec[i] & 0x0F];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), pFile_Attrbout);
}

} // extern "C"
