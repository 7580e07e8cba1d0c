// MSG records: a numbered message as the import file carries it, on one line in the text
// form or as a <message> element in XML. The text comes from the catalog with its inserts,
// exactly as the log shows it, with continuation line breaks joined.
#include "services/msg_records.h"

#include <string>

#include "kvrbase.h"
#include "services/import_file.h"

namespace {

constexpr size_t kMessageTextSize = 512;
constexpr std::string_view kContinuation = "\n         "; // a newline and nine blanks

BOOLEAN fsFormatXML = FALSE;

void PutRecord(std::string record) {
    KVR_PutImportRecord(record.data());
}

} // namespace

namespace kvr {

std::string JoinContinuationLines(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, kContinuation.size(), kContinuation) == 0) {
            i += kContinuation.size();
        } else {
            joined += text[i++];
        }
    }
    return joined;
}

std::string EscapeXmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '&') {
            escaped += "&amp;";
        } else if (c == '<') {
            escaped += "&lt;";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool ImportRecordsAreXml() { return fsFormatXML != FALSE; }

} // namespace kvr

extern "C" {

KVR_API void KVR_SetMSG_Format(BOOLEAN iSetting) {
    fsFormatXML = iSetting;
}

KVR_API void KVR_Write_MSG_Record(const char* ipAnalysisType, const char* ipStep,
                                  int32_t iMsgNumber) {
    KVR_Write_MSG_RecordWithString(ipAnalysisType, ipStep, iMsgNumber, nullptr);
}

KVR_API void KVR_Write_MSG_RecordWithString(const char* iAnalysisType, const char* iStep,
                                            int32_t iMsgNumber, const char* iReplace1) {
    KVR_Write_MSG_RecordWithStrings(iAnalysisType, iStep, iMsgNumber, iReplace1, nullptr, nullptr,
                                    nullptr);
}

KVR_API void KVR_Write_MSG_RecordWithStrings(const char* iAnalysisType, const char* iStep,
                                             int32_t iMsgNumber, const char* iReplace1,
                                             const char* iReplace2, const char* iReplace3,
                                             const char* iReplace4) {
    if (!kvr::ImportFileIsOpen() || iAnalysisType == nullptr || iStep == nullptr || iMsgNumber == 0)
        return;
    char formatted[kMessageTextSize] = {};
    KVRGetMessageText(formatted, static_cast<uint32_t>(iMsgNumber), iReplace1, iReplace2, iReplace3,
                      iReplace4);
    const int returnCode = KVRGetMessageType(formatted);
    const std::string text = kvr::JoinContinuationLines(formatted);
    if (!fsFormatXML) {
        PutRecord("MSG " + std::string(iAnalysisType) + " " + iStep + " " +
                  std::to_string(returnCode) + " " + std::to_string(iMsgNumber) + " \"" + text +
                  "\"");
        return;
    }
    // Escaped so that the import file stays well-formed whatever the texts hold.
    PutRecord("<message>");
    PutRecord("  <type>" + kvr::EscapeXmlText(iAnalysisType) + "</type>");
    PutRecord("  <step>" + kvr::EscapeXmlText(iStep) + "</step>");
    PutRecord("  <returnCode>" + std::to_string(returnCode) + "</returnCode>");
    PutRecord("  <number>" + std::to_string(iMsgNumber) + "</number>");
    PutRecord("  <text>" + kvr::EscapeXmlText(text) + "</text>");
    PutRecord("</message>");
}

} // extern "C"
