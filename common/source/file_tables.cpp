// Reports of the source-access tables as messages (debug runs): the open members, the job
// search list, the default search list and the referenced sources, each framed by a
// heading and a closing message.
#include "source/source_access.h"

namespace kvr {

namespace {

struct TableMessages {
    uint32_t heading, entry, closing;
};

TableMessages Pick(int16_t iProcessingMode, TableMessages standard, TableMessages velkor) {
    return IsVelkor(iProcessingMode) ? velkor : standard;
}

// The file spec of a referenced source; false when it cannot be built.
bool SpecOf(SOURCE_REF ref, char (&spec)[512], int16_t iProcessingMode) {
    const ReferencedSource* source = ReferencedSourceAt(ref);
    return source && FileSpec(source->containerName, source->fileName, spec, iProcessingMode);
}

void ReportJobList(int16_t iProcessingMode) {
    TableMessages m = Pick(iProcessingMode, {1103, 1108, 1104}, {3012, 3010, 3013});
    KVRWriteMessage(m.heading);
    for (const LibraryList& library : JobList())
        // An empty third insert keeps the shared entry text free of an unfilled marker.
        KVRWriteMessageWithStrings(m.entry, library.ListedLibName, library.ListedSiteName, "",
                                   nullptr);
    KVRWriteMessage(m.closing);
}

void ReportDefaultList(int16_t iProcessingMode) {
    TableMessages m = Pick(iProcessingMode, {1105, 1108, 1106}, {3014, 3010, 3015});
    KVRWriteMessage(m.heading);
    for (const LibraryList& library : DefaultList())
        KVRWriteMessageWithStrings(m.entry, library.ListedLibName, library.ListedRmType,
                                   library.ListedRmDDName, nullptr);
    KVRWriteMessage(m.closing);
}

void ReportReferencedSources(int16_t iProcessingMode) {
    TableMessages m = Pick(iProcessingMode, {1107, 1108, 1109}, {3016, 3017, 3018});
    KVRWriteMessage(m.heading);
    for (int i = 0; i < ReferencedSourceCount(); ++i) {
        char spec[512] = {};
        if (!SpecOf(i, spec, iProcessingMode)) continue;
        const ReferencedSource* source = ReferencedSourceAt(i);
        KVRWriteMessageWithStrings(m.entry, spec, source->fileTypeCd, source->rmType, nullptr);
    }
    KVRWriteMessage(m.closing);
}

} // namespace

void ReportOpenMembers(int16_t iProcessingMode) {
    TableMessages m = Pick(iProcessingMode, {1100, 1101, 1102}, {3009, 3010, 3011});
    KVRWriteMessage(m.heading);
    for (int depth = 0; depth < OpenMemberCount(); ++depth) {
        char spec[512] = {};
        if (SpecOf(OpenMemberSource(depth), spec, iProcessingMode))
            KVRWriteMessageWithStrings(m.entry, spec, nullptr, nullptr, nullptr);
    }
    KVRWriteMessage(m.closing);
}

} // namespace kvr

extern "C" KVR_API void PrintFileTables(int16_t iProcessingMode) {
    kvr::ReportOpenMembers(iProcessingMode);
    kvr::ReportJobList(iProcessingMode);
    kvr::ReportDefaultList(iProcessingMode);
    kvr::ReportReferencedSources(iProcessingMode);
}
