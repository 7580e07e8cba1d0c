// Import records of jobs, steps, procedures, IF/ELSE/ENDIF, comments, scheduler
// directives and run units. LINES records carry the file reference plus one; records that
// have no XML form write nothing in XML.
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "output/import_records.h"
#include "output/record_writer.h"
#include "output/xml_text.h"

namespace kvr {
namespace {

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == '\0';
}
const char* OrEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

void PutLines(const char* recordType, SOURCE_REF iFileReference, int32_t iFileLine,
              int32_t iEndFileLine) {
    PutTextRecord("%s LINES %i %i %i", recordType, iFileReference + 1, iFileLine, iEndFileLine);
}

// "NAME" bare, or in double quotes when it holds a blank.
std::string NameForRecord(const char* name) {
    const std::string text = OrEmpty(name);
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

void PutStepXml(int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                const char* iProcStepName, int16_t iProcessingMode) {
    PutRecord("          <step>");
    PutRecord("            <sequence>%d</sequence>", iStepNbr);
    PutRecord("            <name>%s</name>", XmlText(OrEmpty(iStepName)).c_str());
    PutRecord("            <exec>");
    PutRecord("              <name>%s</name>", XmlText(OrEmpty(iStep->ExecutableName)).c_str());
    PutRecord("            </exec>");
    if (!IsEmpty(iStep->ExecutableParms))
        PutRecord("            <parm>%s</parm>", XmlText(iStep->ExecutableParms).c_str());
    if (!IsEmpty(iProcStepName))
        PutRecord("            <proc>%s</proc>", XmlText(iProcStepName).c_str());
    // A reference outside the file table still gets its element, with empty names.
    char* container = nullptr;
    char* file = nullptr;
    char* rmType = nullptr;
    char* site = nullptr;
    char* fileType = nullptr;
    if (QuerySourceReference(iStep->FileReference, &container, &file, &rmType, &site, &fileType,
                             iProcessingMode) == 0) {
        container = nullptr;
        file = nullptr;
    }
    PutRecord("            <sourceRef>");
    PutRecord("              <container>%s</container>", XmlText(OrEmpty(container)).c_str());
    PutRecord("              <file>%s</file>", XmlText(OrEmpty(file)).c_str());
    PutRecord("            </sourceRef>");
}

} // namespace

void KVR_PutJOB_START(const char* iJobName, BOOLEAN iFormatXML) {
    if (iFormatXML)
        PutRecord("        <job name=\"%s\">", XmlAttribute(OrEmpty(iJobName)).c_str());
    else
        PutTextRecord("JOB START %s", OrEmpty(iJobName));
}

void KVR_PutJOB_LINES(SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine,
                      BOOLEAN iFormatXML) {
    if (!iFormatXML) PutLines("JOB", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJOB_PARM(const char* iParms, int16_t iProcessingMode, BOOLEAN iFormatXML,
                     int32_t debug) {
    if (iParms == nullptr) return;
    if (iFormatXML) {
        PutRecord("          <jobcard data=\"%s\">", XmlAttribute(iParms).c_str());
        PutRecord("          </jobcard>");
        return;
    }
    ForEachParameter(iParms, iProcessingMode, debug,
                     [](const char* parm) { PutTextRecord("JOB PARM %s", parm); });
}

void KVR_PutJOB_END(BOOLEAN iFormatXML) {
    PutRecord(iFormatXML ? "        </job>" : "JOB END");
}

void KVR_PutSTEP(int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                 const char* iProcStepName, int16_t iProcessingMode, BOOLEAN iFormatXML,
                 int32_t debug) {
    if (iFormatXML) {
        PutStepXml(iStepNbr, iStep, iStepName, iProcStepName, iProcessingMode);
        return;
    }
    const char* name = iStepName;
    if (IsEmpty(name)) name = iProcessingMode == kModeVelkor ? "" : "NULLSTEP";
    PutTextRecord("STEP %d %s %s \"%s\" %s", iStepNbr, name, OrEmpty(iStep->ExecutableName),
                  OrEmpty(iStep->ExecutableParms), OrEmpty(iProcStepName));
    if (iProcessingMode == kModeVelkor) return;
    PutLines("STEP", iStep->FileReference, iStep->fileLine, iStep->endFileLine);
    if (iProcessingMode != kModeStandard) return;
    // PGM= and PARM= are already in the step record.
    ForEachParameter(iStep->AllParms, iProcessingMode, debug, [](const char* parm) {
        if (std::strncmp(parm, "PGM=", 4) != 0 && std::strncmp(parm, "PARM=", 5) != 0)
            PutTextRecord("STEP PARM %s", parm);
    });
}

void KVR_PutEndSTEP() {
    PutRecord("          </step>");
}

void KVR_PutPROC(SOURCE_REF iFileReference, int16_t iProcessingMode, BOOLEAN iFormatXML) {
    if (iFormatXML) return;
    char* container = nullptr;
    char* member = nullptr;
    char* rmType = nullptr;
    char* site = nullptr;
    char* fileType = nullptr;
    if (QuerySourceReference(iFileReference, &container, &member, &rmType, &site, &fileType,
                             iProcessingMode) == 0)
        return;
    const std::string containerName = NameForRecord(container);
    const std::string memberName = NameForRecord(member);
    const bool velkor = iProcessingMode == kModeVelkor;
    const bool mainMember = std::strcmp(OrEmpty(fileType), "MAIN") == 0;
    const bool procedure = std::strcmp(OrEmpty(fileType), "PROC") == 0;
    std::string record;
    if (procedure || (mainMember && iProcessingMode != kModeStandard) || (!mainMember && velkor))
        record = "PROC " + containerName + " " + memberName;
    else
        record = std::string(mainMember ? "INCL 0 " : "INCL 3 ") + memberName + " " + containerName;
    // The main member outside standard mode and, in Velkor mode, the job member and INCLUDE
    // members stop at the names; a cataloged procedure names its repository and site.
    const bool namesOnly = (mainMember && iProcessingMode != kModeStandard) || (velkor && !procedure);
    if (!namesOnly) {
        if (!IsEmpty(rmType)) record += " RM=" + std::string(rmType);
        if (!IsEmpty(site)) {
            char rendered[1040];
            CheckForSpaceInName(site, rendered);
            record += " SITE=" + std::string(rendered);
        }
    }
    PutTextRecord("%s", record.c_str());
}

void KVR_PutPROC_LINES(SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine) {
    PutLines("PROC", iFileReference, iFileLine, iEndFileLine);
}

// Written in text form whatever the format.
void KVR_PutPROC_PARM(const char* iParms, int16_t iProcessingMode, BOOLEAN /*iFormatXML*/,
                      int32_t debug) {
    ForEachParameter(iParms, iProcessingMode, debug,
                     [](const char* parm) { PutTextRecord("PROC PARM %s", parm); });
}

void KVR_PutPROCEND() {
    PutTextRecord("PROCEND");
}

void KVR_PutJCL_IF(const char* iLabel, const char* iCondition, SOURCE_REF iFileReference,
                   int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iFormatXML) {
    if (iFormatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord("JCL_IF LABEL %s", iLabel);
    PutLines("JCL_IF", iFileReference, iFileLine, iEndFileLine);
    PutTextRecord("JCL_IF %s", OrEmpty(iCondition));
}

void KVR_PutJCL_ELSE(const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                     int32_t iEndFileLine, BOOLEAN iFormatXML) {
    if (iFormatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord("JCL_ELSE LABEL %s", iLabel);
    PutLines("JCL_ELSE", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJCL_ENDIF(const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                      int32_t iEndFileLine, BOOLEAN iFormatXML) {
    if (iFormatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord("JCL_ENDIF LABEL %s", iLabel);
    PutLines("JCL_ENDIF", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJCL_COMMENT(int32_t iFileLine, const char* iText, BOOLEAN iFormatXML) {
    if (!iFormatXML) PutTextRecord("CMT %i %s", iFileLine, OrEmpty(iText));
}

void KVR_PutQuillo_OPC(int32_t iFileLine, const char* iOperation, const char* iParms,
                       BOOLEAN iFormatXML) {
    if (!iFormatXML) PutTextRecord("OPC %i %s %s", iFileLine, OrEmpty(iOperation), OrEmpty(iParms));
}

void KVR_PutRU(const char* iRunUnitName, const char* iPlanName, const char* iPsbName,
               const char* iIMSRegionName, const char* iDB2SubsystemName, BOOLEAN iFormatXML) {
    struct Part {
        const char* value;
        const char* textKey;
        const char* element;
    };
    const Part parts[] = {{iPlanName, " PLAN=", "plan"},
                          {iPsbName, " PSB=", "psb"},
                          {iIMSRegionName, " IMSR=", "imsRegion"},
                          {iDB2SubsystemName, " DSN=", "db2Subsystem"}};
    if (!iFormatXML) {
        std::string record = "RU " + std::string(OrEmpty(iRunUnitName));
        for (const Part& part : parts)
            if (part.value != nullptr) record += part.textKey + std::string(part.value);
        PutTextRecord("%s", record.c_str());
        return;
    }
    PutRecord("            <runUnit>");
    PutRecord("              <name>%s</name>", XmlText(OrEmpty(iRunUnitName)).c_str());
    for (const Part& part : parts)
        if (part.value != nullptr)
            PutRecord("              <%s>%s</%s>", part.element, XmlText(part.value).c_str(),
                      part.element);
    PutRecord("            </runUnit>");
}

} // namespace kvr
