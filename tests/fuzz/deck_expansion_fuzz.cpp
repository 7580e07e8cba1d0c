// Fuzz target for the deck expansion of one member: the input is split at lines "~~~" into
// the member, a cataloged procedure FPROC and an INCLUDE member FINC, and expanded the way
// the member loop does it (resets, open, ProcessJclDeck, close, releases). Every block
// taken for the member must have been returned afterwards.
#include "driver/member_loop.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "fuzz_support.h"
#include "model/deck_records.h"

namespace {

using namespace kvr;

const std::filesystem::path& Root() {
    static const bool ready = [] {
        std::filesystem::create_directories(fuzz::Folder() / "JOBS");
        fuzz::UseLibraryAsSearchList();
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

    const int32_t before = fuzz::Outstanding();
    InitializeFields(0);
    ResetMaximumSeverity();
    const std::string jobs = (root / "JOBS").string();
    void* deck = nullptr;
    if (OpenFileWithLanguageAndType(jobs.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "", "", 0, 0) &&
        CreateList(&deck, 0)) {
        SetLocalTimeField();
        ProcessJclDeck(deck, FALSE, "", "JES2", 0, FALSE, 0);
    }
    CloseAnyRemainingFiles(0, 0);
    FreeIncludeList(0);
    FreeProcedureList(0);
    Free_arrayJclDeck(deck, 0);
    fuzz::Require(before == fuzz::Outstanding());
    return 0;
}
