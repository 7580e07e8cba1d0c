// The one import file of a run, opened under "DD:ATTRBOUT": records are cleaned of control
// characters and written a line at a time; non-printable data goes out in hexadecimal.
// The stream is fully buffered in a buffer of its own, since a run writes many records;
// the member loop flushes it (with the log) at the end of every member. A write that fails
// (a full disk) is reported once and ends the writing: a file that lost records must not
// look complete, and the run must not end with success.
#include "services/import_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "kvrbase.h"
#include "platform/dd_names.h"
#include "services/msg_records.h"
#include "services/xml_encoding.h"

namespace {

constexpr int16_t kVelkorMode = 2;
constexpr size_t kImportBufferSize = 1 << 16;

FILE* pFile_Attrbout = nullptr;
bool sWriteFailed = false;
int16_t sProcessingMode = 0;

void ReportWriteFailure(int error) {
    sWriteFailed = true;
    KVRWriteMessageWithStrings(sProcessingMode == kVelkorMode ? 3121 : 1681, "DD:ATTRBOUT",
                               std::strerror(error), nullptr, nullptr);
}

// The stream, or null once writing has failed.
FILE* WritableImportFile() {
    return sWriteFailed ? nullptr : pFile_Attrbout;
}

void CheckWritten(FILE* file) {
    if (std::ferror(file)) ReportWriteFailure(errno);
}

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
    sWriteFailed = false;
    sProcessingMode = iProcessingMode;
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
    // The buffered records go out now: a failure here is a lost end of the file.
    const bool closed = std::fclose(pFile_Attrbout) == 0;
    pFile_Attrbout = nullptr;
    if (!closed && !sWriteFailed) ReportWriteFailure(errno);
}

KVR_API void KVR_FlushImportFile(void) {
    FILE* file = WritableImportFile();
    if (file != nullptr && std::fflush(file) != 0) ReportWriteFailure(errno);
}

KVR_API BOOLEAN KVR_ImportFileFailed(void) {
    return sWriteFailed ? TRUE : FALSE;
}

KVR_API void KVR_PutImportRecord(char* iWork) {
    if (iWork == nullptr) return;
    KVRDBCS_Validate(nullptr, iWork, 3); // control characters to blanks, shift bytes out
    FILE* file = WritableImportFile();
    if (file == nullptr) return;
    // Written as it stands: a formatted print would parse a format for every record. An XML
    // import file is UTF-8 whatever the code page of the members.
    if (kvr::ImportRecordsAreXml())
        kvr::WriteXmlRecord(file, iWork);
    else
        std::fputs(iWork, file);
    std::fputc('\n', file);
    CheckWritten(file);
}

KVR_API void KVR_PutImportRecordHex(const char* recType, const unsigned char* rec, int32_t length,
                                    int16_t /*processingMode*/) {
    FILE* file = WritableImportFile();
    if (file == nullptr) return;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = recType != nullptr ? recType : "";
    line += ' ';
    for (int32_t i = 0; rec != nullptr && i < length; ++i) {
        line += kDigits[rec[i] >> 4];
        line += kDigits[rec[i] & 0x0F];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file);
    CheckWritten(file);
}

} // extern "C"
