// The job under construction: the procedure nesting level reported at the JOB statement
// when it passes its limit or goes below zero (the step-name stack refuses deeper calls
// first, so no member reaches it: text_proc_nesting_limit), and a JOB statement handed to
// the statement dispatch (a member's own are refused before: text_job_in_procedure).
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "expansion/statement_dispatch.h"
#include "model/deck_records.h"
#include "model/job_model.h"

namespace kvr::test {
namespace {

using Strings = std::vector<std::string>;

TEST(Jobs, NestingLimitsAndJobStatementsAreReportedAtTheJob) {
    MessageRecorder messages;
    TestMember member;
    MemberContext& ctx = member.ctx;
    StmtPtr job = MakeStatement(ctx, RD_JOB, "J", "(A)", 4);
    ProcessJobCard(ctx, job.get());
    EXPECT_EQ(QueryCurrentStep(ctx.model.currentJob), nullptr); // no step yet
    for (int i = 0; i < 16; ++i)
        IncrementProcNestingLevel(ctx);
    EXPECT_TRUE(messages.Ids().empty());
    IncrementProcNestingLevel(ctx); // the 17th level: a warning
    for (int i = 0; i < 18; ++i)
        DecrementProcNestingLevel(ctx); // below zero: an error with the plain locator
    EXPECT_EQ(ctx.model.currentJob->maxProcNestingLevel, 17);
    StmtPtr second = MakeStatement(ctx, RD_JOB, "SECOND", "(B)", 7);
    ProcessOneStatement(ctx, second.get());
    EXPECT_STREQ(ctx.model.currentJob->JobName.get(), "J");
    EXPECT_EQ(messages.Ids(),
              (Strings{"KVR1470I", "KVR1381W", "KVR1471I", "KVR1383E", "KVR1470I", "KVR1356W"}));
}

} // namespace
} // namespace kvr::test
