// Where the jobs of a member end while the member is read. The system runs the jobs of an
// input stream one by one: a JOB statement starts a job, a null statement ends one, and
// what stands between a null statement and the next JOB statement belongs to no job.
#include "reader/job_boundaries.h"

#include <string>

#include "base/diagnostics.h"
#include "reader/card_reader.h"

namespace kvr {
namespace {

// Cards after a null statement that belong to no job.
constexpr uint32_t kCardsAfterNullStatement = 1480;

// After a null statement the cards up to the next JOB statement belong to no job: they are
// passed over, as the system passes them over (comment, blank and JES2 control cards
// silently, the others named by 1480).
void PassOverToNextJob(MemberContext& ctx, const SourceLine& nullCard) {
    int32_t first = 0;
    int32_t last = 0;
    SourceLine card;
    while (ReadNextCard(ctx, &card, nullptr)) {
        if (IsJobCard(card)) {
            PushBackLastCard(ctx);
            ctx.listBuilder.nextJobWaiting = true;
            break;
        }
        if (IsJclComment(card.SourceText) || IsJes2ControlStmt(card.SourceText) ||
            isBlankSourceLine(card.SourceText))
            continue;
        if (first == 0) first = card.fileLine;
        last = card.fileLine;
    }
    if (first == 0) return;
    std::string lines = std::to_string(first);
    if (last != first) lines += "-" + std::to_string(last);
    KVRWriteMessageWithStringsAndFileLine(kCardsAfterNullStatement, lines.c_str(), nullptr,
                                          nullptr, nullptr, TRUE, nullCard.FileReference,
                                          nullCard.fileLine, ctx.run.mode);
}

} // namespace

void EndAtNullStatement(MemberContext& ctx, const SourceLine& nullCard, void* cursor) {
    if (cursor != nullptr) return;
    if (!ctx.listBuilder.readingJob || ctx.listBuilder.jobCount == 0) {
        KVRU940_SetLogicalEOF();
        return;
    }
    PassOverToNextJob(ctx, nullCard);
}

bool StartsNextJob(MemberContext& ctx, const SourceLine& card, void* cursor) {
    if (cursor != nullptr || !ctx.listBuilder.readingJob || ctx.listBuilder.jobsInList == 0)
        return false;
    if (!IsJobCard(card)) return false;
    PushBackLastCard(ctx);
    ctx.listBuilder.nextJobWaiting = true;
    return true;
}

} // namespace kvr
