// MSG records: a numbered message as the import file carries it, on one line in the text
// form or as a <message> element in XML. The text comes from the catalog with its inserts,
// exactly as the log shows it, with continuation line breaks joined.
#include "services/msg_records.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "kvrbase.h"
#include "services/import_file.h"

namespace {

constexpr size_t kMessageTextSize = 512;
constexpr size_t kMaxRecordLength = 2047; // loaders read records into 2048-byte buffers
constexpr std::string_view kContinuation = "\n         "; // a newline and nine blanks

BOOLEAN fsFormatXML = FALSE;

// One MSG record composed in place: a message about memory running out is written through
// here too, so composing takes no memory. Text past the record limit is dropped; an escape
// that would not fit whole is dropped with it.
class RecordBuffer {
  public:
    RecordBuffer& Add(std::string_view text) {
        for (char c : text)
            if (!Put(c)) break;
        return *this;
    }
    RecordBuffer& AddNumber(int32_t number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(number));
        return Add(digits);
    }
    RecordBuffer& AddEscaped(std::string_view text) {
        for (char c : text) {
            const std::string_view escaped = c == '&' ? "&amp;" : c == '<' ? "&lt;" : "";
            if (escaped.empty() ? !Put(c) : !PutWhole(escaped)) break;
        }
        return *this;
    }
    // Keeps room for a closing text that must stand whole at the end.
    RecordBuffer& Reserve(size_t length) {
        limit_ = kMaxRecordLength - length;
        return *this;
    }
    void Write() {
        limit_ = kMaxRecordLength;
        text_[length_] = '\0';
        KVR_PutImportRecord(text_);
        length_ = 0;
    }

  private:
    bool Put(char c) {
        if (length_ >= limit_) return false;
        text_[length_++] = c;
        return true;
    }
    bool PutWhole(std::string_view text) {
        if (length_ + text.size() > limit_) return false;
        for (char c : text)
            text_[length_++] = c;
        return true;
    }
    char text_[kMaxRecordLength + 1] = {};
    size_t length_ = 0;
    size_t limit_ = kMaxRecordLength;
};

RecordBuffer sRecord;

// The message text with its continuation line breaks removed, in place.
size_t JoinInPlace(char* text) {
    size_t out = 0;
    for (size_t in = 0; text[in] != '\0';) {
        if (std::string_view(text + in).substr(0, kContinuation.size()) == kContinuation) {
            in += kContinuation.size();
        } else {
            text[out++] = text[in++];
        }
    }
    text[out] = '\0';
    return out;
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

bool ImportRecordsAreXml() {
    return fsFormatXML != FALSE;
}

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
    const std::string_view text(formatted, JoinInPlace(formatted));
    if (!fsFormatXML) {
        sRecord.Add("MSG ").Add(iAnalysisType).Add(" ").Add(iStep).Add(" ");
        sRecord.AddNumber(returnCode).Add(" ").AddNumber(iMsgNumber).Add(" \"");
        sRecord.Reserve(1).Add(text).Reserve(0).Add("\"").Write();
        return;
    }
    // Escaped so that the import file stays well-formed whatever the texts hold.
    sRecord.Add("<message>").Write();
    sRecord.Add("  <type>").Reserve(7).AddEscaped(iAnalysisType).Reserve(0).Add("</type>").Write();
    sRecord.Add("  <step>").Reserve(7).AddEscaped(iStep).Reserve(0).Add("</step>").Write();
    sRecord.Add("  <returnCode>").AddNumber(returnCode).Add("</returnCode>").Write();
    sRecord.Add("  <number>").AddNumber(iMsgNumber).Add("</number>").Write();
    sRecord.Add("  <text>").Reserve(7).AddEscaped(text).Reserve(0).Add("</text>").Write();
    sRecord.Add("</message>").Write();
}

} // extern "C"
