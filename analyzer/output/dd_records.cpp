// Import records of DDs: the bracket of a DD (text per concatenation element, XML once per
// DD), and each concatenation element with its data set, status, disposition, parameter
// records by run mode, and the data of the element when parameter capture asks for it.
#include <cctype>
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "output/import_records.h"
#include "output/record_writer.h"
#include "output/velkor_dd_details.h"
#include "output/xml_text.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

// The indentation of the XML lines of the DD being written.
std::string spacer;

constexpr size_t kParmsRecordLimit = 81; // "DD PARMS" shows shorter texts whole
constexpr size_t kParmsShown = 77;

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == '\0';
}
const char* OrEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

// A(+0) or A(-00) becomes A(0): a relative generation of zero written with a sign.
std::string NormalizedGenerationName(const char* iDSN, int16_t iNormalizeGDG,
                                     int16_t iProcessingMode) {
    std::string name = iDSN;
    if (iNormalizeGDG != 1 || !IsGDG(iDSN, iProcessingMode)) return name;
    const size_t open = name.find('(');
    if (open == std::string::npos) return name;
    const size_t close = name.find(')', open);
    if (close == std::string::npos) return name;
    const std::string inside = name.substr(open + 1, close - open - 1);
    if (inside.size() < 2 || (inside[0] != '+' && inside[0] != '-')) return name;
    if (inside.find_first_not_of('0', 1) != std::string::npos) return name;
    return name.replace(open + 1, close - open - 1, "0");
}

void PutDatasetName(const std::string& name, BOOLEAN iFormatXML) {
    if (!iFormatXML)
        PutTextRecord("DD DSN  %s", name.c_str());
    else if (name.rfind("&&", 0) == 0)
        PutRecord("%s    <dsn>&amp;&amp;%s</dsn>", spacer.c_str(), XmlText(name.substr(2)).c_str());
    else
        PutRecord("%s    <dsn>%s</dsn>", spacer.c_str(), XmlText(name).c_str());
}

void PutStatusAndDisposition(const char* iStatus, const char* iDisp, BOOLEAN iFormatXML) {
    if (!IsEmpty(iStatus)) {
        if (iFormatXML)
            PutRecord("%s    <stat>%s</stat>", spacer.c_str(), XmlText(iStatus).c_str());
        else
            PutTextRecord("DD STAT %s", iStatus);
    }
    if (!IsEmpty(iDisp)) {
        if (iFormatXML)
            PutRecord("%s    <dispnor>%s</dispnor>", spacer.c_str(), XmlText(iDisp).c_str());
        else
            PutTextRecord("DD DISP %s", iDisp);
    }
}

// Standard text form: one "DD PARM" a parameter when there are several, then the whole
// text (cut to 77 characters and "..." when it is long).
void PutStandardTextParms(const char* iParms, int16_t iProcessingMode, int32_t debug) {
    void* parms = nullptr;
    CreateParmStructure(&parms, iParms, FALSE, iProcessingMode, debug);
    if (parms != nullptr) {
        const int32_t count = QueryParmCount(parms);
        char* parm = nullptr;
        for (int32_t i = 1; count >= 2 && i <= count; ++i)
            if (QueryPositionalParm(i, parms, &parm) && parm != nullptr)
                PutTextRecord("DD PARM %s", parm);
        DeleteParmStructure(parms, debug != 0);
    }
    const std::string whole = iParms;
    if (whole.size() < kParmsRecordLimit)
        PutTextRecord("DD PARMS %s", whole.c_str());
    else
        PutTextRecord("DD PARMS %s...", whole.substr(0, kParmsShown).c_str());
}

void PutParmRecords(const char* iParms, int16_t iProcessingMode, BOOLEAN iFormatXML,
                    int32_t debug) {
    if (IsEmpty(iParms)) return;
    if (iProcessingMode == kModeStandard) {
        if (iFormatXML)
            PutRecord("%s    <parm>%s</parm>", spacer.c_str(), XmlText(iParms).c_str());
        else
            PutStandardTextParms(iParms, iProcessingMode, debug);
        return;
    }
    PutTextRecord("DD PARM %s", iParms);
    if (iProcessingMode == kModeVelkor) PutVelkorDDParmDetails(iParms, iProcessingMode, debug);
}

bool IsPrintable(const char* record, int32_t length, int32_t* firstOther) {
    for (int32_t i = 0; i < length; ++i) {
        if (!std::isprint(static_cast<unsigned char>(record[i]))) {
            *firstOther = i;
            return false;
        }
    }
    return true;
}

void PutDataRecord(const char* record, int32_t length, int16_t iProcessingMode, BOOLEAN iFormatXML,
                   int32_t debug) {
    const std::string text(record, static_cast<size_t>(length));
    int32_t other = 0;
    if (iProcessingMode == kModeDravix && !IsPrintable(record, length, &other)) {
        if (debug)
            std::printf("DD DATAX: text \"%s\" length %d, offset %d holds 0x%02X\n", text.c_str(),
                        length, other, static_cast<unsigned char>(record[other]));
        KVR_PutImportRecordHex("DD DATAX", reinterpret_cast<const unsigned char*>(record), length,
                               iProcessingMode);
    } else if (iFormatXML) {
        PutRecord("%s    <data>%s</data>", spacer.c_str(), XmlText(text).c_str());
    } else {
        PutTextRecord("DD DATA %s", text.c_str());
    }
}

void ReportDataNotOpened(const char* insert, int16_t iProcessingMode) {
    const uint32_t number = MessageFor(iProcessingMode, 1444, 3101);
    KVRWriteMessageWithStrings(number, insert, nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(iProcessingMode),
                                   static_cast<int32_t>(number), insert);
}

// The data of the element, one record each, for a DD that parameter capture selects.
void PutDataRecords(const char* iFsDDName, const char* iDSN, RD_DatasetConcatenation* iDDConcat,
                    int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug) {
    void* control = nullptr;
    if (!OpenConcatenationData(iDDConcat, &control, iProcessingMode, debug)) {
        ReportDataNotOpened(iFsDDName, iProcessingMode);
        if (!IsEmpty(iDSN)) ReportDataNotOpened(iDSN, iProcessingMode);
    } else {
        char* record = nullptr;
        int32_t length = 0;
        while (ReadConcatenationData(control, &record, &length, iProcessingMode))
            PutDataRecord(record, length, iProcessingMode, iFormatXML, debug);
    }
    if (control != nullptr) CloseConcatenationData(control, debug);
}

// Velkor mode lists the in-stream data of every element.
void PutInstreamLines(void* iISD) {
    char* text = nullptr;
    int32_t length = 0;
    for (BOOLEAN more = ReadFirstInstreamSpool(iISD, &text, &length); more;
         more = ReadNextInstreamSpool(iISD, &text, &length))
        PutTextRecord("DD DATA %.*s", static_cast<int>(length), text);
}

} // namespace

void ResetImportRecordWriter() {
    spacer.clear();
}

void KVR_PutDD_start(const char* iDDName, BOOLEAN iFormatXML) {
    const char* name = OrEmpty(iDDName);
    if (!iFormatXML) {
        PutTextRecord("DD START %s", name);
        return;
    }
    const bool jobLevel = std::strcmp(name, "JOBLIB") == 0 || std::strcmp(name, "JOBCAT") == 0;
    spacer.assign(jobLevel ? 10 : 12, ' ');
    if (std::strcmp(name, "JOBLIB") == 0) {
        PutRecord("%s<joblibDDcard name=\"%s\">", spacer.c_str(), XmlAttribute(name).c_str());
        return;
    }
    PutRecord("%s<dd>", spacer.c_str());
    PutRecord("%s  <name>%s</name>", spacer.c_str(), XmlText(name).c_str());
}

void KVR_PutDD_end(const char* iDDName, BOOLEAN iFormatXML) {
    if (!iFormatXML)
        PutTextRecord("DD END");
    else if (std::strcmp(OrEmpty(iDDName), "JOBLIB") == 0)
        PutRecord("%s</joblibDDcard>", spacer.c_str());
    else
        PutRecord("%s</dd>", spacer.c_str());
}

void KVR_PutDD(const char* iFsDDName, SOURCE_REF iFileReference, int32_t iFileLine,
               int32_t iEndFileLine, int32_t iConcatSeq, BOOLEAN iHasDUMMY, const char* iDSN,
               const char* iStatus, const char* iDisp, const char* iParms, void* iISD,
               BOOLEAN iDDLogFlag, RD_DatasetConcatenation* iDDConcat, const char* iServerName,
               int16_t iNormalizeGDG, int16_t iProcessingMode, BOOLEAN iFormatXML, int32_t debug) {
    const bool velkor = iProcessingMode == kModeVelkor;
    if (!velkor) PutTextRecord("DD LINES %i %i %i", iFileReference + 1, iFileLine, iEndFileLine);
    if (iFormatXML)
        PutRecord("%s  <concat sequence=\"%d\">", spacer.c_str(), iConcatSeq);
    else
        PutTextRecord("DD SEQ  %d", iConcatSeq);
    if (!iFormatXML && !IsEmpty(iServerName)) PutTextRecord("DD SERVER %s", iServerName);
    if (iHasDUMMY) {
        PutParmRecords(iParms, iProcessingMode, iFormatXML, debug);
    } else {
        if (!IsEmpty(iDSN))
            PutDatasetName(NormalizedGenerationName(iDSN, iNormalizeGDG, iProcessingMode),
                           iFormatXML);
        if (!IsEmpty(iDSN) || velkor) PutStatusAndDisposition(iStatus, iDisp, iFormatXML);
        PutParmRecords(iParms, iProcessingMode, iFormatXML, debug);
        if (iDDLogFlag && iDDConcat != nullptr)
            PutDataRecords(iFsDDName, iDSN, iDDConcat, iProcessingMode, iFormatXML, debug);
    }
    if (velkor && iISD != nullptr) PutInstreamLines(iISD);
    // Every concat element that is opened is closed, in every run mode.
    if (iFormatXML) PutRecord("%s  </concat>", spacer.c_str());
}

} // namespace kvr
