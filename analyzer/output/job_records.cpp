// Import records of jobs, steps, procedures, IF/ELSE/ENDIF, comments, scheduler
// directives and run units. LINES records carry the file reference plus one; records that
// have no XML form write nothing in XML.
#include <cstring>
#include <string>

#include "base/contexts.h"
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

void PutLines(MemberContext& ctx, const char* recordType, SOURCE_REF iFileReference, int32_t iFileLine,
              int32_t iEndFileLine) {
    PutTextRecord(ctx, "%s LINES %i %i %i", recordType, iFileReference + 1, iFileLine, iEndFileLine);
}

// "NAME" bare, or in double quotes when it holds a blank.
std::string NameForRecord(const char* name) {
    const std::string text = OrEmpty(name);
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

void PutStepXml(MemberContext& ctx, int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                const char* iProcStepName) {
    PutRecord(ctx, "          <step>");
    PutRecord(ctx, "            <sequence>%d</sequence>", iStepNbr);
    PutRecord(ctx, "            <name>%s</name>", XmlText(OrEmpty(iStepName)).c_str());
    PutRecord(ctx, "            <exec>");
    PutRecord(ctx, "              <name>%s</name>",
              XmlText(OrEmpty(iStep->ExecutableName.get())).c_str());
    PutRecord(ctx, "            </exec>");
    if (!IsEmpty(iStep->ExecutableParms.get()))
        PutRecord(ctx, "            <parm>%s</parm>",
                  XmlText(iStep->ExecutableParms.get()).c_str());
    if (!IsEmpty(iProcStepName))
        PutRecord(ctx, "            <proc>%s</proc>", XmlText(iProcStepName).c_str());
    // A reference outside the file table still gets its element, with empty names.
    char* container = nullptr;
    char* file = nullptr;
    char* rmType = nullptr;
    char* site = nullptr;
    char* fileType = nullptr;
    if (QuerySourceReference(iStep->FileReference, &container, &file, &rmType, &site, &fileType,
                             ctx.run.mode) == 0) {
        container = nullptr;
        file = nullptr;
    }
    PutRecord(ctx, "            <sourceRef>");
    PutRecord(ctx, "              <container>%s</container>", XmlText(OrEmpty(container)).c_str());
    PutRecord(ctx, "              <file>%s</file>", XmlText(OrEmpty(file)).c_str());
    PutRecord(ctx, "            </sourceRef>");
}

} // namespace

void KVR_PutJOB_START(MemberContext& ctx, const char* iJobName) {
    if (ctx.run.formatXML)
        PutRecord(ctx, "        <job name=\"%s\">", XmlAttribute(OrEmpty(iJobName)).c_str());
    else
        PutTextRecord(ctx, "JOB START %s", OrEmpty(iJobName));
}

void KVR_PutJOB_LINES(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine) {
    if (!ctx.run.formatXML) PutLines(ctx, "JOB", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJOB_PARM(MemberContext& ctx, const char* iParms) {
    if (iParms == nullptr) return;
    if (ctx.run.formatXML) {
        PutRecord(ctx, "          <jobcard data=\"%s\">", XmlAttribute(iParms).c_str());
        PutRecord(ctx, "          </jobcard>");
        return;
    }
    ForEachParameter(ctx, iParms,
                     [&ctx](const char* parm) { PutTextRecord(ctx, "JOB PARM %s", parm); });
}

void KVR_PutJOB_END(MemberContext& ctx) {
    PutRecord(ctx, ctx.run.formatXML ? "        </job>" : "JOB END");
}

void KVR_PutSTEP(MemberContext& ctx, int32_t iStepNbr, const RD_JobStep* iStep, const char* iStepName,
                 const char* iProcStepName) {
    if (ctx.run.formatXML) {
        PutStepXml(ctx, iStepNbr, iStep, iStepName, iProcStepName);
        return;
    }
    const char* name = iStepName;
    if (IsEmpty(name)) name = ctx.run.mode == kModeVelkor ? "" : "NULLSTEP";
    PutTextRecord(ctx, "STEP %d %s %s \"%s\" %s", iStepNbr, name,
                  OrEmpty(iStep->ExecutableName.get()), OrEmpty(iStep->ExecutableParms.get()),
                  OrEmpty(iProcStepName));
    if (ctx.run.mode == kModeVelkor) return;
    PutLines(ctx, "STEP", iStep->FileReference, iStep->fileLine, iStep->endFileLine);
    if (ctx.run.mode != kModeStandard) return;
    // PGM= and PARM= are already in the step record.
    ForEachParameter(ctx, iStep->AllParms.get(), [&ctx](const char* parm) {
        if (std::strncmp(parm, "PGM=", 4) != 0 && std::strncmp(parm, "PARM=", 5) != 0)
            PutTextRecord(ctx, "STEP PARM %s", parm);
    });
}

void KVR_PutEndSTEP(MemberContext& ctx) {
    PutRecord(ctx, "          </step>");
}

void KVR_PutPROC(MemberContext& ctx, SOURCE_REF iFileReference) {
    if (ctx.run.formatXML) return;
    char* container = nullptr;
    char* member = nullptr;
    char* rmType = nullptr;
    char* site = nullptr;
    char* fileType = nullptr;
    if (QuerySourceReference(iFileReference, &container, &member, &rmType, &site, &fileType,
                             ctx.run.mode) == 0)
        return;
    const std::string containerName = NameForRecord(container);
    const std::string memberName = NameForRecord(member);
    const bool velkor = ctx.run.mode == kModeVelkor;
    const bool mainMember = std::strcmp(OrEmpty(fileType), "MAIN") == 0;
    const bool procedure = std::strcmp(OrEmpty(fileType), "PROC") == 0;
    std::string record;
    if (procedure || (mainMember && ctx.run.mode != kModeStandard) || (!mainMember && velkor))
        record = "PROC " + containerName + " " + memberName;
    else
        record = std::string(mainMember ? "INCL 0 " : "INCL 3 ") + memberName + " " + containerName;
    // The main member outside standard mode and, in Velkor mode, the job member and INCLUDE
    // members stop at the names; a cataloged procedure names its repository and site.
    const bool namesOnly = (mainMember && ctx.run.mode != kModeStandard) || (velkor && !procedure);
    if (!namesOnly) {
        if (!IsEmpty(rmType)) record += " RM=" + std::string(rmType);
        if (!IsEmpty(site)) {
            char rendered[1040];
            CheckForSpaceInName(site, rendered);
            record += " SITE=" + std::string(rendered);
        }
    }
    PutTextRecord(ctx, "%s", record.c_str());
}

void KVR_PutPROC_LINES(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine, int32_t iEndFileLine) {
    PutLines(ctx, "PROC", iFileReference, iFileLine, iEndFileLine);
}

// Written in text form whatever the format.
void KVR_PutPROC_PARM(MemberContext& ctx, const char* iParms) {
    ForEachParameter(ctx, iParms,
                     [&ctx](const char* parm) { PutTextRecord(ctx, "PROC PARM %s", parm); });
}

void KVR_PutPROCEND(MemberContext& ctx) {
    PutTextRecord(ctx, "PROCEND");
}

void KVR_PutJCL_IF(MemberContext& ctx, const char* iLabel, const char* iCondition, SOURCE_REF iFileReference,
                   int32_t iFileLine, int32_t iEndFileLine) {
    if (ctx.run.formatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord(ctx, "JCL_IF LABEL %s", iLabel);
    PutLines(ctx, "JCL_IF", iFileReference, iFileLine, iEndFileLine);
    PutTextRecord(ctx, "JCL_IF %s", OrEmpty(iCondition));
}

void KVR_PutJCL_ELSE(MemberContext& ctx, const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                     int32_t iEndFileLine) {
    if (ctx.run.formatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord(ctx, "JCL_ELSE LABEL %s", iLabel);
    PutLines(ctx, "JCL_ELSE", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJCL_ENDIF(MemberContext& ctx, const char* iLabel, SOURCE_REF iFileReference, int32_t iFileLine,
                      int32_t iEndFileLine) {
    if (ctx.run.formatXML) return;
    if (!IsEmpty(iLabel)) PutTextRecord(ctx, "JCL_ENDIF LABEL %s", iLabel);
    PutLines(ctx, "JCL_ENDIF", iFileReference, iFileLine, iEndFileLine);
}

void KVR_PutJCL_COMMENT(MemberContext& ctx, int32_t iFileLine, const char* iText) {
    if (!ctx.run.formatXML) PutTextRecord(ctx, "CMT %i %s", iFileLine, OrEmpty(iText));
}

void KVR_PutQuillo_OPC(MemberContext& ctx, int32_t iFileLine, const char* iOperation, const char* iParms) {
    if (!ctx.run.formatXML) PutTextRecord(ctx, "OPC %i %s %s", iFileLine, OrEmpty(iOperation), OrEmpty(iParms));
}

void KVR_PutRU(MemberContext& ctx, const char* iRunUnitName, const char* iPlanName, const char* iPsbName,
               const char* iIMSRegionName, const char* iDB2SubsystemName) {
    struct Part {
        const char* value;
        const char* textKey;
        const char* element;
    };
    const Part parts[] = {{iPlanName, " PLAN=", "plan"},
                          {iPsbName, " PSB=", "psb"},
                          {iIMSRegionName, " IMSR=", "imsRegion"},
                          {iDB2SubsystemName, " DSN=", "db2Subsystem"}};
    if (!ctx.run.formatXML) {
        std::string record = "RU " + std::string(OrEmpty(iRunUnitName));
        for (const Part& part : parts)
            if (part.value != nullptr) record += part.textKey + std::string(part.value);
        PutTextRecord(ctx, "%s", record.c_str());
        return;
    }
    PutRecord(ctx, "            <runUnit>");
    PutRecord(ctx, "              <name>%s</name>", XmlText(OrEmpty(iRunUnitName)).c_str());
    for (const Part& part : parts)
        if (part.value != nullptr)
            PutRecord(ctx, "              <%s>%s</%s>", part.element, XmlText(part.value).c_str(),
                      part.element);
    PutRecord(ctx, "            </runUnit>");
}

} // namespace kvr
