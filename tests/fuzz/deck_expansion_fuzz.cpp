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

const std::filesystem::path& Root() {
    static const bool ready = [] {
        std::filesystem::create_directories(fuzz::Folder() / "JOBS");
        fuzz::UseLibraryAsSearchList();
        setenv("DD:ATTRBOUT", "/dev/null", 1);
        KVR_OpenImportFile("w", 0);
        // Library names relative to the current folder stay inside the temporary area.
        std::filesystem::current_path(fuzz::Folder());
        return true;
    }();
    (void)ready;
    return fuzz::Folder();
}

// A "/" beyond the first two columns of a line becomes "*": names in the input can then
// never be paths, so the expansion only ever opens members of the temporary container.
void WriteMember(const std::filesystem::path& file, std::string_view text) {
    std::string out(text);
    size_t column = 0;
    for (char& c : out) {
        if (c == '/' && column >= 2) c = '*';
        column = c == '\n' ? 0 : column + 1;
    }
    fuzz::WriteBytes(file, out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path& root = Root();
    const auto parts = fuzz::SplitInput(data, size, "\n~~~\n", 3);
    WriteMember(root / "JOBS" / "MEM", parts[0]);
    WriteMember(root / "LIB" / "FPROC", parts[1]);
    WriteMember(root / "LIB" / "FINC", parts[2]);

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
