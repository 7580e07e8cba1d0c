// The maximum severity and the completion letter taken from it, and the tool identifier.
#include <gtest/gtest.h>

#include "kvrbase.h"
#include "services/messages.h"

namespace {

TEST(Severity, MaximumOnlyRisesUntilReset) {
    kvr::ResetSeverityForTests();
    EXPECT_EQ(KVRU005(), 0);
    EXPECT_EQ(KVRU006(), 'C');
    SetMaximumSeverity(4);
    EXPECT_EQ(KVRU006(), 'C');
    SetMaximumSeverity(0);
    EXPECT_EQ(KVRU005(), 4);
    SetMaximumSeverity(5);
    EXPECT_EQ(KVRU006(), 'E');
    SetMaximumSeverity(16);
    SetMaximumSeverity(8);
    EXPECT_EQ(KVRU005(), 16);
    ResetMaximumSeverity();
    EXPECT_EQ(KVRU005(), 0);
    EXPECT_EQ(KVRU006(), 'C');

    kvr::SetSeverityFromMsg("KVR1309W  x");
    EXPECT_EQ(KVRU005(), 4);
    kvr::SetSeverityFromMsg("KVR1000I  x");
    kvr::SetSeverityFromMsg("");
    kvr::SetSeverityFromMsg(nullptr);
    EXPECT_EQ(KVRU005(), 4);
    kvr::SetSeverityFromMsg("KVR1417S");
    EXPECT_EQ(KVRU005(), 16);
    ResetMaximumSeverity();
}

TEST(Severity, ToolIdentifier) {
    kvr::ResetSeverityForTests();
    EXPECT_EQ(KVRU002(), 0);
    const int32_t analyzer = 1000002;
    KVRU001(&analyzer);
    EXPECT_EQ(KVRU002(), 1000002);
    KVRU001(nullptr);
    EXPECT_EQ(KVRU002(), 1000002);
    kvr::ResetSeverityForTests();
}

} // namespace
