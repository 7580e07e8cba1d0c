// Fuzz target for the analysis of one member: the input is split at lines "~~~" into the
// member, a cataloged procedure FPROC and an INCLUDE member FINC, expanded and walked into
// import records (to /dev/null) the way the member loop does it, in a run mode and form
// chosen by the input's size. Every block taken for the member must have been returned.
#include "driver/member_loop.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "fuzz_support.h"
#include "model/deck_records.h"
#include "output/deck_walk.h"
#include "output/member_records.h"

namespace {

using namespace kvr;

// The import records go to /dev/null.
void OpenImportFileOnce() {
    static const bool ready = [] {
        fuzz::MemberContainer();
        setenv("DD:ATTRBOUT", "/dev/null", 1);
        KVR_OpenImportFile("w", 0);
        return true;
    }();
    (void)ready;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OpenImportFileOnce();
    fuzz::WriteMemberParts(data, size);
    const std::filesystem::path& root = fuzz::MemberContainer();

    const auto mode = static_cast<int16_t>(size % 3);
    const BOOLEAN xml = (size / 3) % 2 == 0 ? FALSE : TRUE;
    KVR_PutXML_start(xml);
    const int32_t before = fuzz::Outstanding();
    InitializeFields(0);
    ResetMaximumSeverity();
    const std::string jobs = (root / "JOBS").string();
    void* deck = nullptr;
    if (OpenFileWithLanguageAndType(jobs.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "", "", mode,
                                    0) &&
        CreateList(&deck, 0)) {
        SetLocalTimeField();
        const BOOLEAN rc = ProcessJclDeck(deck, FALSE, "", "JES2", mode, xml, 0);
        CloseAnyRemainingFiles(mode, 0);
        if (KVRU005() < 5) NavigateExpandedDeck(deck, rc, 1, mode, xml, 0);
    }
    CloseAnyRemainingFiles(mode, 0);
    FreeIncludeList(0);
    FreeProcedureList(0);
    Free_arrayJclDeck(deck, 0);
    fuzz::Require(before == fuzz::Outstanding());
    return 0;
}
