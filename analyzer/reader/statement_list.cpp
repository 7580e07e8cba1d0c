// Statement lists: the job's, each procedure's and each include member's statements, held
// as copies owned by the list and walked with cursors that also reach statements appended
// while the walk runs. Also the small helpers that take KEYWORD=VALUE parameters apart.
#include "reader/statement_list.h"
#include "base/contexts.h"

#include <cstring>


namespace kvr {
namespace {

// A statement cursor. Lead stands on the next statement to hand out; Trail on the last one
// handed out (null before the first). When Lead has run past the end, the walk looks again
// after Trail, so a statement appended behind the last one handed out is still reached.
struct StmtCursor {
    void* List;
    void* Trail;
    void* Lead;
};

constexpr RD_JCL_STATEMENT_TYPE ValidStatementTypesForProcedure[] = {
    RD_CNTL, RD_DD,      RD_DELIMITER, RD_ELSE, RD_ENDCNTL,  RD_ENDIF,   RD_EXEC,
    RD_IF,   RD_INCLUDE, RD_OUTPUT,    RD_SET,  RD_STEP_END, RD_UNKNOWN,
};

// Lead has run past the end: place a fresh lead after the last statement handed out, or on
// the head when nothing has been handed out yet. FALSE when no block is available.
BOOLEAN RefreshLead(StmtCursor* cursor) {
    void* fresh = nullptr;
    if (cursor->Trail != nullptr) {
        if (DuplicateCursor(cursor->Trail, &fresh, 0) == 0) return FALSE;
        AdvanceCursor(fresh);
    } else if (KVR_CreateCursor(cursor->List, &fresh, 0) == 0) {
        return FALSE;
    }
    DeleteCursor(cursor->Lead, 0);
    cursor->Lead = fresh;
    return TRUE;
}

} // namespace

BOOLEAN CreateStmtList(MemberContext& ctx, StatementList** outStmtList) {
    if (outStmtList == nullptr) return FALSE;
    *outStmtList = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(StatementList), "CreateStmtList", ctx.run.debug) == 0)
        return FALSE;
    auto* list = static_cast<StatementList*>(block);
    if (CreateList(&list->LinkedList, ctx.run.debug) == 0) {
        FreeBlockWithDebug(list, "CreateStmtList", ctx.run.debug);
        return FALSE;
    }
    *outStmtList = list;
    return TRUE;
}

BOOLEAN AddStmtToList(MemberContext& ctx, JCLStatement* iStmt, StatementList* iStmtLst, JCLStatement** outStmtCopy) {
    if (outStmtCopy != nullptr) *outStmtCopy = nullptr;
    if (iStmt == nullptr || iStmtLst == nullptr) return FALSE;
    JCLStatement* copy = nullptr;
    if (!CopyJCLStatement(ctx, &copy, iStmt)) return FALSE;
    // The key is the copy's own label, which lives as long as the list item.
    if (AddItemToList(iStmtLst->LinkedList, copy, copy->StatementLabel, ctx.run.debug) == 0) {
        DeleteJCLStatement(copy, TRUE);
        return FALSE;
    }
    if (outStmtCopy != nullptr) *outStmtCopy = copy;
    return TRUE;
}

void DeleteStmtList(void* ListArg) {
    auto* list = static_cast<StatementList*>(ListArg);
    if (list == nullptr) return;
    void* data = nullptr;
    while (FindFirstItem(list->LinkedList, &data)) {
        UnlinkCurrentItem(list->LinkedList, &data, BlockTraceLevel());
        DeleteJCLStatement(static_cast<JCLStatement*>(data), TRUE);
    }
    FreeList(list->LinkedList, BlockTraceLevel());
    FreeBlockWithDebug(list, "DeleteStmtList", BlockTraceLevel());
}

BOOLEAN CreateStmtCursor(MemberContext& ctx, StatementList* iStmtList, void** outCursor) {
    if (outCursor == nullptr) return FALSE;
    *outCursor = nullptr;
    if (iStmtList == nullptr) return FALSE;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(StmtCursor), "CreateStmtCursor", ctx.run.debug) == 0)
        return FALSE;
    auto* cursor = static_cast<StmtCursor*>(block);
    *cursor = {iStmtList->LinkedList, nullptr, nullptr};
    if (KVR_CreateCursor(cursor->List, &cursor->Lead, ctx.run.debug) == 0) {
        FreeBlockWithDebug(cursor, "CreateStmtCursor", ctx.run.debug);
        return FALSE;
    }
    *outCursor = cursor;
    return TRUE;
}

BOOLEAN GetStmtViaCursor(void* CursorArg, JCLStatement** outStmt) {
    if (outStmt != nullptr) *outStmt = nullptr;
    auto* cursor = static_cast<StmtCursor*>(CursorArg);
    if (cursor == nullptr) return FALSE;
    void* data = nullptr;
    if (!GetDataAtCursor(cursor->Lead, &data)) {
        if (!RefreshLead(cursor) || !GetDataAtCursor(cursor->Lead, &data)) return FALSE;
    }
    // Trail follows one item behind Lead; it is made on the first statement handed out.
    if (cursor->Trail != nullptr) {
        AdvanceCursor(cursor->Trail);
    } else if (DuplicateCursor(cursor->Lead, &cursor->Trail, 0) == 0) {
        return FALSE;
    }
    AdvanceCursor(cursor->Lead);
    if (outStmt != nullptr) *outStmt = static_cast<JCLStatement*>(data);
    return TRUE;
}

void DeleteStmtCursor(void* CursorArg) {
    auto* cursor = static_cast<StmtCursor*>(CursorArg);
    if (cursor == nullptr) return;
    DeleteCursor(cursor->Lead, BlockTraceLevel());
    DeleteCursor(cursor->Trail, BlockTraceLevel());
    FreeBlockWithDebug(cursor, "DeleteStmtCursor", BlockTraceLevel());
}

BOOLEAN IsStatementValidInProcedure(const JCLStatement* iStmt) {
    if (iStmt == nullptr) return FALSE;
    for (RD_JCL_STATEMENT_TYPE valid : ValidStatementTypesForProcedure)
        if (iStmt->StatementType == valid) return TRUE;
    return FALSE;
}

BOOLEAN ParmHasKeyword(const char* iParm) {
    return iParm != nullptr && std::strchr(iParm, '=') != nullptr ? TRUE : FALSE;
}

char* CopyParmKeyword(MemberContext& ctx, JCLStatement* iStmt, const char* ParmArg) {
    const char* equals = ParmArg != nullptr ? std::strchr(ParmArg, '=') : nullptr;
    if (equals == nullptr) {
        reportMissingParmOrSet(ctx, iStmt);
        return nullptr;
    }
    const size_t length = static_cast<size_t>(equals - ParmArg);
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, length + 1, "CopyParmKeyword", ctx.run.debug) == 0) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    auto* keyword = static_cast<char*>(block);
    std::memcpy(keyword, ParmArg, length);
    keyword[length] = '\0';
    return keyword;
}

char* CopyParmValue(MemberContext& ctx, JCLStatement* iStmt, const char* iParm) {
    const char* equals = iParm != nullptr ? std::strchr(iParm, '=') : nullptr;
    if (equals == nullptr) {
        reportMissingParmOrSet(ctx, iStmt);
        return nullptr;
    }
    return CloneString(equals + 1, ctx.run.debug);
}

void reportMissingParmOrSet(MemberContext& ctx, JCLStatement* iStmt) {
    const SOURCE_REF reference = iStmt != nullptr ? iStmt->FileReference : -1;
    const int32_t line = iStmt != nullptr ? iStmt->fileLine : 0;
    KVRWriteMessageWithFileLine(MessageFor(ctx, 1367, 3067), TRUE, reference, line,
                                ctx.run.mode);
}

char* StripApostrophes(char* StringArg) {
    if (StringArg == nullptr) return nullptr;
    char* start = StringArg;
    while (*start == '\'')
        ++start;
    size_t length = std::strlen(start);
    while (length > 0 && start[length - 1] == '\'')
        start[--length] = '\0';
    return start;
}

} // namespace kvr
