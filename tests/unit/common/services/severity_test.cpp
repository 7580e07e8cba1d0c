// The maximum severity and the completion letter taken from it, and the tool identifier.
#include <gtest/gtest.h>

#include "kvrbase.h"
#include "services/messages.h"

namespace {

TEST(Severity, MaximumOnlyRisesUntilResetAndToolIdentifier) {
    kvr::ResetSeverityForTests();
    EXPECT_EQ(KVRU005(), 0);
    EXPECT_EQ(KVRU006(), 'C');
    EXPECT_EQ(KVRU002(), 0);
    SetMaximumSeverity(4);
    SetMaximumSeverity(0);
    EXPECT_EQ(KVRU005(), 4);
    EXPECT_EQ(KVRU006(), 'C');
    SetMaximumSeverity(5);
    EXPECT_EQ(KVRU006(), 'E');
    SetMaximumSeverity(16);
    SetMaximumSeverity(8);
    EXPECT_EQ(KVRU005(), 16);
    ResetMaximumSeverity();
    EXPECT_EQ(KVRU005(), 0);

    // Only the W, E and S letters at the 8th character raise it.
    for (const char* text : {"KVR1309W  x", "KVR1000I  x", "", static_cast<const char*>(nullptr)})
        kvr::SetSeverityFromMsg(text);
    EXPECT_EQ(KVRU005(), 4);
    kvr::SetSeverityFromMsg("KVR1417S");
    EXPECT_EQ(KVRU005(), 16);
    ResetMaximumSeverity();

    const int32_t analyzer = 1000002;
    KVRU001(&analyzer);
    KVRU001(nullptr);
    EXPECT_EQ(KVRU002(), 1000002);
    kvr::ResetSeverityForTests();
}

} // namespace
