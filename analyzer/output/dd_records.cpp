// Import records of DDs: the bracket of a DD (text per concatenation element, XML once per
// DD), and each concatenation element with its data set, status, disposition, parameter
// records by run mode, and the data of the element when parameter capture asks for it.
#include <cctype>
#include <cstring>
#include <string>

#include "base/contexts.h"
#include "output/import_records.h"
#include "output/record_writer.h"
#include "output/velkor_dd_details.h"
#include "output/xml_text.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {


constexpr size_t kParmsRecordLimit = 81; // "DD PARMS" shows shorter texts whole
constexpr size_t kParmsShown = 77;

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == '\0';
}
const char* OrEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

// A(+0) or A(-00) becomes A(0): a relative generation of zero written with a sign.
std::string NormalizedGenerationName(MemberContext& ctx, const char* iDSN) {
    std::string name = iDSN;
    if (ctx.run.normalizeGDG != 1 || !IsGDG(iDSN, ctx.run.mode)) return name;
    const size_t open = name.find('(');
    if (open == std::string::npos) return name;
    const size_t close = name.find(')', open);
    if (close == std::string::npos) return name;
    const std::string inside = name.substr(open + 1, close - open - 1);
    if (inside.size() < 2 || (inside[0] != '+' && inside[0] != '-')) return name;
    if (inside.find_first_not_of('0', 1) != std::string::npos) return name;
    return name.replace(open + 1, close - open - 1, "0");
}

void PutDatasetName(MemberContext& ctx, const std::string& name) {
    if (!ctx.run.formatXML)
        PutTextRecord(ctx, "DD DSN  %s", name.c_str());
    else if (name.rfind("&&", 0) == 0)
        PutRecord(ctx, "%s    <dsn>&amp;&amp;%s</dsn>", ctx.output.ddIndent.c_str(), XmlText(name.substr(2)).c_str());
    else
        PutRecord(ctx, "%s    <dsn>%s</dsn>", ctx.output.ddIndent.c_str(), XmlText(name).c_str());
}

void PutStatusAndDisposition(MemberContext& ctx, const char* iStatus, const char* iDisp) {
    if (!IsEmpty(iStatus)) {
        if (ctx.run.formatXML)
            PutRecord(ctx, "%s    <stat>%s</stat>", ctx.output.ddIndent.c_str(), XmlText(iStatus).c_str());
        else
            PutTextRecord(ctx, "DD STAT %s", iStatus);
    }
    if (!IsEmpty(iDisp)) {
        if (ctx.run.formatXML)
            PutRecord(ctx, "%s    <dispnor>%s</dispnor>", ctx.output.ddIndent.c_str(), XmlText(iDisp).c_str());
        else
            PutTextRecord(ctx, "DD DISP %s", iDisp);
    }
}

// Standard text form: one "DD PARM" a parameter when there are several, then the whole
// text (cut to 77 characters and "..." when it is long).
void PutStandardTextParms(MemberContext& ctx, const char* iParms) {
    void* parms = nullptr;
    CreateParmStructure(&parms, iParms, FALSE, ctx.run.mode, ctx.run.debug);
    if (parms != nullptr) {
        const int32_t count = QueryParmCount(parms);
        char* parm = nullptr;
        for (int32_t i = 1; count >= 2 && i <= count; ++i)
            if (QueryPositionalParm(i, parms, &parm) && parm != nullptr)
                PutTextRecord(ctx, "DD PARM %s", parm);
        DeleteParmStructure(parms, ctx.run.debug != 0);
    }
    const std::string whole = iParms;
    if (whole.size() < kParmsRecordLimit)
        PutTextRecord(ctx, "DD PARMS %s", whole.c_str());
    else
        PutTextRecord(ctx, "DD PARMS %s...", whole.substr(0, kParmsShown).c_str());
}

void PutParmRecords(MemberContext& ctx, const char* iParms) {
    if (IsEmpty(iParms)) return;
    if (ctx.run.mode == kModeStandard) {
        if (ctx.run.formatXML)
            PutRecord(ctx, "%s    <parm>%s</parm>", ctx.output.ddIndent.c_str(), XmlText(iParms).c_str());
        else
            PutStandardTextParms(ctx, iParms);
        return;
    }
    PutTextRecord(ctx, "DD PARM %s", iParms);
    if (ctx.run.mode == kModeVelkor) PutVelkorDDParmDetails(ctx, iParms);
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

void PutDataRecord(MemberContext& ctx, const char* record, int32_t length) {
    const std::string text(record, static_cast<size_t>(length));
    int32_t other = 0;
    if (ctx.run.mode == kModeDravix && !IsPrintable(record, length, &other)) {
        if (ctx.run.debug)
            std::printf("DD DATAX: text \"%s\" length %d, offset %d holds 0x%02X\n", text.c_str(),
                        length, other, static_cast<unsigned char>(record[other]));
        KVR_PutImportRecordHex("DD DATAX", reinterpret_cast<const unsigned char*>(record), length,
                               ctx.run.mode);
    } else if (ctx.run.formatXML) {
        PutRecord(ctx, "%s    <data>%s</data>", ctx.output.ddIndent.c_str(), XmlText(text).c_str());
    } else {
        PutTextRecord(ctx, "DD DATA %s", text.c_str());
    }
}

void ReportDataNotOpened(MemberContext& ctx, const char* insert) {
    const uint32_t number = MessageFor(ctx, 1444, 3101);
    KVRWriteMessageWithStrings(number, insert, nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(ctx),
                                   static_cast<int32_t>(number), insert);
}

// The data of the element, one record each, for a DD that parameter capture selects.
void PutDataRecords(MemberContext& ctx, const char* iFsDDName, const char* iDSN, RD_DatasetConcatenation* iDDConcat) {
    void* control = nullptr;
    if (!OpenConcatenationData(ctx, iDDConcat, &control)) {
        ReportDataNotOpened(ctx, iFsDDName);
        if (!IsEmpty(iDSN)) ReportDataNotOpened(ctx, iDSN);
    } else {
        char* record = nullptr;
        int32_t length = 0;
        while (ReadConcatenationData(ctx, control, &record, &length))
            PutDataRecord(ctx, record, length);
    }
    if (control != nullptr) CloseConcatenationData(ctx, control);
}

// Velkor mode lists the in-stream data of every element.
void PutInstreamLines(MemberContext& ctx, void* iISD) {
    char* text = nullptr;
    int32_t length = 0;
    for (BOOLEAN more = ReadFirstInstreamSpool(iISD, &text, &length); more;
         more = ReadNextInstreamSpool(iISD, &text, &length))
        PutTextRecord(ctx, "DD DATA %.*s", static_cast<int>(length), text);
}

} // namespace

void KVR_PutDD_start(MemberContext& ctx, const char* iDDName) {
    const char* name = OrEmpty(iDDName);
    if (!ctx.run.formatXML) {
        PutTextRecord(ctx, "DD START %s", name);
        return;
    }
    const bool jobLevel = std::strcmp(name, "JOBLIB") == 0 || std::strcmp(name, "JOBCAT") == 0;
    ctx.output.ddIndent.assign(jobLevel ? 10 : 12, ' ');
    if (std::strcmp(name, "JOBLIB") == 0) {
        PutRecord(ctx, "%s<joblibDDcard name=\"%s\">", ctx.output.ddIndent.c_str(), XmlAttribute(name).c_str());
        return;
    }
    PutRecord(ctx, "%s<dd>", ctx.output.ddIndent.c_str());
    PutRecord(ctx, "%s  <name>%s</name>", ctx.output.ddIndent.c_str(), XmlText(name).c_str());
}

void KVR_PutDD_end(MemberContext& ctx, const char* iDDName) {
    if (!ctx.run.formatXML)
        PutTextRecord(ctx, "DD END");
    else if (std::strcmp(OrEmpty(iDDName), "JOBLIB") == 0)
        PutRecord(ctx, "%s</joblibDDcard>", ctx.output.ddIndent.c_str());
    else
        PutRecord(ctx, "%s</dd>", ctx.output.ddIndent.c_str());
}

void KVR_PutDD(MemberContext& ctx, const char* iFsDDName, SOURCE_REF iFileReference, int32_t iFileLine,
               int32_t iEndFileLine, int32_t iConcatSeq, BOOLEAN iHasDUMMY, const char* iDSN,
               const char* iStatus, const char* iDisp, const char* iParms, void* iISD,
               BOOLEAN iDDLogFlag, RD_DatasetConcatenation* iDDConcat, const char* iServerName) {
    const bool velkor = ctx.run.mode == kModeVelkor;
    if (!velkor) PutTextRecord(ctx, "DD LINES %i %i %i", iFileReference + 1, iFileLine, iEndFileLine);
    if (ctx.run.formatXML)
        PutRecord(ctx, "%s  <concat sequence=\"%d\">", ctx.output.ddIndent.c_str(), iConcatSeq);
    else
        PutTextRecord(ctx, "DD SEQ  %d", iConcatSeq);
    if (!ctx.run.formatXML && !IsEmpty(iServerName)) PutTextRecord(ctx, "DD SERVER %s", iServerName);
    if (iHasDUMMY) {
        PutParmRecords(ctx, iParms);
    } else {
        if (!IsEmpty(iDSN))
            PutDatasetName(ctx, NormalizedGenerationName(ctx, iDSN));
        if (!IsEmpty(iDSN) || velkor) PutStatusAndDisposition(ctx, iStatus, iDisp);
        PutParmRecords(ctx, iParms);
        if (iDDLogFlag && iDDConcat != nullptr)
            PutDataRecords(ctx, iFsDDName, iDSN, iDDConcat);
    }
    if (velkor && iISD != nullptr) PutInstreamLines(ctx, iISD);
    // Every concat element that is opened is closed, in every run mode.
    if (ctx.run.formatXML) PutRecord(ctx, "%s  </concat>", ctx.output.ddIndent.c_str());
}

} // namespace kvr
