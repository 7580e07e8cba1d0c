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
bool memberOpen = false; // START JCL written, END JCL not yet
} // namespace

bool MemberRecordsOpen() {
    return memberOpen;
}

void KVR_PutXML_start(BOOLEAN iFormatXML) {
    SetXmlDocument(iFormatXML != 0);
    if (iFormatXML) PutRecord("<?xml version=\"1.0\"?>");
}

void KVR_PutLIBR(const char* iContainerName, BOOLEAN iFormatXML) {
    if (iFormatXML) {
        PutRecord("  <container>");
        PutRecord("    <name>%s</name>", XmlText(iContainerName).c_str());
    } else if (HasBlank(iContainerName)) {
        PutTextRecord("LIBR \"%s\":", iContainerName);
    } else {
        PutTextRecord("LIBR %s", iContainerName);
    }
}

void KVR_PutMEMB(const char* iFileName, BOOLEAN iFormatXML) {
    if (iFormatXML) {
        PutRecord("    <file>");
        PutRecord("      <name>%s</name>", XmlText(iFileName).c_str());
        PutRecord("      <languageCd>JCL</languageCd>");
    } else if (HasBlank(iFileName)) {
        PutTextRecord("MEMB \"%s\" JCL", iFileName);
    } else {
        PutTextRecord("MEMB %s JCL", iFileName);
    }
}

void KVR_PutSTART_JCL(BOOLEAN iFormatXML) {
    PutRecord(iFormatXML ? "      <jcl>" : "START JCL");
    memberOpen = true;
}

void KVR_PutEND_JCL(BOOLEAN iFormatXML) {
    memberOpen = false;
    if (iFormatXML) {
        CloseOpenElements(); // an analysis cut short may have left a job, step or DD open
        PutRecord("        <returnCode>%d</returnCode>", KVRU005());
        PutRecord("        <completionCode>%c</completionCode>", KVRU006());
        PutRecord("      </jcl>");
    } else {
        PutTextRecord("END JCL %d %c", KVRU005(), KVRU006());
    }
}

void KVR_PutEND_MEMB() {
    PutRecord("    </file>");
}
void KVR_PutEND_LIBR() {
    PutRecord("  </container>");
}

} // namespace kvr
