// Records that open and close a member in the import file, in text and XML form.
// A name holding a blank is written in double quotes in the text form.
#include "output/member_records.h"

#include <cstring>

#include "output/record_writer.h"
#include "output/xml_text.h"

namespace kvr {
namespace {
bool HasBlank(const char* name) {
    return std::strchr(name, ' ') != nullptr;
}
} // namespace

void KVR_PutXML_start(const RunContext& run) {
    char prologue[] = "<?xml version=\"1.0\"?>";
    if (run.formatXML) KVR_PutImportRecord(prologue);
}

void KVR_PutLIBR(MemberContext& ctx, const char* iContainerName) {
    if (ctx.run.formatXML) {
        PutRecord(ctx, "  <container>");
        PutRecord(ctx, "    <name>%s</name>", XmlText(iContainerName).c_str());
    } else if (HasBlank(iContainerName)) {
        PutTextRecord(ctx, "LIBR \"%s\":", iContainerName);
    } else {
        PutTextRecord(ctx, "LIBR %s", iContainerName);
    }
}

void KVR_PutMEMB(MemberContext& ctx, const char* iFileName) {
    if (ctx.run.formatXML) {
        PutRecord(ctx, "    <file>");
        PutRecord(ctx, "      <name>%s</name>", XmlText(iFileName).c_str());
        PutRecord(ctx, "      <languageCd>JCL</languageCd>");
    } else if (HasBlank(iFileName)) {
        PutTextRecord(ctx, "MEMB \"%s\" JCL", iFileName);
    } else {
        PutTextRecord(ctx, "MEMB %s JCL", iFileName);
    }
}

void KVR_PutSTART_JCL(MemberContext& ctx) {
    PutRecord(ctx, ctx.run.formatXML ? "      <jcl>" : "START JCL");
    ctx.output.memberOpen = true;
}

void KVR_PutEND_JCL(MemberContext& ctx) {
    ctx.output.memberOpen = false;
    if (ctx.run.formatXML) {
        CloseOpenElements(ctx); // an analysis cut short may have left a job, step or DD open
        PutRecord(ctx, "        <returnCode>%d</returnCode>", KVRU005());
        PutRecord(ctx, "        <completionCode>%c</completionCode>", KVRU006());
        PutRecord(ctx, "      </jcl>");
    } else {
        PutTextRecord(ctx, "END JCL %d %c", KVRU005(), KVRU006());
    }
}

void KVR_PutEND_MEMB(MemberContext& ctx) {
    PutRecord(ctx, "    </file>");
}
void KVR_PutEND_LIBR(MemberContext& ctx) {
    PutRecord(ctx, "  </container>");
}

} // namespace kvr
